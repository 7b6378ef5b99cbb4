// `StackNode`: a ready-made element for `Stack`, with user data and a key and a link per slot.
//
//   Ref<StackNode> n = New<StackNode>();
//   n->SetValue("job 7");
//   stack->Push(n);                    // linked through n->NextItem(stack->Index())
#pragma once

#include <cstdint>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/elements/sample_node.h"

namespace velmira {

/// Velmira.StackNode provides a sample implementation of the IStackNode interface.
class StackNode : public SampleNode<IStackNode> {
 public:
  /// A new element: user data Empty, no slot used yet (every key Empty, every link Nothing).
  StackNode() = default;

  /// The next element in the stack using slot `Index`; Nothing until set.
  Ref<IStackNode> NextItem(std::int32_t Index) override;
  /// Stores the link for slot `Index`, changing no other slot.
  void SetNextItem(std::int32_t Index, const Ref<IStackNode>& Value) override;

 protected:
  ~StackNode() override;
};

}  // namespace velmira
