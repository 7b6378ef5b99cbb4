// Internal: the rule every container applies when its `Index` is set.
#pragma once

#include <cstdint>
#include <string_view>

#include "velmira/core/debug_output.h"

namespace velmira::detail {

/// Stores `value` in `index` while the container is empty. Setting the current value is always
/// silent; changing a non-empty container's slot writes `warning` and keeps the old value.
inline void SetIndexWhileEmpty(std::int32_t& index, std::int32_t value, bool is_empty,
                               std::string_view warning) noexcept {
  if (value == index) return;
  if (is_empty) {
    index = value;
  } else {
    Warn(warning);
  }
}

}  // namespace velmira::detail
