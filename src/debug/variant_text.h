// Internal: the text form of a `Variant`, as the debugger writes the extra messages of `Output`.
//
//   VariantText(Variant(2.5))                       // "2.5"
//   VariantText(Variant::DateFromYmd(2024, 3, 1))   // "2024-03-01"
//   VariantText(Variant::Null())                    // "Null"
//
// The forms do not depend on the locale:
// - Empty: the empty text. Null: "Null". Boolean: "True" or "False".
// - Integers: decimal. Single and Double: the shortest decimal form that reads back as the same
//   value ("0.1", "1e+20", "-0", "inf", "nan").
// - Currency: decimal with the trailing zeros of its four decimals dropped ("1.5", "-3").
// - Date: "YYYY-MM-DD" at midnight, otherwise "YYYY-MM-DD HH:MM:SS" (to the nearest second); a
//   value outside the years 100 to 9999 is written as its serial number.
// - String: the text itself.
// - Object reference (Nothing included): no text form; raises `Error` 13 (type mismatch).
#pragma once

#include <string>

#include "velmira/core/variant.h"

namespace velmira::detail {

/// The text form of `value` described above.
std::string VariantText(const Variant& value);

}  // namespace velmira::detail
