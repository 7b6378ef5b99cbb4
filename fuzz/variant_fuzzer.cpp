// Fuzz target: Variant comparison and text forms. Three values are built from the input (any
// kind, texts of arbitrary bytes with NULs and broken UTF-8, extreme numbers, NaN); the three
// tests must form a strict weak order on the values that order at all, and every value must
// convert to text through the debugger's Output without failing.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "velmira/core/debug_output.h"
#include "velmira/core/variant.h"
#include "velmira/debug/debugger.h"

using namespace velmira;

namespace {

/// A value of any kind but Object: texts of up to 39 arbitrary bytes, extreme numbers, NaN.
Variant MakeVariant(Reader& r) {
  const std::uint8_t kind = r.Byte() % 12;
  if (kind == 0) return Variant();
  if (kind == 1) return Variant::Null();
  if (kind == 2) return Variant(r.Byte() % 2 == 0);
  if (kind == 3) return Variant(r.Raw<std::int16_t>());
  if (kind == 4) return Variant(r.Raw<std::int32_t>());
  if (kind == 5) return Variant(r.Raw<float>());
  if (kind == 6) return Variant(r.Raw<double>());
  if (kind == 7) return Variant::CurrencyFromScaled(r.Raw<std::int64_t>());
  if (kind == 8) return Variant::Date(r.Raw<double>());
  if (kind == 9) return Variant(std::numeric_limits<double>::quiet_NaN());
  const std::size_t length = std::min<std::size_t>(r.Byte() % 40, r.n);
  const std::string_view text(reinterpret_cast<const char*>(r.p), length);
  r.p += length, r.n -= length;
  return Variant(text);
}

/// True for values the order covers: not Null, not NaN (which still sorts before any text).
bool Orders(const Variant& v) {
  if (IsNull(v)) return false;
  if (v.Kind() == VariantKind::Single || v.Kind() == VariantKind::Double ||
      v.Kind() == VariantKind::Date) {
    return !std::isnan(v.ToDouble());
  }
  return true;
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "violated: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Reader r{data, size};
  const Variant v[3] = {MakeVariant(r), MakeVariant(r), MakeVariant(r)};
  for (const Variant& a : v) {
    Check(!Less(a, a) && !Greater(a, a), "irreflexive");
    Check(Equal(a, a) == Orders(a), "a value equals itself exactly when it orders");
    for (const Variant& b : v) {
      Check(Less(a, b) == Greater(b, a), "less and greater are mirror images");
      Check(Equal(a, b) == Equal(b, a), "equality is symmetric");
      Check(!(Less(a, b) && (Less(b, a) || Equal(a, b))), "one outcome at most");
      if (IsNull(a) || IsNull(b) || (!Orders(a) && b.IsNumeric()) ||
          (!Orders(b) && a.IsNumeric())) {
        Check(!Less(a, b) && !Greater(a, b) && !Equal(a, b),
              "Null orders against nothing, NaN against no number");
      }
    }
  }
  // Transitivity of less and of equivalence, over the values the order covers; Empty is left
  // out because it equals both 0 and the empty text, which are not equal to each other.
  bool all = true;
  for (const Variant& a : v) all = all && Orders(a) && !a.IsEmpty();
  if (all) {
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        for (int k = 0; k < 3; ++k) {
          const Variant &a = v[i], &b = v[j], &c = v[k];
          if (Less(a, b) && Less(b, c)) Check(Less(a, c), "less is transitive");
          if (Equal(a, b) && Equal(b, c)) Check(Equal(a, c), "equal is transitive");
          const bool ab = !Less(a, b) && !Less(b, a), bc = !Less(b, c) && !Less(c, b);
          if (ab && bc) Check(!Less(a, c) && !Less(c, a), "incomparability is transitive");
        }
      }
    }
  }
  // Text forms: every kind converts without failing, one line per value.
  static Ref<Debugger> debugger = [] {
    Ref<Debugger> d = New<Debugger>();
    d->SetShowIndent(false);
    return d;
  }();
  std::size_t lines = 0;
  DebugSink previous = SetDebugOutput([&](std::string_view) { ++lines; });
  debugger->Output("values", std::span<const Variant>(v, 3));
  SetDebugOutput(previous);
  Check(lines == 4, "Output writes one line per value");
  return 0;
}
