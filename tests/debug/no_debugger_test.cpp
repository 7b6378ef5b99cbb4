// NoDebugger, held as itself and through the Debugger interface.
#include "velmira/debug/no_debugger.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "allocation_counter.h"
#include "debugger_fixture.h"
#include "velmira/linear/stack.h"

namespace velmira {
namespace {

/// The two ways a client holds a NoDebugger.
template <class Held>
class NoDebuggerTest : public testing::VelmiraTest {
 protected:
  Ref<Held> debugger_ = New<NoDebugger>();
  testing::ScratchDirectory dir_;
};

using HeldAs = ::testing::Types<NoDebugger, Debugger>;
TYPED_TEST_SUITE(NoDebuggerTest, HeldAs);

TYPED_TEST(NoDebuggerTest, EverySettingReadsFalseWhateverIsSet) {
  Debugger& d = *this->debugger_;
  for (const testing::Setting& setting : testing::kSettings) {
    (d.*setting.set)(true);
    EXPECT_FALSE((d.*setting.get)()) << setting.name;
  }
  // Through the class's own members too, when it is held as itself.
  this->debugger_->SetShowOutput(true);
  EXPECT_FALSE(this->debugger_->ShowOutput());
}

TYPED_TEST(NoDebuggerTest, OutputFileReadsEmptyAndNoFileIsCreated) {
  const std::string name = this->dir_.File("x");
  this->debugger_->SetOutputFile(name);
  EXPECT_EQ(this->debugger_->OutputFile(), "");
  EXPECT_FALSE(std::filesystem::exists(name));
}

TYPED_TEST(NoDebuggerTest, EveryMemberIsASilentNoOp) {
  auto& d = this->debugger_;
  d->SetOutputFile("/dev/full");
  d->Leave("never entered");
  d->Release("never acquired");
  d->Enter("A");
  d->Enter("A");
  d->Acquire("R");
  d->Assert(false, "m");
  d->Output("A", Variant::Null(), 5, "b", New<Stack>());  // an object reference included
  d->Output("A", std::vector<Variant>{Variant(Nothing)});
  d->ClearCounters();
  d->Report();
  this->ExpectSilence();
}

TYPED_TEST(NoDebuggerTest, MembersAllocateNothing) {
  auto& d = this->debugger_;
  const std::vector<Variant> extra = {Variant("a long text that would not fit inline")};
  const std::int64_t before = testing::AllocationCount();
  d->SetOutputFile("a long file name that would not fit in a short string");
  const std::string name = d->OutputFile();
  d->Enter("a long procedure name that would not fit in a short string");
  d->Leave("a long procedure name that would not fit in a short string");
  d->Acquire("R");
  d->Release("R");
  d->Assert(false, "a long assertion message that would not fit in a short string");
  d->Output("message", extra);
  d->Report();
  d->ClearCounters();
  EXPECT_EQ(testing::AllocationCount(), before);
}

using NoDebuggerOwnTest = NoDebuggerTest<NoDebugger>;

TEST_F(NoDebuggerOwnTest, CreatingAllocatesTheObjectOnlyAndVariadicOutputConvertsNothing) {
  const std::int64_t before = testing::AllocationCount();
  Ref<NoDebugger> other = New<NoDebugger>();
  EXPECT_EQ(testing::AllocationCount(), before + 1);
  // Held as itself, the extra messages are not even made into Variants (no text is copied).
  debugger_->Output("A", "a long text that would need its own block", 2.5);
  EXPECT_EQ(testing::AllocationCount(), before + 1);
}

TEST(DebuggerCreationTest, NewOfEachClassGivesItsOwnBehaviourThroughTheInterface) {
  Ref<Debugger> full = New<Debugger>();
  Ref<Debugger> quiet = New<NoDebugger>();
  EXPECT_TRUE(full->ShowOutput());
  EXPECT_FALSE(quiet->ShowOutput());
  EXPECT_TRUE(Is(As<NoDebugger>(quiet), quiet));
  EXPECT_THROW(As<NoDebugger>(full), Error);
}

}  // namespace
}  // namespace velmira
