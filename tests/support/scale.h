// Test support: sizes of the long-chain tests, smaller under the sanitizers.
#pragma once

namespace velmira::testing {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr int kLongChain = 1'000'000;
#else
inline constexpr int kLongChain = 10'000'000;
#endif

}  // namespace velmira::testing
