// The object browser's view of the catalogue, as text: what `velmira-browse` prints.
//
//   std::cout << DescribeCatalogue();                        // the library and every class
//   std::cout << DescribeClass(*FindClass("Velmira.Tree"));  // one class, member by member
//
// A member is shown as its dispatch identifier, kind, name, parameters and result, with its
// description on the next line when it has one:
//   [3] get Exists(ref Key: Variant) -> Boolean
//       True if an item with the given key is present in the tree.
#pragma once

#include <string>

#include "velmira/registry/catalogue.h"
#include "velmira/registry/member_info.h"

namespace velmira {

/// One line: "method Push(ref Node: IStackNode)", "get Index() -> Int32".
std::string MemberSignature(const MemberInfo& member);
/// An interface's name and identifier, then each member with its description.
std::string DescribeInterface(const InterfaceInfo& iface);
/// A class: name, instancing, description, identifier, then each interface it implements.
std::string DescribeClass(const ClassInfo& info);
/// The library record, every class with its instancing and description, and the enumerations.
std::string DescribeCatalogue();

}  // namespace velmira
