// Internal: what the C interface's functions share: the handle table, the conversions between C
// variants and `Variant`, and the guard that turns every exception into a status and an error
// record.
//
//   velmira_status velmira_retain(velmira_handle h, velmira_error* e) {
//     return Guard(e, [&] { HandleTable::Instance().Retain(h); });
//   }
#pragma once

#include <cstdint>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "velmira/catalogue/guid.h"
#include "velmira/core/error.h"
#include "velmira/core/object.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"
#include "velmira/velmira_c.h"

namespace velmira::detail {

/// A failure found at the boundary (a bad handle or argument, or an argument too large to
/// copy), with the status and number it is reported under.
class BoundaryError : public std::runtime_error {
 public:
  BoundaryError(velmira_status status, const std::string& message,
                std::int32_t number = kErrInvalidArgument)
      : std::runtime_error(message), status_(status), number_(number) {}
  velmira_status Status() const noexcept { return status_; }
  std::int32_t Number() const noexcept { return number_; }

 private:
  velmira_status status_;
  std::int32_t number_;
};

[[noreturn]] void ThrowInvalidArgument(const std::string& what);

/// Names a C variant in error messages: "argument 2", "the result", "source".
struct VariantRole {
  const char* name;
  std::size_t position = 0;  // 1-based for arguments, 0 when the role needs no number

  std::string Describe() const;
};

/// Refuses the text of a C variant that no `Variant` could hold: `length` bytes with no data,
/// or more than `kMaxTextSize` bytes (the size computations of a copy would wrap).
void CheckText(const char* data, std::size_t length, VariantRole role);

/// Fills `error` (when not null) with `prefix`, `separator` and `message`, and returns `status`.
/// Never throws; cuts long messages at a UTF-8 character boundary.
velmira_status Fail(velmira_error* error, velmira_status status, std::int32_t number,
                    std::string_view message, std::string_view prefix = {},
                    std::string_view separator = {}) noexcept;

/// Runs `body`, turning every exception into a status and an error record.
template <class Body>
velmira_status Guard(velmira_error* error, Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
    return VELMIRA_OK;
  } catch (const BoundaryError& e) {
    return Fail(error, e.Status(), e.Number(), e.what());
  } catch (const Error& e) {
    return Fail(error, VELMIRA_ERROR, e.Number(), e.what());
  } catch (const std::bad_alloc&) {
    return Fail(error, VELMIRA_OUT_OF_MEMORY, kErrOutOfMemory, ErrorMessage(kErrOutOfMemory));
  } catch (const std::exception& e) {
    return Fail(error, VELMIRA_INTERNAL_ERROR, kErrInternal, e.what(), ErrorMessage(kErrInternal),
                ": ");
  } catch (...) {
    return Fail(error, VELMIRA_INTERNAL_ERROR, kErrInternal, ErrorMessage(kErrInternal));
  }
}

/// The handles C clients hold. A handle is an entry's index and its generation: freeing an
/// entry bumps the generation, so a stale handle no longer matches and is refused. One object
/// has at most one entry, so an object always comes out as the same handle while it has one.
///
/// A library object's entry holds as many strong references as the client holds on the handle
/// and goes away with the last. A client element's entry is made with the element and lives
/// exactly as long as the element, so the client can name its element by handle for as long as
/// it exists (the client's references still count, and are still checked).
///
/// The table is shared by every thread and guarded by a mutex; no object is released while the
/// mutex is held, since releasing can run a client's callbacks, which may come back here.
class HandleTable {
 public:
  static HandleTable& Instance();

  /// A handle carrying one new reference to `object`; 0 for Nothing.
  velmira_handle Export(const Ref<Object>& object);
  /// The object a live handle names; Nothing for 0. Refuses other handles.
  Ref<Object> Import(velmira_handle handle);
  void Retain(velmira_handle handle);
  void Release(velmira_handle handle);

  /// Gives a client element its entry, which lives until `Unregister`.
  velmira_handle Register(const Object* element);
  void Unregister(velmira_handle handle) noexcept;

 private:
  struct Entry {
    const Object* object = nullptr;  // null when the entry is free
    std::uint32_t generation = 1;
    std::uint32_t refs = 0;          // references the client holds through this handle
    std::uint32_t next_free = 0;     // index + 1 of the next free entry, 0 at the end
    bool lives_with_object = false;  // a client element's entry
  };

  HandleTable() = default;
  /// The entry of a live handle; throws `BoundaryError` otherwise. Call with the mutex held.
  Entry& Find(velmira_handle handle);
  std::uint32_t Allocate(const Object* object, bool lives_with_object);
  void Free(std::uint32_t index) noexcept;
  static velmira_handle HandleOf(std::uint32_t index, const Entry& entry) noexcept;

  std::mutex mutex_;
  std::vector<Entry> entries_;
  std::uint32_t first_free_ = 0;  // index + 1, 0 when none is free
  std::unordered_map<const Object*, std::uint32_t> by_object_;
};

/// A C variant as a `Variant` (reads only; a handle is checked and its object referenced).
/// Refusals and a text too large for memory name `role`.
Variant FromC(const velmira_variant& value, VariantRole role);
/// `value` as an owned C variant in `out`, which must hold nothing owned.
void ToC(const Variant& value, velmira_variant* out);

/// Identifiers between the C struct and `Guid`.
Guid ToGuid(const velmira_guid& id) noexcept;
velmira_guid FromGuid(const Guid& id) noexcept;

/// A new client element implementing `interface_name`, registered in the handle table and
/// carrying one reference for the caller. Raises error 13 for a name that is not one of the five
/// element interfaces.
velmira_handle CreateClientElement(const char* interface_name,
                                   const velmira_element_callbacks& callbacks, void* context);
/// The context of a client element; error 13 for any other object.
void* ClientElementContext(const Ref<Object>& object);

}  // namespace velmira::detail
