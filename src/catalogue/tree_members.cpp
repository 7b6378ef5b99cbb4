// `Tree`, `SplayTree` and `TreeEnum`: their member tables and class records, and the record of
// the private element a `TreeEnum` stacks its path in.
//
// `SplayTree`'s own interface has the same nine members as `Tree`, without descriptions and
// without a default member; both tables call the same virtual members, so a splay tree behaves
// the same through either.
#include "catalogue/member_table.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"
#include "velmira/tree/tree_enum.h"

namespace velmira::detail {
namespace {

constexpr TypeRef kITreeNode = ObjectOf("ITreeNode");
constexpr TypeRef kTreeEnumEnum = EnumOf("TreeEnumEnum");

constexpr MemberInfo kTreeMembers[] = {
    Get(1, "Index", {}, kInt32, "",
        Bind<Tree, [](Tree& t, const CallArgs&) { return t.Index(); }>()),
    Let(1, "Index", {ByVal("Value", kInt32)}, "",
        Bind<Tree, [](Tree& t, const CallArgs& a) { t.SetIndex(a.Int32(0)); }>()),
    Get(2, "IsEmpty", {}, kBoolean, "True if the tree is empty.",
        Bind<Tree, [](Tree& t, const CallArgs&) { return t.IsEmpty(); }>()),
    Get(3, "Exists", {ByRef("Key", kVariant)}, kBoolean,
        "True if an item with the given key is present in the tree.",
        Bind<Tree, [](Tree& t, const CallArgs& a) { return t.Exists(a.Value(0)); }>()),
    Get(0, "Item", {ByRef("Key", kVariant)}, kITreeNode,
        "The item in the tree with the given key, or Nothing if no item has that key.",
        Bind<Tree, [](Tree& t, const CallArgs& a) { return t.Item(a.Value(0)); }>()),
    Method(4, "Add", {ByRef("Node", kITreeNode)}, kNone,
           "Adds an item to the tree, using the item's key (which must already be set).",
           Bind<Tree, [](Tree& t, const CallArgs& a) { t.Add(a.Object<ITreeNode>(0)); }>()),
    Method(5, "Remove", {ByRef("Key", kVariant)}, kNone,
           "Removes the item with the given key from the tree.",
           Bind<Tree, [](Tree& t, const CallArgs& a) { t.Remove(a.Value(0)); }>()),
    Method(6, "Clear", {}, kNone, "Removes all items from the tree.",
           Bind<Tree, [](Tree& t, const CallArgs&) { t.Clear(); }>()),
    Method(7, "NewEnum", {}, ObjectOf("TreeEnum"), "",
           Bind<Tree, [](Tree& t, const CallArgs&) { return t.NewEnum(); }>()),
};

/// `SplayTree`'s own interface: `Tree`'s rows without descriptions, and `Item` is not the
/// default member but identifier 8.
constexpr auto SplayTreeMembers() {
  auto rows = Undescribed(std::to_array(kTreeMembers));
  for (MemberInfo& m : rows) {
    if (m.dispatch_id == 0) m.dispatch_id = 8;
  }
  return rows;
}
constexpr auto kSplayTreeMembers = SplayTreeMembers();

constexpr MemberInfo kTreeEnumMembers[] = {
    Get(1, "Order", {}, kTreeEnumEnum, "The order in which the tree's items should be enumerated.",
        Bind<TreeEnum, [](TreeEnum& e, const CallArgs&) { return e.Order(); }>()),
    Let(1, "Order", {ByVal("Value", kTreeEnumEnum)},
        "The order in which the tree's items should be enumerated.",
        Bind<TreeEnum,
             [](TreeEnum& e, const CallArgs& a) { e.SetOrder(a.Enum<TreeEnumEnum>(0)); }>()),
    Get(2, "NextItem", {}, kITreeNode,
        "The next item in the tree, or Nothing if there are no more items.",
        Bind<TreeEnum, [](TreeEnum& e, const CallArgs&) { return e.NextItem(); }>()),
};

}  // namespace

constexpr InterfaceInfo kTreeInterface =
    Published<kTreeMembers, Tree>("_Tree", "ac4bd355-b08b-4cb1-b085-87d292cb05d1");
constexpr ClassInfo kTreeClass =
    PublicClass<Tree>("Velmira.Tree", "2568c0a7-f23a-4685-ba2e-35194245cfbc", kTreeInterface,
                      "Velmira.Tree implements a binary search tree.");

constexpr InterfaceInfo kSplayTreeInterface = Published<kSplayTreeMembers, SplayTree, Tree>(
    "_SplayTree", "bb0c4dc4-65ec-4a00-ab84-f4ed75d6a754");
constexpr ClassInfo kSplayTreeClass = PublicClass<SplayTree>(
    "Velmira.SplayTree", "56577243-d1e6-4da8-aeb2-c22d4f4d0144", kSplayTreeInterface,
    "Velmira.SplayTree implements the Tree interface using a splay tree, a type of binary search "
    "tree that adjusts itself so that frequently accessed items may be found more quickly.",
    Implements<&kTreeInterface>);

constexpr InterfaceInfo kTreeEnumInterface =
    Published<kTreeEnumMembers, TreeEnum>("_TreeEnum", "6d9889e5-0e7d-48f1-884b-a6946c8911f1");
constexpr ClassInfo kTreeEnumClass = PublicClass<TreeEnum, Instancing::NotCreatable>(
    "Velmira.TreeEnum", "eacf3bd2-918f-42db-bc81-719418b77376", kTreeEnumInterface,
    "Velmira.TreeEnum implements a Tree Enumerator.");

constexpr InterfaceInfo kTreeEnumStackNodeInterface =
    Unpublished("_TreeEnumStackNode", "b4930d5b-65ac-4ae8-ad3c-a77a7105d41e");
constexpr ClassInfo kTreeEnumStackNodeClass =
    PrivateClass("Velmira.TreeEnumStackNode", "9fa40719-9c4d-4643-85c2-cc9cf09529cd",
                 kTreeEnumStackNodeInterface, Implements<&kIStackNodeInterface>);

}  // namespace velmira::detail
