// Internal: conversions between calendar days (proleptic Gregorian) and day numbers, shared by
// `Variant`'s date constructor and the debugger's text form of dates.
//
//   std::int64_t serial = detail::DaysFromCivil(2024, 2, 29) + detail::kSerialOfUnixEpoch;
//
// A date `Variant` counts days from 1899-12-30; these functions count from 1970-01-01.
#pragma once

#include <cstdint>

namespace velmira::detail {

/// The date serial number of 1970-01-01.
inline constexpr std::int64_t kSerialOfUnixEpoch = 25569;

/// Days from 1970-01-01 to the given day, negative before it (H. Hinnant's algorithm).
constexpr std::int64_t DaysFromCivil(std::int64_t year, int month, int day) noexcept {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

/// The calendar day `days` after 1970-01-01 (before it when negative); the inverse of
/// `DaysFromCivil`.
constexpr void CivilFromDays(std::int64_t days, std::int64_t& year, int& month, int& day) noexcept {
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

}  // namespace velmira::detail
