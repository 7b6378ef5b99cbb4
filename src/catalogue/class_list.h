// Internal: every class of the catalogue, one line each, in catalogue order: the public classes
// (element interfaces, sample elements, containers, enumerators, debuggers), then the private
// ones. A class's record, `k<Name>Class`, stands beside its member table in a *_members.cpp file;
// `Classes()` lists the records in this order. A client's object answers `ClassOf` with the last
// public class whose interface it implements, so a class comes after the classes it builds on.
#pragma once

#define VELMIRA_CATALOGUE_CLASSES(X) \
  X(IStackNode)                      \
  X(IQueueNode)                      \
  X(IPQueueNode)                     \
  X(IListNode)                       \
  X(ITreeNode)                       \
  X(StackNode)                       \
  X(QueueNode)                       \
  X(PQueueNode)                      \
  X(ListNode)                        \
  X(TreeNode)                        \
  X(Stack)                           \
  X(Queue)                           \
  X(PQueue)                          \
  X(List)                            \
  X(ListEnum)                        \
  X(Tree)                            \
  X(SplayTree)                       \
  X(TreeEnum)                        \
  X(Debugger)                        \
  X(NoDebugger)                      \
  X(TreeEnumStackNode)               \
  X(DebugStackNode)                  \
  X(DebugTreeNode)                   \
  X(IndexTreeNode)
