// Test support for the linear containers and the list: a client element that logs its calls,
// fails on request and can re-enter its container, and a runner of scripts over eight of them,
// a..h, to which each container's script adds its own steps and its state.
//
//   auto a = New<ClientNode<IQueueNode>>('a', &log);   // logs "aN", "an=b", ... into log
//   script.Run("+a +b n~")                             // a stack's: "b{bN bn=_} [a]"
//
// Calls log as the element's name and N, P, T (reading NextItem, PrevItem, Tag), n, p, t (setting
// them, then "=" and the target's name) or k (reading Key). Names: a..h, "_" Nothing, "*" another
// object. Steps of every script (x, y letters or _): Fxm x's next call of member m throws; =xV
// sets x's key to V; Nxy sets x's NextItem to y; ?x prints x's links ("x:" and PrevItem, NextItem,
// Tag for a list element, else NextItem); = prints the state. A step ending in ~ also prints its
// element calls in braces. Warnings print as "!" and their code, errors as "E" and their number,
// "E" alone for an element's (script.h); a step that allocates without either prints "$" and the
// count. The result ends with the state and " ~x" for each element outside it holding a link.
#pragma once

#include <cctype>
#include <cstdint>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "allocation_counter.h"
#include "capture.h"
#include "script.h"
#include "velmira/core/node_interfaces.h"

namespace velmira::testing {

/// What client elements throw: a type of the client's own, so a test sees it arrive unchanged.
struct ElementError {};

/// A client element with a link of each kind per slot and a key per slot. It has the members of
/// every element interface; those of `I` override.
template <class I>
class ClientNode : public I {
 public:
  explicit ClientNode(char name = '?', std::string* log = nullptr) : name(name), log(log) {}
  Ref<I> NextItem(std::int32_t i) { return Call('N', i); }
  void SetNextItem(std::int32_t i, const Ref<I>& v) { Call('n', i, &v); }
  Ref<I> PrevItem(std::int32_t i) { return Call('P', i); }
  void SetPrevItem(std::int32_t i, const Ref<I>& v) { Call('p', i, &v); }
  Ref<I> Tag(std::int32_t i) { return Call('T', i); }
  void SetTag(std::int32_t i, const Ref<I>& v) { Call('t', i, &v); }
  Variant Key(std::int32_t i) { return Call('k', i), keys[i]; }
  /// The link ('n', 'p' or 't') stored for slot 0 itself, without a call.
  Ref<I>& Stored(char link) { return links_[{link, 0}]; }
  /// Drops every link without a call.
  void Unlink() { std::exchange(links_, {}); }
  /// An element's name: its letter, "_" for Nothing, "*" for an object of another class.
  static std::string NameOf(const Ref<I>& n) {
    const auto* e = dynamic_cast<const ClientNode*>(n.get());
    return std::string(1, e ? e->name : n ? '*' : '_');
  }

  char name;
  std::string* log;               ///< when set, each call is appended to it
  char fail = 0;                  ///< the member whose next call throws ElementError, once
  std::function<void()> reenter;  ///< runs inside the next call, once: client code re-entering
  std::map<std::int32_t, Variant> keys;

 private:
  Ref<I> Call(char member, std::int32_t i, const Ref<I>* value = nullptr) {
    std::string call{name, member};
    if (value) call += "=" + NameOf(*value);
    if (log) *log += (log->empty() ? "" : " ") + call;
    if (reenter) std::exchange(reenter, nullptr)();
    if (member == fail) {
      fail = 0;
      throw ElementError{};
    }
    if (member == 'k') return Nothing;
    Ref<I>& stored = links_[{static_cast<char>(std::tolower(member)), i}];
    if (value) stored = *value;
    return stored;
  }
  std::map<std::pair<char, std::int32_t>, Ref<I>> links_;  // by link letter and slot
};

/// Runs scripts over elements a..h; a container's script adds its steps and its state.
template <class I>
class ElementScript {
 public:
  using Element = ClientNode<I>;

  /// Runs `script` and returns what its steps printed, then the final state.
  std::string Run(const std::string& script) {
    std::string out;
    std::istringstream steps(script);
    for (std::string s; steps >> s;) {
      log_.clear();
      std::string word;
      try {
        const std::int64_t before = AllocationCount();
        word = Step(s);
        if (AllocationCount() > before && output_.Writes().empty())  // what the step allocated
          word += "$" + std::to_string(AllocationCount() - before);
        if (s == "=") word = State();
        Element* x = s.size() > 1 && s[1] >= 'a' && s[1] <= 'h' ? &At(s[1]) : nullptr;
        if (s[0] == 'F') x->fail = s[2];
        if (s[0] == '=' && x) x->keys[0] = std::stoi(s.substr(2));
        if (s[0] == 'N') x->SetNextItem(0, El(s[2]));
        if (s[0] == '?') word = s.substr(1, 1) + ":" + Links(*x);
      } catch (...) {
        word = ErrorWord(std::current_exception());
      }
      if (s.back() == '~') word += "{" + log_ + "}";
      for (const std::string& text : output_.Take()) word += "!" + WarningCode(class_, text);
      if (!word.empty()) out += word + " ";
    }
    for (const auto& x : e_) x->fail = 0;
    const std::string state = State();
    out += state;
    for (const auto& x : e_) {
      if (state.find(x->name) == std::string::npos &&
          Links(*x).find_first_not_of('_') != std::string::npos)
        out += std::string(" ~") + x->name;
    }
    return out;
  }

 protected:
  ElementScript(const char* class_name, const std::vector<Variant>& keys) : class_(class_name) {
    log_.reserve(1000);  // the element calls and the steps then allocate nothing of their own
    for (char name = 'a'; name <= 'h'; ++name) {
      Element& x = *e_.emplace_back(New<Element>(name, &log_));
      x.keys[0] = e_.size() <= keys.size() ? keys[e_.size() - 1] : Variant();
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
  std::string log_;  // before the elements: a container's teardown still logs
  CapturedOutput output_;
  std::vector<Ref<Element>> e_;
};

}  // namespace velmira::testing
