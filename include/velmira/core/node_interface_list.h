// The five element interfaces and their members as one list, for code that must spell each of
// them: the catalogue's member tables, the C interface's client elements, the element kinds.
//
//   #define NAME(Interface, Members) #Interface,
//   constexpr const char* kNames[] = {VELMIRA_NODE_INTERFACES(NAME)};  // "IStackNode", ...
//
// The members follow the interfaces in node_interfaces.h, in slot order, each with the dispatch
// identifier late-bound callers use. The lists must change with those declarations.
#pragma once

/// The element interfaces as X(Interface, Members), `Members` naming the list of the interface's
/// members below.
#define VELMIRA_NODE_INTERFACES(X)            \
  X(IStackNode, VELMIRA_ISTACKNODE_MEMBERS)   \
  X(IQueueNode, VELMIRA_IQUEUENODE_MEMBERS)   \
  X(IPQueueNode, VELMIRA_IPQUEUENODE_MEMBERS) \
  X(IListNode, VELMIRA_ILISTNODE_MEMBERS)     \
  X(ITreeNode, VELMIRA_ITREENODE_MEMBERS)

/// The members of each interface as KEY(Interface, Name, DispatchId) for the key read `Name(Index)`
/// and LINK(Interface, Name, DispatchId) for a link read `Name(Index)` and written
/// `SetName(Index, Value)`.
#define VELMIRA_ISTACKNODE_MEMBERS(KEY, LINK) LINK(IStackNode, NextItem, 1)
#define VELMIRA_IQUEUENODE_MEMBERS(KEY, LINK) LINK(IQueueNode, NextItem, 1)
#define VELMIRA_IPQUEUENODE_MEMBERS(KEY, LINK) \
  KEY(IPQueueNode, Key, 1)                     \
  LINK(IPQueueNode, NextItem, 2)
#define VELMIRA_ILISTNODE_MEMBERS(KEY, LINK) \
  LINK(IListNode, NextItem, 1)               \
  LINK(IListNode, PrevItem, 2)               \
  LINK(IListNode, Tag, 3)
#define VELMIRA_ITREENODE_MEMBERS(KEY, LINK) \
  KEY(ITreeNode, Key, 1)                     \
  LINK(ITreeNode, Left, 2)                   \
  LINK(ITreeNode, Right, 3)
