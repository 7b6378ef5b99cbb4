#include "velmira/list/list_enum.h"

#include <utility>

namespace velmira {

void ListEnum::SetOrder(ListEnumEnum value) noexcept {
  if (value == eListEnumInOrder || value == eListEnumReverseOrder) order_ = value;
}

Ref<IListNode> ListEnum::NextItem() {
  // The step is read into a local first: if the element raises an error, current_ is untouched.
  Ref<IListNode> next;
  if (order_ == eListEnumInOrder) {
    next = current_ ? current_->NextItem(index_) : first_;
  } else {
    next = current_ ? current_->PrevItem(index_) : last_;
  }
  current_ = std::move(next);
  return current_;
}

}  // namespace velmira
