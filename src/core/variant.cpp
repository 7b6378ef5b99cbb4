#include "velmira/core/variant.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "core/civil_date.h"
#include "velmira/core/error.h"

namespace velmira {

namespace detail {

SharedText* SharedText::Make(std::string_view text) {
  // A view that long can only come from a caller's bad length: refuse it before the size wraps.
  if (text.size() > kMaxTextSize) throw std::bad_alloc();
  // The non-throwing form, so that a size no memory holds fails the same way everywhere (some
  // checking allocators stop the program when a throwing `new` fails).
  void* memory = ::operator new(offsetof(SharedText, data) + text.size() + 1, std::nothrow);
  if (!memory) throw std::bad_alloc();
  auto* block = static_cast<SharedText*>(memory);
  block->refs = 1;
  block->size = text.size();
  if (!text.empty()) std::memcpy(block->data, text.data(), text.size());
  block->data[text.size()] = '\0';
  return block;
}

void DestroyText(SharedText* text) noexcept { ::operator delete(text); }

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

/// One unit of a UTF-8 text for comparison: its rank in UTF-16 code-unit order and its length.
struct TextUnit {
  std::uint32_t rank;
  std::size_t length;
};

/// Rank of a code point such that comparing ranks compares the UTF-16 encodings: code points
/// below U+D800 come first, then the supplementary planes (whose surrogates are D800-DFFF), then
/// U+E000 to U+FFFF.
std::uint32_t RankOf(std::uint32_t code_point) {
  if (code_point < 0xD800) return code_point;
  if (code_point >= 0x10000) return code_point - 0x10000 + 0xD800;
  return code_point + 0x100000;  // U+E000..U+FFFF
}

/// Bytes that do not start a well-formed UTF-8 sequence are units of their own, ranked after
/// every character, so distinct texts never compare equal.
constexpr std::uint32_t kInvalidByteRank = 0x110000;

TextUnit DecodeUnit(std::string_view s, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[at + i]); };
  const std::size_t left = s.size() - at;
  const unsigned char b0 = byte(0);
  const TextUnit invalid{kInvalidByteRank + b0, 1};
  if (b0 < 0x80) return {b0, 1};
  std::size_t length;
  std::uint32_t cp;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) low = 0xA0;   // no overlong forms
    if (b0 == 0xED) high = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    cp = b0 & 0x07;
    if (b0 == 0xF0) low = 0x90;
    if (b0 == 0xF4) high = 0x8F;
  } else {
    return invalid;
  }
  if (left < length) return invalid;
  if (byte(1) < low || byte(1) > high) return invalid;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(byte(i))) return invalid;
    cp = (cp << 6) | (byte(i) & 0x3F);
  }
  return {RankOf(cp), length};
}

/// Where `a` and `b` first differ within their first `n` bytes, or `n`: eight bytes at a time
/// where the byte order of a word allows finding the first differing byte from its low end.
std::size_t FirstDifference(const char* a, const char* b, std::size_t n) noexcept {
  std::size_t at = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; at + 8 <= n; at += 8) {
      std::uint64_t x, y;
      std::memcpy(&x, a + at, 8);
      std::memcpy(&y, b + at, 8);
      if (x != y) return at + static_cast<std::size_t>(std::countr_zero(x ^ y)) / 8;
    }
  }
  while (at < n && a[at] == b[at]) ++at;
  return at;
}

template <class T>
Order CompareValues(T x, T y) {
  if (x < y) return Order::Less;
  if (y < x) return Order::Greater;
  if (x == y) return Order::Equal;
  return Order::Unordered;  // NaN
}

bool IsIntegral(VariantKind kind) {
  return kind == VariantKind::Boolean || kind == VariantKind::Int16 || kind == VariantKind::Int32 ||
         kind == VariantKind::Empty;
}

}  // namespace

Order CompareText(std::string_view a, std::string_view b) noexcept {
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  std::size_t at = FirstDifference(a.data(), b.data(), common);
  // Where the bytes at the difference (or the longer text's byte after the shorter's end) are not
  // continuation bytes, no unit that began before them reaches them: any sequence that would is
  // invalid in both texts alike, a unit of one byte. So both texts decode identically up to the
  // difference, and units begin there. Then byte order decides when one side is ASCII (its rank is
  // its value; a byte from 0xC0 up begins a character beyond ASCII or an invalid unit, ranked after
  // every character), and a text that ends there comes first.
  if (at == common) {
    if (a.size() == b.size()) return Order::Equal;
    const std::string_view longer = a.size() < b.size() ? b : a;
    if (!IsContinuation(static_cast<unsigned char>(longer[at]))) {
      return a.size() < b.size() ? Order::Less : Order::Greater;
    }
  } else {
    const auto x = static_cast<unsigned char>(a[at]), y = static_cast<unsigned char>(b[at]);
    if ((x < 0x80 || y < 0x80) && !IsContinuation(x) && !IsContinuation(y)) {
      return x < y ? Order::Less : Order::Greater;
    }
  }
  // Otherwise restart decoding at the last byte before the difference (or before the end of the
  // shorter text) that begins a unit. Every byte that is not a continuation byte begins a unit,
  // and the texts agree up to that point, so both decode identically before it. A proper byte
  // prefix is decoded too: a text that ends inside a multi-byte sequence has invalid units there,
  // which rank after its completion.
  while (at > 0 && IsContinuation(static_cast<unsigned char>(a[at - 1]))) --at;
  if (at > 0) --at;
  for (;;) {
    if (at >= a.size() || at >= b.size()) return CompareValues(a.size() - at, b.size() - at);
    const TextUnit x = DecodeUnit(a, at), y = DecodeUnit(b, at);
    if (x.rank != y.rank) return x.rank < y.rank ? Order::Less : Order::Greater;
    at += x.length;  // equal ranks mean equal bytes, hence equal lengths
  }
}

/// Numeric value for comparison; exact for every kind but Currency, which is compared apart.
static double NumericValue(const Variant& v) { return v.IsEmpty() ? 0.0 : v.ToDouble(); }

static Order CompareNumbers(const Variant& a, const Variant& b) {
  const bool a_currency = a.Kind() == VariantKind::Currency;
  const bool b_currency = b.Kind() == VariantKind::Currency;
  if (a_currency || b_currency) {
    // Compare in ten-thousandths, exactly when the other side is an integer.
    const auto scaled = [](const Variant& v, bool currency) -> long double {
      if (currency) return static_cast<long double>(v.CurrencyScaled());
      return static_cast<long double>(NumericValue(v)) * 10000.0L;
    };
    if ((a_currency || IsIntegral(a.Kind())) && (b_currency || IsIntegral(b.Kind()))) {
      const auto exact = [](const Variant& v, bool currency) -> std::int64_t {
        return currency ? v.CurrencyScaled() : static_cast<std::int64_t>(NumericValue(v)) * 10000;
      };
      return CompareValues(exact(a, a_currency), exact(b, b_currency));
    }
    return CompareValues(scaled(a, a_currency), scaled(b, b_currency));
  }
  return CompareValues(NumericValue(a), NumericValue(b));
}

Order CompareSlow(const Variant& a, const Variant& b) noexcept {
  const VariantKind ka = a.Kind(), kb = b.Kind();
  if (ka == VariantKind::Null || kb == VariantKind::Null) return Order::Unordered;
  if (ka == VariantKind::Object || kb == VariantKind::Object) {
    // Objects are keys only by identity: equal to the same object, never less or greater.
    if (ka == kb && VariantAccess::Object(a) == VariantAccess::Object(b)) return Order::Equal;
    return Order::Unordered;
  }
  const bool a_text = ka == VariantKind::String, b_text = kb == VariantKind::String;
  if (a_text || b_text) {
    if (a_text && b_text) return CompareText(VariantAccess::Text(a), VariantAccess::Text(b));
    if (ka == VariantKind::Empty) return CompareText({}, VariantAccess::Text(b));
    if (kb == VariantKind::Empty) return CompareText(VariantAccess::Text(a), {});
    return a_text ? Order::Greater : Order::Less;  // any number sorts before any text
  }
  return CompareNumbers(a, b);
}

}  // namespace detail

Variant::Variant(std::string_view text) : kind_(VariantKind::String) {
  if (text.size() <= kInlineText) {
    size_ = static_cast<std::uint8_t>(text.size());
    if (!text.empty()) std::memcpy(chars_, text.data(), text.size());
  } else {
    size_ = kSharedText;
    Store(detail::SharedText::Make(text));
  }
}

Variant Variant::CurrencyFromScaled(std::int64_t ten_thousandths) noexcept {
  Variant v;
  v.kind_ = VariantKind::Currency;
  v.Store(ten_thousandths);
  return v;
}

Variant Variant::Currency(double amount) {
  const double scaled = std::nearbyint(amount * 10000.0);
  // The range of a 64-bit integer, as doubles: [-2^63, 2^63).
  if (!(scaled >= -9223372036854775808.0 && scaled < 9223372036854775808.0)) ThrowOverflow();
  return CurrencyFromScaled(static_cast<std::int64_t>(scaled));
}

Variant Variant::Date(double serial) noexcept {
  Variant v;
  v.kind_ = VariantKind::Date;
  v.Store(serial);
  return v;
}

Variant Variant::DateFromYmd(int year, int month, int day) noexcept {
  return Date(
      static_cast<double>(detail::DaysFromCivil(year, month, day) + detail::kSerialOfUnixEpoch));
}

bool Variant::IsNumeric() const noexcept {
  switch (kind_) {
    case VariantKind::Boolean:
    case VariantKind::Int16:
    case VariantKind::Int32:
    case VariantKind::Single:
    case VariantKind::Double:
    case VariantKind::Currency:
    case VariantKind::Date:
      return true;
    default:
      return false;
  }
}

namespace {

constexpr std::string_view kKindNames[] = {"Empty", "Null",   "Boolean", "Int16",
                                           "Int32", "Single", "Double",  "Currency",
                                           "Date",  "String", "Object"};

/// Raises type mismatch unless `kind` is `wanted`, naming the read and the kind it met.
void Expect(VariantKind kind, VariantKind wanted, std::string_view read) {
  if (kind == wanted) return;
  ThrowError(kErrTypeMismatch, std::string(read) + " of a value of kind " +
                                   std::string(kKindNames[static_cast<int>(kind)]) +
                                   "; ToString gives the text of any value");
}

}  // namespace

namespace detail {

double ExactDouble(std::intmax_t value) {
  const auto d = static_cast<double>(value);
  // A double below 2^63 converts back; one of 2^63 cannot stand for any intmax_t.
  if (d >= 0x1p63 || static_cast<std::intmax_t>(d) != value) ThrowOverflow();
  return d;
}

double ExactDouble(std::uintmax_t value) {
  const auto d = static_cast<double>(value);
  if (d >= 0x1p64 || static_cast<std::uintmax_t>(d) != value) ThrowOverflow();
  return d;
}

}  // namespace detail

bool Variant::BoolValue() const {
  Expect(kind_, VariantKind::Boolean, "BoolValue()");
  return Load<bool>();
}
std::int16_t Variant::Int16Value() const {
  Expect(kind_, VariantKind::Int16, "Int16Value()");
  return Load<std::int16_t>();
}
std::int32_t Variant::Int32Value() const {
  Expect(kind_, VariantKind::Int32, "Int32Value()");
  return Load<std::int32_t>();
}
float Variant::SingleValue() const {
  Expect(kind_, VariantKind::Single, "SingleValue()");
  return Load<float>();
}
double Variant::DoubleValue() const {
  Expect(kind_, VariantKind::Double, "DoubleValue()");
  return Load<double>();
}
std::int64_t Variant::CurrencyScaled() const {
  Expect(kind_, VariantKind::Currency, "CurrencyScaled()");
  return Load<std::int64_t>();
}
double Variant::DateValue() const {
  Expect(kind_, VariantKind::Date, "DateValue()");
  return Load<double>();
}
std::string_view Variant::Text() const {
  Expect(kind_, VariantKind::String, "Text()");
  return TextView();
}
Ref<Object> Variant::ObjectValue() const {
  Expect(kind_, VariantKind::Object, "ObjectValue()");
  return Ref<Object>(const_cast<velmira::Object*>(Load<const velmira::Object*>()));
}

double Variant::ToDouble() const {
  switch (kind_) {
    case VariantKind::Empty:
      return 0.0;
    case VariantKind::Boolean:
      return Load<bool>() ? -1.0 : 0.0;
    case VariantKind::Int16:
      return Load<std::int16_t>();
    case VariantKind::Int32:
      return Load<std::int32_t>();
    case VariantKind::Single:
      return Load<float>();
    case VariantKind::Double:
    case VariantKind::Date:
      return Load<double>();
    case VariantKind::Currency:
      return static_cast<double>(Load<std::int64_t>()) / 10000.0;
    default:
      Expect(kind_, VariantKind::Double, "ToDouble()");  // not a number: raises
      return 0;
  }
}

}  // namespace velmira
