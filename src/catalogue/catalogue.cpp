// The library record, the class table and the enumerations, and the lookups over them.
#include "velmira/catalogue/catalogue.h"

#include <typeinfo>

#include "catalogue/member_table.h"
#include "velmira/debug/debugger.h"
#include "velmira/debug/no_debugger.h"
#include "velmira/elements/list_node.h"
#include "velmira/elements/pqueue_node.h"
#include "velmira/elements/queue_node.h"
#include "velmira/elements/stack_node.h"
#include "velmira/elements/tree_node.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"
#include "velmira/list/list.h"
#include "velmira/list/list_enum.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"
#include "velmira/tree/tree_enum.h"

namespace velmira {
namespace detail {

// The private classes publish no members; their interfaces are listed with their identifiers
// only. No object of theirs is ever handed to a client, so they have no cast.
constexpr InterfaceInfo kTreeEnumStackNodeInterface{
    "_TreeEnumStackNode",
    "TreeEnumStackNode",
    Guid::Parse("b4930d5b-65ac-4ae8-ad3c-a77a7105d41e"),
    {},
    nullptr};
constexpr InterfaceInfo kDebugStackNodeInterface{
    "_DebugStackNode",
    "DebugStackNode",
    Guid::Parse("5dc3ecec-c00d-471c-8786-a0b64428321c"),
    {},
    nullptr};
constexpr InterfaceInfo kDebugTreeNodeInterface{"_DebugTreeNode",
                                                "DebugTreeNode",
                                                Guid::Parse("3a9c0ae5-6fdb-4669-9730-50cdfcec4a2e"),
                                                {},
                                                nullptr};
constexpr InterfaceInfo kIndexTreeNodeInterface{"_IndexTreeNode",
                                                "IndexTreeNode",
                                                Guid::Parse("e996cc71-53db-4fa5-b273-925408c74f9e"),
                                                {},
                                                nullptr};

}  // namespace detail

namespace {

using namespace detail;  // the interface tables

constexpr LibraryInfo kLibrary{"Velmira",
                               "Commonly used objects and data structures",
                               Guid::Parse("97a5bb96-54e2-4fb7-87bc-7149fee15dfd"),
                               1,
                               1,
                               0x409,
                               "0.00.0021"};

template <class T>
Ref<Object> Make() {
  return New<T>();
}

constexpr const InterfaceInfo* kImplementsIStackNode[] = {&kIStackNodeInterface};
constexpr const InterfaceInfo* kImplementsIQueueNode[] = {&kIQueueNodeInterface};
constexpr const InterfaceInfo* kImplementsIPQueueNode[] = {&kIPQueueNodeInterface};
constexpr const InterfaceInfo* kImplementsIListNode[] = {&kIListNodeInterface};
constexpr const InterfaceInfo* kImplementsITreeNode[] = {&kITreeNodeInterface};
constexpr const InterfaceInfo* kImplementsTree[] = {&kTreeInterface};
constexpr const InterfaceInfo* kImplementsDebugger[] = {&kDebuggerInterface};
constexpr std::span<const InterfaceInfo* const> kNothingElse{};

constexpr auto C = Instancing::Creatable;
constexpr auto N = Instancing::NotCreatable;
constexpr auto P = Instancing::Private;

const ClassInfo kClasses[] = {
    {"IStackNode", "Velmira.IStackNode", N, Guid::Parse("c8e1ec7f-2aeb-474a-819c-8fbd6a39ce09"),
     &kIStackNodeInterface, kNothingElse,
     "Velmira.IStackNode is the interface definition for a Stack Node.  Any object you add to a "
     "Stack must implement this interface."},
    {"IQueueNode", "Velmira.IQueueNode", N, Guid::Parse("37e65ba9-a8da-42d3-8247-117ac47994ba"),
     &kIQueueNodeInterface, kNothingElse,
     "Velmira.IQueueNode is the interface definition for a Queue Node.  Any object you add to a "
     "Queue must implement this interface."},
    {"IPQueueNode", "Velmira.IPQueueNode", N, Guid::Parse("5682ba63-7be6-4110-8634-b3848255aa63"),
     &kIPQueueNodeInterface, kNothingElse,
     "Velmira.IPQueueNode is the interface definition for a PQueue Node.  Any object you add to a "
     "PQueue must implement this interface."},
    {"IListNode", "Velmira.IListNode", N, Guid::Parse("3f4370c2-e0bc-481c-8b43-7d9baa0ff1b4"),
     &kIListNodeInterface, kNothingElse,
     "Velmira.IListNode is the interface definition for a List Node.  Any object you add to a "
     "List must implement this interface."},
    {"ITreeNode", "Velmira.ITreeNode", N, Guid::Parse("af4a00bb-cb03-4b6b-ac61-d8ca3a5b90cd"),
     &kITreeNodeInterface, kNothingElse,
     "Velmira.ITreeNode is the interface definition for a Tree Node.  Any object you add to a "
     "Tree must implement this interface."},
    {"StackNode", "Velmira.StackNode", C, Guid::Parse("fe48009b-1b12-4b2f-8903-bd7a65173c4b"),
     &kStackNodeInterface, kImplementsIStackNode,
     "Velmira.StackNode provides a sample implementation of the IStackNode interface.",
     &Make<StackNode>, &typeid(StackNode)},
    {"QueueNode", "Velmira.QueueNode", C, Guid::Parse("4d738e48-c6cc-4bb6-8e1d-857e2cc74ee2"),
     &kQueueNodeInterface, kImplementsIQueueNode,
     "Velmira.QueueNode provides a sample implementation of the IQueueNode interface.",
     &Make<QueueNode>, &typeid(QueueNode)},
    {"PQueueNode", "Velmira.PQueueNode", C, Guid::Parse("8aff8da7-0582-426e-8be1-ceb4f3e0d589"),
     &kPQueueNodeInterface, kImplementsIPQueueNode,
     "Velmira.PQueueNode provides a sample implementation of the IPQueueNode interface.",
     &Make<PQueueNode>, &typeid(PQueueNode)},
    {"ListNode", "Velmira.ListNode", C, Guid::Parse("ac6daeb4-7704-49a1-828d-90dd4c552534"),
     &kListNodeInterface, kImplementsIListNode,
     "Velmira.ListNode provides a sample implementation of the IListNode interface.",
     &Make<ListNode>, &typeid(ListNode)},
    // The text names "the TreeNode interface" where its siblings name their I... interface; it
    // is the published description and stays as it is. The interface meant is ITreeNode.
    {"TreeNode", "Velmira.TreeNode", C, Guid::Parse("ca52de6b-75c9-4697-a1a8-9d0d0587b575"),
     &kTreeNodeInterface, kImplementsITreeNode,
     "Velmira.TreeNode provides a sample implementation of the TreeNode interface.",
     &Make<TreeNode>, &typeid(TreeNode)},
    {"Stack", "Velmira.Stack", C, Guid::Parse("03c8ee84-25c8-412e-a165-1292ed1d4118"),
     &kStackInterface, kNothingElse, "Velmira.Stack implements a last-in, first-out (LIFO) list.",
     &Make<Stack>, &typeid(Stack)},
    {"Queue", "Velmira.Queue", C, Guid::Parse("4b09464c-e602-478c-8f22-1002e4d89864"),
     &kQueueInterface, kNothingElse, "Velmira.Queue implements a first-in, first-out (FIFO) list.",
     &Make<Queue>, &typeid(Queue)},
    {"PQueue", "Velmira.PQueue", C, Guid::Parse("a64e6caa-18ed-4c1d-bae3-10f9f27ad871"),
     &kPQueueInterface, kNothingElse,
     "Velmira.PQueue implements a prioritized first-in, first-out (FIFO) list.", &Make<PQueue>,
     &typeid(PQueue)},
    {"List", "Velmira.List", C, Guid::Parse("fd2aefb2-6cb4-4b60-89c8-dec724f69240"),
     &kListInterface, kNothingElse, "Velmira.List implements a doubly-linked list.", &Make<List>,
     &typeid(List)},
    {"ListEnum", "Velmira.ListEnum", N, Guid::Parse("1da54687-ec7a-4b84-a1bc-03226643e526"),
     &kListEnumInterface, kNothingElse, "Velmira.ListEnum implements a List Enumerator.", nullptr,
     &typeid(ListEnum)},
    {"Tree", "Velmira.Tree", C, Guid::Parse("2568c0a7-f23a-4685-ba2e-35194245cfbc"),
     &kTreeInterface, kNothingElse, "Velmira.Tree implements a binary search tree.", &Make<Tree>,
     &typeid(Tree)},
    {"SplayTree", "Velmira.SplayTree", C, Guid::Parse("56577243-d1e6-4da8-aeb2-c22d4f4d0144"),
     &kSplayTreeInterface, kImplementsTree,
     "Velmira.SplayTree implements the Tree interface using a splay tree, a type of binary "
     "search tree that adjusts itself so that frequently accessed items may be found more "
     "quickly.",
     &Make<SplayTree>, &typeid(SplayTree)},
    {"TreeEnum", "Velmira.TreeEnum", N, Guid::Parse("eacf3bd2-918f-42db-bc81-719418b77376"),
     &kTreeEnumInterface, kNothingElse, "Velmira.TreeEnum implements a Tree Enumerator.", nullptr,
     &typeid(TreeEnum)},
    // New<Debugger>() makes the library's private implementation class, so ClassOf finds a
    // debugger through its interface rather than its exact type.
    {"Debugger", "Velmira.Debugger", C, Guid::Parse("83ac3196-b6bd-4da8-b4f5-8ab95e641bca"),
     &kDebuggerInterface, kNothingElse,
     "Velmira.Debugger provides debugging, logging and profiling services.", &Make<Debugger>},
    {"NoDebugger", "Velmira.NoDebugger", C, Guid::Parse("08762436-dba8-4e21-98d6-653fd081c2e0"),
     &kNoDebuggerInterface, kImplementsDebugger,
     "Velmira.NoDebugger implements the Debugger interface, but does nothing.", &Make<NoDebugger>,
     &typeid(NoDebugger)},
    {"TreeEnumStackNode", "Velmira.TreeEnumStackNode", P,
     Guid::Parse("9fa40719-9c4d-4643-85c2-cc9cf09529cd"), &kTreeEnumStackNodeInterface,
     kImplementsIStackNode, ""},
    {"DebugStackNode", "Velmira.DebugStackNode", P,
     Guid::Parse("286b1eca-2018-4a94-81f6-841109f1ed7e"), &kDebugStackNodeInterface,
     kImplementsIStackNode, ""},
    {"DebugTreeNode", "Velmira.DebugTreeNode", P,
     Guid::Parse("0fb00766-c652-4279-b412-d472e1e1f29e"), &kDebugTreeNodeInterface,
     kImplementsITreeNode, ""},
    {"IndexTreeNode", "Velmira.IndexTreeNode", P,
     Guid::Parse("f24b07aa-2b16-4721-bff3-25fdaf4aed29"), &kIndexTreeNodeInterface,
     kImplementsITreeNode, ""},
};

constexpr EnumConstant kListEnumConstants[] = {
    {"eListEnumReverseOrder", eListEnumReverseOrder},
    {"eListEnumInOrder", eListEnumInOrder},
};
constexpr EnumConstant kTreeEnumConstants[] = {
    {"eTreeEnumPreOrder", eTreeEnumPreOrder},
    {"eTreeEnumReverseOrder", eTreeEnumReverseOrder},
    {"eTreeEnumInOrder", eTreeEnumInOrder},
    {"eTreeEnumPostOrder", eTreeEnumPostOrder},
};
constexpr EnumInfo kEnumerations[] = {
    {"ListEnumEnum", kListEnumConstants},
    {"TreeEnumEnum", kTreeEnumConstants},
};

bool IsPublic(const ClassInfo& c) noexcept { return c.instancing != Instancing::Private; }

}  // namespace

std::vector<const InterfaceInfo*> ClassInfo::Interfaces() const {
  std::vector<const InterfaceInfo*> all{own_interface};
  all.insert(all.end(), other_interfaces.begin(), other_interfaces.end());
  return all;
}

const LibraryInfo& Library() noexcept { return kLibrary; }
std::span<const ClassInfo> Classes() noexcept { return kClasses; }
std::span<const EnumInfo> Enumerations() noexcept { return kEnumerations; }

const ClassInfo* FindClass(std::string_view qualifiedName) noexcept {
  for (const ClassInfo& c : kClasses) {
    if (NamesMatch(c.qualified_name, qualifiedName)) return &c;
  }
  return nullptr;
}

const ClassInfo* FindClass(const Guid& classId) noexcept {
  for (const ClassInfo& c : kClasses) {
    if (c.class_id == classId) return &c;
  }
  return nullptr;
}

const InterfaceInfo* FindInterface(std::string_view name) noexcept {
  if (!name.empty() && name.front() == '_') name.remove_prefix(1);
  for (const ClassInfo& c : kClasses) {
    if (NamesMatch(c.own_interface->class_name, name)) return c.own_interface;
  }
  return nullptr;
}

const InterfaceInfo* FindInterface(const Guid& interfaceId) noexcept {
  for (const ClassInfo& c : kClasses) {
    if (c.own_interface->id == interfaceId) return c.own_interface;
  }
  return nullptr;
}

const ClassInfo* ClassOf(const Ref<Object>& object) {
  if (!object) return nullptr;
  const Object& target = *object;
  const std::type_info& type = typeid(target);
  for (const ClassInfo& c : kClasses) {
    if (c.exact_type && *c.exact_type == type) return &c;
  }
  // A client's own class, or a library class known only by its interface: the most derived
  // public class comes later in the table than the classes it builds on.
  for (auto c = std::rbegin(kClasses); c != std::rend(kClasses); ++c) {
    if (IsPublic(*c) && c->own_interface->cast(object.get())) return &*c;
  }
  return nullptr;
}

}  // namespace velmira
