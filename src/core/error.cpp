#include "velmira/core/error.h"

namespace velmira {

Error::Error(std::int32_t number, const std::string& message)
    : std::runtime_error(message), number_(number) {}

std::string ErrorText(std::int32_t number, std::string_view particulars) {
  std::string text(ErrorMessage(number));
  if (!particulars.empty()) text.append(": ").append(particulars);
  return text;
}

void ThrowError(std::int32_t number, std::string_view particulars) {
  throw Error(number, ErrorText(number, particulars));
}

void ThrowTypeMismatch() { ThrowError(kErrTypeMismatch); }

void ThrowOverflow() { ThrowError(kErrOverflow); }

void ThrowObjectNotSet() { ThrowError(kErrObjectNotSet); }

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
  std::int32_t sum;
  if (__builtin_add_overflow(a, b, &sum)) ThrowOverflow();
  return sum;
}

}  // namespace velmira
