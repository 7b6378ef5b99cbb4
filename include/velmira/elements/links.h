// Element building blocks: `StackLinks<N>`, `QueueLinks<N>`, `PQueueLinks<N>`, `ListLinks<N>`,
// `TreeLinks<N>`. Each implements the link members of one element interface with their storage,
// so a class of your own becomes an element by deriving from the blocks of the containers it is
// to sit in, several at once:
//
//   class Job : public QueueLinks<>, public ListLinks<>, public TreeLinks<> {
//    public:
//     explicit Job(std::string name) : name_(std::move(name)) {}
//     Variant Key(std::int32_t) override { return name_; }   // the tree's key, for every slot
//    private:
//     std::string name_;
//   };
//   Ref<Job> job = New<Job>("backup");
//   queue->Add(job); list->Add(job); tree->Add(job);          // a Queue, a List, a SplayTree
//
// Contract: every link member meets the element storage contract for every slot number. Slots 0
// to N-1 (N defaults to 1) sit in a plain array inside the object: a get or set costs what a
// hand-written single-link member costs and never allocates. Any other slot, negative or extreme
// included, lives in a small side table made when such a slot is first given a link; reading a
// slot that holds nothing allocates nothing. N = 0 keeps every slot in the side table (the
// cheapest choice for a container kind the object rarely joins). Sets may throw only
// `std::bad_alloc`, and only for slots outside the array.
//
// `PQueueLinks` and `TreeLinks` leave `Key(Index)` to your class; a class with both writes one
// `Key` that serves both. Every class built from blocks shares one `Object`, so `Ref<Job>`
// converts to each interface, `As<Job>` converts back and `Is` holds across all of them.
//
// `IStackNode`, `IQueueNode`, `IPQueueNode` and `IListNode` all name a link `NextItem`, with
// different result types; each block implements its own, so a class with two of these blocks
// holds two `NextItem`s. Containers call each through its interface. Your own code does the same
// (`Ref<IQueueNode>(job)->NextItem(i)`); an unqualified `job->NextItem(i)` does not compile.
//
// Containers reach the inline slots' links directly, without calling these members (the blocks
// name their array to the interface's `DirectLinks`); the members serve every other caller and
// every other slot, and read and write the same storage.
//
// Size (64-bit): the shared `Object` is 16 bytes, once per object. On top of it each block adds
// 32 + 8 * L * N bytes (its interface's table pointer, the direct-link record of 16 bytes, the
// side-table pointer, and L links per inline slot: 1 for StackLinks, QueueLinks and PQueueLinks,
// 3 for ListLinks, 2 for TreeLinks). `StackLinks<>` alone is 56 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "velmira/core/node_interfaces.h"
#include "velmira/core/ref.h"
#include "velmira/elements/internal/link_slots.h"

namespace velmira {

/// Makes a class a `Stack` element: a `NextItem` link per slot, N of them inline.
template <std::size_t N = 1>
class StackLinks : public IStackNode {
 public:
  /// The next element in the stack using slot `Index`; Nothing until set. Never allocates.
  Ref<IStackNode> NextItem(std::int32_t Index) override { return links_.Get(Index, 0); }
  /// Stores the link for slot `Index`, changing no other slot.
  void SetNextItem(std::int32_t Index, const Ref<IStackNode>& Value) override {
    links_.Set(Index, 0, Value);
  }

 protected:
  StackLinks() noexcept {
    this->UseTrailingLinks(links_.InlineCells(), static_cast<std::uint32_t>(N));
  }
  ~StackLinks() override = default;

 private:
  detail::LinkSlots<IStackNode, 1, N> links_;
};

/// Makes a class a `Queue` element: a `NextItem` link per slot, N of them inline.
template <std::size_t N = 1>
class QueueLinks : public IQueueNode {
 public:
  /// The next element in the queue using slot `Index`; Nothing until set. Never allocates.
  Ref<IQueueNode> NextItem(std::int32_t Index) override { return links_.Get(Index, 0); }
  /// Stores the link for slot `Index`, changing no other slot.
  void SetNextItem(std::int32_t Index, const Ref<IQueueNode>& Value) override {
    links_.Set(Index, 0, Value);
  }

 protected:
  QueueLinks() noexcept {
    this->UseTrailingLinks(links_.InlineCells(), static_cast<std::uint32_t>(N));
  }
  ~QueueLinks() override = default;

 private:
  detail::LinkSlots<IQueueNode, 1, N> links_;
};

/// Makes a class a `PQueue` element: a `NextItem` link per slot, N of them inline. The class
/// supplies `Variant Key(std::int32_t Index)`, the priority.
template <std::size_t N = 1>
class PQueueLinks : public IPQueueNode {
 public:
  /// The next element in the priority queue using slot `Index`; Nothing until set.
  Ref<IPQueueNode> NextItem(std::int32_t Index) override { return links_.Get(Index, 0); }
  /// Stores the link for slot `Index`, changing no other slot.
  void SetNextItem(std::int32_t Index, const Ref<IPQueueNode>& Value) override {
    links_.Set(Index, 0, Value);
  }

 protected:
  PQueueLinks() noexcept {
    this->UseTrailingLinks(links_.InlineCells(), static_cast<std::uint32_t>(N));
  }
  ~PQueueLinks() override = default;

 private:
  detail::LinkSlots<IPQueueNode, 1, N> links_;
};

/// Makes a class a `List` element: next, previous and tag links per slot, N slots inline.
template <std::size_t N = 1>
class ListLinks : public IListNode {
 public:
  /// The next element in the list using slot `Index`; Nothing until set. Never allocates.
  Ref<IListNode> NextItem(std::int32_t Index) override { return links_.Get(Index, kNext); }
  /// Stores the next link for slot `Index`, changing no other link or slot.
  void SetNextItem(std::int32_t Index, const Ref<IListNode>& Value) override {
    links_.Set(Index, kNext, Value);
  }
  /// The previous element in the list using slot `Index`; Nothing until set.
  Ref<IListNode> PrevItem(std::int32_t Index) override { return links_.Get(Index, kPrev); }
  /// Stores the previous link for slot `Index`, changing no other link or slot.
  void SetPrevItem(std::int32_t Index, const Ref<IListNode>& Value) override {
    links_.Set(Index, kPrev, Value);
  }
  /// The membership mark of the list using slot `Index`; Nothing until set.
  Ref<IListNode> Tag(std::int32_t Index) override { return links_.Get(Index, kTag); }
  /// Stores the membership mark for slot `Index`, changing no other link or slot.
  void SetTag(std::int32_t Index, const Ref<IListNode>& Value) override {
    links_.Set(Index, kTag, Value);
  }

 protected:
  ListLinks() noexcept {
    this->UseTrailingLinks(links_.InlineCells(), static_cast<std::uint32_t>(N));
  }
  ~ListLinks() override = default;

 private:
  static constexpr std::size_t kNext = 0, kPrev = 1, kTag = 2;
  detail::LinkSlots<IListNode, 3, N> links_;
};

/// Makes a class a `Tree` and `SplayTree` element: left and right links per slot, N slots
/// inline. The class supplies `Variant Key(std::int32_t Index)`, the key it is ordered by.
template <std::size_t N = 1>
class TreeLinks : public ITreeNode {
 public:
  /// The left child in the tree using slot `Index`; Nothing until set. Never allocates.
  Ref<ITreeNode> Left(std::int32_t Index) override { return links_.Get(Index, kLeft); }
  /// Stores the left link for slot `Index`, changing no other link or slot.
  void SetLeft(std::int32_t Index, const Ref<ITreeNode>& Value) override {
    links_.Set(Index, kLeft, Value);
  }
  /// The right child in the tree using slot `Index`; Nothing until set. Never allocates.
  Ref<ITreeNode> Right(std::int32_t Index) override { return links_.Get(Index, kRight); }
  /// Stores the right link for slot `Index`, changing no other link or slot.
  void SetRight(std::int32_t Index, const Ref<ITreeNode>& Value) override {
    links_.Set(Index, kRight, Value);
  }

 protected:
  TreeLinks() noexcept {
    this->UseTrailingLinks(links_.InlineCells(), static_cast<std::uint32_t>(N));
  }
  ~TreeLinks() override = default;

 private:
  static constexpr std::size_t kLeft = 0, kRight = 1;
  detail::LinkSlots<ITreeNode, 2, N> links_;
};

}  // namespace velmira
