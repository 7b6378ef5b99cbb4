// An element of your own: a card that can sit in stacks. Each link accessor takes the Index
// (link slot) of the container calling it.
#include <velmira/velmira.h>

#include <cassert>
#include <map>
#include <string>

using namespace velmira;

class Card : public IStackNode {
 public:
  explicit Card(std::string name) : name(std::move(name)) {}
  Ref<IStackNode> NextItem(std::int32_t Index) override { return next_[Index]; }
  void SetNextItem(std::int32_t Index, const Ref<IStackNode>& Value) override {
    next_[Index] = Value;
  }
  std::string name;

 private:
  std::map<std::int32_t, Ref<IStackNode>> next_;  // one link per slot
};

int main() {
  Ref<Stack> deck = New<Stack>();  // Index 0: it uses slot 0 of every card
  deck->Push(New<Card>("ace"));
  deck->Push(New<Card>("king"));
  Ref<Card> top = As<Card>(deck->Pop());  // the last pushed; its slot-0 link is Nothing again
  assert(top->name == "king" && !top->NextItem(0));
  assert(As<Card>(deck->Top())->name == "ace");
}
