// Internal: the object a `List` stores in its members' `Tag` slot to recognise them.
#pragma once

#include <cstdint>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"

namespace velmira::detail {

/// An `IListNode` whose members do nothing: its gets return Nothing and its sets store nothing.
/// A list creates one for its whole life and only ever compares it by identity; it never calls
/// the marker's members and never hands it to a caller.
class ListMarker final : public IListNode {
 public:
  Ref<IListNode> NextItem(std::int32_t) override { return Nothing; }
  void SetNextItem(std::int32_t, const Ref<IListNode>&) override {}
  Ref<IListNode> PrevItem(std::int32_t) override { return Nothing; }
  void SetPrevItem(std::int32_t, const Ref<IListNode>&) override {}
  Ref<IListNode> Tag(std::int32_t) override { return Nothing; }
  void SetTag(std::int32_t, const Ref<IListNode>&) override {}

 private:
  ~ListMarker() override = default;
};

}  // namespace velmira::detail
