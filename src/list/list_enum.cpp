#include "velmira/list/list_enum.h"

#include <utility>

namespace velmira {

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
    next = current ? current->NextItem(index_) : first_;
  } else {
    next = current ? current->PrevItem(index_) : last_;
  }
  current_ = std::move(next);
  return current_;
}

}  // namespace velmira
