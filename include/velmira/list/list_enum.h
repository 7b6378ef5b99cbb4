// `ListEnum`: walks the elements of a `List`, first to last or last to first, in cycles.
//
//   auto e = list->NewEnum();               // first to last unless told otherwise
//   e->SetOrder(eListEnumReverseOrder);
//   for (auto n = e->NextItem(); n; n = e->NextItem()) { ... }
//
// The enumerator keeps a cursor and the list's two ends as they were when `NewEnum` ran. Each
// step follows the live links of the elements and never consults the list, so it keeps working
// while the list changes. After the last element it returns Nothing once, then starts over from
// the end its order starts from.
#pragma once

#include <cstdint>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"

namespace velmira {

/// The directions a `ListEnum` can walk in.
enum ListEnumEnum : std::int32_t {
  eListEnumReverseOrder = -1,  ///< from the last element towards the first, following PrevItem
  eListEnumInOrder = 1,        ///< from the first element towards the last, following NextItem
};

class List;

class ListEnum : public virtual Object {
 public:
  /// The order in which the list's items should be enumerated; `eListEnumInOrder` at first.
  ListEnumEnum Order() const noexcept { return order_; }
  /// Changes the direction from the current element on. Values other than the two orders are
  /// ignored silently.
  void SetOrder(ListEnumEnum value) noexcept;

  /// The next item in the list, or Nothing if there are no more items (the call after that
  /// starts over). At most one element call; allocates nothing. When an element raises an
  /// error it passes out unchanged and the position stays where it was.
  Ref<IListNode> NextItem();

  /// Calls `visit` with each element the enumerator holds a reference to (where its walks
  /// start, and where it stands), once per reference; for a host that accounts for references,
  /// such as another language's cycle collector.
  template <class Visit>
  void ForEachHeld(Visit&& visit) const {
    for (const Ref<IListNode>* held : {&first_, &last_, &current_}) {
      if (*held) visit(*held);
    }
  }

 protected:
  ~ListEnum() override = default;

 private:
  friend class List;  // only a list's NewEnum creates and primes an enumerator

  ListEnum() = default;
  void SetIndex(std::int32_t value) noexcept { index_ = value; }
  void SetFirst(const Ref<IListNode>& value) noexcept { first_ = value; }
  void SetLast(const Ref<IListNode>& value) noexcept { last_ = value; }

  std::int32_t index_ = 0;
  ListEnumEnum order_ = eListEnumInOrder;
  Ref<IListNode> first_;    // where a forward walk starts
  Ref<IListNode> last_;     // where a reverse walk starts
  Ref<IListNode> current_;  // the element returned last; Nothing before a walk and after it
};

}  // namespace velmira
