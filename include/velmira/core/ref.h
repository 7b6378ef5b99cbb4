// Strong references to library objects: `Ref<T>`, `Nothing`, `New`, `As` and `Is`.
//
//   Ref<Stack> s = New<Stack>();
//   Ref<IStackNode> n = New<StackNode>();     // converts to an implemented base interface
//   Ref<StackNode> back = As<StackNode>(n);   // checked conversion; error 13 when missing
//   if (Is(n, back)) { ... }                  // same object, whatever the interface types
#pragma once

#include <concepts>
#include <utility>

#include "velmira/core/error.h"
#include "velmira/core/object.h"

namespace velmira {

template <class T>
class Ref;

namespace detail {
/// A `Ref<From>` converts implicitly to a `Ref<To>` when a `From*` converts to a `To*`.
template <class From, class To>
concept PointerConvertibleTo = std::convertible_to<From*, To*>;
}  // namespace detail

/// The type of `Nothing`, the empty reference.
struct NothingType {
  explicit constexpr NothingType(int) {}
};

/// An empty reference: assignable to, and comparable with, any `Ref<T>`.
inline constexpr NothingType Nothing{0};

/// A strong, intrusive reference. Copying retains, destruction releases; assignment retains the
/// new target before it releases the old one, so self-assignment is harmless.
template <class T>
class Ref {
 public:
  using element_type = T;

  constexpr Ref() noexcept = default;
  constexpr Ref(NothingType) noexcept {}  // NOLINT: implicit by design
  /// Takes a new reference to `p` (which may be null). Raises `Error` 5 when `p` was not made
  /// by `New`: an object on the stack, a member or an array element dies with its scope or owner,
  /// whatever references are left.
  explicit Ref(T* p) : ptr_(p) {
    if (!ptr_) return;
    if (!detail::IsMadeByNew(ptr_)) detail::ThrowNotMadeByNew();
    detail::Retain(ptr_);
  }
  Ref(const Ref& other) noexcept : Ref(other.ptr_, Retained{}) {}
  Ref(Ref&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}

  template <detail::PointerConvertibleTo<T> U>
  Ref(const Ref<U>& other) noexcept : Ref(static_cast<T*>(other.get()), Retained{}) {}  // NOLINT

  template <detail::PointerConvertibleTo<T> U>
  Ref(Ref<U>&& other) noexcept : ptr_(other.Detach()) {}  // NOLINT

  ~Ref() {
    if (ptr_) detail::Release(ptr_);
  }

  Ref& operator=(Ref other) noexcept {
    swap(other);
    return *this;
  }

  void swap(Ref& other) noexcept { std::swap(ptr_, other.ptr_); }

  /// Drops the reference. The pointer is already empty while the object's destructor runs.
  void reset() noexcept { Ref().swap(*this); }

  T* get() const noexcept { return ptr_; }
  T* operator->() const noexcept { return ptr_; }
  T& operator*() const noexcept { return *ptr_; }
  explicit operator bool() const noexcept { return ptr_ != nullptr; }

  friend bool operator==(const Ref& a, const Ref& b) noexcept { return a.ptr_ == b.ptr_; }
  friend bool operator==(const Ref& a, NothingType) noexcept { return a.ptr_ == nullptr; }

 private:
  template <class U>
  friend class Ref;
  template <class To, class From>
  friend Ref<To> As(const Ref<From>& r);

  /// Gives up the pointer without releasing it (the caller takes over the reference).
  T* Detach() noexcept { return std::exchange(ptr_, nullptr); }

  /// Another reference to an object a reference already holds: no check needed.
  struct Retained {};
  Ref(T* p, Retained) noexcept : ptr_(p) {
    if (ptr_) detail::Retain(ptr_);
  }

  T* ptr_ = nullptr;
};

template <class T>
void swap(Ref<T>& a, Ref<T>& b) noexcept {
  a.swap(b);
}

/// Creates an object and returns the first reference to it. A class whose instances are made by
/// a factory of its own (an interface whose implementation is private, for example) declares
/// `static Ref<T> Create(args...)`, and `New<T>` calls it.
template <class T, class... A>
Ref<T> New(A&&... args) {
  if constexpr (requires {
                  { T::Create(std::forward<A>(args)...) } -> std::same_as<Ref<T>>;
                }) {
    return T::Create(std::forward<A>(args)...);
  } else {
    return Ref<T>(new T(std::forward<A>(args)...));
  }
}

namespace detail {
template <class T>
const Object* IdentityOf(const Ref<T>& r) noexcept {
  return r.get();  // the single, virtual Object base stands for the whole object
}
}  // namespace detail

/// True when both references denote the same object (or are both `Nothing`).
template <class T, class U>
bool Is(const Ref<T>& a, const Ref<U>& b) noexcept {
  return detail::IdentityOf(a) == detail::IdentityOf(b);
}
template <class T>
bool Is(const Ref<T>& a, NothingType) noexcept {
  return !a;
}

/// Converts to another interface of the same object. `Nothing` gives `Nothing`; an object that
/// does not implement `T` raises `Error` number 13 ("Type mismatch").
template <class T, class U>
Ref<T> As(const Ref<U>& r) {
  if (!r) return Ref<T>();
  if constexpr (std::convertible_to<U*, T*>) {
    return Ref<T>(r);
  } else {
    T* p = dynamic_cast<T*>(r.get());
    if (p == nullptr) ThrowTypeMismatch();
    return Ref<T>(p, typename Ref<T>::Retained{});
  }
}

}  // namespace velmira
