// Creating objects by class name or class identifier, class factories, and whether the library
// can be unloaded.
//
//   Ref<Object> s = CreateObject("Velmira.Stack");          // as New<Stack>() would
//   Ref<ClassFactory> f = GetClassObject("velmira.queue");  // names ignore letter case
//   f->LockServer(true);  Ref<Object> q = f->CreateInstance();  f->LockServer(false);
//   if (CanUnloadNow()) { ... }
//
// Refusals raise `Error` 429 with a message naming what was asked for: a name or identifier
// the catalogue does not know, a class clients may not create (`Velmira.ListEnum`, the element
// interfaces) and a class private to the library (`Velmira.IndexTreeNode`).
//
// Registration: this platform has no component registry, so there is nothing for a
// register/unregister entry point to write; the library offers none. Clients find classes
// through the catalogue (`FindClass`) instead.
#pragma once

#include <cstdint>
#include <string_view>

#include "velmira/catalogue/catalogue.h"
#include "velmira/catalogue/guid.h"
#include "velmira/core/error.h"
#include "velmira/core/object.h"
#include "velmira/core/ref.h"

namespace velmira {

/// A new object of a creatable class, in its initial state, typed by the library's base
/// `Object`; convert it with `As<T>`. Raises error 429 when the class cannot be created.
Ref<Object> CreateObject(std::string_view qualified_name);
Ref<Object> CreateObject(const Guid& class_id);

/// Makes objects of one creatable class.
class ClassFactory final : public virtual Object {
 public:
  /// The class this factory makes.
  const ClassInfo& Class() const noexcept { return *class_; }
  /// A new object of the class, as `CreateObject` makes it.
  Ref<Object> CreateInstance() const;
  /// `true` takes a lock on the library: `CanUnloadNow` answers false until as many
  /// `LockServer(false)` calls, through this factory or any other, have given the locks back.
  /// The lock is the library's, not this factory's: releasing the factory keeps it, and frees
  /// the factory. Giving back a lock when none is held does nothing.
  void LockServer(bool lock) noexcept;
  /// The locks taken on the library and not yet given back, through any factory.
  std::int64_t LockCount() const noexcept { return LibraryLockCount(); }

 private:
  friend Ref<ClassFactory> GetClassObject(const ClassInfo& info);
  explicit ClassFactory(const ClassInfo& info) noexcept : class_(&info) {}
  ~ClassFactory() override = default;

  const ClassInfo* class_;
};

/// A factory for a creatable class; raises error 429 for any other name or identifier.
Ref<ClassFactory> GetClassObject(std::string_view qualified_name);
Ref<ClassFactory> GetClassObject(const Guid& class_id);
Ref<ClassFactory> GetClassObject(const ClassInfo& info);

/// True when no object of the library is alive and no lock is held (`LockServer`): nothing could
/// still run the library's code. Every object derived from `Object` counts, a client's own
/// element classes included, because their construction, release and destruction run code of
/// the library (the counted base lives here). Reads the live-object and lock counts.
bool CanUnloadNow() noexcept;

}  // namespace velmira
