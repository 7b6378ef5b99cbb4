// The fuzzers' view of their input: bytes and raw values read in turn; reading past the end
// yields zeros, so every input is a complete program.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

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
};
