// `Enumeration<Node, Step>`: a range over the elements a step function yields, for range-for and
// the std::ranges algorithms and views. The containers' modules build their `Enumerate`
// overloads on it.
//
//   for (Ref<ITreeNode> n : Enumerate(tree)) { ... }                    // tree/enumerate.h
//   auto big = Enumerate(queue) | std::views::filter([](auto& n) { return !!n; });  // a view
//   for (Ref<Job> j : Enumerate<Job>(queue)) { ... }                    // typed: As<Job> each
//   auto r = Enumerate(list);
//   std::vector<Ref<IListNode>> all(r.begin(), r.end());                // a common range
//
// Contract: `Step` is a callable returning `Ref<Node>`; the range yields what it returns until it
// returns Nothing. The first step runs in the first `begin()` and each later one in `++`, so the
// walk reads the elements' links as it goes and a change made inside the loop is seen exactly as
// the underlying walk sees it. The iterators are single-pass input iterators, and `end()` is an
// iterator too (a common range), so the classic iterator-pair constructors take them; an
// `Enumeration` can be moved but not copied, and its iterators are valid while it lives where
// they were taken. `Enumerate<T>(...)` converts each element with `As<T>`: an element that is
// not a `T` raises error 13 when the walk reaches it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <ranges>
#include <utility>

#include "velmira/core/link_access.h"
#include "velmira/core/ref.h"

namespace velmira {

template <class Node, class Step>
class Enumeration;

namespace detail {
/// A step that converts what another step yields to `T`.
template <class T, class Step>
struct AsStep {
  Step step;
  Ref<T> operator()() { return As<T>(step()); }
};
/// `walk`, not yet begun, with every element converted to `T`.
template <class T, class Node, class Step>
Enumeration<T, AsStep<T, Step>> Typed(Enumeration<Node, Step> walk);
/// A step that asks an enumerator (`ListEnum`, `TreeEnum`) for its next element.
template <class Node, class Enumerator>
struct EnumeratorStep {
  Ref<Enumerator> enumerator;
  Ref<Node> operator()() { return enumerator->NextItem(); }
};
template <class Node, class Enumerator>
using EnumeratorWalk = Enumeration<Node, EnumeratorStep<Node, Enumerator>>;
}  // namespace detail

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
    using pointer = const Ref<Node>*;
    using difference_type = std::ptrdiff_t;
    using iterator_concept = std::input_iterator_tag;
    using iterator_category = std::input_iterator_tag;

    /// What `it++` returns: the element the walk was on before the step.
    struct Before {
      Ref<Node> element;
      reference operator*() const noexcept { return element; }
    };

    Iterator() = default;
    /// The element the walk is on.
    reference operator*() const noexcept { return owner_->current_; }
    pointer operator->() const noexcept { return &owner_->current_; }
    /// Takes the next step.
    Iterator& operator++() {
      owner_->Advance();
      return *this;
    }
    Before operator++(int) {
      Before before{owner_->current_};
      ++*this;
      return before;
    }
    /// The walk is over once a step has returned Nothing; `end()` is always over. Two iterators
    /// of an unfinished walk are equal when they are of the same walk.
    friend bool operator==(const Iterator& a, const Iterator& b) noexcept {
      return a.Done() ? b.Done() : a.owner_ == b.owner_;
    }
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
  Iterator end() const noexcept { return Iterator(); }

 private:
  template <class T, class N, class S>
  friend Enumeration<T, detail::AsStep<T, S>> detail::Typed(Enumeration<N, S> walk);

  void Advance() { current_ = step_(); }

  Step step_;
  Ref<Node> current_;
  bool started_ = false;
};

/// Walks an enumerator (a `ListEnum`, a `TreeEnum`) from where it stands to its end.
template <class Enumerator>
requires requires(Enumerator& e) {
  e.SetOrder(e.Order());
  e.NextItem();
}
auto Enumerate(const Ref<Enumerator>& e) {
  using Node = typename decltype(e->NextItem())::element_type;
  return detail::EnumeratorWalk<Node, Enumerator>({e});
}

/// Walks a fresh enumerator of `container` (a `List`, a `Tree`, a `SplayTree`) in its first
/// order (first to last; ascending keys), or in `order`, which must be of the enumerator's own
/// enumeration (a value outside it is ignored).
template <class Container, class... Order>
requires(sizeof...(Order) <= 1) && requires(const Container& c, Order... order) {
  c.NewEnum();
  (c.NewEnum()->SetOrder(order), ...);
}
auto Enumerate(const Container& container, Order... order) {
  auto e = container.NewEnum();
  (e->SetOrder(order), ...);
  return Enumerate(e);
}

/// Any container `Enumerate` walks, held by a `Ref`: `Enumerate(queue)` is `Enumerate(*queue)`.
template <class Container, class... Options>
auto Enumerate(const Ref<Container>& container, Options... options)
    -> decltype(Enumerate(*container, options...)) {
  return Enumerate(*container, options...);
}

/// Any walk `Enumerate` offers, each element converted to `T` with `As<T>`:
/// `Enumerate<Job>(queue)`, `Enumerate<Job>(tree, eTreeEnumPostOrder)`.
template <class T, class Walked, class... Options>
auto Enumerate(const Walked& walked, Options... options)
    -> decltype(detail::Typed<T>(Enumerate(walked, options...))) {
  return detail::Typed<T>(Enumerate(walked, options...));
}

namespace detail {

template <class T, class Node, class Step>
Enumeration<T, AsStep<T, Step>> Typed(Enumeration<Node, Step> walk) {
  return Enumeration<T, AsStep<T, Step>>(AsStep<T, Step>{std::move(walk.step_)});
}

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
