// `PQueueNode`: a ready-made element for `PQueue`, with user data and a key and a link per slot.
//
//   Ref<PQueueNode> n = New<PQueueNode>();
//   n->SetKey(pqueue->Index(), 5);     // the priority; larger keys come out first
//   pqueue->Add(n);
#pragma once

#include <cstdint>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"
#include "velmira/elements/sample_node.h"

namespace velmira {

/// Velmira.PQueueNode provides a sample implementation of the IPQueueNode interface.
class PQueueNode : public SampleNode<IPQueueNode> {
 public:
  /// A new element: user data Empty, no slot used yet (every key Empty, every link Nothing).
  PQueueNode() = default;

  /// The key that orders this element in a priority queue using slot `Index`: exactly what
  /// `SetKey(Index, ...)` stored, Empty until then. Set it with `SetKey`.
  Variant Key(std::int32_t Index) override;
  /// The next element in the priority queue using slot `Index`; Nothing until set.
  Ref<IPQueueNode> NextItem(std::int32_t Index) override;
  /// Stores the link for slot `Index`, changing no other slot.
  void SetNextItem(std::int32_t Index, const Ref<IPQueueNode>& Value) override;

 protected:
  ~PQueueNode() override;
};

}  // namespace velmira
