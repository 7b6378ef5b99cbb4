// `QueueNode`: a ready-made element for `Queue`, with user data and a key and a link per slot.
//
//   Ref<QueueNode> n = New<QueueNode>();
//   n->SetData(stack);                 // any value or object reference
//   queue->Add(n);                     // linked through n->NextItem(queue->Index())
#pragma once

#include <cstdint>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/elements/sample_node.h"

namespace velmira {

/// Velmira.QueueNode provides a sample implementation of the IQueueNode interface.
class QueueNode : public SampleNode<IQueueNode> {
 public:
  /// A new element: user data Empty, no slot used yet (every key Empty, every link Nothing).
  QueueNode() = default;

  /// The next element in the queue using slot `Index`; Nothing until set.
  Ref<IQueueNode> NextItem(std::int32_t Index) override;
  /// Stores the link for slot `Index`, changing no other slot.
  void SetNextItem(std::int32_t Index, const Ref<IQueueNode>& Value) override;

 protected:
  ~QueueNode() override;
};

}  // namespace velmira
