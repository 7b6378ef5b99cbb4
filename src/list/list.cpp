#include "velmira/list/list.h"

#include <exception>
#include <utility>

#include "core/index_rule.h"
#include "list/list_marker.h"
#include "velmira/core/debug_output.h"
#include "velmira/core/error.h"

// Every link is read and written in the list's own slot, one element call per step, in a fixed
// order: an element that raises an error stops the operation at that call, and the steps before
// it stay done. A link that should be there can still read Nothing after such a stop (or when an
// element does not keep what it was given); the list then skips the step on that neighbour
// rather than calling through Nothing.

namespace velmira {
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
/// Marks the list as interrupted when the operation it guards ends with an element's error.
class InterruptionWatch {
 public:
  explicit InterruptionWatch(bool& flag) noexcept
      : flag_(flag), errors_(std::uncaught_exceptions()) {}
  ~InterruptionWatch() {
    if (std::uncaught_exceptions() > errors_) flag_ = true;
  }
  InterruptionWatch(const InterruptionWatch&) = delete;
  InterruptionWatch& operator=(const InterruptionWatch&) = delete;

 private:
  bool& flag_;
  int errors_;
};

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
        element->SetPrevItem(index_, Nothing);
      } else {
        element->SetNextItem(index_, Nothing);
      }
    });
    bool clean = true;
    while (element) {
      Ref<IListNode> next;
      if (!Attempt(
              [&] { next = forward ? element->NextItem(index_) : element->PrevItem(index_); })) {
        return false;
      }
      if (next) {
        clean &= Attempt([&] {
          if (forward) {
            next->SetPrevItem(index_, Nothing);
          } else {
            next->SetNextItem(index_, Nothing);
          }
        });
      }
      if (!Attempt([&] {
            if (forward) {
              element->SetNextItem(index_, Nothing);
            } else {
              element->SetPrevItem(index_, Nothing);
            }
          })) {
        return false;
      }
      clean &= Attempt([&] { element->SetTag(index_, Nothing); });
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

bool List::IsMember(const Ref<IListNode>& node) const { return Is(node->Tag(index_), marker_); }

Ref<IListNode> List::NextItem(const Ref<IListNode>& Node) const {
  const detail::KeepAlive alive(this);
  if (!Node || !IsMember(Node)) return Nothing;
  return Node->NextItem(index_);
}

Ref<IListNode> List::PrevItem(const Ref<IListNode>& Node) const {
  const detail::KeepAlive alive(this);
  if (!Node || !IsMember(Node)) return Nothing;
  return Node->PrevItem(index_);
}

void List::Add(Ref<IListNode> Node) {
  const InterruptionWatch watch(interrupted_);
  if (!Node) {
    detail::Warn(kAddNothing);
    return;
  }
  const detail::KeepAlive alive(this);
  if (Node->Tag(index_)) {
    detail::Warn(kAddInAList);
    return;
  }
  if (Node->NextItem(index_) || Node->PrevItem(index_)) {
    detail::Warn(kAddLinked);
    return;
  }
  // A full count refuses the element before anything is linked.
  const std::int32_t count = CheckedAdd(count_, 1);
  Node->SetTag(index_, marker_);
  if (!first_) {
    first_ = Node;
  } else {
    const Ref<IListNode> last = last_;
    if (last) last->SetNextItem(index_, Node);
    Node->SetPrevItem(index_, last);
  }
  last_ = std::move(Node);
  count_ = count;
}

bool List::CanInsertNextTo(const Ref<IListNode>& Node1, const Ref<IListNode>& Node2) const {
  const char* warning = nullptr;
  if (!Node1) {
    warning = kInsertNothing;
  } else if (!Node2) {
    warning = kInsertNextToNothing;
  } else if (!IsMember(Node2)) {
    warning = kInsertNextToNonMember;
  } else if (Node1->Tag(index_)) {
    warning = kInsertInAList;
  } else if (Node1->NextItem(index_) || Node1->PrevItem(index_)) {
    warning = kInsertLinked;
  }
  if (warning) detail::Warn(warning);
  return warning == nullptr;
}

void List::AddBefore(Ref<IListNode> Node1, Ref<IListNode> Node2) {
  const InterruptionWatch watch(interrupted_);
  const detail::KeepAlive alive(this);
  if (!CanInsertNextTo(Node1, Node2)) return;
  const std::int32_t count = CheckedAdd(count_, 1);
  Node1->SetTag(index_, marker_);
  if (Is(Node2, first_)) {
    first_ = Node1;
  } else {
    Ref<IListNode> previous = Node2->PrevItem(index_);
    Node1->SetPrevItem(index_, previous);
    if (previous) previous->SetNextItem(index_, Node1);
  }
  Node1->SetNextItem(index_, Node2);
  Node2->SetPrevItem(index_, Node1);
  count_ = count;
}

void List::AddAfter(Ref<IListNode> Node1, Ref<IListNode> Node2) {
  const InterruptionWatch watch(interrupted_);
  const detail::KeepAlive alive(this);
  if (!CanInsertNextTo(Node1, Node2)) return;
  const std::int32_t count = CheckedAdd(count_, 1);
  Node1->SetTag(index_, marker_);
  if (Is(Node2, last_)) {
    last_ = Node1;
  } else {
    Ref<IListNode> next = Node2->NextItem(index_);
    Node1->SetNextItem(index_, next);
    if (next) next->SetPrevItem(index_, Node1);
  }
  Node1->SetPrevItem(index_, Node2);
  Node2->SetNextItem(index_, Node1);
  count_ = count;
}

void List::Remove(Ref<IListNode> Node) {
  const InterruptionWatch watch(interrupted_);
  if (!first_ || !Node) return;
  const detail::KeepAlive alive(this);
  if (!IsMember(Node)) {
    detail::Warn(kRemoveNonMember);
    return;
  }
  if (Is(Node, first_)) {
    if (Is(Node, last_)) {
      first_ = Nothing;
      last_ = Nothing;
      count_ = 0;
    } else {
      const Ref<IListNode> next = Node->NextItem(index_);
      first_ = next;
      if (next) next->SetPrevItem(index_, Nothing);
      Node->SetNextItem(index_, Nothing);
      count_ = CheckedAdd(count_, -1);
    }
    // After an interrupted operation the first element may still point back at one that left.
    if (interrupted_) Node->SetPrevItem(index_, Nothing);
    Node->SetTag(index_, Nothing);
    return;
  }
  Ref<IListNode> previous = Node->PrevItem(index_);
  if (Is(Node, last_)) {
    if (previous) previous->SetNextItem(index_, Nothing);
    last_ = std::move(previous);
  } else {
    Ref<IListNode> next = Node->NextItem(index_);
    if (previous) {
      previous->SetNextItem(index_, next);
      // The successor is read back through the predecessor's link, as it now stands.
      Ref<IListNode> successor = previous->NextItem(index_);
      if (successor) successor->SetPrevItem(index_, previous);
    }
    Node->SetNextItem(index_, Nothing);
  }
  Node->SetPrevItem(index_, Nothing);
  Node->SetTag(index_, Nothing);
  count_ = CheckedAdd(count_, -1);
}

void List::Clear() {
  const detail::KeepAlive alive(this);
  const InterruptionWatch watch(interrupted_);
  // After an interrupted Remove or Clear at the front, the first element can still point back at
  // the element that left, which points at it: unlink them, or the two keep each other alive.
  if (interrupted_ && first_) first_->SetPrevItem(index_, Nothing);
  Ref<IListNode> reached;
  while (first_) {
    Ref<IListNode> element = first_;
    const Ref<IListNode> next = element->NextItem(index_);
    first_ = next;
    if (next) next->SetPrevItem(index_, Nothing);
    element->SetNextItem(index_, Nothing);
    element->SetTag(index_, Nothing);
    reached = std::move(element);
  }
  // An element that re-entered the list during the walk (removing the element being cleared,
  // say) can end it early: the members left are then cleared from the last one backward.
  while (last_ && !Is(last_, reached)) {
    const Ref<IListNode> element = last_;
    const Ref<IListNode> previous = element->PrevItem(index_);
    last_ = previous;
    if (previous) previous->SetNextItem(index_, Nothing);
    element->SetPrevItem(index_, Nothing);
    element->SetTag(index_, Nothing);
  }
  last_ = Nothing;
  count_ = 0;
  interrupted_ = false;
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
      element = element->PrevItem(index_);
    }
  } else {
    element = first_;
    for (std::int32_t steps = Number - 1; steps > 0 && element; --steps) {
      element = element->NextItem(index_);
    }
  }
  return element;
}

}  // namespace velmira
