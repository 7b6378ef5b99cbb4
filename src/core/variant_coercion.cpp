// The coercions of a `Variant` to a number, an integer, a truth value and text.
#include <charconv>
#include <cmath>
#include <string>

#include "velmira/core/error.h"
#include "velmira/core/variant_conversions.h"

namespace velmira {
namespace {

std::string_view Trimmed(std::string_view text) noexcept {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

/// The number a text spells, or a type mismatch.
double NumberFromText(std::string_view text) {
  text = Trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    ThrowTypeMismatch();
  }
  return number;
}

/// True when `text` is `word` with its ASCII letters in any case.
bool IsWord(std::string_view text, std::string_view word) noexcept {
  if (text.size() != word.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(text[i]) != lower(word[i])) return false;
  }
  return true;
}

}  // namespace

double CoerceToDouble(const Variant& value) {
  if (value.Kind() == VariantKind::String) return NumberFromText(value.Text());
  return value.ToDouble();  // numbers, currency, dates and Empty; a type mismatch for the rest
}

std::int32_t CoerceToInt32(const Variant& value) {
  if (value.Kind() == VariantKind::Int32) return value.Int32Value();
  // Rounded half to even, as automation converts to integers.
  const double rounded = std::nearbyint(CoerceToDouble(value));
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) ThrowOverflow();
  return static_cast<std::int32_t>(rounded);
}

bool CoerceToBoolean(const Variant& value) {
  switch (value.Kind()) {
    case VariantKind::Boolean:
      return value.BoolValue();
    case VariantKind::String: {
      const std::string_view text = Trimmed(value.Text());
      if (IsWord(text, "True")) return true;
      if (IsWord(text, "False")) return false;
      return NumberFromText(text) != 0;
    }
    default:
      return CoerceToDouble(value) != 0;  // Null and objects: a type mismatch
  }
}

std::string CoerceToText(const Variant& value) {
  if (value.Kind() == VariantKind::Null) ThrowTypeMismatch();
  return ToText(value);  // an object has no text form: a type mismatch
}

}  // namespace velmira
