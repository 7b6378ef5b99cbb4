// Internal: the teardown every container and record holder runs when its last reference goes.
#pragma once

namespace velmira::detail {

/// Runs `container.Clear()` with every error ignored: teardown never fails. Elements not reached
/// keep their links and are released with the container's own references to them.
template <class Container>
void ClearIgnoringErrors(Container& container) noexcept {
  try {
    container.Clear();
  } catch (...) {
    // Teardown never fails.
  }
}

}  // namespace velmira::detail
