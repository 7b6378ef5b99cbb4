// A client built against the installed package: pushes and pops through the shared library.
#include <velmira/velmira.h>

#include <cstdint>

namespace {
class Element : public velmira::IStackNode {
 public:
  velmira::Ref<velmira::IStackNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const velmira::Ref<velmira::IStackNode>& v) override { next_ = v; }

 private:
  velmira::Ref<velmira::IStackNode> next_;
};
}  // namespace

int main() {
  auto stack = velmira::New<velmira::Stack>();
  auto element = velmira::New<Element>();
  stack->Push(element);
  return velmira::Is(stack->Pop(), element) && stack->IsEmpty() ? 0 : 1;
}
