// NoDebugger, held as itself and through the Debugger interface: nothing is read, written,
// counted, created or allocated.
#include "velmira/debug/no_debugger.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "allocation_counter.h"
#include "debugger_script.h"
#include "velmira/linear/stack.h"

namespace velmira {
namespace {

template <class Held>
class NoDebuggerTest : public testing::VelmiraTest {
 protected:
  Ref<Held> debugger_ = New<NoDebugger>();
};

using HeldAs = ::testing::Types<NoDebugger, Debugger>;
TYPED_TEST_SUITE(NoDebuggerTest, HeldAs);

TYPED_TEST(NoDebuggerTest, EveryMemberDoesNothingAndAllocatesNothing) {
  TypeParam& d = *this->debugger_;
  const std::string name =
      (std::filesystem::temp_directory_path() / "velmira-no-debugger-x-with-a-long-name").string();
  const std::vector<Variant> extra = {Variant(name), Variant(Nothing), Variant(New<Stack>())};
  const std::int64_t before = testing::AllocationCount();
  for (const testing::Setting& setting : testing::kSettings) {
    (d.*setting.set)(true);
    EXPECT_FALSE((d.*setting.get)()) << setting.name;
  }
  d.SetShowOutput(true);  // the class's own member when held as itself
  EXPECT_FALSE(d.ShowOutput());
  d.SetOutputFile(name);
  EXPECT_EQ(d.OutputFile(), "");
  d.SetOutputFile("/dev/full");
  d.Leave(name);
  d.Release(name);
  d.Enter(name);
  d.Acquire(name);
  d.Assert(false, name);
  d.Output(name, extra);  // an object among them: no error
  d.Output("A", Variant::Null(), 5, "b", 2.5);
  d.ClearCounters();
  d.Report();
  EXPECT_EQ(testing::AllocationCount(), before);
  EXPECT_FALSE(std::filesystem::exists(name));
  this->ExpectSilence();
}

TEST(NoDebuggerCreation, AllocatesTheObjectOnlyAndNewOfEachClassKeepsItsBehaviour) {
  const Ref<Stack> object = New<Stack>();
  const std::int64_t before = testing::AllocationCount();
  Ref<NoDebugger> quiet = New<NoDebugger>();
  quiet->Output("A", "a long text that would need its own block of memory", object);
  EXPECT_EQ(testing::AllocationCount(), before + 1);
  Ref<Debugger> full = New<Debugger>();
  Ref<Debugger> held = quiet;
  EXPECT_TRUE(full->ShowOutput());
  EXPECT_TRUE(Is(As<NoDebugger>(held), quiet));
  EXPECT_THROW(As<NoDebugger>(full), Error);
}

}  // namespace
}  // namespace velmira
