// The five element interfaces and the sample elements: their member tables and class records.
//
// The element-interface rows come from the list of node_interface_list.h and call the
// interface's virtual members, so a client's own element class is called late-bound exactly as
// the library's containers call it.
#include <array>

#include "catalogue/member_table.h"
#include "velmira/core/node_interfaces.h"
#include "velmira/elements/list_node.h"
#include "velmira/elements/pqueue_node.h"
#include "velmira/elements/queue_node.h"
#include "velmira/elements/stack_node.h"
#include "velmira/elements/tree_node.h"

namespace velmira::detail {
namespace {

constexpr ParamInfo kIndex = ByVal("Index", kInt32);

/// The key read `Name(Index)` of element interface `I`.
template <class I, auto Name>
constexpr std::array<MemberInfo, 1> KeyRows(std::int32_t id, std::string_view name) {
  return {Get(id, name, {kIndex}, kVariant, "",
              Bind<I, [](I& n, const CallArgs& a) { return (n.*Name)(a.Int32(0)); }>())};
}

/// A link get and set of element interface `I`, read and written through `Get` and `Set`.
template <class I, auto Get, auto Set>
constexpr std::array<MemberInfo, 2> LinkRows(std::int32_t id, std::string_view name, TypeRef type) {
  return {
      Row(id, name, CallKind::PropertyGet, {kIndex}, type, "",
          Bind<I, [](I& n, const CallArgs& a) { return (n.*Get)(a.Int32(0)); }>()),
      Row(id, name, CallKind::PropertySet, {kIndex, ByVal("Value", type)}, kNone, "",
          Bind<I, [](I& n, const CallArgs& a) { (n.*Set)(a.Int32(0), a.Object<I>(1)); }>()),
  };
}

#define VELMIRA_KEY_ROWS(Interface, Name, Id) KeyRows<Interface, &Interface::Name>(Id, #Name),
#define VELMIRA_LINK_ROWS(Interface, Name, Id) \
  LinkRows<Interface, &Interface::Name, &Interface::Set##Name>(Id, #Name, ObjectOf(#Interface)),
#define VELMIRA_NODE_MEMBERS(Node, MemberList) \
  constexpr auto k##Node##Members =            \
      Join(MemberList(VELMIRA_KEY_ROWS, VELMIRA_LINK_ROWS) std::array<MemberInfo, 0>{});
VELMIRA_NODE_INTERFACES(VELMIRA_NODE_MEMBERS)
#undef VELMIRA_NODE_MEMBERS
#undef VELMIRA_LINK_ROWS
#undef VELMIRA_KEY_ROWS

constexpr std::string_view kUserData = "This field is provided for user data.";

/// A user-data field's get, let and set, all through the field's get and set members.
template <class Node, auto Get, auto Set>
constexpr std::array<MemberInfo, 3> UserDataRows(std::int32_t id, std::string_view name) {
  constexpr MemberBody set = Bind<Node, [](Node& n, const CallArgs& a) { (n.*Set)(a.Value(0)); }>();
  return {
      Row(id, name, CallKind::PropertyGet, {}, kVariant, kUserData,
          Bind<Node, [](Node& n, const CallArgs&) { return (n.*Get)(); }>()),
      Row(id, name, CallKind::PropertyLet, {ByVal("Value", kVariant)}, kNone, kUserData, set),
      Row(id, name, CallKind::PropertySet, {ByVal("Value", kVariant)}, kNone, kUserData, set),
  };
}

/// A sample element's own interface: the four user-data fields, then the per-slot key.
template <class Link>
constexpr auto SampleNodeMembers(std::string_view key_description) {
  using Node = SampleNode<Link>;
  return Join(
      UserDataRows<Node, &Node::Value, &Node::SetValue>(1, "Value"),
      UserDataRows<Node, &Node::Tag, &Node::SetTag>(2, "Tag"),
      UserDataRows<Node, &Node::Flags, &Node::SetFlags>(3, "Flags"),
      UserDataRows<Node, &Node::Data, &Node::SetData>(4, "Data"),
      std::array{
          Get(5, "Key", {kIndex}, kVariant, key_description,
              Bind<Node, [](Node& n, const CallArgs& a) { return n.Key(a.Int32(0)); }>()),
          Let(5, "Key", {kIndex, ByVal("Value", kVariant)}, key_description,
              Bind<Node, [](Node& n, const CallArgs& a) { n.SetKey(a.Int32(0), a.Value(1)); }>()),
      });
}

constexpr auto kStackNodeMembers = SampleNodeMembers<IStackNode>(kUserData);
constexpr auto kQueueNodeMembers = SampleNodeMembers<IQueueNode>(kUserData);
constexpr auto kPQueueNodeMembers = SampleNodeMembers<IPQueueNode>(
    "The key that specifies the relative ordering of this item within a priority queue.");
constexpr auto kListNodeMembers = SampleNodeMembers<IListNode>(kUserData);
constexpr auto kTreeNodeMembers = SampleNodeMembers<ITreeNode>(
    "The key that specifies the relative ordering of this item within a tree.");

}  // namespace

// An element interface's own interface and class record; the description names the container
// the interface serves.
#define VELMIRA_NODE_INTERFACE(Node, Container, ClassId, InterfaceId)               \
  constexpr InterfaceInfo k##Node##Interface =                                      \
      Published<k##Node##Members, Node>("_" #Node, InterfaceId);                    \
  constexpr ClassInfo k##Node##Class = PublicClass<Node, Instancing::NotCreatable>( \
      "Velmira." #Node, ClassId, k##Node##Interface,                                \
      "Velmira." #Node " is the interface definition for a " #Container             \
      " Node.  Any object you add to a " #Container " must implement this interface.");
VELMIRA_NODE_INTERFACE(IStackNode, Stack, "c8e1ec7f-2aeb-474a-819c-8fbd6a39ce09",
                       "b046d0be-c7a8-49b8-8997-17ce6b2bc95a")
VELMIRA_NODE_INTERFACE(IQueueNode, Queue, "37e65ba9-a8da-42d3-8247-117ac47994ba",
                       "76a6c3a8-fef7-4f9f-a45e-60f81c365e7e")
VELMIRA_NODE_INTERFACE(IPQueueNode, PQueue, "5682ba63-7be6-4110-8634-b3848255aa63",
                       "46507800-6be6-43c1-99dd-bcc4d21674a7")
VELMIRA_NODE_INTERFACE(IListNode, List, "3f4370c2-e0bc-481c-8b43-7d9baa0ff1b4",
                       "18f5c555-04ff-47c2-bd88-80c4fff586ad")
VELMIRA_NODE_INTERFACE(ITreeNode, Tree, "af4a00bb-cb03-4b6b-ac61-d8ca3a5b90cd",
                       "ece19ae3-ac58-45ac-aa62-353456d74a89")
#undef VELMIRA_NODE_INTERFACE

// A sample element's own interface and class record.
#define VELMIRA_SAMPLE_NODE(Node, Element, ClassId, InterfaceId, Description)         \
  constexpr InterfaceInfo k##Node##Interface =                                        \
      Published<k##Node##Members, Node, SampleNode<Element>>("_" #Node, InterfaceId); \
  constexpr ClassInfo k##Node##Class =                                                \
      PublicClass<Node>("Velmira." #Node, ClassId, k##Node##Interface, Description,   \
                        Implements<&k##Element##Interface>);
VELMIRA_SAMPLE_NODE(StackNode, IStackNode, "fe48009b-1b12-4b2f-8903-bd7a65173c4b",
                    "3a61d97e-64ff-4882-8caf-5688cdd696ba",
                    "Velmira.StackNode provides a sample implementation of the IStackNode "
                    "interface.")
VELMIRA_SAMPLE_NODE(QueueNode, IQueueNode, "4d738e48-c6cc-4bb6-8e1d-857e2cc74ee2",
                    "4ba6bf57-7b31-4cf1-85a2-425bf3c56d63",
                    "Velmira.QueueNode provides a sample implementation of the IQueueNode "
                    "interface.")
VELMIRA_SAMPLE_NODE(PQueueNode, IPQueueNode, "8aff8da7-0582-426e-8be1-ceb4f3e0d589",
                    "15c26a9c-81ae-4a2c-a7a8-39821bf04c80",
                    "Velmira.PQueueNode provides a sample implementation of the IPQueueNode "
                    "interface.")
VELMIRA_SAMPLE_NODE(ListNode, IListNode, "ac6daeb4-7704-49a1-828d-90dd4c552534",
                    "f5ab650a-d110-4622-a3fb-d501738072f4",
                    "Velmira.ListNode provides a sample implementation of the IListNode "
                    "interface.")
// The text names "the TreeNode interface" where its siblings name their I... interface; it is
// the published description and stays as it is. The interface meant is ITreeNode.
VELMIRA_SAMPLE_NODE(TreeNode, ITreeNode, "ca52de6b-75c9-4697-a1a8-9d0d0587b575",
                    "7709bf5f-d1cd-4c49-9d34-4707972a7843",
                    "Velmira.TreeNode provides a sample implementation of the TreeNode interface.")
#undef VELMIRA_SAMPLE_NODE

// The sample elements keep the records of their slots in a tree of this private class.
constexpr InterfaceInfo kIndexTreeNodeInterface =
    Unpublished("_IndexTreeNode", "e996cc71-53db-4fa5-b273-925408c74f9e");
constexpr ClassInfo kIndexTreeNodeClass =
    PrivateClass("Velmira.IndexTreeNode", "f24b07aa-2b16-4721-bff3-25fdaf4aed29",
                 kIndexTreeNodeInterface, Implements<&kITreeNodeInterface>);

}  // namespace velmira::detail
