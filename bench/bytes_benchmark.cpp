// Heap bytes per element, with the allocator's own overhead, of the library's elements beside
// Boost.Intrusive's: 100,000 elements made, glibc's count of bytes in use read before and after.
// A sample element's count includes its slot table and the record of the one slot it uses.
//
//   build/bench/bench/velmira_bench --benchmark_filter=Bytes
//
// Each benchmark reports bytes_per_element and sizeof_element (the object alone); the time it
// reports is of no interest.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "contestants.h"
#include "velmira/elements/list_node.h"
#include "velmira/elements/stack_node.h"
#include "velmira/elements/tree_node.h"

namespace velmira::bench {
namespace {

constexpr std::size_t kMade = 100'000;

/// Bytes the allocator has handed out, large blocks of their own included.
std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

/// Makes `kMade` elements with `make` (which also puts each in use in slot 0) and reports the
/// heap bytes they hold each.
template <class Make>
void ReportBytes(benchmark::State& state, std::size_t object_size, Make make) {
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    auto elements = make();
    const std::size_t after = HeapInUse();
    state.counters["bytes_per_element"] =
        static_cast<double>(after - before - elements.capacity() * sizeof(elements[0])) / kMade;
  }
  state.counters["sizeof_element"] = static_cast<double>(object_size);
}

template <class Element>
std::vector<Ref<Element>> MakeVelmira() {
  std::vector<Ref<Element>> made;
  made.reserve(kMade);
  for (std::size_t i = 0; i < kMade; ++i) {
    if constexpr (std::is_same_v<Element, BlockTreeElement>) {
      made.push_back(New<Element>(Variant(static_cast<std::int32_t>(i))));
    } else {
      made.push_back(New<Element>());
    }
    if constexpr (requires { made.back()->SetKey(0, Variant()); }) {
      made.back()->SetKey(0, static_cast<std::int32_t>(i));  // the record of slot 0
    } else if constexpr (std::is_same_v<Element, StackNode>) {
      Ref<IStackNode>(made.back())->SetNextItem(0, Nothing);  // the record of slot 0
    } else if constexpr (std::is_same_v<Element, ListNode>) {
      Ref<IListNode>(made.back())->SetNextItem(0, Nothing);
    }
  }
  return made;
}

template <class Element>
void Bytes_Velmira(benchmark::State& state) {
  ReportBytes(state, sizeof(Element), MakeVelmira<Element>);
}
BENCHMARK_TEMPLATE(Bytes_Velmira, BlockStackElement)->Name("Bytes_StackLinks")->Iterations(1);
BENCHMARK_TEMPLATE(Bytes_Velmira, BlockListElement)->Name("Bytes_ListLinks")->Iterations(1);
BENCHMARK_TEMPLATE(Bytes_Velmira, BlockTreeElement)->Name("Bytes_TreeLinksIntKey")->Iterations(1);
BENCHMARK_TEMPLATE(Bytes_Velmira, StackNode)->Name("Bytes_StackNode")->Iterations(1);
BENCHMARK_TEMPLATE(Bytes_Velmira, ListNode)->Name("Bytes_ListNode")->Iterations(1);
BENCHMARK_TEMPLATE(Bytes_Velmira, TreeNode)->Name("Bytes_TreeNode")->Iterations(1);

#if VELMIRA_HAVE_BOOST
template <class Element>
void Bytes_Boost(benchmark::State& state) {
  ReportBytes(state, sizeof(Element), [] {
    std::vector<std::unique_ptr<Element>> made;
    made.reserve(kMade);
    for (std::size_t i = 0; i < kMade; ++i) made.push_back(std::make_unique<Element>());
    return made;
  });
}
struct BoostSlistElement : bi::slist_base_hook<> {};
struct BoostListElement : bi::list_base_hook<> {};
struct BoostBsSetIntElement : bi::bs_set_base_hook<> {
  std::int32_t key = 0;
};
BENCHMARK_TEMPLATE(Bytes_Boost, BoostSlistElement)->Name("Bytes_BoostSlistHook")->Iterations(1);
BENCHMARK_TEMPLATE(Bytes_Boost, BoostListElement)->Name("Bytes_BoostListHook")->Iterations(1);
BENCHMARK_TEMPLATE(Bytes_Boost, BoostBsSetIntElement)
    ->Name("Bytes_BoostBsSetHookIntKey")
    ->Iterations(1);
#endif

}  // namespace
}  // namespace velmira::bench
