// The reference-counted base of every library object.
//
// Every interface and class of the library derives virtually from `Object`, so a class that
// implements several interfaces still has exactly one count:
//
//   class MyNode : public velmira::IStackNode, public velmira::IQueueNode { ... };
//   velmira::Ref<MyNode> n = velmira::New<MyNode>();   // one Object, one count
//
// Counts are plain integers: an object is used only from the thread that created it.
#pragma once

#include <cstdint>

namespace velmira {

class Object;

namespace detail {
void Retain(const Object* object) noexcept;
void Release(const Object* object) noexcept;
bool IsSoleReference(const Object* object) noexcept;
}  // namespace detail

/// The number of library objects (and client objects derived from `Object`) alive in this
/// process. Meant for leak checks in tests and for deciding whether the library can be unloaded.
std::int64_t LiveObjectCount() noexcept;

/// The locks clients hold on the library through its class factories (`LockServer`). They are
/// kept beside the live-object count: a lock belongs to the library, not to the factory it was
/// taken through, so any factory can give back a lock another one took.
std::int64_t LibraryLockCount() noexcept;

namespace detail {
/// Takes one lock on the library, or gives one back; giving back with none outstanding does
/// nothing.
void LockLibrary(bool lock) noexcept;
}  // namespace detail

class Object {
 public:
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

 protected:
  Object() noexcept;
  /// Runs when the last reference goes away. Destructors never throw.
  virtual ~Object();

 private:
  friend void detail::Retain(const Object* object) noexcept;
  friend void detail::Release(const Object* object) noexcept;
  friend bool detail::IsSoleReference(const Object* object) noexcept;

  /// Destroys an object whose count fell to zero. When another destruction is already running on
  /// this thread, the object is queued and destroyed by the outermost call instead, so releasing
  /// a long chain of objects that hold each other never nests destructors.
  static void Destroy(const Object* object) noexcept;
  /// Deletes an object whose count fell to zero, first setting its count so high that references
  /// taken and dropped by its destructor can never bring it to zero again.
  static void Delete(const Object* object) noexcept;

  // The count, and once it has fallen to zero, the link in this thread's queue of objects
  // waiting to be destroyed: the two are never needed at the same time, so they share storage.
  union {
    mutable std::intptr_t ref_count_ = 0;
    mutable const Object* next_to_destroy_;
  };
};

namespace detail {
inline void Retain(const Object* object) noexcept { ++object->ref_count_; }
inline void Release(const Object* object) noexcept {
  if (--object->ref_count_ == 0) Object::Destroy(object);
}
/// True when the caller's reference is the only one to `object`, so that no one else can see a
/// change to it: an owner may then reuse the object instead of making a new one.
inline bool IsSoleReference(const Object* object) noexcept { return object->ref_count_ == 1; }

/// Holds a count on an object for one scope. A member that calls out to client code takes one on
/// its own object, so that a client dropping the last reference meanwhile does not destroy the
/// object under the running member. Harmless while the object's destructor runs (its count then
/// stays far above zero).
class KeepAlive {
 public:
  explicit KeepAlive(const Object* object) noexcept : object_(object) { Retain(object_); }
  ~KeepAlive() { Release(object_); }
  KeepAlive(const KeepAlive&) = delete;
  KeepAlive& operator=(const KeepAlive&) = delete;

 private:
  const Object* object_;
};
}  // namespace detail

}  // namespace velmira
