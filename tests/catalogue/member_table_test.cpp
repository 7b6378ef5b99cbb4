// The member tables of Stack, List, Tree and Debugger, read through the public queries and
// compared with the member lists as they are published: order, kinds, parameters, results and
// descriptions. A table that drifts from the published lists fails here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "velmira/velmira.h"

namespace velmira {
namespace {

constexpr CallKind G = CallKind::PropertyGet, L = CallKind::PropertyLet, M = CallKind::Method;

struct Expected {
  std::string name;
  CallKind kind;
  std::string params;  // "ref Node IStackNode, Index Int32": by reference, name, type
  std::string result;  // empty for none
  std::string description;
};

std::string ParamsOf(const MemberInfo& m) {
  std::string text;
  for (const ParamInfo& p : m.Params()) {
    if (!text.empty()) text += ", ";
    text += std::string(p.by_ref ? "ref " : "") + (p.param_array ? "paramarray " : "") +
            std::string(p.name) + " " + std::string(p.type.name);
  }
  return text;
}

/// Expects the members of `interface_name` to be `expected`; a container's first two, the Index
/// property, are implied.
void ExpectTable(const char* interface_name, std::vector<Expected> expected, bool indexed = true) {
  if (indexed)
    expected.insert(expected.begin(),
                    {{"Index", G, "", "Int32", ""}, {"Index", L, "Value Int32", "", ""}});
  const InterfaceInfo* iface = FindInterface(interface_name);
  ASSERT_NE(iface, nullptr);
  ASSERT_EQ(iface->members.size(), expected.size()) << interface_name;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const MemberInfo& m = iface->members[i];
    const Expected& e = expected[i];
    SCOPED_TRACE(std::string(interface_name) + " slot " + std::to_string(i + 1) + " " + e.name);
    EXPECT_EQ(m.name, e.name);
    EXPECT_EQ(m.kind, e.kind);
    EXPECT_EQ(ParamsOf(m), e.params);
    EXPECT_EQ(m.result.name, e.result);
    EXPECT_EQ(m.description, e.description);
  }
}

TEST(MemberTables, Stack) {
  ExpectTable("Stack",
              {{"IsEmpty", G, "", "Boolean", "True if the stack is empty."},
               {"Top", G, "", "IStackNode", "The topmost item in the stack."},
               {"Push", M, "ref Node IStackNode", "", "Inserts an item at the top of the stack."},
               {"Pop", M, "", "IStackNode", "Removes and returns the topmost item from the stack."},
               {"Add", M, "ref Node IStackNode", "", "Inserts an item at the top of the stack."},
               {"Drop", M, "", "", "Removes the topmost item from the stack."},
               {"Clear", M, "", "", "Removes all items from the stack."}});
}

TEST(MemberTables, ListWithItemAndCountAfterNewEnum) {
  ExpectTable(
      "List",
      {{"IsEmpty", G, "", "Boolean", "True if the list is empty."},
       {"First", G, "", "IListNode",
        "The first item in the list, or Nothing if the list is empty."},
       {"Last", G, "", "IListNode", "The last item in the list, or Nothing if the list is empty."},
       {"NextItem", G, "ref Node IListNode", "IListNode", ""},
       {"PrevItem", G, "ref Node IListNode", "IListNode", ""},
       {"Add", M, "ref Node IListNode", "", "Adds an item to the end of the list."},
       {"AddBefore", M, "ref Node1 IListNode, ref Node2 IListNode", "", ""},
       {"AddAfter", M, "ref Node1 IListNode, ref Node2 IListNode", "", ""},
       {"Remove", M, "ref Node IListNode", "",
        "Removes the item from the list.  If the list is empty, or if the item is not a member of "
        "the list, nothing is done."},
       {"Clear", M, "", "", "Removes all items from the list."},
       {"NewEnum", M, "", "ListEnum", ""},
       {"Item", G, "Number Int32", "IListNode", ""},
       {"Count", G, "", "Int32", ""}});
}

TEST(MemberTables, Tree) {
  ExpectTable(
      "Tree",
      {{"IsEmpty", G, "", "Boolean", "True if the tree is empty."},
       {"Exists", G, "ref Key Variant", "Boolean",
        "True if an item with the given key is present in the tree."},
       {"Item", G, "ref Key Variant", "ITreeNode",
        "The item in the tree with the given key, or Nothing if no item has that key."},
       {"Add", M, "ref Node ITreeNode", "",
        "Adds an item to the tree, using the item's key (which must already be set)."},
       {"Remove", M, "ref Key Variant", "", "Removes the item with the given key from the tree."},
       {"Clear", M, "", "", "Removes all items from the tree."},
       {"NewEnum", M, "", "TreeEnum", ""}});
}

TEST(MemberTables, DebuggerSettingsThenMethods) {
  const std::pair<const char*, const char*> settings[] = {
      {"ShowOutput", "Whether or not Output should send information to the debug output."},
      {"ShowIndent", "Whether or not debug output should be indented."},
      {"ShowAssert", "Whether or not Assert should send information to the debug output."},
      {"ShowAssertCount",
       "Whether or not the number of times an assertion has failed should be included in output "
       "from Assert."},
      {"ShowEnter", "Whether or not Enter should send information to the debug output."},
      {"ShowEnterCount",
       "Whether or not the current value of the procedure counter should be included in output "
       "from Enter."},
      {"ShowLeave", "Whether or not Leave should send information to the debug output."},
      {"ShowLeaveCount",
       "Whether or not the current value of the procedure counter should be included in output "
       "from Leave."},
      {"ShowAcquire", "Whether or not Acquire should send information to the debug output."},
      {"ShowAcquireCount",
       "Whether or not the current value of the resource counter should be included in output "
       "from Acquire."},
      {"ShowRelease", "Whether or not Release should send information to the debug output."},
      {"ShowReleaseCount",
       "Whether or not the current value of the resource counter should be included in output "
       "from Release."},
      {"ShowReport", "Whether or not Report should send information to the debug output."},
      {"ShowReportZeros",
       "Whether or not counters with a value of zero should be included in the output from "
       "Report."},
      {"OutputToDebug", "Whether or not output should be sent to the Win32 debug output."},
      {"OutputToFile", "Whether or not output should be sent to a log file."},
  };
  std::vector<Expected> expected;
  for (const auto& [name, description] : settings) {
    expected.push_back({name, G, "", "Boolean", description});
    expected.push_back({name, L, "Value Boolean", "", description});
  }
  const std::vector<Expected> rest = {
      {"OutputFile", G, "", "String", "The name of the current output file."},
      {"OutputFile", L, "ref Value String", "", "The name of the current output file."},
      {"Output", M, "ref Message String, paramarray MoreMessages Variant", "",
       "Sends a message to the debug output.  Additional messages, if included, are sent to the "
       "debug output indented."},
      {"Assert", M, "ref Expression Boolean, ref Message String", "",
       "Sends a message to the debug output if the expression is false."},
      {"ClearCounters", M, "", "",
       "Clears the resource and procedure counters.  Also resets the indent level to 0."},
      {"Enter", M, "ref Procedure String", "", "Increments the named procedure counter."},
      {"Leave", M, "ref Procedure String", "", "Decrements the named procedure counter."},
      {"Acquire", M, "ref Resource String", "", "Increments the named resource counter."},
      {"Release", M, "ref Resource String", "", "Decrements the named resource counter."},
      {"Report", M, "", "",
       "Sends a report to the debug output listing the current values of the counters, failed "
       "assertions, and profiling information."},
  };
  expected.insert(expected.end(), rest.begin(), rest.end());
  ExpectTable("Debugger", expected, false);
  // NoDebugger's own interface: the same members, Output last, Enter and Leave taking Proc.
  const InterfaceInfo& own = *FindInterface("NoDebugger");
  ASSERT_EQ(own.members.size(), 42u);
  EXPECT_EQ(own.members[33].name, "OutputFile");
  EXPECT_EQ(own.members[34].name, "ClearCounters");
  EXPECT_EQ(own.members[36].Params()[0].name, "Proc");
  EXPECT_EQ(own.members[41].name, "Output");
}

}  // namespace
}  // namespace velmira
