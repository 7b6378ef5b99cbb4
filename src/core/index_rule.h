// Internal: the rule every container applies when its `Index` is set.
//
//   detail::SetIndexWhileEmpty(index_, value, IsEmpty(), "Queue", "queue");
//
// The warning is put together only when it is written, so the silent path builds no text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "velmira/core/debug_output.h"

namespace velmira::detail {

/// Stores `value` in `index` while the container is empty. Setting the current value is always
/// silent; changing a non-empty container's slot writes "<class_name>: Warning, an attempt was
/// made to change the Index of a non-empty <noun>" and keeps the old value.
inline void SetIndexWhileEmpty(std::int32_t& index, std::int32_t value, bool is_empty,
                               std::string_view class_name, std::string_view noun) noexcept {
  if (value == index) return;
  if (is_empty) {
    index = value;
    return;
  }
  try {
    std::string warning(class_name);
    warning += ": Warning, an attempt was made to change the Index of a non-empty ";
    warning += noun;
    Warn(warning);
  } catch (...) {
    // Out of memory while building the text: the index stays unchanged, the warning is lost.
  }
}

}  // namespace velmira::detail
