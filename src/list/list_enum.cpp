#include "velmira/list/list_enum.h"

#include <utility>

#include "velmira/core/link_access.h"

namespace velmira {

using detail::GetLink;
using detail::NextLink;
using detail::PrevLink;

void ListEnum::SetOrder(ListEnumEnum value) noexcept {
  if (value == eListEnumInOrder || value == eListEnumReverseOrder) order_ = value;
}

Ref<IListNode> ListEnum::NextItem() {
  // The step is read into a local first: if the element raises an error, current_ is untouched.
  // The current element is held here while it runs: the enumerator may be re-entered or dropped.
  const detail::KeepAlive alive(this);
  const Ref<IListNode> current = current_;
  Ref<IListNode> next;
  if (order_ == eListEnumInOrder) {
    next = current ? GetLink<NextLink>(*current, index_) : first_;
  } else {
    next = current ? GetLink<PrevLink>(*current, index_) : last_;
  }
  current_ = std::move(next);
  return current_;
}

}  // namespace velmira
