// `Stack`, `Queue` and `PQueue`: their member tables, in slot order, and their class records.
#include "catalogue/member_table.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"

namespace velmira::detail {
namespace {

constexpr TypeRef kIStackNode = ObjectOf("IStackNode");
constexpr TypeRef kIQueueNode = ObjectOf("IQueueNode");
constexpr TypeRef kIPQueueNode = ObjectOf("IPQueueNode");

constexpr MemberInfo kStackMembers[] = {
    Get(1, "Index", {}, kInt32, "",
        Bind<Stack, [](Stack& s, const CallArgs&) { return s.Index(); }>()),
    Let(1, "Index", {ByVal("Value", kInt32)}, "",
        Bind<Stack, [](Stack& s, const CallArgs& a) { s.SetIndex(a.Int32(0)); }>()),
    Get(2, "IsEmpty", {}, kBoolean, "True if the stack is empty.",
        Bind<Stack, [](Stack& s, const CallArgs&) { return s.IsEmpty(); }>()),
    Get(3, "Top", {}, kIStackNode, "The topmost item in the stack.",
        Bind<Stack, [](Stack& s, const CallArgs&) { return s.Top(); }>()),
    Method(4, "Push", {ByRef("Node", kIStackNode)}, kNone,
           "Inserts an item at the top of the stack.",
           Bind<Stack, [](Stack& s, const CallArgs& a) { s.Push(a.Object<IStackNode>(0)); }>()),
    Method(5, "Pop", {}, kIStackNode, "Removes and returns the topmost item from the stack.",
           Bind<Stack, [](Stack& s, const CallArgs&) { return s.Pop(); }>()),
    Method(6, "Add", {ByRef("Node", kIStackNode)}, kNone,
           "Inserts an item at the top of the stack.",
           Bind<Stack, [](Stack& s, const CallArgs& a) { s.Add(a.Object<IStackNode>(0)); }>()),
    Method(7, "Drop", {}, kNone, "Removes the topmost item from the stack.",
           Bind<Stack, [](Stack& s, const CallArgs&) { s.Drop(); }>()),
    Method(8, "Clear", {}, kNone, "Removes all items from the stack.",
           Bind<Stack, [](Stack& s, const CallArgs&) { s.Clear(); }>()),
};

constexpr MemberInfo kQueueMembers[] = {
    Get(1, "Index", {}, kInt32, "",
        Bind<Queue, [](Queue& q, const CallArgs&) { return q.Index(); }>()),
    Let(1, "Index", {ByVal("Value", kInt32)}, "",
        Bind<Queue, [](Queue& q, const CallArgs& a) { q.SetIndex(a.Int32(0)); }>()),
    Get(2, "IsEmpty", {}, kBoolean, "True if the queue is empty.",
        Bind<Queue, [](Queue& q, const CallArgs&) { return q.IsEmpty(); }>()),
    Get(3, "First", {}, kIQueueNode,
        "The first item in the queue, or Nothing if the queue is empty.",
        Bind<Queue, [](Queue& q, const CallArgs&) { return q.First(); }>()),
    Method(4, "Add", {ByRef("Node", kIQueueNode)}, kNone, "Adds an item to the end of the queue.",
           Bind<Queue, [](Queue& q, const CallArgs& a) { q.Add(a.Object<IQueueNode>(0)); }>()),
    Method(5, "NextItem", {}, kIQueueNode, "Removes and returns the first item in the queue.",
           Bind<Queue, [](Queue& q, const CallArgs&) { return q.NextItem(); }>()),
    Method(6, "Remove", {ByRef("Node", kIQueueNode), OptionalByRef("Index", kInt32, 0)}, kNone,
           "Removes the item from the queue.  If the queue is empty, or if the item is not a "
           "member of the queue, nothing is done.",
           Bind<Queue, [](Queue& q,
                          const CallArgs& a) { q.Remove(a.Object<IQueueNode>(0), a.Int32(1)); }>()),
    Method(7, "Clear", {}, kNone, "Removes all items from the queue.",
           Bind<Queue, [](Queue& q, const CallArgs&) { q.Clear(); }>()),
};

constexpr MemberInfo kPQueueMembers[] = {
    Get(1, "Index", {}, kInt32, "",
        Bind<PQueue, [](PQueue& q, const CallArgs&) { return q.Index(); }>()),
    Let(1, "Index", {ByVal("Value", kInt32)}, "",
        Bind<PQueue, [](PQueue& q, const CallArgs& a) { q.SetIndex(a.Int32(0)); }>()),
    Get(2, "IsEmpty", {}, kBoolean, "True if the queue is empty.",
        Bind<PQueue, [](PQueue& q, const CallArgs&) { return q.IsEmpty(); }>()),
    Get(3, "First", {}, kIPQueueNode,
        "The first item in the queue, or Nothing if the queue is empty.",
        Bind<PQueue, [](PQueue& q, const CallArgs&) { return q.First(); }>()),
    Method(4, "Add", {ByRef("Node", kIPQueueNode)}, kNone,
           "Adds an item to the queue, before any lower-keyed items.",
           Bind<PQueue, [](PQueue& q, const CallArgs& a) { q.Add(a.Object<IPQueueNode>(0)); }>()),
    Method(5, "NextItem", {}, kIPQueueNode, "Removes and returns the first item in the queue.",
           Bind<PQueue, [](PQueue& q, const CallArgs&) { return q.NextItem(); }>()),
    Method(
        6, "Remove", {ByRef("Node", kIPQueueNode)}, kNone,
        "Removes the item from the queue.  If the queue is empty, or if the item is not a "
        "member of the queue, nothing is done.",
        Bind<PQueue, [](PQueue& q, const CallArgs& a) { q.Remove(a.Object<IPQueueNode>(0)); }>()),
    Method(7, "Clear", {}, kNone, "Removes all items from the queue.",
           Bind<PQueue, [](PQueue& q, const CallArgs&) { q.Clear(); }>()),
};

}  // namespace

constexpr InterfaceInfo kStackInterface =
    Published<kStackMembers, Stack>("_Stack", "b7f2bff3-0ee2-4462-84e4-f37da8c1faef");
constexpr ClassInfo kStackClass =
    PublicClass<Stack>("Velmira.Stack", "03c8ee84-25c8-412e-a165-1292ed1d4118", kStackInterface,
                       "Velmira.Stack implements a last-in, first-out (LIFO) list.");

constexpr InterfaceInfo kQueueInterface =
    Published<kQueueMembers, Queue>("_Queue", "4a1c876f-41a6-40dc-b43c-861ce27dbbdf");
constexpr ClassInfo kQueueClass =
    PublicClass<Queue>("Velmira.Queue", "4b09464c-e602-478c-8f22-1002e4d89864", kQueueInterface,
                       "Velmira.Queue implements a first-in, first-out (FIFO) list.");

constexpr InterfaceInfo kPQueueInterface =
    Published<kPQueueMembers, PQueue>("_PQueue", "0b8f9ac0-ad11-430e-bff0-c53f75a99846");
constexpr ClassInfo kPQueueClass =
    PublicClass<PQueue>("Velmira.PQueue", "a64e6caa-18ed-4c1d-bae3-10f9f27ad871", kPQueueInterface,
                        "Velmira.PQueue implements a prioritized first-in, first-out (FIFO) list.");

}  // namespace velmira::detail
