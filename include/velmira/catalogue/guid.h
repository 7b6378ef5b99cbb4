// `Guid`: the fixed 128-bit identifiers of the library, its classes and its interfaces.
//
//   constexpr Guid id = Guid::Parse("8c8f3a4e-5b0d-4c61-9a3e-2f7b1d6c0a11");
//   std::string text = id.ToString();   // "{8C8F3A4E-5B0D-4C61-9A3E-2F7B1D6C0A11}"
//   if (auto back = Guid::FromString(text)) { ... }
//
// Identifiers are chosen once and never change; clients may store them. `Parse` runs at compile
// time for the catalogue's own identifiers, so a malformed literal does not compile.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velmira {

struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};

  /// Reads "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx", with or without braces, hex digits in either
  /// case. Empty optional for any other text.
  static constexpr std::optional<Guid> FromString(std::string_view text) noexcept;
  /// `FromString` for literals known to be well formed; a malformed one fails to compile when
  /// used in a constant expression.
  static constexpr Guid Parse(std::string_view text) {
    std::optional<Guid> id = FromString(text);
    if (!id) throw "malformed GUID literal";  // not a constant expression: a compile error
    return *id;
  }

  /// The registry form: upper-case hex digits in braces.
  std::string ToString() const;

  friend constexpr bool operator==(const Guid&, const Guid&) = default;
};

constexpr std::optional<Guid> Guid::FromString(std::string_view text) noexcept {
  if (text.size() == 38 && text.front() == '{' && text.back() == '}') {
    text = text.substr(1, 36);
  }
  if (text.size() != 36) return std::nullopt;
  std::array<std::uint8_t, 16> bytes{};
  std::size_t at = 0;
  for (std::size_t i = 0; i < 36; ++i) {
    const char c = text[i];
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (c != '-') return std::nullopt;
      continue;
    }
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    bytes[at / 2] = static_cast<std::uint8_t>(bytes[at / 2] << 4 | digit);
    ++at;
  }
  Guid id;
  id.data1 = static_cast<std::uint32_t>(bytes[0]) << 24 |
             static_cast<std::uint32_t>(bytes[1]) << 16 |
             static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
  id.data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
  id.data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
  for (std::size_t i = 0; i < 8; ++i) id.data4[i] = bytes[8 + i];
  return id;
}

}  // namespace velmira
