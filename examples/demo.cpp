// A tour of the library: a client element class kept in two stacks at once.
#include <velmira/velmira.h>

#include <cstdint>
#include <iostream>
#include <map>
#include <string>

using velmira::IStackNode;
using velmira::New;
using velmira::Ref;

namespace {

/// A client's own element: a name, and one stack link per slot.
class Card : public IStackNode {
 public:
  explicit Card(std::string name) : name_(std::move(name)) {}
  const std::string& Name() const { return name_; }

  Ref<IStackNode> NextItem(std::int32_t Index) override {
    auto it = next_.find(Index);
    return it == next_.end() ? Ref<IStackNode>() : it->second;
  }
  void SetNextItem(std::int32_t Index, const Ref<IStackNode>& Value) override {
    next_[Index] = Value;
  }

 private:
  std::string name_;
  std::map<std::int32_t, Ref<IStackNode>> next_;
};

std::string NameOf(const Ref<IStackNode>& node) {
  return node ? velmira::As<Card>(node)->Name() : "Nothing";
}

}  // namespace

int main() {
  // Warnings go to the debug output channel; show them on stdout for the demo.
  velmira::SetDebugOutput([](std::string_view text) { std::cout << "  [debug] " << text << '\n'; });

  auto deck = New<velmira::Stack>();
  auto discard = New<velmira::Stack>();
  discard->SetIndex(1);  // a second link slot: the same cards can sit in both stacks

  for (const char* name : {"ace", "king", "queen"}) {
    auto card = New<Card>(name);
    deck->Push(card);
    discard->Push(card);
  }
  std::cout << "deck top: " << NameOf(deck->Top()) << ", discard top: " << NameOf(discard->Top())
            << '\n';

  std::cout << "pushing the top card onto the deck again:\n";
  deck->Push(deck->Top());  // its successor link is set: refused with a warning

  std::cout << "deck, popped:";
  while (auto card = deck->Pop()) std::cout << ' ' << NameOf(card);
  std::cout << "\ndiscard is untouched, top: " << NameOf(discard->Top()) << '\n';
  return 0;
}
