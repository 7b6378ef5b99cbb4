// A tour of the library: counting words with a splay tree, ranking them with a priority queue,
// keeping a reading order in a list, one client object in two stacks, and the debugger watching.
#include <velmira/velmira.h>

#include <cstdint>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

using namespace velmira;

namespace {

const char* const kText =
    "the quick brown fox jumps over the lazy dog and the dog sleeps while the fox runs";

/// A client's own element class: a name and a stack link per slot.
class Card : public IStackNode {
 public:
  explicit Card(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const { return name_; }
  Ref<IStackNode> NextItem(std::int32_t Index) override { return next_[Index]; }
  void SetNextItem(std::int32_t Index, const Ref<IStackNode>& Value) override {
    next_[Index] = Value;
  }

 private:
  std::string name_;
  std::map<std::int32_t, Ref<IStackNode>> next_;
};

std::string Text(const Variant& v) {
  return v.Kind() == VariantKind::String ? std::string(v.Text()) : std::to_string(v.Int32Value());
}

}  // namespace

int main() {
  // Warnings and debugger lines go to the debug output channel; show them on stdout.
  SetDebugOutput([](std::string_view line) {
    std::cout << "  | " << line << (line.ends_with('\n') ? "" : "\n");
  });
  Ref<Debugger> debug = New<Debugger>();
  debug->SetShowEnter(false);
  debug->SetShowLeave(false);

  // 1. Count words: a splay tree keyed by the word; repeated words are found near the root.
  debug->Enter("CountWords");
  Ref<Tree> words = New<SplayTree>();
  std::istringstream in(kText);
  for (std::string word; in >> word;) {
    if (Ref<ITreeNode> seen = words->Item(word)) {
      Ref<TreeNode> node = As<TreeNode>(seen);
      node->SetValue(node->Value().Int32Value() + 1);
    } else {
      auto node = New<TreeNode>();
      node->SetKey(0, word);
      node->SetValue(1);
      words->Add(node);
    }
  }
  debug->Leave("CountWords");

  // 2. Rank them: each word's element is also a priority-queue entry keyed by its count.
  debug->Enter("Rank");
  std::cout << "words in order:";
  Ref<PQueue> ranking = New<PQueue>();
  Ref<TreeEnum> walk = words->NewEnum();
  for (Ref<ITreeNode> n = walk->NextItem(); n; n = walk->NextItem()) {
    Ref<TreeNode> node = As<TreeNode>(n);
    std::cout << ' ' << Text(node->Key(0)) << '=' << Text(node->Value());
    auto entry = New<PQueueNode>();
    entry->SetKey(0, node->Value());
    entry->SetData(node);  // user data may hold an object reference
    ranking->Add(entry);
  }
  std::cout << "\nmost frequent:";
  for (int i = 0; i < 3; ++i) {
    Ref<PQueueNode> top = As<PQueueNode>(ranking->NextItem());
    std::cout << ' ' << Text(As<TreeNode>(top->Data().ObjectValue())->Key(0)) << " ("
              << Text(top->Key(0)) << ')';
  }
  std::cout << '\n';
  debug->Leave("Rank");

  // 3. A list keeps a reading order; its enumerator walks either way.
  Ref<List> reading = New<List>();
  for (const char* title : {"first", "second", "third"}) {
    auto item = New<ListNode>();
    item->SetValue(title);
    reading->Add(item);
  }
  reading->AddBefore(New<ListNode>(), reading->First());  // an untitled preface
  Ref<ListEnum> pages = reading->NewEnum();
  pages->SetOrder(eListEnumReverseOrder);
  std::cout << "reading order backwards (" << reading->Count() << " items):";
  for (Ref<IListNode> n = pages->NextItem(); n; n = pages->NextItem()) {
    Variant title = As<ListNode>(n)->Value();
    std::cout << ' ' << (title.IsEmpty() ? "(preface)" : Text(title));
  }
  std::cout << '\n';

  // 4. One client object in two stacks at once, each stack using its own link slot.
  Ref<Stack> deck = New<Stack>(), discard = New<Stack>();
  discard->SetIndex(1);
  for (const char* name : {"ace", "king", "queen"}) {
    auto card = New<Card>(name);
    deck->Push(card);
    discard->Push(card);
  }
  std::cout << "pushing the top card onto its own stack again is refused:\n";
  deck->Push(deck->Top());
  std::cout << "deck popped:";
  while (Ref<IStackNode> card = deck->Pop()) std::cout << ' ' << As<Card>(card)->Name();
  std::cout << "; the discard stack still starts with " << As<Card>(discard->Top())->Name() << '\n';

  // 5. The debugger's view of the run.
  debug->Assert(words->Exists("fox"), "the fox was counted");  // holds: nothing written
  debug->Assert(words->Exists("cat"), "a cat was mentioned");  // fails: written and counted
  debug->Output("done", Variant::Null(), 3.5, true);
  debug->Report();
  return 0;
}
