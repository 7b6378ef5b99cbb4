#include "velmira/catalogue/class_factory.h"

#include <string>

#include "velmira/core/error.h"

namespace velmira {
namespace {

const ClassInfo& Creatable(const ClassInfo* info, std::string_view asked_for) {
  const std::string name(asked_for);
  if (!info) ThrowError(kErrCantCreateObject, name + " is not a class of this library");
  if (info->instancing == Instancing::NotCreatable) {
    ThrowError(kErrCantCreateObject,
               name + " is not creatable; clients receive it from the library or implement it");
  }
  if (info->instancing == Instancing::Private) {
    ThrowError(kErrCantCreateObject, name + " is private to the library");
  }
  return *info;
}

}  // namespace

Ref<Object> CreateObject(std::string_view qualified_name) {
  return Creatable(FindClass(qualified_name), qualified_name).create();
}

Ref<Object> CreateObject(const Guid& class_id) {
  return Creatable(FindClass(class_id), "class " + class_id.ToString()).create();
}

Ref<Object> ClassFactory::CreateInstance() const { return class_->create(); }

void ClassFactory::LockServer(bool lock) noexcept { detail::LockLibrary(lock); }

Ref<ClassFactory> GetClassObject(const ClassInfo& info) {
  const ClassInfo& creatable = Creatable(&info, info.qualified_name);
  return Ref<ClassFactory>(new ClassFactory(creatable));
}

Ref<ClassFactory> GetClassObject(std::string_view qualified_name) {
  return GetClassObject(Creatable(FindClass(qualified_name), qualified_name));
}

Ref<ClassFactory> GetClassObject(const Guid& class_id) {
  return GetClassObject(Creatable(FindClass(class_id), "class " + class_id.ToString()));
}

bool CanUnloadNow() noexcept { return LiveObjectCount() == 0 && LibraryLockCount() == 0; }

}  // namespace velmira
