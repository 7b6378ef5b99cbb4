// Test support: per-slot storage for hand-written client elements.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace velmira::testing {

/// A few (slot, value) pairs searched linearly: elements in tests use one or two slots.
template <class Value>
class SlotMap {
 public:
  /// The value for `slot`, created empty on first use.
  Value& operator[](std::int32_t slot) {
    for (auto& [s, v] : slots_) {
      if (s == slot) return v;
    }
    return slots_.emplace_back(slot, Value{}).second;
  }
  /// The value for `slot`, or an empty value when the slot was never written.
  Value Get(std::int32_t slot) const {
    for (const auto& [s, v] : slots_) {
      if (s == slot) return v;
    }
    return Value{};
  }

 private:
  std::vector<std::pair<std::int32_t, Value>> slots_;
};

}  // namespace velmira::testing
