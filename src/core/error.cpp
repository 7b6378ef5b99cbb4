#include "velmira/core/error.h"

#include <limits>

namespace velmira {

Error::Error(std::int32_t number, const std::string& message)
    : std::runtime_error(message), number_(number) {}

void ThrowTypeMismatch() { throw Error(kErrTypeMismatch, "Type mismatch"); }

void ThrowOverflow() { throw Error(kErrOverflow, "Overflow"); }

void ThrowObjectNotSet() { throw Error(kErrObjectNotSet, "Object variable not set"); }

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
  std::int32_t sum;
  if (__builtin_add_overflow(a, b, &sum)) ThrowOverflow();
  return sum;
}

}  // namespace velmira
