// The library's exception type, carrying the error number callers test (error_numbers.h lists
// the numbers and their messages).
//
//   try { Ref<IQueueNode> q = As<IQueueNode>(New<StackNode>()); }
//   catch (const velmira::Error& e) { if (e.Number() == velmira::kErrTypeMismatch) { ... } }
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "velmira/core/error_numbers.h"

namespace velmira {

class Error : public std::runtime_error {
 public:
  Error(std::int32_t number, const std::string& message);

  /// The error number, e.g. `kErrTypeMismatch`.
  std::int32_t Number() const noexcept { return number_; }

 private:
  std::int32_t number_;
};

/// The message of an error: the number's standard text (`ErrorMessage`), then ": " and
/// `particulars` when they are given ("Type mismatch: X is not an element interface").
std::string ErrorText(std::int32_t number, std::string_view particulars = {});
/// Throws `Error(number, ErrorText(number, particulars))`.
[[noreturn]] void ThrowError(std::int32_t number, std::string_view particulars = {});
/// Throws `Error(kErrTypeMismatch, "Type mismatch")`.
[[noreturn]] void ThrowTypeMismatch();
/// Throws `Error(kErrOverflow, "Overflow")`.
[[noreturn]] void ThrowOverflow();

/// Throws `Error(kErrObjectNotSet, "Object variable not set")`.
[[noreturn]] void ThrowObjectNotSet();

/// Adds two 32-bit counters, raising the overflow error instead of wrapping.
std::int32_t CheckedAdd(std::int32_t a, std::int32_t b);

}  // namespace velmira
