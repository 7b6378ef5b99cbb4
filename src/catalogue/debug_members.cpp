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

using D = Debugger;

/// The sixteen settings (a get and a let each, dispatch identifiers 1 to 16 in list order), then
/// `OutputFile` (17) and the methods.
constexpr auto DebuggerMembers() {
  std::array<MemberInfo, 2 * std::size(kSettings)> settings{};
  std::int32_t id = 0;
  for (const Setting& s : kSettings) {
    ++id;
    settings[2 * id - 2] = Get(id, s.name, {}, kBoolean, s.description, s.get);
    settings[2 * id - 1] = Let(id, s.name, {ByVal("Value", kBoolean)}, s.description, s.let);
  }
  constexpr std::string_view kOutputFile = "The name of the current output file.";
  return Join(
      settings,
      std::array{
          Get(17, "OutputFile", {}, kString, kOutputFile,
              Bind<D, [](D& d, const CallArgs&) { return d.OutputFile(); }>()),
          Let(17, "OutputFile", {ByRef("Value", kString)}, kOutputFile,
              Bind<D, [](D& d, const CallArgs& a) { d.SetOutputFile(a.Text(0)); }>()),
          Method(18, "Output", {ByRef("Message", kString), ParamArray("MoreMessages")}, kNone,
                 "Sends a message to the debug output.  Additional messages, if included, are "
                 "sent to the debug output indented.",
                 Bind<D, [](D& d, const CallArgs& a) { d.Output(a.Text(0), a.Rest(1)); }>()),
          Method(19, "Assert", {ByRef("Expression", kBoolean), ByRef("Message", kString)}, kNone,
                 "Sends a message to the debug output if the expression is false.",
                 Bind<D, [](D& d, const CallArgs& a) { d.Assert(a.Bool(0), a.Text(1)); }>()),
          Method(20, "ClearCounters", {}, kNone,
                 "Clears the resource and procedure counters.  Also resets the indent level to 0.",
                 Bind<D, [](D& d, const CallArgs&) { d.ClearCounters(); }>()),
          Method(21, "Enter", {ByRef("Procedure", kString)}, kNone,
                 "Increments the named procedure counter.",
                 Bind<D, [](D& d, const CallArgs& a) { d.Enter(a.Text(0)); }>()),
          Method(22, "Leave", {ByRef("Procedure", kString)}, kNone,
                 "Decrements the named procedure counter.",
                 Bind<D, [](D& d, const CallArgs& a) { d.Leave(a.Text(0)); }>()),
          Method(23, "Acquire", {ByRef("Resource", kString)}, kNone,
                 "Increments the named resource counter.",
                 Bind<D, [](D& d, const CallArgs& a) { d.Acquire(a.Text(0)); }>()),
          Method(24, "Release", {ByRef("Resource", kString)}, kNone,
                 "Decrements the named resource counter.",
                 Bind<D, [](D& d, const CallArgs& a) { d.Release(a.Text(0)); }>()),
          Method(25, "Report", {}, kNone,
                 "Sends a report to the debug output listing the current values of the "
                 "counters, failed assertions, and profiling information.",
                 Bind<D, [](D& d, const CallArgs&) { d.Report(); }>()),
      });
}
constexpr auto kDebuggerMembers = DebuggerMembers();

/// `NoDebugger`'s own interface: the debugger's rows without descriptions, `ClearCounters` before
/// `Assert`, `Output` last, and `Enter` and `Leave` naming their argument `Proc`.
constexpr auto NoDebuggerMembers() {
  auto rows = Undescribed(kDebuggerMembers);
  const auto methods = rows.begin() + 2 * std::size(kSettings) + 2;  // Output, Assert, ...
  std::swap(methods[1], methods[2]);
  std::rotate(methods, methods + 1, rows.end());
  for (MemberInfo& m : rows) {
    if (m.name == "Enter" || m.name == "Leave") m.param_storage[0].name = "Proc";
  }
  return rows;
}
constexpr auto kNoDebuggerMembers = NoDebuggerMembers();

}  // namespace

// `New<Debugger>()` makes the library's private implementation class, so `ClassOf` finds a
// debugger through its interface rather than its exact type.
constexpr InterfaceInfo kDebuggerInterface =
    Published<kDebuggerMembers, Debugger>("_Debugger", "9e71fe69-ec26-4816-ae34-b9b164e8ef8a");
constexpr ClassInfo kDebuggerClass = PublicClass<Debugger>(
    "Velmira.Debugger", "83ac3196-b6bd-4da8-b4f5-8ab95e641bca", kDebuggerInterface,
    "Velmira.Debugger provides debugging, logging and profiling services.");

constexpr InterfaceInfo kNoDebuggerInterface = Published<kNoDebuggerMembers, NoDebugger, Debugger>(
    "_NoDebugger", "8e7e0aba-0e87-4956-96f5-691bd4e28396");
constexpr ClassInfo kNoDebuggerClass = PublicClass<NoDebugger>(
    "Velmira.NoDebugger", "08762436-dba8-4e21-98d6-653fd081c2e0", kNoDebuggerInterface,
    "Velmira.NoDebugger implements the Debugger interface, but does nothing.",
    Implements<&kDebuggerInterface>);

constexpr InterfaceInfo kDebugStackNodeInterface =
    Unpublished("_DebugStackNode", "5dc3ecec-c00d-471c-8786-a0b64428321c");
constexpr ClassInfo kDebugStackNodeClass =
    PrivateClass("Velmira.DebugStackNode", "286b1eca-2018-4a94-81f6-841109f1ed7e",
                 kDebugStackNodeInterface, Implements<&kIStackNodeInterface>);

constexpr InterfaceInfo kDebugTreeNodeInterface =
    Unpublished("_DebugTreeNode", "3a9c0ae5-6fdb-4669-9730-50cdfcec4a2e");
constexpr ClassInfo kDebugTreeNodeClass =
    PrivateClass("Velmira.DebugTreeNode", "0fb00766-c652-4279-b412-d472e1e1f29e",
                 kDebugTreeNodeInterface, Implements<&kITreeNodeInterface>);

}  // namespace velmira::detail
