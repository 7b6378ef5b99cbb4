// The error numbers the library raises and reports, with their messages: one list from which the
// `kErr...` constants, `ErrorMessage` and every message that starts with a standard text are made.
//
//   try { Invoke(stack, "Shove", CallKind::Method); }
//   catch (const Error& e) { if (e.Number() == kErrMemberNotFound) { ... } }  // 438
//   std::string_view text = ErrorMessage(438);  // "Object doesn't support this property or..."
//
// An error's message is its standard text, alone or followed by ": " and the particulars
// ("Type mismatch: Velmira.Heap is not an element interface"). The numbers never change.
#pragma once

#include <cstdint>
#include <string_view>

namespace velmira {

/// Every error of the library as X(Name, number, message), in number order.
#define VELMIRA_ERRORS(X)                                                                  \
  /* A C caller passed a null pointer, a bad length or an unknown kind. */                 \
  X(InvalidArgument, 5, "Invalid argument")                                                \
  X(Overflow, 6, "Overflow")                                                               \
  X(OutOfMemory, 7, "Out of memory")                                                       \
  X(TypeMismatch, 13, "Type mismatch")                                                     \
  /* An exception the C interface did not expect; never raised by C++ calls. */            \
  X(Internal, 51, "Internal error")                                                        \
  X(FileNotFound, 53, "File not found")                                                    \
  X(DeviceIo, 57, "Device I/O error")                                                      \
  X(DiskFull, 61, "Disk full")                                                             \
  X(PermissionDenied, 70, "Permission denied")                                             \
  X(PathFileAccess, 75, "Path/File access error")                                          \
  X(PathNotFound, 76, "Path not found")                                                    \
  /* A member was called on Nothing: an element's link read back differently from what was \
     stored, or a late-bound call on Nothing. */                                           \
  X(ObjectNotSet, 91, "Object variable not set")                                           \
  /* An unknown, not-creatable or private class was asked for. */                          \
  X(CantCreateObject, 429, "Can't create object")                                          \
  X(MemberNotFound, 438, "Object doesn't support this property or method")                 \
  /* A client element failed without giving a number of its own. */                        \
  X(ClientFailed, 440, "Automation error")                                                 \
  X(ArgumentNotOptional, 449, "Argument not optional")                                     \
  X(WrongArgumentCount, 450, "Wrong number of arguments or invalid property assignment")

#define VELMIRA_DECLARE_ERROR_NUMBER(Name, Number, Message) \
  inline constexpr std::int32_t kErr##Name = Number;
VELMIRA_ERRORS(VELMIRA_DECLARE_ERROR_NUMBER)
#undef VELMIRA_DECLARE_ERROR_NUMBER

/// The standard message of an error number of the list above; empty for any other number.
constexpr std::string_view ErrorMessage(std::int32_t number) noexcept {
  switch (number) {
#define VELMIRA_ERROR_MESSAGE_CASE(Name, Number, Message) \
  case Number:                                            \
    return Message;
    VELMIRA_ERRORS(VELMIRA_ERROR_MESSAGE_CASE)
#undef VELMIRA_ERROR_MESSAGE_CASE
  }
  return {};
}

}  // namespace velmira
