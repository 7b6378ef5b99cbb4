#include "registry/conversion.h"

#include <charconv>
#include <cmath>
#include <string>

#include "debug/variant_text.h"
#include "velmira/core/error.h"

namespace velmira::detail {
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

std::int32_t ToInt32(const Variant& value) {
  double number;
  switch (value.Kind()) {
    case VariantKind::Int16:
    case VariantKind::Int32:
    case VariantKind::Boolean:
    case VariantKind::Empty:
      return static_cast<std::int32_t>(value.ToDouble());
    case VariantKind::String:
      number = NumberFromText(value.Text());
      break;
    case VariantKind::Single:
    case VariantKind::Double:
    case VariantKind::Currency:
    case VariantKind::Date:
      number = value.ToDouble();
      break;
    default:
      ThrowTypeMismatch();
  }
  // Rounded half to even, as automation converts to integers.
  const double rounded = std::nearbyint(number);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) ThrowOverflow();
  return static_cast<std::int32_t>(rounded);
}

bool ToBoolean(const Variant& value) {
  switch (value.Kind()) {
    case VariantKind::Boolean:
      return value.BoolValue();
    case VariantKind::String: {
      const std::string_view text = Trimmed(value.Text());
      if (NamesMatch(text, "True")) return true;
      if (NamesMatch(text, "False")) return false;
      return NumberFromText(text) != 0;
    }
    case VariantKind::Null:
    case VariantKind::Object:
      ThrowTypeMismatch();
    default:
      return value.ToDouble() != 0;  // Empty, integers, floating, currency, date
  }
}

}  // namespace

Variant ConvertArgument(const Variant& value, const TypeRef& type) {
  switch (type.kind) {
    case ValueType::Int32:
    case ValueType::Enum:
      if (value.Kind() == VariantKind::Int32) return value;
      return Variant(ToInt32(value));
    case ValueType::Boolean:
      return Variant(ToBoolean(value));
    case ValueType::String:
      if (value.Kind() == VariantKind::String) return value;
      if (value.Kind() == VariantKind::Null || value.Kind() == VariantKind::Object) {
        ThrowTypeMismatch();
      }
      return Variant(VariantText(value));
    case ValueType::Object:
      if (value.Kind() != VariantKind::Object) ThrowTypeMismatch();
      return value;
    case ValueType::Variant:
    case ValueType::None:
      break;
  }
  return value;
}

}  // namespace velmira::detail
