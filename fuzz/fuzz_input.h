// Reading a fuzzer's input: bytes as small numbers, raw values and Variants of every kind (texts
// of arbitrary bytes with NULs and broken UTF-8, extreme numbers, NaN). Reading past the end
// yields zeros, so every input is a valid program.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "velmira/core/variant.h"

namespace velmira::fuzz {

struct Reader {
  const std::uint8_t* p;
  std::size_t n;

  std::uint8_t Byte() { return n ? (--n, *p++) : 0; }
  template <class T>
  T Raw() {
    T v{};
    const std::size_t k = std::min(n, sizeof(T));
    std::memcpy(&v, p, k);
    p += k, n -= k;
    return v;
  }
  /// Up to `max` bytes of the input as they are.
  std::string Bytes(std::size_t max) {
    const std::size_t len = std::min<std::size_t>(Byte() % (max + 1), n);
    std::string text(reinterpret_cast<const char*>(p), len);
    p += len, n -= len;
    return text;
  }
};

/// A value of any kind but Object.
inline Variant MakeVariant(Reader& r) {
  switch (r.Byte() % 12) {
    case 0:
      return Variant();
    case 1:
      return Variant::Null();
    case 2:
      return Variant(r.Byte() % 2 == 0);
    case 3:
      return Variant(r.Raw<std::int16_t>());
    case 4:
      return Variant(r.Raw<std::int32_t>());
    case 5:
      return Variant(r.Raw<float>());
    case 6:
      return Variant(r.Raw<double>());
    case 7:
      return Variant::CurrencyFromScaled(r.Raw<std::int64_t>());
    case 8:
      return Variant::Date(r.Raw<double>());
    case 9:
      return Variant(std::numeric_limits<double>::quiet_NaN());
    default:
      return Variant(std::string_view(r.Bytes(39)));
  }
}

}  // namespace velmira::fuzz
