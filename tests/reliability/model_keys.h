// Reliability support: the keys the models use, with the key comparison written out from its
// rules (numbers by value, texts by UTF-16 code units, any number before any text, Empty as 0 or
// as the empty text, Null and NaN ordered against nothing), and the Variant each key stands for.
//
//   const MKey& k = KeyPool()[3];
//   Order o = ModelCompare(k, KeyPool()[5]);
//   Variant v = k.ToVariant();
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "velmira/core/variant.h"

namespace velmira::reliability {

enum class Order { Less, Equal, Greater, Unordered };

/// A key as the model sees it: a class (Empty, Null, number, text), the number or the UTF-16
/// text, and the Variant kind it is handed to the library as.
struct MKey {
  enum Class { Empty, Null, Number, Text } cls;
  double number = 0;
  std::u16string text;
  VariantKind kind = VariantKind::Empty;

  Variant ToVariant() const {
    switch (kind) {
      case VariantKind::Empty:
        return Variant();
      case VariantKind::Null:
        return Variant::Null();
      case VariantKind::Boolean:
        return Variant(number != 0);
      case VariantKind::Int16:
        return Variant(static_cast<std::int16_t>(number));
      case VariantKind::Int32:
        return Variant(static_cast<std::int32_t>(number));
      case VariantKind::Single:
        return Variant(static_cast<float>(number));
      case VariantKind::Currency:
        return Variant::CurrencyFromScaled(static_cast<std::int64_t>(number * 10000));
      case VariantKind::Date:
        return Variant::Date(number);
      case VariantKind::String:
        return Variant(Utf8());
      default:
        return Variant(number);
    }
  }
  std::string Utf8() const {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
      char32_t c = text[i];
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
        c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
      }
      if (c < 0x80) {
        out += static_cast<char>(c);
      } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
      } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
      } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
      }
    }
    return out;
  }
  bool IsNullOrNaN() const { return cls == Null || (cls == Number && std::isnan(number)); }
};

inline Order ModelCompare(const MKey& a, const MKey& b) {
  if (a.cls == MKey::Null || b.cls == MKey::Null) return Order::Unordered;
  const bool a_text = a.cls == MKey::Text || (a.cls == MKey::Empty && b.cls == MKey::Text);
  const bool b_text = b.cls == MKey::Text || (b.cls == MKey::Empty && a.cls == MKey::Text);
  if (a_text != b_text) return a_text ? Order::Greater : Order::Less;
  if (a_text) {
    return a.text < b.text ? Order::Less : (b.text < a.text ? Order::Greater : Order::Equal);
  }
  const double x = a.cls == MKey::Empty ? 0 : a.number, y = b.cls == MKey::Empty ? 0 : b.number;
  if (std::isnan(x) || std::isnan(y)) return Order::Unordered;
  return x < y ? Order::Less : (y < x ? Order::Greater : Order::Equal);
}

/// Keys of every kind that matters, with deliberate equalities across kinds (1 as Int16, Int32,
/// Double and Currency), texts whose UTF-16 order differs from their byte order, the 32-bit
/// extremes, NaN, Null and Empty.
inline const std::vector<MKey>& KeyPool() {
  using K = VariantKind;
  static const std::vector<MKey> pool = {
      {MKey::Number, 1, {}, K::Int32},
      {MKey::Number, 1, {}, K::Int16},
      {MKey::Number, 1, {}, K::Double},
      {MKey::Number, 1, {}, K::Currency},
      {MKey::Number, 2, {}, K::Int32},
      {MKey::Number, -3, {}, K::Int32},
      {MKey::Number, 2.5, {}, K::Single},
      {MKey::Number, -1, {}, K::Boolean},  // True
      {MKey::Number, 0, {}, K::Boolean},   // False, equal to Empty against numbers
      {MKey::Number, 45000.5, {}, K::Date},
      {MKey::Number, 2147483647, {}, K::Int32},
      {MKey::Number, -2147483648.0, {}, K::Int32},
      {MKey::Number, std::numeric_limits<double>::infinity(), {}, K::Double},
      {MKey::Number, std::numeric_limits<double>::quiet_NaN(), {}, K::Double},
      {MKey::Empty, 0, {}, K::Empty},
      {MKey::Null, 0, {}, K::Null},
      {MKey::Text, 0, u"", K::String},
      {MKey::Text, 0, u"9", K::String},
      {MKey::Text, 0, u"10", K::String},
      {MKey::Text, 0, u"a", K::String},
      {MKey::Text, 0, u"ab", K::String},
      {MKey::Text, 0, u"\u00e9t\u00e9", K::String},
      {MKey::Text, 0, u"\uFFFD", K::String},
      {MKey::Text, 0, u"\U00010000", K::String},  // sorts before U+FFFD in UTF-16
      {MKey::Text, 0, u"a long text that is not stored inline", K::String},
  };
  return pool;
}

}  // namespace velmira::reliability
