// The member tables of the five element interfaces and of the sample elements' own interfaces.
//
// The element-interface rows call the interface's virtual members, so a client's own element
// class is called late-bound exactly as the library's containers call it.
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

constexpr TypeRef kIStackNode = ObjectOf("IStackNode");
constexpr TypeRef kIQueueNode = ObjectOf("IQueueNode");
constexpr TypeRef kIPQueueNode = ObjectOf("IPQueueNode");
constexpr TypeRef kIListNode = ObjectOf("IListNode");
constexpr TypeRef kITreeNode = ObjectOf("ITreeNode");
constexpr ParamInfo kIndex = ByVal("Index", kInt32);

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

template <class I>
constexpr MemberInfo KeyRow() {
  return Get(1, "Key", {kIndex}, kVariant, "",
             Bind<I, [](I& n, const CallArgs& a) { return n.Key(a.Int32(0)); }>());
}

template <std::size_t... N>
constexpr auto Join(const std::array<MemberInfo, N>&... parts) {
  std::array<MemberInfo, (N + ...)> all{};
  std::size_t at = 0;
  ((std::copy(parts.begin(), parts.end(), all.begin() + at), at += N), ...);
  return all;
}

constexpr auto kIStackNodeMembers =
    LinkRows<IStackNode, &IStackNode::NextItem, &IStackNode::SetNextItem>(1, "NextItem",
                                                                          kIStackNode);
constexpr auto kIQueueNodeMembers =
    LinkRows<IQueueNode, &IQueueNode::NextItem, &IQueueNode::SetNextItem>(1, "NextItem",
                                                                          kIQueueNode);
constexpr auto kIPQueueNodeMembers =
    Join(std::array{KeyRow<IPQueueNode>()},
         LinkRows<IPQueueNode, &IPQueueNode::NextItem, &IPQueueNode::SetNextItem>(2, "NextItem",
                                                                                  kIPQueueNode));
constexpr auto kIListNodeMembers = Join(
    LinkRows<IListNode, &IListNode::NextItem, &IListNode::SetNextItem>(1, "NextItem", kIListNode),
    LinkRows<IListNode, &IListNode::PrevItem, &IListNode::SetPrevItem>(2, "PrevItem", kIListNode),
    LinkRows<IListNode, &IListNode::Tag, &IListNode::SetTag>(3, "Tag", kIListNode));
constexpr auto kITreeNodeMembers =
    Join(std::array{KeyRow<ITreeNode>()},
         LinkRows<ITreeNode, &ITreeNode::Left, &ITreeNode::SetLeft>(2, "Left", kITreeNode),
         LinkRows<ITreeNode, &ITreeNode::Right, &ITreeNode::SetRight>(3, "Right", kITreeNode));

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

constexpr InterfaceInfo kIStackNodeInterface{"_IStackNode", "IStackNode",
                                             Guid::Parse("b046d0be-c7a8-49b8-8997-17ce6b2bc95a"),
                                             kIStackNodeMembers, &CastTo<IStackNode>};
constexpr InterfaceInfo kIQueueNodeInterface{"_IQueueNode", "IQueueNode",
                                             Guid::Parse("76a6c3a8-fef7-4f9f-a45e-60f81c365e7e"),
                                             kIQueueNodeMembers, &CastTo<IQueueNode>};
constexpr InterfaceInfo kIPQueueNodeInterface{"_IPQueueNode", "IPQueueNode",
                                              Guid::Parse("46507800-6be6-43c1-99dd-bcc4d21674a7"),
                                              kIPQueueNodeMembers, &CastTo<IPQueueNode>};
constexpr InterfaceInfo kIListNodeInterface{"_IListNode", "IListNode",
                                            Guid::Parse("18f5c555-04ff-47c2-bd88-80c4fff586ad"),
                                            kIListNodeMembers, &CastTo<IListNode>};
constexpr InterfaceInfo kITreeNodeInterface{"_ITreeNode", "ITreeNode",
                                            Guid::Parse("ece19ae3-ac58-45ac-aa62-353456d74a89"),
                                            kITreeNodeMembers, &CastTo<ITreeNode>};

constexpr InterfaceInfo kStackNodeInterface{
    "_StackNode", "StackNode", Guid::Parse("3a61d97e-64ff-4882-8caf-5688cdd696ba"),
    kStackNodeMembers, &CastTo<StackNode, SampleNode<IStackNode>>};
constexpr InterfaceInfo kQueueNodeInterface{
    "_QueueNode", "QueueNode", Guid::Parse("4ba6bf57-7b31-4cf1-85a2-425bf3c56d63"),
    kQueueNodeMembers, &CastTo<QueueNode, SampleNode<IQueueNode>>};
constexpr InterfaceInfo kPQueueNodeInterface{
    "_PQueueNode", "PQueueNode", Guid::Parse("15c26a9c-81ae-4a2c-a7a8-39821bf04c80"),
    kPQueueNodeMembers, &CastTo<PQueueNode, SampleNode<IPQueueNode>>};
constexpr InterfaceInfo kListNodeInterface{
    "_ListNode", "ListNode", Guid::Parse("f5ab650a-d110-4622-a3fb-d501738072f4"), kListNodeMembers,
    &CastTo<ListNode, SampleNode<IListNode>>};
constexpr InterfaceInfo kTreeNodeInterface{
    "_TreeNode", "TreeNode", Guid::Parse("7709bf5f-d1cd-4c49-9d34-4707972a7843"), kTreeNodeMembers,
    &CastTo<TreeNode, SampleNode<ITreeNode>>};

}  // namespace velmira::detail
