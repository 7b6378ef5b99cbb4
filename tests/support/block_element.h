// Test support: an element made of all five building blocks, with a key per slot. The reliability
// models run every container over it beside client and sample elements.
#pragma once

#include <cstdint>

#include "slot_map.h"
#include "velmira/core/variant.h"
#include "velmira/elements/links.h"

namespace velmira::testing {

/// A `Stack`, `Queue`, `PQueue`, `List` and `Tree` element at once; one `Key` serves the priority
/// queues and the trees. Keys are set with `SetKey(Index, value)`.
class BlockElement : public StackLinks<>,
                     public QueueLinks<>,
                     public PQueueLinks<>,
                     public ListLinks<>,
                     public TreeLinks<> {
 public:
  Variant Key(std::int32_t Index) override { return keys_.Get(Index); }
  void SetKey(std::int32_t Index, const Variant& value) { keys_[Index] = value; }

 private:
  SlotMap<Variant> keys_;
};

}  // namespace velmira::testing
