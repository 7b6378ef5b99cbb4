// The text form of a `Variant` (see variant_conversions.h for the forms).
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <system_error>

#include "core/civil_date.h"
#include "velmira/core/error.h"
#include "velmira/core/variant_conversions.h"

namespace velmira {
namespace {

/// Shortest round-trip decimal form of a float or double.
template <class Real>
std::string ShortestText(Real value) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (error != std::errc()) return std::string();  // cannot happen: the buffer is large enough
  return std::string(buffer, end);
}

std::string CurrencyText(std::int64_t ten_thousandths) {
  const bool negative = ten_thousandths < 0;
  // Work on the magnitude as unsigned, which also holds the magnitude of the smallest value.
  const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(ten_thousandths)
                                           : static_cast<std::uint64_t>(ten_thousandths);
  std::string text = negative ? "-" : "";
  text += std::to_string(magnitude / 10000);
  std::uint64_t fraction = magnitude % 10000;
  if (fraction != 0) {
    char digits[5];
    std::snprintf(digits, sizeof digits, "%04u", static_cast<unsigned>(fraction));
    std::string decimals(digits);
    while (decimals.back() == '0') decimals.pop_back();
    text += '.';
    text += decimals;
  }
  return text;
}

std::string DateText(double serial) {
  // Serial numbers of 0100-01-01 and 9999-12-31, the range dates are written as dates.
  constexpr double kFirst = -657434.0, kLast = 2958465.0;
  if (!(serial >= kFirst && serial < kLast + 1.0)) return ShortestText(serial);
  // The whole part counts days from 1899-12-30 and the fraction, taken without its sign, is the
  // time of day: -1.25 is 1899-12-29 at 06:00.
  double whole = std::trunc(serial);
  auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(serial - whole) * 86400.0));
  auto days = static_cast<std::int64_t>(whole);
  if (seconds >= 86400) {  // rounded up to the next midnight
    seconds -= 86400;
    days += 1;
  }
  std::int64_t year;
  int month, day;
  detail::CivilFromDays(days - detail::kSerialOfUnixEpoch, year, month, day);
  char buffer[48];
  if (seconds == 0) {
    std::snprintf(buffer, sizeof buffer, "%04lld-%02d-%02d", static_cast<long long>(year), month,
                  day);
  } else {
    std::snprintf(buffer, sizeof buffer, "%04lld-%02d-%02d %02d:%02d:%02d",
                  static_cast<long long>(year), month, day, static_cast<int>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  }
  return buffer;
}

}  // namespace

std::string ToText(const Variant& value) {
  switch (value.Kind()) {
    case VariantKind::Empty:
      return std::string();
    case VariantKind::Null:
      return "Null";
    case VariantKind::Boolean:
      return value.BoolValue() ? "True" : "False";
    case VariantKind::Int16:
      return std::to_string(value.Int16Value());
    case VariantKind::Int32:
      return std::to_string(value.Int32Value());
    case VariantKind::Single:
      return ShortestText(value.SingleValue());
    case VariantKind::Double:
      return ShortestText(value.DoubleValue());
    case VariantKind::Currency:
      return CurrencyText(value.CurrencyScaled());
    case VariantKind::Date:
      return DateText(value.DateValue());
    case VariantKind::String:
      return std::string(value.Text());
    case VariantKind::Object:
      break;
  }
  ThrowTypeMismatch();  // an object reference has no text form
}

std::string ToString(const Variant& value) {
  if (value.Kind() == VariantKind::Object) return value.ObjectValue() ? "Object" : "Nothing";
  return ToText(value);
}

std::ostream& operator<<(std::ostream& out, const Variant& value) { return out << ToString(value); }

}  // namespace velmira
