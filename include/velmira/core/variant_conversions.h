// What a `Variant` is worth as text, as a number and as a truth value: its text form, and the
// coercions late-bound calls apply to their arguments. The debugger, the dispatcher and the C
// interface all convert through these.
//
//   std::string a = ToText(Variant(2.5));                      // "2.5"
//   std::string b = ToString(Variant(Nothing));                // "Nothing": never an error
//   std::string c = ToText(Variant::DateFromYmd(2024, 3, 1));  // "2024-03-01"
//   std::int32_t i = CoerceToInt32(Variant(" 2.5 "));          // 2: rounded half to even
//   bool yes = CoerceToBoolean(Variant("true"));               // true
//
// Nothing here depends on the locale.
#pragma once

#include <cstdint>
#include <string>

#include "velmira/core/variant.h"

namespace velmira {

/// The text form of `value`, as the debugger writes the extra messages of `Output`:
/// - Empty: the empty text. Null: "Null". Boolean: "True" or "False".
/// - Integers: decimal. Single and Double: the shortest decimal form that reads back as the same
///   value ("0.1", "1e+20", "-0", "inf", "nan").
/// - Currency: decimal with the trailing zeros of its four decimals dropped ("1.5", "-3").
/// - Date: "YYYY-MM-DD" at midnight, otherwise "YYYY-MM-DD HH:MM:SS" (to the nearest second); a
///   value outside the years 100 to 9999 is written as its serial number.
/// - String: the text itself.
/// - Object reference (Nothing included): no text form; raises `Error` 13 (type mismatch).
std::string ToText(const Variant& value);

/// The text of a value of any kind, which never raises an `Error`: `ToText`'s form, and
/// "Nothing" or "Object" for an object reference. `operator<<` writes it.
std::string ToString(const Variant& value);

/// The number `value` stands for: numbers, currency and dates as `Variant::ToDouble` reads them
/// (true is -1), Empty as 0, and text that spells a number (blanks around it and a leading '+'
/// allowed). Null, object references and other text raise error 13.
double CoerceToDouble(const Variant& value);
/// `CoerceToDouble` rounded half to even; error 6 (overflow) outside the 32-bit range.
std::int32_t CoerceToInt32(const Variant& value);
/// Booleans as they are; "True" and "False" in any letter case (blanks around allowed); any
/// other value by `CoerceToDouble`, non-zero being true. Null and object references: error 13.
bool CoerceToBoolean(const Variant& value);
/// Text as it is; Null and object references raise error 13; anything else in its `ToText` form.
std::string CoerceToText(const Variant& value);

}  // namespace velmira
