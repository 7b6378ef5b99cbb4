// The extension's shared state: one instance, for the one interpreter the module is loaded into.
#include "state.h"

namespace velmira::python {

State& Shared() noexcept {
  static State state;
  return state;
}

bool InitState() {
  State& s = Shared();
  s.name_key = PyUnicode_InternFromString("Key");
  return s.name_key != nullptr;
}

}  // namespace velmira::python
