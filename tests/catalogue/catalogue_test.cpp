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

/// Every row of every public interface is one a caller can reach and call: found again by its
/// identifier and kind, with a body, its parameters in the order the dispatcher expects.
TEST_F(CatalogueTest, EveryMemberRowIsReachableAndWellFormed) {
  for (const ClassInfo& c : Classes()) {
    EXPECT_EQ(c.own_interface->members.empty(), c.instancing == Instancing::Private) << c.name;
    for (const InterfaceInfo* iface : c.Interfaces()) {
      EXPECT_EQ(iface->cast == nullptr, iface->members.empty()) << iface->name;
      // The index by identifier answers as a walk of the rows does, absent identifiers too.
      for (std::int32_t id = -1; id < 64; ++id) {
        for (CallKind k : {CallKind::PropertyGet, CallKind::PropertyLet, CallKind::PropertySet,
                           CallKind::Method}) {
          EXPECT_EQ(iface->Find(id, k), detail::ScanForRow(iface->members, id, k)) << id;
        }
      }
      for (const MemberInfo& m : iface->members) {
        SCOPED_TRACE(std::string(iface->name) + "." + std::string(m.name));
        EXPECT_EQ(iface->Find(m.dispatch_id, m.kind), &m);  // no row hides another
        EXPECT_NE(m.body, nullptr);
        const bool assigns = m.kind == CallKind::PropertyLet || m.kind == CallKind::PropertySet;
        EXPECT_EQ(m.result.kind == ValueType::None, m.result.name.empty());
        EXPECT_TRUE(m.kind != CallKind::PropertyGet || m.result.kind != ValueType::None);
        EXPECT_TRUE(!assigns || m.result.kind == ValueType::None);
        EXPECT_TRUE(!assigns || m.param_count > 0);  // the new value
        bool optional_seen = false;
        for (std::size_t i = 0; i < m.param_count; ++i) {
          const ParamInfo& p = m.Params()[i];
          EXPECT_TRUE(!p.param_array || i + 1 == m.param_count);
          EXPECT_TRUE(p.optional || p.param_array || !optional_seen);
          optional_seen |= p.optional;
        }
      }
    }
  }
}

/// Clients index members by slot and cache dispatch identifiers, so both stay as published.
TEST_F(CatalogueTest, MembersKeepTheirPublishedSlotsAndIdentifiers) {
  const std::pair<const char*, const char*> published[] = {
      {"Stack", "1 Index,1 Index,2 IsEmpty,3 Top,4 Push,5 Pop,6 Add,7 Drop,8 Clear"},
      {"List",
       "1 Index,1 Index,2 IsEmpty,3 First,4 Last,5 NextItem,6 PrevItem,7 Add,8 AddBefore,"
       "9 AddAfter,10 Remove,11 Clear,12 NewEnum,13 Item,14 Count"},
      {"Tree", "1 Index,1 Index,2 IsEmpty,3 Exists,0 Item,4 Add,5 Remove,6 Clear,7 NewEnum"},
      {"SplayTree", "1 Index,1 Index,2 IsEmpty,3 Exists,8 Item,4 Add,5 Remove,6 Clear,7 NewEnum"},
      {"IListNode", "1 NextItem,1 NextItem,2 PrevItem,2 PrevItem,3 Tag,3 Tag"},
      {"ITreeNode", "1 Key,2 Left,2 Left,3 Right,3 Right"},
      {"TreeNode",
       "1 Value,1 Value,1 Value,2 Tag,2 Tag,2 Tag,3 Flags,3 Flags,3 Flags,4 Data,"
       "4 Data,4 Data,5 Key,5 Key"}};
  auto slots = [](const InterfaceInfo& iface, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < iface.members.size(); ++i) {
      const MemberInfo& m = iface.members[i];
      text += (text.empty() ? "" : ",") + std::to_string(m.dispatch_id) + " " + std::string(m.name);
    }
    return text;
  };
  for (const auto& [name, slots_published] : published) {
    EXPECT_EQ(slots(*FindInterface(name), 0), slots_published) << name;
  }
  // The debugger's sixteen settings, a get and a let each with its description, then the rest;
  // NoDebugger's own interface lists them without descriptions and puts Output last.
  const std::pair<std::string_view, std::string_view> settings[] = {
#define VELMIRA_SETTING_ROW(Name, Description) {#Name, Description},
      VELMIRA_DEBUGGER_SETTINGS(VELMIRA_SETTING_ROW)
#undef VELMIRA_SETTING_ROW
  };
  const InterfaceInfo& debugger = *FindInterface("Debugger");
  const InterfaceInfo& none = *FindInterface("NoDebugger");
  for (std::size_t i = 0; i < 2 * std::size(settings); ++i) {
    const auto& [name, description] = settings[i / 2];
    for (const InterfaceInfo* iface : {&debugger, &none}) {
      const MemberInfo& m = iface->members[i];
      EXPECT_EQ(m.name, name);
      EXPECT_EQ(m.dispatch_id, static_cast<std::int32_t>(i / 2 + 1)) << name;
      EXPECT_EQ(m.kind, i % 2 ? CallKind::PropertyLet : CallKind::PropertyGet) << name;
      EXPECT_EQ(m.description, iface == &debugger ? description : "") << name;
    }
  }
  EXPECT_EQ(slots(debugger, 32),
            "17 OutputFile,17 OutputFile,18 Output,19 Assert,20 ClearCounters,21 Enter,22 Leave,"
            "23 Acquire,24 Release,25 Report");
  EXPECT_EQ(slots(none, 32),
            "17 OutputFile,17 OutputFile,20 ClearCounters,19 Assert,21 Enter,22 Leave,"
            "23 Acquire,24 Release,25 Report,18 Output");
  EXPECT_EQ(none.members[36].Params()[0].name, "Proc");
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
    const auto refused = Throws<Error>(
        AllOf(Property(&Error::Number, kErrCantCreateObject),
              Property(&Error::what, HasSubstr(ErrorText(kErrCantCreateObject, refusal)))));
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
