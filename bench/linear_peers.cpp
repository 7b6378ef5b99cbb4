// The element classes of linear_peers.h. Kept out of the benchmarks' translation unit and
// non-final, so that every call through an element interface stays a virtual call.
#include "linear_peers.h"

namespace velmira::bench {

FloorNode::~FloorNode() = default;
FloorKeyedNode::~FloorKeyedNode() = default;

class ClientStackNode : public IStackNode {
 public:
  Ref<IStackNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const Ref<IStackNode>& Value) override { next_ = Value; }

 private:
  Ref<IStackNode> next_;
};

class ClientQueueNode : public IQueueNode {
 public:
  Ref<IQueueNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const Ref<IQueueNode>& Value) override { next_ = Value; }

 private:
  Ref<IQueueNode> next_;
};

class ClientPQueueNode : public IPQueueNode {
 public:
  explicit ClientPQueueNode(std::int32_t key) : key_(key) {}
  Variant Key(std::int32_t) override { return key_; }
  Ref<IPQueueNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const Ref<IPQueueNode>& Value) override { next_ = Value; }

 private:
  std::int32_t key_;
  Ref<IPQueueNode> next_;
};

class FloorElement : public FloorNode {
 public:
  FloorRef<FloorNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const FloorRef<FloorNode>& Value) override { next_ = Value; }

 private:
  FloorRef<FloorNode> next_;
};

class FloorKeyedElement : public FloorKeyedNode {
 public:
  explicit FloorKeyedElement(std::int32_t key) : key_(key) {}
  Variant Key(std::int32_t) override { return key_; }
  FloorRef<FloorKeyedNode> NextItem(std::int32_t) override { return next_; }
  void SetNextItem(std::int32_t, const FloorRef<FloorKeyedNode>& Value) override { next_ = Value; }

 private:
  std::int32_t key_;
  FloorRef<FloorKeyedNode> next_;
};

Ref<IStackNode> NewClientStackNode() { return New<ClientStackNode>(); }
Ref<IQueueNode> NewClientQueueNode() { return New<ClientQueueNode>(); }
Ref<IPQueueNode> NewClientPQueueNode(std::int32_t key) { return New<ClientPQueueNode>(key); }

FloorRef<FloorNode> NewFloorNode() { return FloorRef<FloorNode>(new FloorElement); }
FloorRef<FloorKeyedNode> NewFloorKeyedNode(std::int32_t key) {
  return FloorRef<FloorKeyedNode>(new FloorKeyedElement(key));
}

ListPayload::ListPayload() = default;
ListPayload::~ListPayload() = default;
std::unique_ptr<ListPayload> NewListPayload() { return std::make_unique<ListPayload>(); }

#if defined(VELMIRA_HAVE_BOOST)
SlistElement::SlistElement() = default;
SlistElement::~SlistElement() = default;
std::unique_ptr<SlistElement> NewSlistElement() { return std::make_unique<SlistElement>(); }
#endif

}  // namespace velmira::bench
