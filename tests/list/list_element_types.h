// List tests: the element classes every typed list and enumerator test runs over.
#pragma once

#include <gtest/gtest.h>

#include "client_list_node.h"
#include "velmira/core/list_node.h"

namespace velmira::testing {

/// Each type is created with `New<E>()` and handled only through `IListNode`.
using ListElementTypes = ::testing::Types<ClientListNode, ListNode>;

}  // namespace velmira::testing
