// Enumerating: range-for over any container or enumerator, and std::ranges on top.
#include <velmira/velmira.h>

#include <cassert>
#include <ranges>
#include <string>

using namespace velmira;

int main() {
  Ref<Tree> words = New<SplayTree>();
  for (const char* w : {"pear", "apple", "fig"}) {
    Ref<TreeNode> n = New<TreeNode>();
    n->SetKey(0, w);
    words->Add(n);
  }
  std::string in_order;
  for (Ref<ITreeNode> n : Enumerate(words)) in_order += std::string(n->Key(0).Text()) + " ";
  assert(in_order == "apple fig pear ");

  auto key = [](const Ref<ITreeNode>& n) { return std::string(n->Key(0).Text()); };
  std::string last;
  for (std::string k :
       Enumerate(words, eTreeEnumReverseOrder) | std::views::transform(key) | std::views::take(1)) {
    last = k;
  }
  assert(last == "pear");

  Ref<List> list = New<List>();
  for (int i = 1; i <= 3; ++i) {
    Ref<ListNode> n = New<ListNode>();
    n->SetValue(i);
    list->Add(n);
  }
  int sum = 0, first_seen = 0;
  for (auto& n : Enumerate(list, eListEnumReverseOrder)) {
    const int v = As<ListNode>(n)->Value().Int32Value();
    if (!first_seen) first_seen = v;
    sum += v;
  }
  assert(first_seen == 3 && sum == 6);
}
