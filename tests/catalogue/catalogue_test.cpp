// The catalogue and the entry points: the library record, the class table, creation by name and
// by identifier with its refusals, factories, unloading, and the identifiers' uniqueness.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "capture.h"
#include "velmira/velmira.h"

namespace velmira {
namespace {

using CatalogueTest = testing::VelmiraTest;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Property;
using ::testing::Throws;

TEST_F(CatalogueTest, LibraryRecord) {
  const LibraryInfo& lib = Library();
  EXPECT_EQ(lib.name, "Velmira");
  EXPECT_EQ(lib.description, "Commonly used objects and data structures");
  EXPECT_EQ(lib.major_version * 10 + lib.minor_version, 11);
  EXPECT_EQ(lib.locale, 0x409u);
  EXPECT_EQ(lib.file_version, "0.00.0021");
}

/// The class table as published: instancing and the interfaces besides the class's own.
TEST_F(CatalogueTest, ClassTable) {
  struct Row {
    const char* name;
    Instancing instancing;
    const char* others;
  };
  constexpr auto C = Instancing::Creatable, N = Instancing::NotCreatable, P = Instancing::Private;
  // clang-format off
  const Row expected[] = {
      {"IStackNode", N, ""}, {"IQueueNode", N, ""}, {"IPQueueNode", N, ""}, {"IListNode", N, ""},
      {"ITreeNode", N, ""}, {"StackNode", C, "_IStackNode"}, {"QueueNode", C, "_IQueueNode"},
      {"PQueueNode", C, "_IPQueueNode"}, {"ListNode", C, "_IListNode"},
      {"TreeNode", C, "_ITreeNode"}, {"Stack", C, ""}, {"Queue", C, ""}, {"PQueue", C, ""},
      {"List", C, ""}, {"ListEnum", N, ""}, {"Tree", C, ""}, {"SplayTree", C, "_Tree"},
      {"TreeEnum", N, ""}, {"Debugger", C, ""}, {"NoDebugger", C, "_Debugger"},
      {"TreeEnumStackNode", P, "_IStackNode"}, {"DebugStackNode", P, "_IStackNode"},
      {"DebugTreeNode", P, "_ITreeNode"}, {"IndexTreeNode", P, "_ITreeNode"}};
  // clang-format on
  ASSERT_EQ(Classes().size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const ClassInfo& c = Classes()[i];
    EXPECT_EQ(c.name, expected[i].name);
    EXPECT_EQ(c.qualified_name, "Velmira." + std::string(expected[i].name));
    EXPECT_EQ(c.instancing, expected[i].instancing) << c.name;
    EXPECT_EQ(c.own_interface->name, "_" + std::string(c.name));
    std::string others;
    for (const InterfaceInfo* i : c.other_interfaces) others += i->name;
    EXPECT_EQ(others, expected[i].others) << c.name;
    EXPECT_EQ(c.description.empty(), c.instancing == Instancing::Private) << c.name;
    if (c.instancing != Instancing::Private) {
      EXPECT_EQ(c.description.substr(0, c.qualified_name.size() + 1),
                std::string(c.qualified_name) + " ")
          << c.name;
    }
  }
  EXPECT_EQ(FindClass("Velmira.TreeNode")->description,
            "Velmira.TreeNode provides a sample implementation of the TreeNode interface.");
  EXPECT_EQ(FindClass("Velmira.SplayTree")->description,
            "Velmira.SplayTree implements the Tree interface using a splay tree, a type of binary "
            "search tree that adjusts itself so that frequently accessed items may be found more "
            "quickly.");
  ASSERT_EQ(Enumerations().size(), 2u);
  std::string constants;
  for (const EnumInfo& e : Enumerations()) {
    for (const EnumConstant& k : e.constants) {
      constants +=
          std::string(e.name) + "." + std::string(k.name) + "=" + std::to_string(k.value) + " ";
    }
  }
  EXPECT_EQ(constants,
            "ListEnumEnum.eListEnumReverseOrder=-1 ListEnumEnum.eListEnumInOrder=1 "
            "TreeEnumEnum.eTreeEnumPreOrder=-2 TreeEnumEnum.eTreeEnumReverseOrder=-1 "
            "TreeEnumEnum.eTreeEnumInOrder=1 TreeEnumEnum.eTreeEnumPostOrder=2 ");
}

TEST_F(CatalogueTest, IdentifiersAreUniqueAndFindTheirOwners) {
  std::set<std::string> seen = {Library().id.ToString()};
  std::size_t count = 1;
  for (const ClassInfo& c : Classes()) {
    seen.insert(c.class_id.ToString());
    seen.insert(c.own_interface->id.ToString());
    count += 2;
    EXPECT_EQ(FindClass(c.class_id), &c);
    EXPECT_EQ(FindInterface(c.own_interface->id), c.own_interface);
    EXPECT_EQ(Guid::FromString(c.class_id.ToString()), c.class_id);
    std::set<std::string> names;  // one dispatch identifier per member name, unique
    std::set<std::int32_t> ids;
    for (const MemberInfo& m : c.own_interface->members) {
      if (names.insert(std::string(m.name)).second) {
        EXPECT_TRUE(ids.insert(m.dispatch_id).second) << c.name << "." << m.name;
      }
      EXPECT_EQ(c.own_interface->DispatchIdOf(m.name), m.dispatch_id);
    }
  }
  EXPECT_EQ(seen.size(), count);
  EXPECT_FALSE(Guid::FromString("{03C8EE84-25C8-412E-A165-1292ED1D411}"));
  EXPECT_FALSE(Guid::FromString("03c8ee84x25c8-412e-a165-1292ed1d4118"));
}

TEST_F(CatalogueTest, EveryCreatableClassIsCreatedByNameInAnyCaseAndById) {
  for (const ClassInfo& c : Classes()) {
    if (c.instancing != Instancing::Creatable) continue;
    std::string lower(c.qualified_name);
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (const Ref<Object>& made :
         {CreateObject(c.qualified_name), CreateObject(lower), CreateObject(c.class_id),
          GetClassObject(c.class_id)->CreateInstance()}) {
      ASSERT_TRUE(made);
      EXPECT_EQ(ClassOf(made), &c);
    }
  }
  ExpectSilence();
}

TEST_F(CatalogueTest, RefusedNamesRaise429NamingWhatWasAsked) {
  // The name asked for, then why it was refused.
  // clang-format off
  const char* const refusals[] = {
      "Velmira.IStackNode is not creatable", "Velmira.ITreeNode is not creatable",
      "Velmira.ListEnum is not creatable", "Velmira.TreeEnum is not creatable",
      "Velmira.IndexTreeNode is private", "Velmira.DebugTreeNode is private",
      "Velmira.DebugStackNode is private", "velmira.treeenumstacknode is private",
      "Velmira.Heap is not a class", "Stack is not a class", " is not a class",
      "Velmira.Stack  is not a class"};
  // clang-format on
  for (const std::string refusal : refusals) {
    const std::string name = refusal.substr(0, refusal.rfind(" is "));
    const auto refused = Throws<Error>(AllOf(Property(&Error::Number, kErrCantCreateObject),
                                             Property(&Error::what, HasSubstr(refusal))));
    EXPECT_THAT([&] { CreateObject(name); }, refused);
    EXPECT_THAT([&] { GetClassObject(name); }, refused);
  }
  EXPECT_THROW(CreateObject(Guid{}), Error);
  EXPECT_THROW(CreateObject(FindClass("Velmira.ListEnum")->class_id), Error);
}

TEST_F(CatalogueTest, CanUnloadOnlyWhenNoObjectLivesAndNoFactoryIsLocked) {
  ASSERT_TRUE(CanUnloadNow());
  Ref<Object> object = CreateObject("Velmira.TreeNode");
  EXPECT_FALSE(CanUnloadNow());
  object.reset();
  EXPECT_TRUE(CanUnloadNow());

  // The usual in-process server pattern: lock through one factory and let it go, then unlock
  // through another factory of the same class. Locks are the library's, so the second undoes
  // the first, and the released factory does not stay alive.
  Ref<ClassFactory> factory = GetClassObject("Velmira.Stack");
  EXPECT_FALSE(CanUnloadNow());
  factory->LockServer(true);
  factory->LockServer(true);
  factory.reset();
  EXPECT_EQ(LiveObjectCount(), 0);
  EXPECT_FALSE(CanUnloadNow());  // the locks keep the library
  Ref<ClassFactory> other = GetClassObject("Velmira.Queue");
  other->LockServer(false);
  EXPECT_EQ(other->LockCount(), 1);
  other->LockServer(false);
  other->LockServer(false);  // none outstanding: nothing happens
  EXPECT_EQ(other->LockCount(), 0);
  other.reset();
  EXPECT_TRUE(CanUnloadNow());
  other = GetClassObject("Velmira.Queue");
  other->LockServer(true);  // a later lock still counts after the extra unlock
  other.reset();
  EXPECT_FALSE(CanUnloadNow());
  GetClassObject("Velmira.List")->LockServer(false);
  EXPECT_TRUE(CanUnloadNow());
}

}  // namespace
}  // namespace velmira
