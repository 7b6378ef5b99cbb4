#include "velmira/list/list.h"

#include <utility>

#include "core/index_rule.h"
#include "list/list_marker.h"
#include "velmira/core/debug_output.h"
#include "velmira/core/error.h"
#include "velmira/core/link_access.h"

// Every link is read and written in the list's own slot, one element call per step, in a fixed
// order: an element that raises an error stops the operation at that call, and the steps before
// it stay done. A link that should be there can still read Nothing after such a stop (or when an
// element does not keep what it was given); the list then skips the step on that neighbour
// rather than calling through Nothing. The links go through the accessors of core/link_access.h.

namespace velmira {

using detail::GetLink;
using detail::HasLink;
using detail::LinkIs;
using detail::NextLink;
using detail::PrevLink;
using detail::ResetLink;
using detail::SetLink;
using detail::TagLink;

namespace {

constexpr const char* kInvalidItemNumber =
    "List: Warning, an attempt was made to access an Item using an invalid number";
constexpr const char* kAddNothing = "List: Warning, an attempt was made to Add Nothing";
constexpr const char* kAddInAList =
    "List: Warning, an attempt was made to Add a node that's already in a list";
constexpr const char* kAddLinked =
    "List: Warning, an attempt was made to Add a node with a predecessor or successor";
// AddAfter writes these same texts: callers match on them.
constexpr const char* kInsertNothing = "List: Warning, AddBefore was asked to add Nothing";
constexpr const char* kInsertNextToNothing =
    "List: Warning, AddBefore was asked to add a node before Nothing";
constexpr const char* kInsertNextToNonMember =
    "List: Warning, AddBefore was asked to add before a node that's not in the list";
constexpr const char* kInsertInAList =
    "List: Warning, AddBefore was asked to add a node that's already in a list";
constexpr const char* kInsertLinked =
    "List: Warning, AddBefore was asked to add a node with a predecessor or successor";
constexpr const char* kRemoveNonMember =
    "List: Warning, an attempt was made to Remove an item from a list it wasn't in";

}  // namespace

List::List() : marker_(New<detail::ListMarker>()) {}

List::~List() {
  if (first_ || last_) TearDown();
  // marker_ goes with the members; elements left linked keep it alive through their tags.
}

namespace {
/// Runs `operation`, marking the list as interrupted when an element's error ends it. A handler
/// rather than a guard object, so the ordinary path costs nothing.
template <class Operation>
void Watched(bool& interrupted, Operation&& operation) {
  try {
    operation();
  } catch (...) {
    interrupted = true;
    throw;
  }
}

/// Runs one element call of a teardown; false when it raised an error (which is dropped).
template <class Call>
bool Attempt(Call&& call) noexcept {
  try {
    call();
    return true;
  } catch (...) {
    return false;
  }
}
}  // namespace

void List::TearDown() noexcept {
  // Unlike Clear, teardown goes on past an element's error, so that members an interrupted walk
  // (or an interrupted AddBefore, AddAfter or Remove at an end) left linked to each other do not
  // keep each other alive. The first walk goes forward from the first element, each step resetting
  // the links between the element and the next; if it stopped early, or did not end at the last
  // element, a second walk does the same backward from the last element. A walk stops only when
  // it cannot learn the next element or cannot reset the link to it, so it always makes progress.
  const auto walk = [this](Ref<IListNode> element, bool forward) {
    Ref<IListNode> reached;
    (void)Attempt([&] {
      if (forward) {
        ResetLink<PrevLink>(*element, index_);
      } else {
        ResetLink<NextLink>(*element, index_);
      }
    });
    bool clean = true;
    while (element) {
      Ref<IListNode> next;
      if (!Attempt([&] {
            next =
                forward ? GetLink<NextLink>(*element, index_) : GetLink<PrevLink>(*element, index_);
          })) {
        return false;
      }
      if (next) {
        clean &= Attempt([&] {
          if (forward) {
            ResetLink<PrevLink>(*next, index_);
          } else {
            ResetLink<NextLink>(*next, index_);
          }
        });
      }
      if (!Attempt([&] {
            if (forward) {
              ResetLink<NextLink>(*element, index_);
            } else {
              ResetLink<PrevLink>(*element, index_);
            }
          })) {
        return false;
      }
      clean &= Attempt([&] { ResetLink<TagLink>(*element, index_); });
      reached = std::move(element);
      element = std::move(next);
    }
    return clean && Is(reached, forward ? last_ : first_);
  };
  Ref<IListNode> first = std::move(first_);
  const bool complete = first ? walk(std::move(first), true) : !last_;
  if (!complete && last_) walk(last_, false);
  last_ = Nothing;
  count_ = 0;
}

void List::SetIndex(std::int32_t value) noexcept {
  detail::SetIndexWhileEmpty(index_, value, IsEmpty(), "List", "list");
}

bool List::IsMember(const Ref<IListNode>& node) const {
  return LinkIs<TagLink>(*node, index_, marker_);
}

Ref<IListNode> List::NextItem(const Ref<IListNode>& Node) const {
  const detail::KeepAlive alive(this);
  if (!Node || !IsMember(Node)) return Nothing;
  return GetLink<NextLink>(*Node, index_);
}

Ref<IListNode> List::PrevItem(const Ref<IListNode>& Node) const {
  const detail::KeepAlive alive(this);
  if (!Node || !IsMember(Node)) return Nothing;
  return GetLink<PrevLink>(*Node, index_);
}

void List::Add(Ref<IListNode> Node) {
  Watched(interrupted_, [&] {
    if (!Node) {
      detail::Warn(kAddNothing);
      return;
    }
    const detail::KeepAlive alive(this);
    const detail::ElementLinks<IListNode> node(*Node, index_);
    if (node.Has<TagLink>()) {
      detail::Warn(kAddInAList);
      return;
    }
    if (node.Has<NextLink>() || node.Has<PrevLink>()) {
      detail::Warn(kAddLinked);
      return;
    }
    // A full count refuses the element before anything is linked.
    const std::int32_t count = CheckedAdd(count_, 1);
    node.Set<TagLink>(marker_);
    if (!first_) {
      first_ = Node;
    } else {
      Ref<IListNode> last = last_;
      if (last) SetLink<NextLink>(*last, index_, Node);
      node.Set<PrevLink>(std::move(last));
    }
    last_ = std::move(Node);
    count_ = count;
  });
}

bool List::CanInsertNextTo(const Ref<IListNode>& Node1, const Ref<IListNode>& Node2) const {
  const char* warning = nullptr;
  if (!Node1) {
    warning = kInsertNothing;
  } else if (!Node2) {
    warning = kInsertNextToNothing;
  } else if (!IsMember(Node2)) {
    warning = kInsertNextToNonMember;
  } else if (HasLink<TagLink>(*Node1, index_)) {
    warning = kInsertInAList;
  } else if (HasLink<NextLink>(*Node1, index_) || HasLink<PrevLink>(*Node1, index_)) {
    warning = kInsertLinked;
  }
  if (warning) detail::Warn(warning);
  return warning == nullptr;
}

void List::AddBefore(Ref<IListNode> Node1, Ref<IListNode> Node2) {
  Watched(interrupted_, [&] {
    const detail::KeepAlive alive(this);
    if (!CanInsertNextTo(Node1, Node2)) return;
    const std::int32_t count = CheckedAdd(count_, 1);
    SetLink<TagLink>(*Node1, index_, marker_);
    if (Is(Node2, first_)) {
      first_ = Node1;
    } else {
      Ref<IListNode> previous = GetLink<PrevLink>(*Node2, index_);
      SetLink<PrevLink>(*Node1, index_, previous);
      if (previous) SetLink<NextLink>(*previous, index_, Node1);
    }
    SetLink<NextLink>(*Node1, index_, Node2);
    SetLink<PrevLink>(*Node2, index_, Node1);
    count_ = count;
  });
}

void List::AddAfter(Ref<IListNode> Node1, Ref<IListNode> Node2) {
  Watched(interrupted_, [&] {
    const detail::KeepAlive alive(this);
    if (!CanInsertNextTo(Node1, Node2)) return;
    const std::int32_t count = CheckedAdd(count_, 1);
    SetLink<TagLink>(*Node1, index_, marker_);
    if (Is(Node2, last_)) {
      last_ = Node1;
    } else {
      Ref<IListNode> next = GetLink<NextLink>(*Node2, index_);
      SetLink<NextLink>(*Node1, index_, next);
      if (next) SetLink<PrevLink>(*next, index_, Node1);
    }
    SetLink<PrevLink>(*Node1, index_, Node2);
    SetLink<NextLink>(*Node2, index_, Node1);
    count_ = count;
  });
}

void List::Remove(Ref<IListNode> Node) {
  Watched(interrupted_, [&] {
    if (!first_ || !Node) return;
    const detail::KeepAlive alive(this);
    const detail::ElementLinks<IListNode> node(*Node, index_);
    if (!node.Is<TagLink>(marker_)) {
      detail::Warn(kRemoveNonMember);
      return;
    }
    if (Is(Node, first_)) {
      if (Is(Node, last_)) {
        first_ = Nothing;
        last_ = Nothing;
        count_ = 0;
      } else {
        const Ref<IListNode> next = node.Get<NextLink>();
        first_ = next;
        if (next) ResetLink<PrevLink>(*next, index_);
        node.Reset<NextLink>();
        count_ = CheckedAdd(count_, -1);
      }
      // After an interrupted operation the first element may still point back at one that left.
      if (interrupted_) node.Reset<PrevLink>();
      node.Reset<TagLink>();
      return;
    }
    Ref<IListNode> previous = node.Get<PrevLink>();
    if (Is(Node, last_)) {
      if (previous) ResetLink<NextLink>(*previous, index_);
      last_ = std::move(previous);
    } else {
      Ref<IListNode> next = node.Get<NextLink>();
      if (previous) {
        const detail::ElementLinks<IListNode> before(*previous, index_);
        before.Set<NextLink>(std::move(next));
        // The successor is read back through the predecessor's link, as it now stands.
        Ref<IListNode> successor = before.Get<NextLink>();
        if (successor) SetLink<PrevLink>(*successor, index_, previous);
      }
      node.Reset<NextLink>();
    }
    node.Reset<PrevLink>();
    node.Reset<TagLink>();
    count_ = CheckedAdd(count_, -1);
  });
}

void List::Clear() {
  const detail::KeepAlive alive(this);
  Watched(interrupted_, [&] {
    // After an interrupted Remove or Clear at the front, the first element can still point back at
    // the element that left, which points at it: unlink them, or the two keep each other alive.
    if (interrupted_ && first_) ResetLink<PrevLink>(*first_, index_);
    Ref<IListNode> reached;
    while (first_) {
      Ref<IListNode> element = first_;
      const Ref<IListNode> next = GetLink<NextLink>(*element, index_);
      first_ = next;
      if (next) ResetLink<PrevLink>(*next, index_);
      ResetLink<NextLink>(*element, index_);
      ResetLink<TagLink>(*element, index_);
      reached = std::move(element);
    }
    // An element that re-entered the list during the walk (removing the element being cleared,
    // say) can end it early: the members left are then cleared from the last one backward.
    while (last_ && !Is(last_, reached)) {
      const Ref<IListNode> element = last_;
      const Ref<IListNode> previous = GetLink<PrevLink>(*element, index_);
      last_ = previous;
      if (previous) ResetLink<NextLink>(*previous, index_);
      ResetLink<PrevLink>(*element, index_);
      ResetLink<TagLink>(*element, index_);
    }
    last_ = Nothing;
    count_ = 0;
    interrupted_ = false;
  });
}

Ref<ListEnum> List::NewEnum() const {
  Ref<ListEnum> enumerator(new ListEnum());
  enumerator->SetIndex(index_);
  enumerator->SetFirst(first_);
  enumerator->SetLast(last_);
  return enumerator;
}

Ref<IListNode> List::Item(std::int32_t Number) const {
  if (Number < 1 || Number > count_) {
    detail::Warn(kInvalidItemNumber);
    return Nothing;
  }
  const detail::KeepAlive alive(this);
  if (Number == 1) return first_;
  // From the nearer end: positions past half the count from the last element (the middle of an
  // odd count included), the others from the first.
  Ref<IListNode> element;
  if (Number > count_ / 2) {
    element = last_;
    for (std::int32_t steps = count_ - Number; steps > 0 && element; --steps) {
      element = GetLink<PrevLink>(*element, index_);
    }
  } else {
    element = first_;
    for (std::int32_t steps = Number - 1; steps > 0 && element; --steps) {
      element = GetLink<NextLink>(*element, index_);
    }
  }
  return element;
}

}  // namespace velmira
