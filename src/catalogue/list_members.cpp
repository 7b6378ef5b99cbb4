// `List` and `ListEnum`: their member tables, in slot order (`Item` and `Count` were appended
// after `NewEnum`, and keep that place), and their class records.
#include "catalogue/member_table.h"
#include "velmira/list/list.h"
#include "velmira/list/list_enum.h"

namespace velmira::detail {
namespace {

constexpr TypeRef kIListNode = ObjectOf("IListNode");
constexpr TypeRef kListEnumEnum = EnumOf("ListEnumEnum");

constexpr MemberInfo kListMembers[] = {
    Get(1, "Index", {}, kInt32, "",
        Bind<List, [](List& l, const CallArgs&) { return l.Index(); }>()),
    Let(1, "Index", {ByVal("Value", kInt32)}, "",
        Bind<List, [](List& l, const CallArgs& a) { l.SetIndex(a.Int32(0)); }>()),
    Get(2, "IsEmpty", {}, kBoolean, "True if the list is empty.",
        Bind<List, [](List& l, const CallArgs&) { return l.IsEmpty(); }>()),
    Get(3, "First", {}, kIListNode, "The first item in the list, or Nothing if the list is empty.",
        Bind<List, [](List& l, const CallArgs&) { return l.First(); }>()),
    Get(4, "Last", {}, kIListNode, "The last item in the list, or Nothing if the list is empty.",
        Bind<List, [](List& l, const CallArgs&) { return l.Last(); }>()),
    Get(5, "NextItem", {ByRef("Node", kIListNode)}, kIListNode, "",
        Bind<List,
             [](List& l, const CallArgs& a) { return l.NextItem(a.Object<IListNode>(0)); }>()),
    Get(6, "PrevItem", {ByRef("Node", kIListNode)}, kIListNode, "",
        Bind<List,
             [](List& l, const CallArgs& a) { return l.PrevItem(a.Object<IListNode>(0)); }>()),
    Method(7, "Add", {ByRef("Node", kIListNode)}, kNone, "Adds an item to the end of the list.",
           Bind<List, [](List& l, const CallArgs& a) { l.Add(a.Object<IListNode>(0)); }>()),
    Method(8, "AddBefore", {ByRef("Node1", kIListNode), ByRef("Node2", kIListNode)}, kNone, "",
           Bind<List,
                [](List& l, const CallArgs& a) {
                  l.AddBefore(a.Object<IListNode>(0), a.Object<IListNode>(1));
                }>()),
    Method(9, "AddAfter", {ByRef("Node1", kIListNode), ByRef("Node2", kIListNode)}, kNone, "",
           Bind<List,
                [](List& l, const CallArgs& a) {
                  l.AddAfter(a.Object<IListNode>(0), a.Object<IListNode>(1));
                }>()),
    Method(10, "Remove", {ByRef("Node", kIListNode)}, kNone,
           "Removes the item from the list.  If the list is empty, or if the item is not a member "
           "of the list, nothing is done.",
           Bind<List, [](List& l, const CallArgs& a) { l.Remove(a.Object<IListNode>(0)); }>()),
    Method(11, "Clear", {}, kNone, "Removes all items from the list.",
           Bind<List, [](List& l, const CallArgs&) { l.Clear(); }>()),
    Method(12, "NewEnum", {}, ObjectOf("ListEnum"), "",
           Bind<List, [](List& l, const CallArgs&) { return l.NewEnum(); }>()),
    Get(13, "Item", {ByVal("Number", kInt32)}, kIListNode, "",
        Bind<List, [](List& l, const CallArgs& a) { return l.Item(a.Int32(0)); }>()),
    Get(14, "Count", {}, kInt32, "",
        Bind<List, [](List& l, const CallArgs&) { return l.Count(); }>()),
};

constexpr MemberInfo kListEnumMembers[] = {
    Get(1, "Order", {}, kListEnumEnum, "The order in which the list's items should be enumerated.",
        Bind<ListEnum, [](ListEnum& e, const CallArgs&) { return e.Order(); }>()),
    Let(1, "Order", {ByVal("Value", kListEnumEnum)},
        "The order in which the list's items should be enumerated.",
        Bind<ListEnum,
             [](ListEnum& e, const CallArgs& a) { e.SetOrder(a.Enum<ListEnumEnum>(0)); }>()),
    Get(2, "NextItem", {}, kIListNode,
        "The next item in the list, or Nothing if there are no more items.",
        Bind<ListEnum, [](ListEnum& e, const CallArgs&) { return e.NextItem(); }>()),
};

}  // namespace

constexpr InterfaceInfo kListInterface =
    Published<kListMembers, List>("_List", "3b91c099-3398-4f32-95aa-9c9f730b87e3");
constexpr ClassInfo kListClass =
    PublicClass<List>("Velmira.List", "fd2aefb2-6cb4-4b60-89c8-dec724f69240", kListInterface,
                      "Velmira.List implements a doubly-linked list.");

constexpr InterfaceInfo kListEnumInterface =
    Published<kListEnumMembers, ListEnum>("_ListEnum", "6f226ff8-be50-4a51-bc0e-9bc5042f4cb7");
constexpr ClassInfo kListEnumClass = PublicClass<ListEnum, Instancing::NotCreatable>(
    "Velmira.ListEnum", "1da54687-ec7a-4b84-a1bc-03226643e526", kListEnumInterface,
    "Velmira.ListEnum implements a List Enumerator.");

}  // namespace velmira::detail
