// Test support for the linear containers: a fixture that runs short scripts of steps on two
// containers of one kind sharing up to twelve elements, and prints what they show.
//
//   RunAll({{"Lifo", {}, "+a +b n", "b = a"}});   // on a Stack: pops b, a is left
//
// Steps, separated by spaces (x and y are element letters a..l, 0 is Nothing):
//   +x Add (Push on a stack)     ^x Add on a stack        -x Remove (Queue: Remove(x, 7))
//   n  take the head, print it   t  print the head (?! if IsEmpty disagrees)  d Drop  c Clear
//   iN SetIndex(N)               I  print Index           @N work on container N (0 or 1)
//   ?x print x's link            >xy link x to y by hand  =xV set x's key (integer V, or N: Null)
//   !x<calls> x throws from those calls (g link get, s link set, k key read; none: stop)
//   [  forget the element calls  ]  print the element calls since [ as "{ag bs ...}"
//   X  release the container (its teardown) and put a new one in its place
// Links and keys are those of the active container's slot; warnings and errors print as script.h
// says. At the
// end failures stop, container 0 is drained ("= a b"; "~walk" if a range-for walk before it saw
// other elements), then container 1 (" / c d") if not empty,
// and each element still linked in slot 0, 1 or 5 prints as "x>y". Row keys go to a, b, ... in
// slots 0, 1 and 5.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "allocation_counter.h"
#include "capture.h"
#include "client_nodes.h"
#include "scale.h"
#include "script.h"
#include "velmira/linear/enumerate.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"

namespace velmira::testing {

template <class C>
constexpr bool kIsStack = std::is_same_v<C, Stack>;
template <class C>
constexpr bool kIsQueue = std::is_same_v<C, Queue>;

// A stack pushes, pops and shows its top; the queues add, take and show their first.
inline void AddTo(Stack& s, const Ref<IStackNode>& node) { s.Push(node); }
inline void AddTo(Queue& q, const Ref<IQueueNode>& node) { q.Add(node); }
inline void AddTo(PQueue& q, const Ref<IPQueueNode>& node) { q.Add(node); }
inline Ref<IStackNode> TakeFrom(Stack& s) { return s.Pop(); }
inline Ref<IQueueNode> TakeFrom(Queue& q) { return q.NextItem(); }
inline Ref<IPQueueNode> TakeFrom(PQueue& q) { return q.NextItem(); }
inline Ref<IStackNode> HeadOf(Stack& s) { return s.Top(); }
inline Ref<IQueueNode> HeadOf(Queue& q) { return q.First(); }
inline Ref<IPQueueNode> HeadOf(PQueue& q) { return q.First(); }
/// The element interface of container C.
template <class C>
using NodeOf = std::remove_cvref_t<decltype(*TakeFrom(std::declval<C&>()))>;

template <class C, class E>
class LinearScript : public VelmiraTest {
 protected:
  using Node = NodeOf<C>;
  static constexpr const char* kName = kIsStack<C> ? "Stack" : kIsQueue<C> ? "Queue" : "PQueue";
  static constexpr bool kClient = std::is_base_of_v<ClientLinkNode<Node>, E>;

  void RunAll(const std::vector<Row>& rows) {
    RunRows(rows, [this](const Row& row) { return Run(row); });
  }

  std::string Run(const Row& c) {
    elements_.clear();
    for (std::size_t i = 0; i < 12; ++i) {
      elements_.push_back(New<E>());
      if constexpr (kClient) elements_[i]->Watch(static_cast<char>('a' + i), &log_);
      for (int slot : {0, 1, 5})
        SetKey(elements_[i], slot, i < c.keys.size() ? c.keys[i] : Variant());
    }
    containers_[0] = New<C>(), containers_[1] = New<C>(), active_ = 0, out_.clear();
    std::istringstream steps(c.script);
    for (std::string step; steps >> step;) {
      try {
        Step(step, *containers_[active_]);
      } catch (...) {
        Print(ErrorWord(std::current_exception()));
      }
      for (const std::string& text : TakeOutput()) Print("!" + WarningCode(kName, text));
    }
    if constexpr (kClient) {
      for (const Ref<E>& e : elements_) e->fail.clear();
    }
    out_ += "=";
    for (int k : {0, 1}) {
      std::string walked, drained;  // a range-for walk must visit what draining then yields
      for (const Ref<Node>& n : Enumerate(containers_[k])) walked += " " + Name(n);
      while (Ref<Node> n = TakeFrom(*containers_[k])) drained += " " + Name(n);
      out_ += (k && !drained.empty() ? " /" : "") + drained + (walked == drained ? "" : " ~walk");
    }
    for (const Ref<E>& e : elements_) {
      for (int slot : {0, 1, 5}) {
        if (Ref<Node> next = Link(e, slot)) out_ += " " + Name(e) + ">" + Name(next);
      }
    }
    return out_;
  }

  /// Adds 1000 elements (with keys of two kinds), removes one from the middle and takes the
  /// rest, counting allocations; each element's slot is set up beforehand.
  void ExpectNoAllocation() {
    std::vector<Ref<E>> nodes;
    for (int i = 0; i < 1000; ++i) {
      nodes.push_back(New<E>());
      SetKey(nodes.back(), 0, i % 2 ? Variant(i % 7) : Variant("text"));
      static_cast<Node&>(*nodes.back()).SetNextItem(0, Nothing);
    }
    const std::int64_t before = AllocationCount();
    for (const Ref<E>& n : nodes) AddTo(*containers_[0], n);
    if constexpr (!kIsStack<C>) containers_[0]->Remove(nodes[500]);
    while (TakeFrom(*containers_[0])) {
    }
    EXPECT_EQ(AllocationCount(), before);
  }

 private:
  void Step(const std::string& s, C& c) {
    const char op = s[0];
    if (op == '+') return AddTo(c, El(s[1]));
    if (op == '^') return c.Add(El(s[1]));
    if (op == 'n') return Print(Name(TakeFrom(c)));
    if (op == 't') return Print(Name(HeadOf(c)) + (c.IsEmpty() == !HeadOf(c) ? "" : "?!"));
    if (op == 'c') return c.Clear();
    if (op == 'i') return c.SetIndex(std::stoi(s.substr(1)));
    if (op == 'I') return Print(std::to_string(c.Index()));
    if (op == '@') return void(active_ = s[1] - '0');
    if (op == '?') return Print(Name(El(s[1])->NextItem(c.Index())));
    if (op == '>') return El(s[1])->SetNextItem(c.Index(), El(s[2]));
    if (op == 'X') return void(containers_[active_] = New<C>());
    if (op == '[') return log_.clear();
    if (op == ']') return Print("{" + log_.substr(log_.empty() ? 0 : 1) + "}");
    if (op == '=')
      return SetKey(Element(s[1]), c.Index(),
                    s[2] == 'N' ? Variant::Null() : std::stoi(s.substr(2)));
    if constexpr (kIsStack<C>) {
      if (op == 'd') return c.Drop();
    } else if constexpr (kIsQueue<C>) {
      if (op == '-') return c.Remove(El(s[1]), 7);
    } else {
      if (op == '-') return c.Remove(El(s[1]));
    }
    if constexpr (kClient) {
      if (op == '!') return void(Element(s[1])->fail = s.substr(2));
    }
    ADD_FAILURE() << "step not understood: " << s;
  }

  void Print(const std::string& text) { out_ += text + " "; }
  const Ref<E>& Element(char letter) const { return elements_.at(letter - 'a'); }
  Ref<Node> El(char letter) const { return letter == '0' ? Nothing : Ref<Node>(Element(letter)); }
  static Ref<Node> Link(const Ref<E>& e, std::int32_t slot) {
    return static_cast<Node&>(*e).NextItem(slot);
  }
  static void SetKey(const Ref<E>& e, std::int32_t slot, const Variant& key) {
    if constexpr (std::is_same_v<C, PQueue>) e->SetKey(slot, key);
  }
  std::string Name(const Ref<Node>& n) const {
    for (std::size_t i = 0; i < elements_.size(); ++i) {
      if (Is(n, elements_[i])) return std::string(1, static_cast<char>('a' + i));
    }
    return n ? "?" : "-";
  }
  std::vector<Ref<E>> elements_;
  Ref<C> containers_[2] = {New<C>(), New<C>()};
  int active_ = 0;
  std::string out_, log_;
};

/// Adds kLongChain elements made by `make(i)`, clears them, adds them again and releases the
/// container holding the only references: nothing recurses per element.
template <class C, class Make>
void FillClearFillRelease(Make make) {
  std::vector<Ref<NodeOf<C>>> nodes;
  nodes.reserve(kLongChain);
  for (int i = 0; i < kLongChain; ++i) nodes.push_back(make(i));
  Ref<C> c = New<C>();
  for (const auto& n : nodes) AddTo(*c, n);
  EXPECT_TRUE(Is(HeadOf(*c), kIsQueue<C> ? nodes.front() : nodes.back()));
  c->Clear();
  EXPECT_TRUE(c->IsEmpty());
  for (const auto& n : nodes) AddTo(*c, n);
  nodes.clear();
  c.reset();
}

}  // namespace velmira::testing
