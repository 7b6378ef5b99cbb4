// The containers' behaviour rows (from the linear and list tests) over the library's sample
// elements and over an element made of the five building blocks.
#include <gtest/gtest.h>

#include "block_element.h"
#include "linear_rows.h"
#include "list_script.h"
#include "velmira/elements/list_node.h"
#include "velmira/elements/pqueue_node.h"
#include "velmira/elements/queue_node.h"
#include "velmira/elements/stack_node.h"

namespace velmira::testing {
namespace {

using StackElements = ::testing::Types<StackNode, BlockElement>;
using QueueElements = ::testing::Types<QueueNode, BlockElement>;
using PQueueElements = ::testing::Types<PQueueNode, BlockElement>;
using ListElements = ::testing::Types<ListNode, BlockElement>;

INSTANTIATE_TYPED_TEST_SUITE_P(Stack, StackRows, StackElements);
INSTANTIATE_TYPED_TEST_SUITE_P(Queue, QueueRows, QueueElements);
INSTANTIATE_TYPED_TEST_SUITE_P(PQueue, PQueueRows, PQueueElements);
INSTANTIATE_TYPED_TEST_SUITE_P(List, ListRows, ListElements);

}  // namespace
}  // namespace velmira::testing
