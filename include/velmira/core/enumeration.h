// `Enumeration<Node, Step>`: a range over the elements a step function yields, for range-for and
// the std::ranges algorithms and views. The containers' modules build their `Enumerate`
// overloads on it.
//
//   for (Ref<ITreeNode> n : Enumerate(tree)) ...                        // tree/enumerate.h
//   auto big = Enumerate(queue) | std::views::filter(IsBig);            // a view like any other
//
// Contract: `Step` is a callable returning `Ref<Node>`; the range yields what it returns until it
// returns Nothing. The first step runs in the first `begin()` and each later one in `++`, so the
// walk reads the elements' links as it goes and a change made inside the loop is seen exactly as
// the underlying walk sees it. The iterators are single-pass input iterators; an `Enumeration`
// can be moved but not copied, and its iterators are valid while it lives where they were taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <ranges>
#include <utility>

#include "velmira/core/link_access.h"
#include "velmira/core/ref.h"

namespace velmira {

// A view through `view_base` rather than `view_interface`: clang 14 with the GCC 12 standard
// library checks `view_interface`'s member constraints while this class is still incomplete, and
// fails.
template <class Node, class Step>
class Enumeration : public std::ranges::view_base {
 public:
  class Iterator {
   public:
    using value_type = Ref<Node>;
    using reference = const Ref<Node>&;
    using difference_type = std::ptrdiff_t;
    using iterator_concept = std::input_iterator_tag;

    Iterator() = default;
    /// The element the walk is on.
    reference operator*() const noexcept { return owner_->current_; }
    const Ref<Node>* operator->() const noexcept { return &owner_->current_; }
    /// Takes the next step.
    Iterator& operator++() {
      owner_->Advance();
      return *this;
    }
    void operator++(int) { ++*this; }
    /// The walk is over once a step has returned Nothing.
    friend bool operator==(const Iterator& it, std::default_sentinel_t) noexcept {
      return it.Done();
    }

   private:
    friend class Enumeration;
    explicit Iterator(Enumeration* owner) noexcept : owner_(owner) {}
    bool Done() const noexcept { return !owner_ || !owner_->current_; }
    Enumeration* owner_ = nullptr;
  };

  explicit Enumeration(Step step) : step_(std::move(step)) {}
  Enumeration(Enumeration&&) = default;
  Enumeration& operator=(Enumeration&&) = default;

  /// Takes the first step the first time it is called; later calls continue where the walk is.
  Iterator begin() {
    if (!started_) {
      started_ = true;
      Advance();
    }
    return Iterator(this);
  }
  std::default_sentinel_t end() const noexcept { return {}; }

 private:
  void Advance() { current_ = step_(); }

  Step step_;
  Ref<Node> current_;
  bool started_ = false;
};

namespace detail {

/// A step that asks an enumerator (`ListEnum`, `TreeEnum`) for its next element.
template <class Node, class Enumerator>
struct EnumeratorStep {
  Ref<Enumerator> enumerator;
  Ref<Node> operator()() { return enumerator->NextItem(); }
};

/// A step along a chain of `NextItem(index)` links from a head element: the first call returns
/// the head, each later one the successor of the element returned last, read at that moment.
template <class Node>
struct ChainStep {
  Ref<Node> head;
  std::int32_t index;
  Ref<Node> last{};
  bool started = false;
  Ref<Node> operator()() {
    if (!started) {
      started = true;
      last = std::move(head);
    } else if (last) {
      last = GetLink<NextLink>(*last, index);
    }
    return last;
  }
};

}  // namespace detail
}  // namespace velmira
