// The debugger's counters and profiler: Enter, Leave, Acquire, Release, ClearCounters.
#include <limits>
#include <string>

#include "debug/debugger_impl.h"
#include "velmira/core/error.h"

namespace velmira::detail {

namespace {
constexpr std::int32_t kMaxCount = std::numeric_limits<std::int32_t>::max();

std::string Concat(std::string_view a, std::string_view b) {
  std::string text;
  text.reserve(a.size() + b.size());
  text.append(a);
  text.append(b);
  return text;
}
}  // namespace

double DebuggerImpl::ReadClock() const {
  if (clock_) return clock_();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - clock_origin_).count();
}

Ref<DebugStackNode> DebuggerImpl::TopOfCallStack() const {
  // The call stack holds only elements pushed by Enter.
  Ref<IStackNode> top = call_stack_->Top();
  return Ref<DebugStackNode>(static_cast<DebugStackNode*>(top.get()));
}

void DebuggerImpl::ClearCounters() {
  procedure_counters_->Clear();
  resource_counters_->Clear();
  indent_level_ = 0;
}

void DebuggerImpl::Enter(std::string_view Procedure) {
  const double now = ReadClock();
  if (!call_stack_->IsEmpty()) {
    // The caller stops being charged.
    const Ref<DebugStackNode> caller = TopOfCallStack();
    const Ref<DebugTreeNode> caller_profile = Record(profile_records_, caller->Proc());
    caller_profile->SetTime(caller_profile->Time() + (now - caller->Time()));
  }

  const Variant name(Procedure);
  const Ref<DebugTreeNode> profile = Record(profile_records_, name);
  if (profile->Count() == kMaxCount) {
    WriteLine(Concat("Debugger: Warning, profiler call limit reached for procedure ", Procedure),
              0);
  } else {
    profile->SetCount(profile->Count() + 1);
  }

  const Ref<DebugTreeNode> counter = Record(procedure_counters_, name);
  if (counter->Count() == kMaxCount) {
    WriteLine(Concat("Debugger: Warning, more than 2^31 outstanding calls to Enter for procedure ",
                     Procedure),
              0);
  } else {
    counter->SetCount(counter->Count() + 1);
  }

  if (show_enter_ && Writes()) {
    WriteCountLine("Enter: ", Procedure, show_enter_count_, counter->Count());
  }
  indent_level_ = CheckedAdd(indent_level_, 2);

  const Ref<DebugStackNode> entered = New<DebugStackNode>();
  call_stack_->Add(entered);
  entered->SetProc(name);
  entered->SetTime(ReadClock());
}

void DebuggerImpl::Leave(std::string_view Procedure) {
  const double now = ReadClock();
  // The name as a key; the popped element's text is shared when it is the same name.
  Variant name;
  if (!call_stack_->IsEmpty()) {
    // The time goes to the procedure on top, whatever name was passed.
    const Ref<IStackNode> popped = call_stack_->Pop();
    const auto* left = static_cast<DebugStackNode*>(popped.get());
    const std::string_view expected = left->Proc().Text();
    if (expected == Procedure) {
      name = left->Proc();
    } else {
      std::string warning = Concat("Debugger: Warning, Leaving procedure ", Procedure);
      warning.append(", expected ");
      warning.append(expected);
      WriteLine(warning, 0);
    }
    const Ref<DebugTreeNode> profile = Record(profile_records_, left->Proc());
    profile->SetTime(profile->Time() + (now - left->Time()));
  }
  if (name.IsEmpty()) name = Variant(Procedure);

  const Ref<DebugTreeNode> counter = Record(procedure_counters_, name);
  if (counter->Count() == 0) {
    WriteLine(
        Concat("Debugger: Warning, called Leave more times than Enter for procedure ", Procedure),
        0);
  } else {
    counter->SetCount(counter->Count() - 1);
  }

  indent_level_ = CheckedAdd(indent_level_, -2);
  if (show_leave_ && Writes()) {
    WriteCountLine("Leave: ", Procedure, show_leave_count_, counter->Count());
  }

  // The caller resumes being charged.
  if (!call_stack_->IsEmpty()) TopOfCallStack()->SetTime(ReadClock());
}

void DebuggerImpl::Acquire(std::string_view Resource) {
  const Ref<DebugTreeNode> counter = Record(resource_counters_, Variant(Resource));
  if (counter->Count() == kMaxCount) {
    WriteLine(Concat("Debugger: Warning, more than 2^31 outstanding calls to Acquire for resource ",
                     Resource),
              0);
  } else {
    counter->SetCount(counter->Count() + 1);
  }
  if (show_acquire_ && Writes()) {
    WriteCountLine("Acquire: ", Resource, show_acquire_count_, counter->Count());
  }
}

void DebuggerImpl::Release(std::string_view Resource) {
  const Ref<DebugTreeNode> counter = Record(resource_counters_, Variant(Resource));
  if (counter->Count() == 0) {
    WriteLine(
        Concat("Debugger: Warning, called Release more times than Acquire for resource ", Resource),
        0);
  } else {
    counter->SetCount(counter->Count() - 1);
  }
  if (show_release_ && Writes()) {
    WriteCountLine("Release: ", Resource, show_release_count_, counter->Count());
  }
}

}  // namespace velmira::detail
