// The program the pretty-printer test runs under gdb: each container holds a few elements of the
// library's own (sample elements, building blocks) and one client element, then `Inspect` is
// where gdb stops and prints them.
#include <cstdint>
#include <string>

#include "velmira/velmira.h"

using namespace velmira;

namespace {

/// A building-block element: its links are the library's, so a printer can follow them.
class Job : public ListLinks<>, public TreeLinks<> {
 public:
  explicit Job(std::string name) : name_(std::move(name)) {}
  Variant Key(std::int32_t) override { return name_; }

 private:
  std::string name_;
};

/// A client element: its links live behind its own members, which a printer cannot call.
class Card : public IStackNode {
 public:
  Ref<IStackNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const Ref<IStackNode>& Value) override { next_ = Value; }

 private:
  Ref<IStackNode> next_;
};

Ref<TreeNode> Word(const char* key) {
  Ref<TreeNode> n = New<TreeNode>();
  n->SetKey(0, key);
  return n;
}

}  // namespace

[[gnu::noinline]] void Inspect(const void*) { __asm__ volatile("" ::: "memory"); }

int main() {
  Ref<List> list = New<List>();
  list->Add(New<ListNode>());
  list->Add(New<Job>("job"));
  list->Add(New<ListNode>());
  Ref<Tree> words = New<SplayTree>();
  for (const char* w : {"pear", "apple", "fig"}) words->Add(Word(w));
  words->Add(New<Job>("kiwi"));
  Ref<Stack> stack = New<Stack>();
  stack->Push(New<StackNode>());
  stack->Push(New<Card>());  // the walk stops at the client element on top
  Ref<Queue> queue = New<Queue>();
  queue->SetIndex(2);
  for (int i = 0; i < 3; ++i) queue->Add(New<QueueNode>());
  Variant number = 42, text = "a text longer than fourteen bytes", nothing = Nothing;
  Variant node = Variant(Ref<Object>(list));
  Inspect(&node);
  (void)number, (void)text, (void)nothing;
  return 0;
}
