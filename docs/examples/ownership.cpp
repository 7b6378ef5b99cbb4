// Ownership: Ref<T> counts references; New makes objects, As converts with a check, Is compares
// identity, Nothing is the empty reference.
#include <velmira/velmira.h>

#include <cassert>

using namespace velmira;

int main() {
  Ref<TreeNode> node = New<TreeNode>();
  Ref<ITreeNode> as_element = node;  // the same object, through its interface
  assert(Is(node, as_element));
  Ref<TreeNode> back = As<TreeNode>(as_element);  // checked conversion
  try {
    As<IStackNode>(as_element);  // a TreeNode is no stack element
    assert(false);
  } catch (const Error& e) {
    assert(e.Number() == kErrTypeMismatch);  // error 13
  }
  {
    Ref<Tree> tree = New<SplayTree>();
    node->SetKey(0, "kept");
    tree->Add(node);
  }  // the tree goes; it unlinks its elements first, so node can join another tree
  assert(!node->Left(0) && !node->Right(0));
  node = Nothing;  // the last reference: the element is destroyed here
}
