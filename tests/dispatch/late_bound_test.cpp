// Late-bound calls: every creatable class created by name and driven only through Invoke, the
// argument conversions, and the errors, compared with what the direct C++ calls do.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "capture.h"
#include "test_element.h"
#include "velmira/velmira.h"

namespace velmira {
namespace {

constexpr CallKind kGet = CallKind::PropertyGet;
constexpr CallKind kLet = CallKind::PropertyLet;
constexpr CallKind kSet = CallKind::PropertySet;
constexpr CallKind kMethod = CallKind::Method;

class LateBound : public testing::VelmiraTest {
 protected:
  /// A new element of `class_name` whose `Key(0)` is `key` (when given) and `Value` is `value`.
  static Variant Element(std::string_view class_name, Variant key = Variant(),
                         Variant value = Variant()) {
    Ref<Object> e = CreateObject(class_name);
    if (!key.IsEmpty()) Invoke(e, "Key", kLet, {0, key});
    Invoke(e, "Value", kLet, {value});
    return e;
  }
  /// The `Value` of the element `e` holds (Null for Nothing).
  static Variant ValueOf(const Variant& e) {
    if (!e.ObjectValue()) return Variant::Null();
    return Invoke(e.ObjectValue(), "value", kGet);
  }
  /// The Values of what `member` of `c` answers, called until it answers Nothing.
  static std::string Drain(const Ref<Object>& c, const char* member, CallKind kind = kMethod) {
    std::string values;
    for (Variant n = Invoke(c, member, kind); n.ObjectValue(); n = Invoke(c, member, kind)) {
      values += ValueOf(n).Text();
    }
    return values;
  }
  /// Expects error `number`, its message starting with the number's standard text.
  static void ExpectError(std::int32_t number, const std::function<void()>& call) {
    using ::testing::Property;
    EXPECT_THAT(call, ::testing::Throws<Error>(::testing::AllOf(
                          Property(&Error::Number, number),
                          Property(&Error::what, ::testing::StartsWith(ErrorText(number))))));
  }
};

TEST_F(LateBound, StackPopsInReverseOrderAndDropTakesOnlyTheTop) {
  Ref<Object> s = CreateObject("Velmira.Stack");
  EXPECT_TRUE(Invoke(s, "IsEmpty", kGet).BoolValue());
  for (const char* v : {"a", "b", "c"})
    Invoke(s, "Push", kMethod, {Element("Velmira.StackNode", {}, v)});
  EXPECT_EQ(ValueOf(Invoke(s, "Top", kGet)).Text(), "c");
  Invoke(s, "Drop", kMethod);
  EXPECT_EQ(ValueOf(Invoke(s, 3, kGet)).Text(), "b");
  const ResolvedMember pop = Resolve(DefaultInterfaceOf(s), "pop", kMethod);
  EXPECT_EQ(ValueOf(Call(pop, s)).Text(), "b");
  EXPECT_EQ(Drain(s, "POP"), "a");
  EXPECT_TRUE(Invoke(s, "isempty", kGet).BoolValue());
  // Clients cache dispatch identifiers, so a published one never changes.
  const std::pair<const char*, std::int32_t> published[] = {
      {"Index", 1}, {"IsEmpty", 2}, {"Top", 3},  {"Push", 4},
      {"Pop", 5},   {"Add", 6},     {"Drop", 7}, {"Clear", 8}};
  for (const auto& [name, id] : published) EXPECT_EQ(GetDispatchId(s, name), id) << name;
}

TEST_F(LateBound, QueuesRemoveWithOrWithoutIndexAndHandOutTheHighestKeyFirst) {
  Ref<Object> q = CreateObject("Velmira.Queue"), p = CreateObject("Velmira.PQueue");
  std::vector<Variant> e;
  for (const char* v : {"a", "b", "c", "d"}) {
    e.push_back(Element("Velmira.QueueNode", {}, v));
    Invoke(q, "Add", kMethod, {e.back()});
  }
  Invoke(q, "Remove", kMethod, {e[1]});     // optional Index left out
  Invoke(q, "Remove", kMethod, {e[2], 7});  // given, and ignored
  EXPECT_EQ(Drain(q, "NextItem"), "ad");
  const std::pair<int, const char*> keyed[] = {{2, "a"}, {5, "b"}, {2, "c"}, {9, "d"}};
  for (const auto& [key, v] : keyed)
    Invoke(p, "Add", kMethod, {Element("Velmira.PQueueNode", key, v)});
  EXPECT_EQ(Drain(p, "NextItem"), "dbac");  // equal keys in arrival order
}

TEST_F(LateBound, ListInsertsIndexesAndEnumeratesInEitherOrder) {
  Ref<Object> list = CreateObject("Velmira.List");
  Variant a = Element("Velmira.ListNode", {}, "a"), b = Element("Velmira.ListNode", {}, "b");
  Variant c = Element("Velmira.ListNode", {}, "c");
  Invoke(list, "Add", kMethod, {a});
  Invoke(list, "Add", kMethod, {c});
  Invoke(list, "AddBefore", kMethod, {b, c});
  EXPECT_EQ(Invoke(list, "Count", kGet).Int32Value(), 3);
  EXPECT_EQ(ValueOf(Invoke(list, "Item", kGet, {2})).Text(), "b");
  EXPECT_EQ(ValueOf(Invoke(list, "NextItem", kGet, {a})).Text(), "b");
  Ref<Object> e = Invoke(list, "NewEnum", kMethod).ObjectValue();
  EXPECT_EQ(Invoke(e, "Order", kGet).Int32Value(), eListEnumInOrder);
  Invoke(e, "Order", kLet, {eListEnumReverseOrder});
  EXPECT_EQ(Drain(e, "NextItem", kGet), "cba");
}

/// Tree and SplayTree through the `Tree` interface, SplayTree through its own as well.
struct TreeCase {
  const char* class_name;
  const char* through;
  bool has_default_member;  // Item is the default member of the Tree interface only
};
class LateBoundTree : public LateBound, public ::testing::WithParamInterface<TreeCase> {};

TEST_P(LateBoundTree, LooksUpThroughItemAndEnumeratesInKeyOrder) {
  Ref<Object> tree = CreateObject(GetParam().class_name);
  const InterfaceInfo& via = *FindInterface(GetParam().through);
  for (const char* word : {"pear", "apple", "fig"}) {
    InvokeThrough(via, tree, "Add", kMethod,
                  std::vector<Variant>{Element("Velmira.TreeNode", word, word)});
  }
  const std::vector<Variant> fig = {"fig"}, kiwi = {"kiwi"};
  EXPECT_TRUE(InvokeThrough(via, tree, "Exists", kGet, fig).BoolValue());
  EXPECT_EQ(ValueOf(InvokeThrough(via, tree, "Item", kGet, fig)).Text(), "fig");
  if (GetParam().has_default_member) {
    EXPECT_EQ(ValueOf(InvokeThrough(via, tree, "", kGet, fig)).Text(), "fig");
    EXPECT_EQ(ValueOf(InvokeThrough(via, tree, 0, kGet, fig)).Text(), "fig");
    EXPECT_TRUE(IsNull(ValueOf(InvokeThrough(via, tree, "", kGet, kiwi))));
  } else {
    ExpectError(kErrMemberNotFound, [&] { InvokeThrough(via, tree, "", kGet, fig); });
  }
  EXPECT_EQ(Drain(InvokeThrough(via, tree, "NewEnum", kMethod).ObjectValue(), "NextItem", kGet),
            "applefigpear");
}

INSTANTIATE_TEST_SUITE_P(Trees, LateBoundTree,
                         ::testing::Values(TreeCase{"Velmira.Tree", "Tree", true},
                                           TreeCase{"Velmira.SplayTree", "Tree", true},
                                           TreeCase{"Velmira.SplayTree", "SplayTree", false}));

/// The same script on a debugger called late-bound and one called directly: the same lines.
TEST_F(LateBound, DebuggerWritesTheSameLinesAsTheDirectCalls) {
  Ref<Object> late = CreateObject("Velmira.Debugger");
  Invoke(late, "Output", kMethod, {"start", 5, Variant::Null(), 2.5});
  Invoke(late, "Assert", kMethod, {false, "x > 0"});
  Invoke(late, "Assert", kMethod, {0, "x > 0"});
  Invoke(late, "Acquire", kMethod, {"file"});
  Invoke(late, "ShowReportZeros", kLet, {false});
  Invoke(late, "Report", kMethod);
  const std::vector<std::string> late_lines = TakeOutput();

  Ref<Debugger> direct = New<Debugger>();
  direct->Output("start", 5, Variant::Null(), 2.5);
  direct->Assert(false, "x > 0");
  direct->Assert(false, "x > 0");
  direct->Acquire("file");
  direct->SetShowReportZeros(false);
  direct->Report();
  EXPECT_EQ(late_lines, TakeOutput());
  EXPECT_GE(late_lines.size(), 8u);
}

TEST_F(LateBound, NoDebuggerAnswersThroughBothInterfacesAndWritesNothing) {
  Ref<Object> d = CreateObject("Velmira.NoDebugger");
  for (const char* via : {"NoDebugger", "Debugger"}) {
    const InterfaceInfo& i = *FindInterface(via);
    InvokeThrough(i, d, "ShowOutput", kLet, std::vector<Variant>{true});
    EXPECT_FALSE(InvokeThrough(i, d, "ShowOutput", kGet).BoolValue());
    InvokeThrough(i, d, "Output", kMethod, std::vector<Variant>{"a", Variant::Null(), d});
    InvokeThrough(i, d, "Enter", kMethod, std::vector<Variant>{"Main"});
  }
  ExpectSilence();
  EXPECT_EQ(&DefaultInterfaceOf(d), FindInterface("_NoDebugger"));
}

TEST_F(LateBound, SampleElementFieldsTakeValuesAndObjects) {
  Ref<Object> n = CreateObject("velmira.treenode");
  Ref<Object> other = CreateObject("Velmira.StackNode");
  Invoke(n, "Tag", kSet, {other});
  Invoke(n, "Key", kLet, {1, "b"});
  EXPECT_TRUE(Is(Invoke(n, "Tag", kGet).ObjectValue(), other));
  EXPECT_EQ(Invoke(n, "Key", kGet, {1}).Text(), "b");
  EXPECT_EQ(
      InvokeThrough(*FindInterface("ITreeNode"), n, "Key", kGet, std::vector<Variant>{1}).Text(),
      "b");
  EXPECT_TRUE(Invoke(n, "Key", kGet, {2}).IsEmpty());
}

/// Arguments as a scripting client passes them, converted to the Int32 `Index`.
struct Conversion {
  Variant given;
  std::int32_t expected;  // the Index read back; 0 and an error number when refused
  std::int32_t error;
};

TEST_F(LateBound, ArgumentsConvertAsAnAutomationClientExpects) {
  // clang-format off
  const Conversion cases[] = {
      {std::int16_t{-7}, -7, 0}, {2.5, 2, 0}, {3.5, 4, 0}, {-2147483648.0, INT32_MIN, 0},
      {2147483648.0, 0, kErrOverflow}, {true, -1, 0}, {" 42 ", 42, 0}, {"4x", 0, kErrTypeMismatch},
      {Variant(), 0, 0}, {Variant::Null(), 0, kErrTypeMismatch},
      {Variant::CurrencyFromScaled(15000), 2, 0}};
  // clang-format on
  for (const Conversion& c : cases) {
    Ref<Object> s = CreateObject("Velmira.Stack");
    if (c.error) {
      ExpectError(c.error, [&] { Invoke(s, "Index", kLet, {c.given}); });
    } else {
      Invoke(s, "Index", kLet, {c.given});
    }
    EXPECT_EQ(Invoke(s, "Index", kGet).Int32Value(), c.expected);
  }
  Ref<Object> d = CreateObject("Velmira.Debugger");
  for (const Variant& falsy : {Variant(0), Variant("False"), Variant()}) {
    Invoke(d, "ShowIndent", kLet, {falsy});
    EXPECT_FALSE(Invoke(d, "ShowIndent", kGet).BoolValue());
  }
  Invoke(d, "OutputToFile", kLet, {"true"});
  EXPECT_EQ(Invoke(d, "OutputToFile", kGet).ToDouble(), -1.0);  // true is -1 as a number
}

TEST_F(LateBound, RefusedCallsRaiseTheirErrorNumbers) {
  Ref<Object> s = CreateObject("Velmira.Stack");
  const Variant queue_node = CreateObject("Velmira.QueueNode");
  struct Case {
    std::int32_t error;
    std::function<void()> call;
  };
  const Case cases[] = {
      {kErrMemberNotFound, [&] { Invoke(s, "Shove", kMethod); }},
      {kErrMemberNotFound, [&] { Invoke(s, "IsEmpty", kLet, {true}); }},
      {kErrMemberNotFound, [&] { Invoke(s, "", kGet); }},
      {kErrMemberNotFound, [&] { Invoke(s, 99, kMethod); }},
      {kErrArgumentNotOptional, [&] { Invoke(s, "Push", kMethod); }},
      {kErrWrongArgumentCount, [&] { Invoke(s, "Pop", kMethod, {1}); }},
      {kErrTypeMismatch, [&] { Invoke(s, "Push", kMethod, {queue_node}); }},
      {kErrTypeMismatch, [&] { Invoke(s, "Push", kMethod, {"text"}); }},
      {kErrTypeMismatch, [&] { InvokeThrough(*FindInterface("Tree"), s, "Clear", kMethod); }},
      {kErrObjectNotSet, [&] { Invoke(Ref<Object>(), "Pop", kMethod); }},
      {kErrMemberNotFound, [&] { Resolve(DefaultInterfaceOf(s), "Shove", kMethod); }},
      {kErrMemberNotFound, [&] { Resolve(DefaultInterfaceOf(s), 2, kLet); }},  // IsEmpty
      // A member resolved on one class, called on an object of another, or on Nothing.
      {kErrTypeMismatch, [&] { Call(Resolve(*FindInterface("Tree"), "Clear", kMethod), s); }},
      {kErrObjectNotSet, [&] { Call(Resolve(DefaultInterfaceOf(s), "Pop", kMethod), {}); }},
  };
  for (const Case& c : cases) ExpectError(c.error, c.call);
  EXPECT_TRUE(Invoke(s, "IsEmpty", kGet).BoolValue());  // nothing was pushed on the way
}

TEST_F(LateBound, NothingIsPassedOnAsAnObject) {
  Invoke(CreateObject("Velmira.Stack"), "Push", kMethod, {Nothing});
  ExpectWarning("Stack: Warning, an attempt was made to Add Nothing");
}

TEST_F(LateBound, ClientElementsAnswerThroughTheirInterfaceAndTheirErrorsPassUnchanged) {
  using Element = testing::TestElement<IStackNode>;
  Ref<Element> a = New<Element>("a"), b = New<Element>("b");
  EXPECT_EQ(ClassOf(a)->name, "IStackNode");
  Invoke(a, "NextItem", kSet, {5, b});
  EXPECT_TRUE(Is(Invoke(a, "NextItem", kGet, {5}).ObjectValue(), b));
  Invoke(a, "NextItem", kSet, {5, Nothing});
  a->fail = "N";
  Ref<Object> s = CreateObject("Velmira.Stack");
  EXPECT_THROW(Invoke(s, "Push", kMethod, {a}), testing::ElementError);
  EXPECT_TRUE(Invoke(s, "IsEmpty", kGet).BoolValue());
}

}  // namespace
}  // namespace velmira
