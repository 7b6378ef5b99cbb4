// Reliability support: the operations the random driver and the fuzzer run on the model world.
//
//   Op op = MakeOp(t, o, c, a, b, v);   // any bytes make a well-formed operation
//   std::string text = Describe(op);    // "List[1].AddBefore(e3, Nothing, 0)"
#pragma once

#include <cstdint>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "model_keys.h"

namespace velmira::reliability {

using Id = int;
inline constexpr Id kNone = -1;
inline constexpr int kElems = 10, kPerType = 3;
inline constexpr std::int32_t kSlots[] = {0, 1, -1, std::numeric_limits<std::int32_t>::max(),
                                          std::numeric_limits<std::int32_t>::min()};

enum CType : std::uint8_t { cStack, cQueue, cPQueue, cList, cTree, cSplay, kCTypes };
enum Kind : std::uint8_t { kStackKind, kQueueKind, kPQueueKind, kListKind, kTreeKind };
inline Kind KindOf(CType t) { return t == cSplay ? kTreeKind : static_cast<Kind>(t); }
inline const char* const kTypeNames[] = {"Stack", "Queue", "PQueue", "List", "Tree", "SplayTree"};

// clang-format off
enum OpType : std::uint8_t {
  oSetIndex, oRelease, oClear, oAdd, oPush, oTake, oDrop, oRemove, oAddBefore, oAddAfter, oItem,
  oExists, oNext, oPrev, oNewEnum, oEnumNext, oEnumOrder, oStray, oUnstray
};
inline const char* const kOpNames[] = {
  "SetIndex", "Release", "Clear", "Add", "Push", "Take", "Drop", "Remove", "AddBefore", "AddAfter",
  "Item", "Exists", "NextItem", "PrevItem", "NewEnum", "EnumNext", "EnumOrder", "Stray", "Unstray"};

/// The operations each container type takes, repeated to weight them.
inline const std::vector<OpType>& OpsOf(CType t) {
  static const std::vector<OpType> ops[] = {
      {oSetIndex, oRelease, oClear, oAdd, oAdd, oAdd, oPush, oPush, oTake, oTake, oDrop, oStray,
       oUnstray},
      {oSetIndex, oRelease, oClear, oAdd, oAdd, oAdd, oAdd, oTake, oTake, oRemove, oRemove, oStray,
       oUnstray},
      {oSetIndex, oRelease, oClear, oAdd, oAdd, oAdd, oAdd, oTake, oTake, oRemove, oRemove, oStray,
       oUnstray},
      {oSetIndex, oRelease, oClear, oAdd, oAdd, oAdd, oAddBefore, oAddBefore, oAddAfter, oAddAfter,
       oRemove, oRemove, oItem, oNext, oPrev, oNewEnum, oEnumNext, oEnumNext, oEnumNext, oEnumOrder,
       oStray, oUnstray},
      {oSetIndex, oRelease, oClear, oAdd, oAdd, oAdd, oAdd, oRemove, oRemove, oExists, oExists,
       oItem, oNewEnum, oEnumNext, oEnumNext, oEnumNext, oEnumOrder, oStray, oUnstray}};
  return ops[t == cSplay ? cTree : t];
}
// clang-format on

/// One operation; `a` and `b` are element ids (-1 for Nothing), `v` a value whose meaning depends
/// on the operation (a slot, a list position, a key pool index, an order, an enumerator).
struct Op {
  CType t;
  OpType op;
  std::uint8_t c;  // which container of the type
  std::int8_t a, b;
  std::int32_t v;
};

/// Maps raw bytes to a well-formed operation: the random driver and the fuzzer share it.
inline Op MakeOp(std::uint8_t t, std::uint8_t op, std::uint8_t c, std::uint8_t a, std::uint8_t b,
                 std::uint32_t v) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  static const std::int32_t kNumbers[] = {kMin, -1, 0, 1, 2, 3, 4, 5, 7, 9, 10, 11, kMax};
  static const std::int32_t kOrders[] = {-3, -2, -1, 0, 1, 2, 3, kMin};
  const auto type = static_cast<CType>(t % kCTypes);
  const OpType o = OpsOf(type)[op % OpsOf(type).size()];
  auto id = [](std::uint8_t x) { return static_cast<std::int8_t>(x % 12 == 11 ? -1 : x % kElems); };
  const auto key = static_cast<std::int32_t>(v % KeyPool().size());
  const std::int32_t slot = kSlots[v % std::size(kSlots)];
  std::int32_t value = static_cast<std::int32_t>(v % 2);  // an enumerator or link choice
  if (o == oSetIndex || o == oStray) value = slot;
  if (o == oItem) value = type == cList ? kNumbers[v % std::size(kNumbers)] : key;
  if (o == oRemove || o == oExists) value = type >= cTree ? key : slot;
  if (o == oEnumOrder) value = kOrders[v % std::size(kOrders)];
  return {type, o, static_cast<std::uint8_t>(c % kPerType), id(a), id(b), value};
}

inline std::string Describe(const Op& o) {
  auto e = [](int x) { return x < 0 ? std::string("Nothing") : "e" + std::to_string(x); };
  return std::string(kTypeNames[o.t]) + "[" + std::to_string(o.c) + "]." + kOpNames[o.op] + "(" +
         e(o.a) + ", " + e(o.b) + ", " + std::to_string(o.v) + ")";
}

}  // namespace velmira::reliability
