// C variants and error records: conversion to and from `Variant`, clearing, copying.
#include <cstdlib>
#include <cstring>

#include "capi/c_boundary.h"

namespace velmira::detail {
namespace {

[[noreturn]] void ThrowOutOfMemory(std::size_t length, VariantRole role) {
  throw BoundaryError(VELMIRA_OUT_OF_MEMORY,
                      ErrorText(kErrOutOfMemory, "cannot copy the " + std::to_string(length) +
                                                     "-byte text of " + role.Describe()),
                      kErrOutOfMemory);
}

/// A malloc'ed, NUL-terminated copy, so C code could free it too. `length` was checked.
const char* CopyText(const char* text, std::size_t length, VariantRole role) {
  auto* copy = static_cast<char*>(std::malloc(length + 1));
  if (!copy) ThrowOutOfMemory(length, role);
  if (length != 0) std::memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}

}  // namespace

std::string VariantRole::Describe() const {
  return position == 0 ? std::string(name) : std::string(name) + " " + std::to_string(position);
}

void CheckText(const char* data, std::size_t length, VariantRole role) {
  if (!data && length != 0) ThrowInvalidArgument("text without data in " + role.Describe());
  if (length > kMaxTextSize) {
    ThrowInvalidArgument("text length " + std::to_string(length) + " in " + role.Describe() +
                         " is over the largest text, " + std::to_string(kMaxTextSize) + " bytes");
  }
}

void ThrowInvalidArgument(const std::string& what) {
  throw BoundaryError(VELMIRA_INVALID_ARGUMENT, ErrorText(kErrInvalidArgument, what));
}

velmira_status Fail(velmira_error* error, velmira_status status, std::int32_t number,
                    std::string_view message, std::string_view prefix,
                    std::string_view separator) noexcept {
  if (!error) return status;
  error->number = number;
  std::size_t at = 0;
  for (std::string_view part : {prefix, separator, message}) {
    std::size_t n = std::min(part.size(), sizeof error->message - 1 - at);
    if (n < part.size()) {
      // Cut before a continuation byte's lead, never inside a UTF-8 sequence.
      while (n > 0 && (static_cast<unsigned char>(part[n]) & 0xC0) == 0x80) --n;
    }
    if (n != 0) std::memcpy(error->message + at, part.data(), n);
    at += n;
  }
  error->message[at] = '\0';
  return status;
}

Variant FromC(const velmira_variant& value, VariantRole role) {
  switch (value.kind) {
    case VELMIRA_EMPTY:
      return Variant();
    case VELMIRA_NULL:
      return Variant::Null();
    case VELMIRA_BOOLEAN:
      return Variant(value.value.boolean != 0);
    case VELMIRA_INT16:
      return Variant(value.value.int16);
    case VELMIRA_INT32:
      return Variant(value.value.int32);
    case VELMIRA_SINGLE:
      return Variant(value.value.single);
    case VELMIRA_DOUBLE:
      return Variant(value.value.dbl);
    case VELMIRA_CURRENCY:
      return Variant::CurrencyFromScaled(value.value.currency);
    case VELMIRA_DATE:
      return Variant::Date(value.value.date);
    case VELMIRA_STRING: {
      const std::size_t length = value.value.text.length;
      CheckText(value.value.text.data, length, role);
      try {
        return Variant(std::string_view(length ? value.value.text.data : "", length));
      } catch (const std::bad_alloc&) {
        ThrowOutOfMemory(length, role);
      }
    }
    case VELMIRA_OBJECT:
      return Variant(HandleTable::Instance().Import(value.value.object));
    default:
      ThrowInvalidArgument("unknown variant kind " + std::to_string(value.kind) + " in " +
                           role.Describe());
  }
}

void ToC(const Variant& value, velmira_variant* out) {
  *out = velmira_variant{};
  out->kind = static_cast<std::int32_t>(value.Kind());
  switch (value.Kind()) {
    case VariantKind::Empty:
    case VariantKind::Null:
      break;
    case VariantKind::Boolean:
      out->value.boolean = value.BoolValue() ? -1 : 0;
      break;
    case VariantKind::Int16:
      out->value.int16 = value.Int16Value();
      break;
    case VariantKind::Int32:
      out->value.int32 = value.Int32Value();
      break;
    case VariantKind::Single:
      out->value.single = value.SingleValue();
      break;
    case VariantKind::Double:
      out->value.dbl = value.DoubleValue();
      break;
    case VariantKind::Currency:
      out->value.currency = value.CurrencyScaled();
      break;
    case VariantKind::Date:
      out->value.date = value.DateValue();
      break;
    case VariantKind::String: {
      const std::string_view text = value.Text();
      out->value.text.data = CopyText(text.data(), text.size(), {"a library text"});
      out->value.text.length = text.size();
      out->flags = VELMIRA_VARIANT_OWNED;
      break;
    }
    case VariantKind::Object:
      out->value.object = HandleTable::Instance().Export(value.ObjectValue());
      out->flags = VELMIRA_VARIANT_OWNED;
      break;
  }
}

}  // namespace velmira::detail

using namespace velmira::detail;

extern "C" {

void velmira_variant_clear(velmira_variant* variant) {
  if (!variant) return;
  if (variant->flags & VELMIRA_VARIANT_OWNED) {
    if (variant->kind == VELMIRA_STRING) {
      std::free(const_cast<char*>(variant->value.text.data));
    } else if (variant->kind == VELMIRA_OBJECT) {
      Guard(nullptr, [&] { HandleTable::Instance().Release(variant->value.object); });
    }
  }
  *variant = velmira_variant{};
}

velmira_status velmira_variant_copy(velmira_variant* target, const velmira_variant* source,
                                    velmira_error* error) {
  return Guard(error, [&] {
    if (!target || !source) ThrowInvalidArgument("null variant");
    velmira_variant copy = *source;
    copy.flags = 0;
    if (source->kind == VELMIRA_STRING) {
      const std::size_t length = source->value.text.length;
      CheckText(source->value.text.data, length, {"source"});
      copy.value.text.data = CopyText(source->value.text.data, length, {"source"});
      copy.flags = VELMIRA_VARIANT_OWNED;
    } else if (source->kind == VELMIRA_OBJECT) {
      HandleTable::Instance().Retain(source->value.object);
      copy.flags = VELMIRA_VARIANT_OWNED;
    } else if (source->kind < VELMIRA_EMPTY || source->kind > VELMIRA_OBJECT) {
      ThrowInvalidArgument("unknown variant kind " + std::to_string(source->kind));
    }
    velmira_variant_clear(target);
    *target = copy;
  });
}

velmira_status velmira_variant_set_text(velmira_variant* target, const char* text, size_t length,
                                        velmira_error* error) {
  return Guard(error, [&] {
    if (!target) ThrowInvalidArgument("null variant");
    CheckText(text, length, {"text"});
    const char* copy = CopyText(length ? text : "", length, {"text"});
    velmira_variant_clear(target);
    target->kind = VELMIRA_STRING;
    target->flags = VELMIRA_VARIANT_OWNED;
    target->value.text.data = copy;
    target->value.text.length = length;
  });
}

}  // extern "C"
