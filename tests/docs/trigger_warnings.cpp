// Provokes every warning the library can give in a short run and prints each line it wrote, one
// per line, without indentation. check_warning_table.sh compares them with docs/warnings.md.
#include <velmira/velmira.h>

#include <iostream>
#include <string>

using namespace velmira;

int main() {
  SetDebugOutput([](std::string_view line) {
    std::string text(line);
    text.erase(0, text.find_first_not_of(' '));
    if (text.ends_with('\n')) text.pop_back();
    std::cout << text << '\n';
  });

  Ref<Stack> stack = New<Stack>();
  Ref<StackNode> s1 = New<StackNode>(), s2 = New<StackNode>();
  stack->Push(Nothing);
  stack->Push(s1);
  stack->Push(s2);
  stack->Push(s2);  // the top links to s1: refused
  stack->SetIndex(1);

  Ref<Queue> queue = New<Queue>();
  Ref<QueueNode> q1 = New<QueueNode>(), q2 = New<QueueNode>();
  queue->Add(Nothing);
  queue->Add(q1);
  queue->Add(q2);
  queue->Add(q1);
  queue->Remove(New<QueueNode>());
  queue->SetIndex(1);

  Ref<PQueue> pqueue = New<PQueue>();
  Ref<PQueueNode> p1 = New<PQueueNode>(), p2 = New<PQueueNode>(), null_key = New<PQueueNode>();
  null_key->SetKey(0, Variant::Null());
  p1->SetKey(0, 1);
  p2->SetKey(0, 2);
  pqueue->Add(Nothing);
  pqueue->Add(null_key);
  pqueue->Add(p1);
  pqueue->Add(p2);
  pqueue->Add(p2);
  pqueue->Remove(New<PQueueNode>());
  pqueue->SetIndex(1);

  Ref<List> list = New<List>(), other = New<List>();
  Ref<ListNode> a = New<ListNode>(), b = New<ListNode>(), loose = New<ListNode>();
  list->Add(Nothing);
  list->Add(a);
  list->Add(b);
  list->Add(a);  // already in a list
  other->Add(New<ListNode>());
  other->SetIndex(1);
  Ref<ListNode> linked = New<ListNode>();
  linked->SetNextItem(0, loose);  // links, but in no list
  list->Add(linked);
  list->AddBefore(Nothing, a);
  list->AddBefore(loose, Nothing);
  list->AddBefore(loose, New<ListNode>());
  list->AddBefore(b, a);
  list->AddBefore(linked, a);
  list->Remove(loose);
  list->Item(0);
  list->SetIndex(1);

  for (Ref<Tree> tree : {New<Tree>(), Ref<Tree>(New<SplayTree>())}) {
    Ref<TreeNode> t1 = New<TreeNode>(), t2 = New<TreeNode>(), null_tree_key = New<TreeNode>();
    t1->SetKey(0, 1);
    t2->SetKey(0, 2);
    null_tree_key->SetKey(0, Variant::Null());
    tree->Add(Nothing);
    tree->Add(null_tree_key);
    tree->Add(t1);
    tree->Add(t2);
    Ref<TreeNode> parent = New<TreeNode>();
    parent->SetKey(0, 3);
    parent->SetLeft(0, New<TreeNode>());
    tree->Add(parent);
    tree->Remove(Variant::Null());
    tree->SetIndex(1);
  }

  Ref<Debugger> debug = New<Debugger>();
  debug->SetShowEnter(false);
  debug->SetShowLeave(false);
  debug->SetShowRelease(false);
  debug->Enter("A");
  debug->Leave("B");  // mismatch, then B was never entered
  debug->Release("R");
}
