// The element interfaces: what an object implements to be held by a container.
//
// Containers thread their links through their elements; every member takes `Index`, the link
// slot, so one object can sit in several containers at once, each using its own slot:
//
//   class Job : public velmira::IQueueNode {
//    public:
//     Ref<IQueueNode> NextItem(std::int32_t Index) override { return next_[Index]; }
//     void SetNextItem(std::int32_t Index, const Ref<IQueueNode>& Value) override {
//       next_[Index] = Value;
//     }
//    private:
//     std::map<std::int32_t, Ref<IQueueNode>> next_;  // one link per slot
//   };
//
// The storage contract, for every link L and slot i: L(i) returns exactly what the last
// SetL(i, ...) stored (Nothing if never set); a set changes no other link and no other slot;
// gets have no visible effect; a set keeps a strong reference to its value. Any slot number,
// negative ones included, is valid. Members may throw: containers pass such errors on unchanged.
//
// `IStackNode`, `IQueueNode`, `IPQueueNode` and `IListNode` all name their link `NextItem`, with
// different result types, so one class cannot implement two of them directly. Derive from the
// element building blocks instead (`StackLinks<>`, `QueueLinks<>`, ... in velmira/elements/
// links.h): each implements its interface's links with their storage, and they combine.
//
// Each interface also carries `DirectLinks(Index)` (velmira/core/direct_links.h): the library's
// own element classes name the storage of their links there, so that containers reach those links
// without a call. A class that implements the link members itself names none, and containers
// call its members exactly as described above.
#pragma once

#include <cstdint>

#include "velmira/core/direct_links.h"
#include "velmira/core/object.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"

namespace velmira {

/// An element of a `Stack`.
class IStackNode : public virtual Object, public detail::DirectLinkAccess<IStackNode, 1> {
 public:
  virtual Ref<IStackNode> NextItem(std::int32_t Index) = 0;
  virtual void SetNextItem(std::int32_t Index, const Ref<IStackNode>& Value) = 0;

 protected:
  ~IStackNode() override = default;
};

/// An element of a `Queue`.
class IQueueNode : public virtual Object, public detail::DirectLinkAccess<IQueueNode, 1> {
 public:
  virtual Ref<IQueueNode> NextItem(std::int32_t Index) = 0;
  virtual void SetNextItem(std::int32_t Index, const Ref<IQueueNode>& Value) = 0;

 protected:
  ~IQueueNode() override = default;
};

/// An element of a `PQueue`: a link and a key per slot.
class IPQueueNode : public virtual Object, public detail::DirectLinkAccess<IPQueueNode, 1> {
 public:
  /// The element's key for slot `Index`; Empty when it holds none.
  virtual Variant Key(std::int32_t Index) = 0;
  virtual Ref<IPQueueNode> NextItem(std::int32_t Index) = 0;
  virtual void SetNextItem(std::int32_t Index, const Ref<IPQueueNode>& Value) = 0;

 protected:
  ~IPQueueNode() override = default;
};

/// An element of a `List`: two links and the list's membership tag per slot.
class IListNode : public virtual Object, public detail::DirectLinkAccess<IListNode, 3> {
 public:
  virtual Ref<IListNode> NextItem(std::int32_t Index) = 0;
  virtual void SetNextItem(std::int32_t Index, const Ref<IListNode>& Value) = 0;
  virtual Ref<IListNode> PrevItem(std::int32_t Index) = 0;
  virtual void SetPrevItem(std::int32_t Index, const Ref<IListNode>& Value) = 0;
  /// The list's own bookkeeping: clients must not write it.
  virtual Ref<IListNode> Tag(std::int32_t Index) = 0;
  virtual void SetTag(std::int32_t Index, const Ref<IListNode>& Value) = 0;

 protected:
  ~IListNode() override = default;
};

/// An element of a `Tree` or `SplayTree`: a key and two child links per slot.
class ITreeNode : public virtual Object, public detail::DirectLinkAccess<ITreeNode, 2> {
 public:
  /// The element's key for slot `Index`; Empty when it holds none.
  virtual Variant Key(std::int32_t Index) = 0;
  virtual Ref<ITreeNode> Left(std::int32_t Index) = 0;
  virtual void SetLeft(std::int32_t Index, const Ref<ITreeNode>& Value) = 0;
  virtual Ref<ITreeNode> Right(std::int32_t Index) = 0;
  virtual void SetRight(std::int32_t Index, const Ref<ITreeNode>& Value) = 0;

 protected:
  ~ITreeNode() override = default;
};

}  // namespace velmira
