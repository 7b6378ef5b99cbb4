#include "velmira/debug/debugger.h"

#include "debug/debugger_impl.h"
#include "velmira/debug/no_debugger.h"

namespace velmira {

Ref<Debugger> Debugger::Create() { return Ref<Debugger>(new detail::DebuggerImpl()); }

Debugger::~Debugger() = default;

NoDebugger::~NoDebugger() = default;

}  // namespace velmira
