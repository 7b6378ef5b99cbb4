// The reference-counted base of every library object.
//
// Every interface and class of the library derives virtually from `Object`, so a class that
// implements several interfaces still has exactly one count:
//
//   class MyNode : public velmira::StackLinks<>, public velmira::QueueLinks<> {};
//   velmira::Ref<MyNode> n = velmira::New<MyNode>();   // one Object, one count
//
// Counts are plain integers: an object is used only from the thread that created it.
//
// Objects live on the heap and are made with `New<T>(...)` (or `new T`, handed straight to a
// `Ref`). An object made anywhere else (on the stack, as a member or in an array) is never deleted
// by its count, and `Ref` refuses it with error 5 instead of letting a container keep it past its
// end:
//
//   Job j("x");  list->Add(Ref<Job>(&j));   // raises Error 5: j was not made by New
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

namespace velmira {

class Object;

namespace detail {
void Retain(const Object* object) noexcept;
void Release(const Object* object) noexcept;
bool IsSoleReference(const Object* object) noexcept;
std::intptr_t ReferenceCount(const Object* object) noexcept;
bool IsMadeByNew(const Object* object) noexcept;
/// Raises `Error` 5: `object` was not made by `New`, so no reference may hold it.
[[noreturn]] void ThrowNotMadeByNew();
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

  /// Objects are allocated here, which lets the constructor tell an object made by `new` (its
  /// count then starts at zero) from one made anywhere else.
  static void* operator new(std::size_t size);
  static void* operator new(std::size_t size, std::align_val_t align);
  static void operator delete(void* memory) noexcept;
  static void operator delete(void* memory, std::align_val_t align) noexcept;

 protected:
  Object() noexcept;
  /// Runs when the last reference goes away. Destructors never throw.
  virtual ~Object();

 private:
  friend void detail::Retain(const Object* object) noexcept;
  friend void detail::Release(const Object* object) noexcept;
  friend bool detail::IsSoleReference(const Object* object) noexcept;
  friend std::intptr_t detail::ReferenceCount(const Object* object) noexcept;
  friend bool detail::IsMadeByNew(const Object* object) noexcept;

  /// The count of an object not made by `new` starts here, so releases never bring it to zero;
  /// far below the count `Delete` sets for a dying object.
  static constexpr std::intptr_t kNotMadeByNew = INTPTR_MAX / 8;

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
/// The references held to `object`, for a host that accounts for them (another language's cycle
/// collector); the caller's own reference included.
inline std::intptr_t ReferenceCount(const Object* object) noexcept { return object->ref_count_; }
/// False for an object made on the stack, as a member or in an array; true for one made by
/// `new` (and for one whose destructor is running).
inline bool IsMadeByNew(const Object* object) noexcept {
  return object->ref_count_ < Object::kNotMadeByNew / 2 ||
         object->ref_count_ > Object::kNotMadeByNew * 2;
}

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
