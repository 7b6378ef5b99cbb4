// The member tables of the `Debugger` interface and of `NoDebugger`'s own interface.
//
// `NoDebugger`'s own interface lists the same members with `Output` last and `Enter`/`Leave`
// naming their argument `Proc`; its rows call the same virtual members as the `Debugger` rows.
#include <array>

#include "catalogue/member_table.h"
#include "velmira/debug/debugger.h"
#include "velmira/debug/no_debugger.h"

namespace velmira::detail {
namespace {

/// A Boolean setting's get and let.
template <auto Get, auto Set>
constexpr std::array<MemberInfo, 2> SettingRows(std::int32_t id, std::string_view name,
                                                std::string_view description) {
  return {
      Row(id, name, CallKind::PropertyGet, {}, kBoolean, description,
          Bind<Debugger, [](Debugger& d, const CallArgs&) { return (d.*Get)(); }>()),
      Row(id, name, CallKind::PropertyLet, {ByVal("Value", kBoolean)}, kNone, description,
          Bind<Debugger, [](Debugger& d, const CallArgs& a) { (d.*Set)(a.Bool(0)); }>()),
  };
}

/// The sixteen settings, then `OutputFile`, with or without their descriptions.
constexpr std::array<MemberInfo, 34> PropertyRows(bool described) {
  auto text = [described](std::string_view t) { return described ? t : std::string_view(); };
  using D = Debugger;
  const std::array<MemberInfo, 2> parts[] = {
      SettingRows<&D::ShowOutput, &D::SetShowOutput>(
          1, "ShowOutput",
          text("Whether or not Output should send information to the debug output.")),
      SettingRows<&D::ShowIndent, &D::SetShowIndent>(
          2, "ShowIndent", text("Whether or not debug output should be indented.")),
      SettingRows<&D::ShowAssert, &D::SetShowAssert>(
          3, "ShowAssert",
          text("Whether or not Assert should send information to the debug output.")),
      SettingRows<&D::ShowAssertCount, &D::SetShowAssertCount>(
          4, "ShowAssertCount",
          text("Whether or not the number of times an assertion has failed should be included in "
               "output from Assert.")),
      SettingRows<&D::ShowEnter, &D::SetShowEnter>(
          5, "ShowEnter",
          text("Whether or not Enter should send information to the debug output.")),
      SettingRows<&D::ShowEnterCount, &D::SetShowEnterCount>(
          6, "ShowEnterCount",
          text("Whether or not the current value of the procedure counter should be included in "
               "output from Enter.")),
      SettingRows<&D::ShowLeave, &D::SetShowLeave>(
          7, "ShowLeave",
          text("Whether or not Leave should send information to the debug output.")),
      SettingRows<&D::ShowLeaveCount, &D::SetShowLeaveCount>(
          8, "ShowLeaveCount",
          text("Whether or not the current value of the procedure counter should be included in "
               "output from Leave.")),
      SettingRows<&D::ShowAcquire, &D::SetShowAcquire>(
          9, "ShowAcquire",
          text("Whether or not Acquire should send information to the debug output.")),
      SettingRows<&D::ShowAcquireCount, &D::SetShowAcquireCount>(
          10, "ShowAcquireCount",
          text("Whether or not the current value of the resource counter should be included in "
               "output from Acquire.")),
      SettingRows<&D::ShowRelease, &D::SetShowRelease>(
          11, "ShowRelease",
          text("Whether or not Release should send information to the debug output.")),
      SettingRows<&D::ShowReleaseCount, &D::SetShowReleaseCount>(
          12, "ShowReleaseCount",
          text("Whether or not the current value of the resource counter should be included in "
               "output from Release.")),
      SettingRows<&D::ShowReport, &D::SetShowReport>(
          13, "ShowReport",
          text("Whether or not Report should send information to the debug output.")),
      SettingRows<&D::ShowReportZeros, &D::SetShowReportZeros>(
          14, "ShowReportZeros",
          text("Whether or not counters with a value of zero should be included in the output from "
               "Report.")),
      SettingRows<&D::OutputToDebug, &D::SetOutputToDebug>(
          15, "OutputToDebug",
          text("Whether or not output should be sent to the Win32 debug output.")),
      SettingRows<&D::OutputToFile, &D::SetOutputToFile>(
          16, "OutputToFile", text("Whether or not output should be sent to a log file.")),
      {
          Get(17, "OutputFile", {}, kString, text("The name of the current output file."),
              Bind<D, [](D& d, const CallArgs&) { return d.OutputFile(); }>()),
          Let(17, "OutputFile", {ByRef("Value", kString)},
              text("The name of the current output file."),
              Bind<D, [](D& d, const CallArgs& a) { d.SetOutputFile(a.Text(0)); }>()),
      },
  };
  std::array<MemberInfo, 34> all{};
  for (std::size_t i = 0; i < 17; ++i) {
    all[2 * i] = parts[i][0];
    all[2 * i + 1] = parts[i][1];
  }
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

template <std::size_t N, std::size_t M>
constexpr std::array<MemberInfo, N + M> Join(const std::array<MemberInfo, N>& a,
                                             const std::array<MemberInfo, M>& b) {
  std::array<MemberInfo, N + M> all{};
  for (std::size_t i = 0; i < N; ++i) all[i] = a[i];
  for (std::size_t i = 0; i < M; ++i) all[N + i] = b[i];
  return all;
}

constexpr auto kDebuggerMembers = Join(PropertyRows(true), kDebuggerMethods);
constexpr auto kNoDebuggerMembers = Join(PropertyRows(false), kNoDebuggerMethods);

}  // namespace

constexpr InterfaceInfo kDebuggerInterface{"_Debugger", "Debugger",
                                           Guid::Parse("9e71fe69-ec26-4816-ae34-b9b164e8ef8a"),
                                           kDebuggerMembers, &CastTo<Debugger>};
constexpr InterfaceInfo kNoDebuggerInterface{"_NoDebugger", "NoDebugger",
                                             Guid::Parse("8e7e0aba-0e87-4956-96f5-691bd4e28396"),
                                             kNoDebuggerMembers, &CastTo<NoDebugger, Debugger>};

}  // namespace velmira::detail
