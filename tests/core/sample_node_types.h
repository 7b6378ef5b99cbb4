// Test support for the sample element tests: the five classes as one typed-test list, each with
// its interface and its link members, and a probe object that records its own destruction.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>

#include "velmira/core/list_node.h"
#include "velmira/core/pqueue_node.h"
#include "velmira/core/queue_node.h"
#include "velmira/core/stack_node.h"
#include "velmira/core/tree_node.h"

namespace velmira::testing {

/// One link member of an element interface: its get and its set.
template <class I>
struct LinkMember {
  const char* name;
  Ref<I> (I::*get)(std::int32_t);
  void (I::*set)(std::int32_t, const Ref<I>&);
};

/// Per class: `Interface`, `kLinks` (every link member), and `kKey` for the keyed interfaces.
template <class N>
struct SampleTraits;

template <>
struct SampleTraits<StackNode> {
  using Interface = IStackNode;
  static constexpr std::array<LinkMember<IStackNode>, 1> kLinks{
      {{"NextItem", &IStackNode::NextItem, &IStackNode::SetNextItem}}};
};

template <>
struct SampleTraits<QueueNode> {
  using Interface = IQueueNode;
  static constexpr std::array<LinkMember<IQueueNode>, 1> kLinks{
      {{"NextItem", &IQueueNode::NextItem, &IQueueNode::SetNextItem}}};
};

template <>
struct SampleTraits<PQueueNode> {
  using Interface = IPQueueNode;
  static constexpr std::array<LinkMember<IPQueueNode>, 1> kLinks{
      {{"NextItem", &IPQueueNode::NextItem, &IPQueueNode::SetNextItem}}};
  static constexpr Variant (IPQueueNode::*kKey)(std::int32_t) = &IPQueueNode::Key;
};

template <>
struct SampleTraits<ListNode> {
  using Interface = IListNode;
  static constexpr std::array<LinkMember<IListNode>, 3> kLinks{
      {{"NextItem", &IListNode::NextItem, &IListNode::SetNextItem},
       {"PrevItem", &IListNode::PrevItem, &IListNode::SetPrevItem},
       {"Tag", &IListNode::Tag, &IListNode::SetTag}}};
};

template <>
struct SampleTraits<TreeNode> {
  using Interface = ITreeNode;
  static constexpr std::array<LinkMember<ITreeNode>, 2> kLinks{
      {{"Left", &ITreeNode::Left, &ITreeNode::SetLeft},
       {"Right", &ITreeNode::Right, &ITreeNode::SetRight}}};
  static constexpr Variant (ITreeNode::*kKey)(std::int32_t) = &ITreeNode::Key;
};

template <class N>
concept KeyedSample = requires {
  SampleTraits<N>::kKey;
};

/// Reads a link through the element interface, as a container does.
template <class N, class I>
Ref<I> GetLink(const Ref<N>& node, const LinkMember<I>& member, std::int32_t slot) {
  I* as_interface = node.get();
  return (as_interface->*member.get)(slot);
}

/// Writes a link through the element interface, as a container does.
template <class N, class I>
void SetLink(const Ref<N>& node, const LinkMember<I>& member, std::int32_t slot,
             const Ref<I>& value) {
  I* as_interface = node.get();
  (as_interface->*member.set)(slot, value);
}

using SampleNodeTypes = ::testing::Types<StackNode, QueueNode, PQueueNode, ListNode, TreeNode>;
using KeyedSampleNodeTypes = ::testing::Types<PQueueNode, TreeNode>;

/// The slot numbers every per-slot test runs over: small, negative and both extremes.
inline constexpr std::array<std::int32_t, 6> kSlots{0,
                                                    1,
                                                    2,
                                                    -1,
                                                    std::numeric_limits<std::int32_t>::max(),
                                                    std::numeric_limits<std::int32_t>::min()};

/// Counts its own destructions, so a test sees exactly when the last reference went away.
class Probe : public virtual Object {
 public:
  explicit Probe(int* destroyed) : destroyed_(destroyed) {}

 protected:
  ~Probe() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

}  // namespace velmira::testing
