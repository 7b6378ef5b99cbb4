// Reliability support: the keys the models use, with the key comparison written out from its rules
// (numbers by value, texts by UTF-16 code units, any number before any text, Empty as 0 or as the
// empty text, Null and NaN ordered against nothing), and the Variant each key stands for.
//
//   const MKey& k = KeyPool()[3];
//   Order o = ModelCompare(k, KeyPool()[5]);   // k.value is what the library is handed
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "velmira/core/variant.h"

namespace velmira::reliability {

enum class Order { Less, Equal, Greater, Unordered };

/// A key as the model sees it (a class, the number or the UTF-16 text) and as the library gets it.
struct MKey {
  enum Class { Empty, Null, Number, Text } cls;
  double number = 0;
  std::u16string text;
  Variant value;

  bool IsNullOrNaN() const { return cls == Null || (cls == Number && std::isnan(number)); }
};

inline Order ModelCompare(const MKey& a, const MKey& b) {
  if (a.cls == MKey::Null || b.cls == MKey::Null) return Order::Unordered;
  const bool a_text = a.cls == MKey::Text || (a.cls == MKey::Empty && b.cls == MKey::Text);
  const bool b_text = b.cls == MKey::Text || (b.cls == MKey::Empty && a.cls == MKey::Text);
  if (a_text != b_text) return a_text ? Order::Greater : Order::Less;
  if (a_text)
    return a.text < b.text ? Order::Less : b.text < a.text ? Order::Greater : Order::Equal;
  const double x = a.cls == MKey::Empty ? 0 : a.number, y = b.cls == MKey::Empty ? 0 : b.number;
  if (std::isnan(x) || std::isnan(y)) return Order::Unordered;
  return x < y ? Order::Less : (y < x ? Order::Greater : Order::Equal);
}

/// Keys of every kind that matters, with deliberate equalities across kinds (1 as Int16, Int32,
/// Double and Currency; False and Empty), texts whose UTF-16 order differs from their byte order,
/// the 32-bit extremes, NaN, Null and Empty. U+10000 sorts before U+FFFD in UTF-16.
inline const std::vector<MKey>& KeyPool() {
  constexpr int kMax = std::numeric_limits<std::int32_t>::max();
  constexpr int kMin = std::numeric_limits<std::int32_t>::min();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  auto n = [](double x, Variant v) { return MKey{MKey::Number, x, {}, std::move(v)}; };
  auto t = [](std::u16string s, const char* utf8) { return MKey{MKey::Text, 0, s, utf8}; };
  // clang-format off
  static const std::vector<MKey> pool = {
      n(1, 1), n(1, std::int16_t(1)), n(1, 1.0), n(1, Variant::Currency(1)), n(2, 2), n(-3, -3),
      n(2.5, 2.5f), n(-1, true), n(0, false), n(45000.5, Variant::Date(45000.5)), n(kMax, kMax),
      n(kMin, kMin), n(kInf, kInf), n(std::nan(""), std::nan("")), MKey{MKey::Empty, 0, {}, Variant()},
      MKey{MKey::Null, 0, {}, Variant::Null()}, t(u"", ""), t(u"9", "9"), t(u"10", "10"),
      t(u"a", "a"), t(u"ab", "ab"), t(u"\u00e9t\u00e9", "\u00e9t\u00e9"), t(u"\uFFFD", "\uFFFD"),
      t(u"\U00010000", "\U00010000"),
      t(u"a long text that is not stored inline", "a long text that is not stored inline")};
  // clang-format on
  return pool;
}

}  // namespace velmira::reliability
