// `Debugger` and `NoDebugger`: their member tables and class records, and the records of the
// private elements the debugger keeps its records in.
//
// The settings' rows come from the debugger's list of settings, descriptions included.
// `NoDebugger`'s own interface lists the same members with `Output` last and `Enter`/`Leave`
// naming their argument `Proc`; its rows call the same virtual members as the `Debugger` rows.
#include <array>

#include "catalogue/member_table.h"
#include "velmira/debug/debugger.h"
#include "velmira/debug/no_debugger.h"

namespace velmira::detail {
namespace {

/// One of the sixteen settings: its name, description and accessors.
struct Setting {
  std::string_view name;
  std::string_view description;
  MemberBody get;
  MemberBody let;
};

#define VELMIRA_SETTING(Name, Description)                                         \
  Setting{#Name, Description,                                                      \
          Bind<Debugger, [](Debugger& d, const CallArgs&) { return d.Name(); }>(), \
          Bind<Debugger, [](Debugger& d, const CallArgs& a) { d.Set##Name(a.Bool(0)); }>()},
constexpr Setting kSettings[] = {VELMIRA_DEBUGGER_SETTINGS(VELMIRA_SETTING)};
#undef VELMIRA_SETTING

/// The sixteen settings (a get and a let each, dispatch identifiers 1 to 16 in list order), then
/// `OutputFile` (17), with or without their descriptions.
constexpr std::array<MemberInfo, 2 * std::size(kSettings) + 2> PropertyRows(bool described) {
  auto text = [described](std::string_view t) { return described ? t : std::string_view(); };
  std::array<MemberInfo, 2 * std::size(kSettings) + 2> all{};
  std::int32_t id = 0;
  for (const Setting& s : kSettings) {
    ++id;
    all[2 * id - 2] = Get(id, s.name, {}, kBoolean, text(s.description), s.get);
    all[2 * id - 1] = Let(id, s.name, {ByVal("Value", kBoolean)}, text(s.description), s.let);
  }
  constexpr std::string_view kOutputFile = "The name of the current output file.";
  all[2 * id] = Get(id + 1, "OutputFile", {}, kString, text(kOutputFile),
                    Bind<Debugger, [](Debugger& d, const CallArgs&) { return d.OutputFile(); }>());
  all[2 * id + 1] =
      Let(id + 1, "OutputFile", {ByRef("Value", kString)}, text(kOutputFile),
          Bind<Debugger, [](Debugger& d, const CallArgs& a) { d.SetOutputFile(a.Text(0)); }>());
  return all;
}

constexpr MemberBody kOutput =
    Bind<Debugger, [](Debugger& d, const CallArgs& a) { d.Output(a.Text(0), a.Rest(1)); }>();
constexpr MemberBody kAssert =
    Bind<Debugger, [](Debugger& d, const CallArgs& a) { d.Assert(a.Bool(0), a.Text(1)); }>();
constexpr MemberBody kClearCounters =
    Bind<Debugger, [](Debugger& d, const CallArgs&) { d.ClearCounters(); }>();
constexpr MemberBody kEnter =
    Bind<Debugger, [](Debugger& d, const CallArgs& a) { d.Enter(a.Text(0)); }>();
constexpr MemberBody kLeave =
    Bind<Debugger, [](Debugger& d, const CallArgs& a) { d.Leave(a.Text(0)); }>();
constexpr MemberBody kAcquire =
    Bind<Debugger, [](Debugger& d, const CallArgs& a) { d.Acquire(a.Text(0)); }>();
constexpr MemberBody kRelease =
    Bind<Debugger, [](Debugger& d, const CallArgs& a) { d.Release(a.Text(0)); }>();
constexpr MemberBody kReport = Bind<Debugger, [](Debugger& d, const CallArgs&) { d.Report(); }>();

constexpr MemberInfo kOutputRow(std::string_view description) {
  return Method(18, "Output", {ByRef("Message", kString), ParamArray("MoreMessages")}, kNone,
                description, kOutput);
}
constexpr MemberInfo kAssertRow(std::string_view description) {
  return Method(19, "Assert", {ByRef("Expression", kBoolean), ByRef("Message", kString)}, kNone,
                description, kAssert);
}

constexpr std::array<MemberInfo, 8> kDebuggerMethods = {
    kOutputRow("Sends a message to the debug output.  Additional messages, if included, are sent "
               "to the debug output indented."),
    kAssertRow("Sends a message to the debug output if the expression is false."),
    Method(20, "ClearCounters", {}, kNone,
           "Clears the resource and procedure counters.  Also resets the indent level to 0.",
           kClearCounters),
    Method(21, "Enter", {ByRef("Procedure", kString)}, kNone,
           "Increments the named procedure counter.", kEnter),
    Method(22, "Leave", {ByRef("Procedure", kString)}, kNone,
           "Decrements the named procedure counter.", kLeave),
    Method(23, "Acquire", {ByRef("Resource", kString)}, kNone,
           "Increments the named resource counter.", kAcquire),
    Method(24, "Release", {ByRef("Resource", kString)}, kNone,
           "Decrements the named resource counter.", kRelease),
    Method(25, "Report", {}, kNone,
           "Sends a report to the debug output listing the current values of the counters, "
           "failed assertions, and profiling information.",
           kReport),
};

constexpr std::array<MemberInfo, 8> kNoDebuggerMethods = {
    Method(20, "ClearCounters", {}, kNone, "", kClearCounters),
    kAssertRow(""),
    Method(21, "Enter", {ByRef("Proc", kString)}, kNone, "", kEnter),
    Method(22, "Leave", {ByRef("Proc", kString)}, kNone, "", kLeave),
    Method(23, "Acquire", {ByRef("Resource", kString)}, kNone, "", kAcquire),
    Method(24, "Release", {ByRef("Resource", kString)}, kNone, "", kRelease),
    Method(25, "Report", {}, kNone, "", kReport),
    kOutputRow(""),
};

constexpr auto kDebuggerMembers = Join(PropertyRows(true), kDebuggerMethods);
constexpr auto kNoDebuggerMembers = Join(PropertyRows(false), kNoDebuggerMethods);

}  // namespace

constexpr InterfaceInfo kDebuggerInterface{"_Debugger", "Debugger",
                                           Guid::Parse("9e71fe69-ec26-4816-ae34-b9b164e8ef8a"),
                                           kDebuggerMembers, &CastTo<Debugger>};
constexpr InterfaceInfo kNoDebuggerInterface{"_NoDebugger", "NoDebugger",
                                             Guid::Parse("8e7e0aba-0e87-4956-96f5-691bd4e28396"),
                                             kNoDebuggerMembers, &CastTo<NoDebugger, Debugger>};
constexpr InterfaceInfo kDebugStackNodeInterface{
    "_DebugStackNode",
    "DebugStackNode",
    Guid::Parse("5dc3ecec-c00d-471c-8786-a0b64428321c"),
    {},
    nullptr};
constexpr InterfaceInfo kDebugTreeNodeInterface{"_DebugTreeNode",
                                                "DebugTreeNode",
                                                Guid::Parse("3a9c0ae5-6fdb-4669-9730-50cdfcec4a2e"),
                                                {},
                                                nullptr};

// `New<Debugger>()` makes the library's private implementation class, so `ClassOf` finds a
// debugger through its interface rather than its exact type.
constexpr ClassInfo kDebuggerClass = PublicClass<Debugger>(
    "Velmira.Debugger", "83ac3196-b6bd-4da8-b4f5-8ab95e641bca", kDebuggerInterface,
    "Velmira.Debugger provides debugging, logging and profiling services.");
constexpr ClassInfo kNoDebuggerClass = PublicClass<NoDebugger>(
    "Velmira.NoDebugger", "08762436-dba8-4e21-98d6-653fd081c2e0", kNoDebuggerInterface,
    "Velmira.NoDebugger implements the Debugger interface, but does nothing.",
    Implements<&kDebuggerInterface>);
constexpr ClassInfo kDebugStackNodeClass =
    PrivateClass("Velmira.DebugStackNode", "286b1eca-2018-4a94-81f6-841109f1ed7e",
                 kDebugStackNodeInterface, Implements<&kIStackNodeInterface>);
constexpr ClassInfo kDebugTreeNodeClass =
    PrivateClass("Velmira.DebugTreeNode", "0fb00766-c652-4279-b412-d472e1e1f29e",
                 kDebugTreeNodeInterface, Implements<&kITreeNodeInterface>);

}  // namespace velmira::detail
