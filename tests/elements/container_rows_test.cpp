// The containers' behaviour rows (from the linear, list and tree tests) over the library's sample
// elements and over an element made of the five building blocks.
#include <gtest/gtest.h>

#include "block_element.h"
#include "tree_rows.h"
#include "velmira/elements/tree_node.h"

namespace velmira::testing {
namespace {

using TreeElements = ::testing::Types<TreeNode, BlockElement>;

INSTANTIATE_TYPED_TEST_SUITE_P(Tree, TreeRows, TreeElements);

}  // namespace
}  // namespace velmira::testing
