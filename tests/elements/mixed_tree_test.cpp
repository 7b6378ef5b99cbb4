// Trees whose elements are partly client elements and partly building blocks, whose links the
// trees reach without calls: the client elements must receive exactly the calls, in exactly the
// order, that they receive in a tree of client elements only, and the shapes must be the same.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "capture.h"
#include "velmira/elements/links.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"
#include "velmira/tree/tree_enum.h"

namespace velmira {
namespace {

/// A block element with an integer key.
class KeyedBlock : public TreeLinks<> {
 public:
  explicit KeyedBlock(std::int32_t key) : key_(key) {}
  Variant Key(std::int32_t) override { return key_; }
  std::int32_t key() const { return key_; }

 private:
  std::int32_t key_;
};

/// A client element logging "key.Member(argument) " for every call, arguments named by key.
class LoggingClient : public ITreeNode {
 public:
  LoggingClient(std::int32_t key, std::string* log) : key_(key), log_(log) {}
  Variant Key(std::int32_t) override { return Note("Key"), key_; }
  Ref<ITreeNode> Left(std::int32_t) override { return Note("Left"), left_; }
  Ref<ITreeNode> Right(std::int32_t) override { return Note("Right"), right_; }
  void SetLeft(std::int32_t, const Ref<ITreeNode>& v) override { Note("SetLeft", &v), left_ = v; }
  void SetRight(std::int32_t, const Ref<ITreeNode>& v) override {
    Note("SetRight", &v), right_ = v;
  }
  std::int32_t key() const { return key_; }

 private:
  void Note(const char* member, const Ref<ITreeNode>* argument = nullptr) {
    *log_ += std::to_string(key_) + "." + member;
    if (argument) *log_ += "(" + NameOf(*argument) + ")";
    *log_ += " ";
  }
  /// The key of a test element, read without calling it; "-" for Nothing.
  static std::string NameOf(const Ref<ITreeNode>& e) {
    if (!e) return "-";
    if (const auto* client = dynamic_cast<const LoggingClient*>(e.get())) {
      return std::to_string(client->key());
    }
    return std::to_string(dynamic_cast<const KeyedBlock&>(*e).key());
  }
  std::int32_t key_;
  std::string* log_;
  Ref<ITreeNode> left_, right_;
};

/// Keys 0..size-1; with `mixed`, the odd keys are blocks. Cuts the links when it goes.
struct World {
  World(int size, bool mixed) {
    for (int k = 0; k < size; ++k) {
      if (mixed && k % 2 == 1) {
        nodes.push_back(New<KeyedBlock>(k));
      } else {
        nodes.push_back(New<LoggingClient>(k, &log));
      }
    }
  }
  ~World() {
    for (const auto& n : nodes) n->SetLeft(0, Nothing), n->SetRight(0, Nothing);
  }
  std::string Take() { return std::exchange(log, {}); }
  std::string log;
  std::vector<Ref<ITreeNode>> nodes;
};

/// The shape under `root`, "50(30(20,40),70)": key(left,right), empties left out.
std::string Shape(const Ref<ITreeNode>& root) {
  if (!root) return "";
  const std::string key = std::to_string(root->Key(0).Int32Value());
  const Ref<ITreeNode> l = root->Left(0), r = root->Right(0);
  return l || r ? key + "(" + Shape(l) + "," + Shape(r) + ")" : key;
}
std::string Shape(const Ref<Tree>& tree) {
  Ref<TreeEnum> walk = tree->NewEnum();
  walk->SetOrder(eTreeEnumPreOrder);
  return Shape(walk->NextItem());
}

Ref<Tree> MakeTree(bool splay) { return splay ? Ref<Tree>(New<SplayTree>()) : New<Tree>(); }

/// The calls of `log` made on elements with even keys.
std::string CallsOnEvenKeys(const std::string& log) {
  std::istringstream calls(log);
  std::string kept;
  for (std::string call; calls >> call;) {
    if (std::stoi(call) % 2 == 0) kept += call + " ";
  }
  return kept;
}

class MixedElements : public testing::VelmiraTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MixedElements, ClientElementsGetTheCallsOfAnAllClientTree) {
  constexpr int kKeys = 24;
  for (unsigned seed = 1; seed <= 30; ++seed) {
    std::mt19937 random(seed);
    Ref<Tree> clients = MakeTree(GetParam()), mixed = MakeTree(GetParam());
    World all(kKeys, false), some(kKeys, true);
    for (int step = 0; step < 80; ++step) {
      const int key = random() % (kKeys + 4), what = random() % 10;  // some keys never added
      if (what < 4 && key < kKeys) {
        clients->Add(all.nodes[key]), mixed->Add(some.nodes[key]);
      } else if (what < 7) {
        clients->Remove(key), mixed->Remove(key);
      } else if (what < 9) {
        EXPECT_EQ(clients->Exists(key), mixed->Exists(key));
      } else {
        EXPECT_EQ(clients->Item(key) == Nothing, mixed->Item(key) == Nothing);
      }
      ASSERT_EQ(CallsOnEvenKeys(all.Take()), some.Take()) << "seed " << seed << " step " << step;
      ASSERT_EQ(Shape(clients), Shape(mixed));
      all.Take(), some.Take();  // reading the shapes is not part of the comparison
    }
    clients->Clear(), mixed->Clear();
    ASSERT_EQ(CallsOnEvenKeys(all.Take()), some.Take()) << "seed " << seed << ": Clear";
  }
}

INSTANTIATE_TEST_SUITE_P(Trees, MixedElements, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "SplayTree" : "Tree"; });

}  // namespace
}  // namespace velmira
