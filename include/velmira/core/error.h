// The library's exception type, carrying the error number callers test.
//
//   try { Ref<IQueueNode> q = As<IQueueNode>(stack_node); }
//   catch (const velmira::Error& e) { if (e.Number() == velmira::kErrTypeMismatch) ... }
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace velmira {

/// Error numbers raised by the library.
inline constexpr std::int32_t kErrOverflow = 6;
inline constexpr std::int32_t kErrTypeMismatch = 13;
inline constexpr std::int32_t kErrFileNotFound = 53;
inline constexpr std::int32_t kErrDeviceIo = 57;
inline constexpr std::int32_t kErrDiskFull = 61;
inline constexpr std::int32_t kErrPermissionDenied = 70;
inline constexpr std::int32_t kErrPathNotFound = 76;
inline constexpr std::int32_t kErrPathFileAccess = 75;
/// A member was called on Nothing: an element's link read back differently from what was stored.
inline constexpr std::int32_t kErrObjectNotSet = 91;

class Error : public std::runtime_error {
 public:
  Error(std::int32_t number, const std::string& message);

  /// The error number, e.g. `kErrTypeMismatch`.
  std::int32_t Number() const noexcept { return number_; }

 private:
  std::int32_t number_;
};

/// Throws `Error(kErrTypeMismatch, "Type mismatch")`.
[[noreturn]] void ThrowTypeMismatch();
/// Throws `Error(kErrOverflow, "Overflow")`.
[[noreturn]] void ThrowOverflow();

/// Throws `Error(kErrObjectNotSet, "Object variable not set")`.
[[noreturn]] void ThrowObjectNotSet();

/// Adds two 32-bit counters, raising the overflow error instead of wrapping.
std::int32_t CheckedAdd(std::int32_t a, std::int32_t b);

}  // namespace velmira
