// The debugger's counters and profiler: Enter, Leave, Acquire, Release, ClearCounters.
#include <string_view>
#include <utility>

#include "debug/debugger_impl.h"
#include "velmira/core/error.h"

namespace velmira::detail {

DebugStackNode& DebuggerImpl::TopOfCallStack() const {
  // The call stack holds only elements pushed by Enter, and the stack keeps the top alive.
  return static_cast<DebugStackNode&>(*call_stack_->Top());
}

void DebuggerImpl::ClearCounters() {
  procedure_counters_->Clear();
  resource_counters_->Clear();
  indent_level_ = 0;
}

void DebuggerImpl::Enter(std::string_view Procedure) {
  // The first reading closes the caller's running period; with no caller, nothing would use it.
  if (!call_stack_->IsEmpty()) {
    const double now = ReadClock();
    const DebugStackNode& caller = TopOfCallStack();
    DebugTreeNode& caller_profile = profile_records_->Record(caller.ProcText(), &caller.Proc());
    caller_profile.SetTime(caller_profile.Time() + (now - caller.Time()));
  }

  // Held: a debug sink called by a warning or a line may re-enter this debugger.
  const Ref<DebugTreeNode> profile(&profile_records_->Record(Procedure));
  CountOrWarn(*profile, +1, "Debugger: Warning, profiler call limit reached for procedure ",
              Procedure);
  const Ref<DebugTreeNode> counter(&procedure_counters_->Record(Procedure, &profile->NameKey()));
  CountOrWarn(*counter, +1,
              "Debugger: Warning, more than 2^31 outstanding calls to Enter for procedure ",
              Procedure);
  if (settings_.ShowEnter && Writes()) {
    WriteCountLine("Enter: ", Procedure, settings_.ShowEnterCount, counter->Count());
  }
  indent_level_ = CheckedAdd(indent_level_, 2);

  Ref<DebugStackNode> entered = std::move(spare_frame_);
  if (!entered) entered = New<DebugStackNode>();
  call_stack_->Add(entered);
  entered->SetProc(profile->NameKey());  // the record's text, shared
  entered->SetTime(ReadClock());
}

void DebuggerImpl::Leave(std::string_view Procedure) {
  Ref<IStackNode> popped;
  const Variant* key = nullptr;  // Procedure as a text Variant, when one is at hand
  if (!call_stack_->IsEmpty()) {
    const double now = ReadClock();
    // The time goes to the procedure on top, whatever name was passed.
    popped = call_stack_->Pop();
    const auto& left = static_cast<const DebugStackNode&>(*popped);
    const std::string_view expected = left.ProcText();
    if (expected == Procedure) {
      key = &left.Proc();
    } else {
      std::string warning = "Debugger: Warning, Leaving procedure ";
      warning.append(Procedure);
      warning.append(", expected ");
      warning.append(expected);
      WriteLine(warning, 0);
    }
    DebugTreeNode& profile = profile_records_->Record(expected, &left.Proc());
    profile.SetTime(profile.Time() + (now - left.Time()));
  }

  const Ref<DebugTreeNode> counter(&procedure_counters_->Record(Procedure, key));
  CountOrWarn(*counter, -1, "Debugger: Warning, called Leave more times than Enter for procedure ",
              Procedure);
  indent_level_ = CheckedAdd(indent_level_, -2);
  if (settings_.ShowLeave && Writes()) {
    WriteCountLine("Leave: ", Procedure, settings_.ShowLeaveCount, counter->Count());
  }

  // The popped element is kept for the next Enter, unless someone else can still see it.
  if (popped && IsSoleReference(popped.get())) {
    spare_frame_ = Ref<DebugStackNode>(static_cast<DebugStackNode*>(popped.get()));
  }
  // The caller resumes being charged.
  if (!call_stack_->IsEmpty()) TopOfCallStack().SetTime(ReadClock());
}

void DebuggerImpl::Acquire(std::string_view Resource) {
  const Ref<DebugTreeNode> counter(&resource_counters_->Record(Resource));
  CountOrWarn(*counter, +1,
              "Debugger: Warning, more than 2^31 outstanding calls to Acquire for resource ",
              Resource);
  if (settings_.ShowAcquire && Writes()) {
    WriteCountLine("Acquire: ", Resource, settings_.ShowAcquireCount, counter->Count());
  }
}

void DebuggerImpl::Release(std::string_view Resource) {
  const Ref<DebugTreeNode> counter(&resource_counters_->Record(Resource));
  CountOrWarn(*counter, -1,
              "Debugger: Warning, called Release more times than Acquire for resource ", Resource);
  if (settings_.ShowRelease && Writes()) {
    WriteCountLine("Release: ", Resource, settings_.ShowReleaseCount, counter->Count());
  }
}

}  // namespace velmira::detail
