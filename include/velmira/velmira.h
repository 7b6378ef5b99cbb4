// Umbrella header: every public class of the library, module by module from the bottom up.
//
//   #include <velmira/velmira.h>
//   auto stack = velmira::New<velmira::Stack>();
#pragma once

#include "velmira/core/debug_output.h"
#include "velmira/core/error.h"
#include "velmira/core/node_interfaces.h"
#include "velmira/core/object.h"
#include "velmira/core/ref.h"
#include "velmira/core/variant.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"
#include "velmira/list/list.h"
#include "velmira/list/list_enum.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"
#include "velmira/tree/tree_enum.h"
#include "velmira/elements/links.h"
#include "velmira/elements/list_node.h"
#include "velmira/elements/pqueue_node.h"
#include "velmira/elements/queue_node.h"
#include "velmira/elements/stack_node.h"
#include "velmira/elements/tree_node.h"
#include "velmira/debug/debugger.h"
#include "velmira/debug/no_debugger.h"
