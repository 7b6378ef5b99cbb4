// `Variant`: the tagged value of keys and user data, and the three key comparison tests.
//
//   Variant k = "apple";                 // text (UTF-8), shared by copies without allocating
//   Less(Variant(10), Variant("9"));     // true: a number sorts before any text
//   k == "apple"; Variant(1) == 1.0;     // key equality: numbers compare after widening
//   IsNull(Variant::Null());             // Null compares false with everything
//   std::cout << k;                      // the text form the Debugger writes: apple
//   Variant big = std::int64_t{1} << 40; // Double, exactly; a value a double cannot hold: error 6
//
// Which members raise: the typed reads (`Int32Value`, `Text`, ...) raise `Error` 13 (type
// mismatch) when the value is of another kind; `ToDouble` raises 13 for a value that is not a
// number; the integer constructors raise 6 (overflow) for a value neither 32-bit nor exactly a
// double; `Currency` raises 6 out of its range. Construction, copying, comparison, `Kind` and
// `ToString` (variant_conversions.h) raise nothing.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "velmira/core/ref.h"

namespace velmira {

enum class VariantKind : std::uint8_t {
  Empty,    ///< never assigned; compares as 0 or as the empty text
  Null,     ///< no valid value; every comparison with it is false
  Boolean,  ///< true compares as -1, false as 0
  Int16,
  Int32,
  Single,    ///< 32-bit floating point
  Double,    ///< 64-bit floating point
  Currency,  ///< 64-bit integer scaled by 10,000
  Date,      ///< days since 1899-12-30 as a double; the fraction is the time of day
  String,    ///< UTF-8 text
  Object,    ///< a reference to an object, possibly Nothing
};

/// The longest text a `Variant` holds, in bytes: the largest object size less room for the
/// shared text's header. A longer text cannot be stored (its memory could not exist).
inline constexpr std::size_t kMaxTextSize = PTRDIFF_MAX - 64;

namespace detail {
/// The integer types a Variant takes beyond its own Int16 and Int32 (and bool): every other
/// signed or unsigned integer, but not the character types, which stay as they convert.
template <class I>
concept WiderInteger =
    std::integral<I> && !std::same_as<I, bool> && !std::same_as<I, std::int16_t> &&
    !std::same_as<I, std::int32_t> && !std::same_as<I, char> && !std::same_as<I, wchar_t> &&
    !std::same_as<I, char8_t> && !std::same_as<I, char16_t> && !std::same_as<I, char32_t>;

/// `value` as a double when it is exactly one; raises the overflow error otherwise.
double ExactDouble(std::intmax_t value);
double ExactDouble(std::uintmax_t value);

/// Immutable, reference-counted text shared by every copy of a text `Variant`.
struct SharedText {
  std::int32_t refs;
  std::size_t size;
  char data[1];  // `size` bytes follow, then a terminating NUL

  /// Raises `std::bad_alloc` for a text longer than `kMaxTextSize`, whose size would wrap.
  static SharedText* Make(std::string_view text);
  std::string_view View() const noexcept { return {data, size}; }
};
void DestroyText(SharedText* text) noexcept;
struct VariantAccess;
}  // namespace detail

/// A tagged value. Texts of up to 14 bytes are stored in the value itself; longer ones are shared,
/// immutably, by every copy. So copying a Variant never allocates, and comparing never does.
class alignas(8) Variant {
 public:
  /// An Empty value.
  Variant() noexcept = default;
  Variant(bool value) noexcept : kind_(VariantKind::Boolean) { Store(value); }
  Variant(std::int16_t value) noexcept : kind_(VariantKind::Int16) { Store(value); }
  Variant(std::int32_t value) noexcept : kind_(VariantKind::Int32) { Store(value); }
  /// Any other integer: Int32 when the value fits, else Double when a double holds it exactly,
  /// else error 6 (overflow): a value is never changed on its way in.
  template <detail::WiderInteger I>
  Variant(I value) {  // NOLINT: implicit, as for the other numbers
    if (std::in_range<std::int32_t>(value)) {
      kind_ = VariantKind::Int32;
      Store(static_cast<std::int32_t>(value));
    } else {
      kind_ = VariantKind::Double;
      Store(std::is_signed_v<I> ? detail::ExactDouble(static_cast<std::intmax_t>(value))
                                : detail::ExactDouble(static_cast<std::uintmax_t>(value)));
    }
  }
  Variant(float value) noexcept : kind_(VariantKind::Single) { Store(value); }
  Variant(double value) noexcept : kind_(VariantKind::Double) { Store(value); }
  Variant(const char* text) : Variant(std::string_view(text ? text : "")) {}
  Variant(const std::string& text) : Variant(std::string_view(text)) {}
  Variant(std::string_view text);
  /// An object reference; `Variant(Nothing)` holds the empty reference.
  Variant(NothingType) noexcept : kind_(VariantKind::Object) {
    Store(static_cast<const velmira::Object*>(nullptr));
  }
  template <class T>
  Variant(const Ref<T>& object) noexcept : kind_(VariantKind::Object) {
    const velmira::Object* target = object.get();
    Store(target);
    if (target) detail::Retain(target);
  }

  /// The Null value.
  static Variant Null() noexcept {
    Variant v;
    v.kind_ = VariantKind::Null;
    return v;
  }
  /// A currency value given in ten-thousandths (`CurrencyFromScaled(15000)` is 1.5).
  static Variant CurrencyFromScaled(std::int64_t ten_thousandths) noexcept;
  /// A currency value rounded to four decimals; raises the overflow error when out of range.
  static Variant Currency(double amount);
  /// A date: days since 1899-12-30, the fraction being the time of day.
  static Variant Date(double serial) noexcept;
  /// A date from a calendar day (proleptic Gregorian), at midnight.
  static Variant DateFromYmd(int year, int month, int day) noexcept;

  Variant(const Variant& other) noexcept { CopyFrom(other); }
  Variant(Variant&& other) noexcept {
    std::memcpy(this, &other, sizeof(Variant));
    other.kind_ = VariantKind::Empty;
  }
  Variant& operator=(const Variant& other) noexcept {
    Variant copy(other);
    swap(copy);
    return *this;
  }
  Variant& operator=(Variant&& other) noexcept {
    Variant moved(std::move(other));
    swap(moved);
    return *this;
  }
  ~Variant() { ReleasePayload(); }

  void swap(Variant& other) noexcept {
    unsigned char buffer[sizeof(Variant)];
    std::memcpy(buffer, this, sizeof(Variant));
    std::memcpy(static_cast<void*>(this), &other, sizeof(Variant));
    std::memcpy(static_cast<void*>(&other), buffer, sizeof(Variant));
  }

  VariantKind Kind() const noexcept { return kind_; }
  bool IsEmpty() const noexcept { return kind_ == VariantKind::Empty; }
  bool IsNumeric() const noexcept;

  // Typed reads; each raises `Error` 13 (type mismatch) when the kind differs, naming both.
  // `ToString(value)` (variant_conversions.h) gives the text of a value of any kind.
  bool BoolValue() const;
  std::int16_t Int16Value() const;
  std::int32_t Int32Value() const;
  float SingleValue() const;
  double DoubleValue() const;
  std::int64_t CurrencyScaled() const;
  double DateValue() const;
  /// The text of a String value, valid while this Variant lives and is not assigned to.
  std::string_view Text() const;
  /// The object of an Object value (`Nothing` when it holds the empty reference).
  Ref<velmira::Object> ObjectValue() const;

  /// The numeric value of a numeric or Empty value, widened to double. Raises type mismatch for
  /// other kinds.
  double ToDouble() const;

 private:
  friend struct detail::VariantAccess;

  /// Longest text stored in the value itself.
  static constexpr std::size_t kInlineText = 14;
  /// `size_` of a text kept in a shared block.
  static constexpr std::uint8_t kSharedText = 0xFF;
  /// Where a payload other than inline text lives: the last eight bytes, aligned.
  static constexpr std::size_t kPayload = 6;

  template <class T>
  void Store(T value) noexcept {
    static_assert(sizeof(T) <= 8);
    std::memcpy(chars_ + kPayload, &value, sizeof(T));
  }
  template <class T>
  T Load() const noexcept {
    T value;
    std::memcpy(&value, chars_ + kPayload, sizeof(T));
    return value;
  }
  bool IsSharedText() const noexcept {
    return kind_ == VariantKind::String && size_ == kSharedText;
  }
  std::string_view TextView() const noexcept {
    return size_ == kSharedText ? Load<detail::SharedText*>()->View()
                                : std::string_view(chars_, size_);
  }

  void CopyFrom(const Variant& other) noexcept {
    std::memcpy(static_cast<void*>(this), &other, sizeof(Variant));
    if (IsSharedText()) {
      ++Load<detail::SharedText*>()->refs;
    } else if (kind_ == VariantKind::Object) {
      if (const velmira::Object* target = Load<const velmira::Object*>()) detail::Retain(target);
    }
  }
  void ReleasePayload() noexcept {
    if (IsSharedText()) {
      detail::SharedText* text = Load<detail::SharedText*>();
      if (--text->refs == 0) detail::DestroyText(text);
    } else if (kind_ == VariantKind::Object) {
      if (const velmira::Object* target = Load<const velmira::Object*>()) {
        detail::Release(target);
      }
    }
  }

  VariantKind kind_ = VariantKind::Empty;
  std::uint8_t size_ = 0;      // String: the inline length, or kSharedText
  char chars_[kInlineText]{};  // inline text; other payloads in the last eight bytes
};
static_assert(sizeof(Variant) == 16);

inline void swap(Variant& a, Variant& b) noexcept { a.swap(b); }

namespace detail {
/// Outcome of comparing two keys.
enum class Order : std::int8_t { Less = -1, Equal = 0, Greater = 1, Unordered = 2 };

/// Compares by the key rules; `Unordered` when a Null is involved or the kinds do not compare.
Order CompareSlow(const Variant& a, const Variant& b) noexcept;
/// Compares two UTF-8 texts by their UTF-16 code units. Allocates nothing.
Order CompareText(std::string_view a, std::string_view b) noexcept;

/// Unchecked access to a Variant's payload, for the comparison fast paths.
struct VariantAccess {
  static std::int32_t Int32(const Variant& v) noexcept { return v.Load<std::int32_t>(); }
  static std::string_view Text(const Variant& v) noexcept { return v.TextView(); }
  static const velmira::Object* Object(const Variant& v) noexcept {
    return v.Load<const velmira::Object*>();
  }
};

inline Order Compare(const Variant& a, const Variant& b) noexcept {
  // The two kinds trees and queues use most often are answered here, inline.
  // Laid out as the likely path: the slow comparison is a call anyway.
  if (a.Kind() == b.Kind()) [[likely]] {
    if (a.Kind() == VariantKind::Int32) [[likely]] {
      const std::int32_t x = VariantAccess::Int32(a), y = VariantAccess::Int32(b);
      return x < y ? Order::Less : (y < x ? Order::Greater : Order::Equal);
    }
    if (a.Kind() == VariantKind::String) [[likely]] {
      return CompareText(VariantAccess::Text(a), VariantAccess::Text(b));
    }
  }
  return CompareSlow(a, b);
}
}  // namespace detail

/// True when `a` sorts before `b`: numbers by value, texts by UTF-16 code units, any number
/// before any text, Empty as 0 or as the empty text. False whenever either side is Null. Object
/// references are never less or greater than anything.
inline bool Less(const Variant& a, const Variant& b) noexcept {
  return detail::Compare(a, b) == detail::Order::Less;
}
/// True when `a` sorts after `b`; see `Less`.
inline bool Greater(const Variant& a, const Variant& b) noexcept {
  return detail::Compare(a, b) == detail::Order::Greater;
}
/// True when `a` and `b` are equal keys; object references are equal only to the same object.
inline bool Equal(const Variant& a, const Variant& b) noexcept {
  return detail::Compare(a, b) == detail::Order::Equal;
}

/// `a == b` is `Equal(a, b)`, the equality trees use for keys: numbers by value whatever their
/// kinds (`Variant(1) == 1.0`), texts by UTF-16 code units, Empty equal to 0 and to "", object
/// references by identity. Like a floating NaN, Null (and NaN) equals nothing, itself included;
/// `a != b` is `!(a == b)`, so it is true there. So `==` is not an equivalence over all values:
/// do not use it where one is assumed (as a hash map's key equality).
inline bool operator==(const Variant& a, const Variant& b) noexcept { return Equal(a, b); }

/// Writes the text form the Debugger writes (`ToString`): 42, fig, 2.5, Null, True.
std::ostream& operator<<(std::ostream& out, const Variant& value);
/// True when `v` is Null.
inline bool IsNull(const Variant& v) noexcept { return v.Kind() == VariantKind::Null; }

}  // namespace velmira
