// Element classes for the linear-container benchmarks: the client elements the library's
// containers hold, and the yardsticks they are measured against.
//
//   Ref<IStackNode> n = bench::NewClientStackNode();          // for velmira::Stack
//   bench::FloorRef<bench::FloorNode> f = bench::NewFloorNode();  // for the hand-written floor
//   loop
//
// Every class is defined in linear_peers.cpp, non-final and with external linkage, so the
// benchmarks see only the interfaces and the compiler cannot turn a virtual call into a direct
// one.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

#if defined(VELMIRA_HAVE_BOOST)
#  include <boost/intrusive/slist.hpp>
#endif

namespace velmira::bench {

/// An intrusive reference with a plain int count in the object and no virtual base: the least a
/// counted link can cost. `T` has a public `int refs` and a virtual destructor.
template <class T>
class FloorRef {
 public:
  FloorRef() noexcept = default;
  explicit FloorRef(T* p) noexcept : p_(p) {
    if (p_) ++p_->refs;
  }
  FloorRef(const FloorRef& other) noexcept : FloorRef(other.p_) {}
  FloorRef(FloorRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  ~FloorRef() {
    if (p_ && --p_->refs == 0) delete p_;
  }
  FloorRef& operator=(FloorRef other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

/// The floor of the container design: one virtual get and one virtual set per link, each with a
/// slot argument, over a counted link.
class FloorNode {
 public:
  virtual ~FloorNode();
  virtual FloorRef<FloorNode> NextItem(std::int32_t Index) = 0;
  virtual void SetNextItem(std::int32_t Index, const FloorRef<FloorNode>& Value) = 0;

  int refs = 0;
};

/// The floor with a key, for the priority queue: keys are read as `Variant` through a virtual
/// call, as the library reads them.
class FloorKeyedNode {
 public:
  virtual ~FloorKeyedNode();
  virtual Variant Key(std::int32_t Index) = 0;
  virtual FloorRef<FloorKeyedNode> NextItem(std::int32_t Index) = 0;
  virtual void SetNextItem(std::int32_t Index, const FloorRef<FloorKeyedNode>& Value) = 0;

  int refs = 0;
};

/// Client elements of the library's containers: one link (and key) each, the slot ignored, as a
/// client whose objects sit in one container at a time may write them.
Ref<IStackNode> NewClientStackNode();
Ref<IQueueNode> NewClientQueueNode();
Ref<IPQueueNode> NewClientPQueueNode(std::int32_t key);

FloorRef<FloorNode> NewFloorNode();
FloorRef<FloorKeyedNode> NewFloorKeyedNode(std::int32_t key);

/// An object held by pointer in a `std::list`.
class ListPayload {
 public:
  ListPayload();
  virtual ~ListPayload();
};
std::unique_ptr<ListPayload> NewListPayload();

#if defined(VELMIRA_HAVE_BOOST)
/// An element of a Boost.Intrusive `slist` (default, safe-mode hook).
class SlistElement : public boost::intrusive::slist_base_hook<> {
 public:
  SlistElement();
  virtual ~SlistElement();
};
std::unique_ptr<SlistElement> NewSlistElement();
#endif

}  // namespace velmira::bench
