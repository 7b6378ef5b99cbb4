// Test support for the linear containers and the list: a runner of scripts over eight test
// elements, a..h (test_element.h), to which each container's script adds its own steps and state.
//
//   script.Run("+a +b n~")    // a stack's: "b{bN bn=_} [a]"
//
// Element calls print as test_element.h logs them. Steps of every script (x, y letters or _): Fxm
// x's next call of member m throws; =xV sets x's key to V; Nxy sets x's NextItem to y; ?x prints
// x's links ("x:" and PrevItem, NextItem, Tag for a list element, else NextItem); = prints the
// state. A step ending in ~ also prints its element calls in braces. Warnings print as "!" and
// their code, errors as "E" and their number, "E" alone for an element's (script.h); a step that
// allocates without either prints "$" and the count. The result ends with the state and " ~x" for
// each element outside it holding a link.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "allocation_counter.h"
#include "capture.h"
#include "script.h"
#include "test_element.h"

namespace velmira::testing {

/// Runs scripts over elements a..h; a container's script adds its steps and its state.
template <class I>
class ElementScript {
 public:
  using Element = TestElement<I>;

  /// Runs `script` and returns what its steps printed, then the final state.
  std::string Run(const std::string& script) {
    std::string out;
    std::istringstream steps(script);
    for (std::string s; steps >> s;) {
      calls_.log.clear();
      std::string word;
      try {
        const std::int64_t before = AllocationCount();
        word = Step(s);
        if (AllocationCount() > before && output_.Writes().empty())  // what the step allocated
          word += "$" + std::to_string(AllocationCount() - before);
        if (s == "=") word = State();
        Element* x = s.size() > 1 && s[1] >= 'a' && s[1] <= 'h' ? &At(s[1]) : nullptr;
        if (s[0] == 'F') x->fail = s.substr(2);
        if (s[0] == '=' && x) x->SetKey(0, std::stoi(s.substr(2)));
        if (s[0] == 'N') x->SetNextItem(0, El(s[2]));
        if (s[0] == '?') word = s.substr(1, 1) + ":" + Links(*x);
      } catch (...) {
        word = ErrorWord(std::current_exception());
      }
      if (s.back() == '~') word += "{" + calls_.log + "}";
      for (const std::string& text : output_.Take()) word += "!" + WarningCode(class_, text);
      if (!word.empty()) out += word + " ";
    }
    for (const auto& x : e_) x->fail.clear();
    const std::string state = State();
    out += state;
    for (const auto& x : e_) {
      if (state.find(x->name) == std::string::npos &&
          Links(*x).find_first_not_of('_') != std::string::npos)
        out += " ~" + x->name;
    }
    return out;
  }

 protected:
  ElementScript(const char* class_name, const std::vector<Variant>& keys) : class_(class_name) {
    calls_.log.reserve(1000);  // the element calls and the steps then allocate nothing of their own
    for (char name = 'a'; name <= 'h'; ++name) {
      Element& x = *e_.emplace_back(New<Element>(std::string(1, name), &calls_));
      x.SetKey(0, e_.size() <= keys.size() ? keys[e_.size() - 1] : Variant());
      x.Stored('n'), x.Stored('p'), x.Stored('t');
    }
  }
  virtual ~ElementScript() {  // the container is gone: break every link left, cycles included
    for (const auto& x : e_) x->Unlink();
  }
  /// Runs one of the container's steps; returns what it prints.
  virtual std::string Step(const std::string& s) = 0;
  /// The container's state, naming every element in it.
  virtual std::string State() = 0;

  Ref<I> El(char x) const { return x == '_' ? Ref<I>() : Ref<I>(e_.at(x - 'a')); }
  Element& At(char x) const { return *e_.at(x - 'a'); }
  static std::string Name(const Ref<I>& n) { return Element::NameOf(n); }

 private:
  std::string Links(Element& x) {
    const std::string next = Name(x.Stored('n'));
    return std::is_same_v<I, IListNode> ? Name(x.Stored('p')) + next + Name(x.Stored('t')) : next;
  }

  const char* class_;
  // Before the elements: a container's teardown logs. A walk that never ends runs out of calls.
  ElementCalls calls_{true, 1 << 16};
  CapturedOutput output_;
  std::vector<Ref<Element>> e_;
};

}  // namespace velmira::testing
