// Internal: number formatting for the debugger's report.
//
//   std::locale locale = EnvironmentLocale();          // what the environment asks for
//   FormatFixed3(1500.0, locale);                      // "1,500.000" under en_US, "1500.000" in C
//
// Numbers follow the locale's `numpunct` facet: its decimal point, thousands separator and
// digit grouping. Only the three decimals are fixed.
#pragma once

#include <locale>
#include <string>

namespace velmira::detail {

/// The locale the environment names (LC_ALL, LC_NUMERIC, LANG), or the classic "C" locale when
/// that one cannot be constructed (not installed, or malformed).
std::locale EnvironmentLocale();

/// `value` with exactly three digits after the decimal separator, grouped and punctuated as
/// `locale` says; negative values carry a leading '-'.
std::string FormatFixed3(double value, const std::locale& locale);

}  // namespace velmira::detail
