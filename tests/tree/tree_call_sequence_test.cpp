// The trees' loops make exactly the element calls of the recursive formulation, in its order.
//
// A small recursive reference, written straight from that formulation, runs the same operations
// on a twin set of logging elements; after every operation both logs and both shapes must agree.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "capture.h"
#include "tree_test_support.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"

namespace velmira {
namespace {

/// Every element call made on the elements that share it, and an optional failure.
struct CallLog {
  std::vector<std::string> calls;
  /// The call, as it would be logged, that throws instead of doing its work; empty for none.
  std::string fail_on;
};

/// A client element named by its integer key that logs each call it receives (without its slot,
/// which tests keep fixed) and can be told to fail one of them.
class LoggingTreeNode : public ITreeNode {
 public:
  LoggingTreeNode(CallLog* log, int key) : log_(log), key_(key) {}
  int key() const { return key_; }

  Variant Key(std::int32_t) override {
    Note(Name() + ".Key");
    return key_;
  }
  Ref<ITreeNode> Left(std::int32_t) override {
    Note(Name() + ".Left");
    return left_;
  }
  void SetLeft(std::int32_t, const Ref<ITreeNode>& Value) override {
    Note(Name() + ".SetLeft(" + NameOf(Value) + ")");
    left_ = Value;
  }
  Ref<ITreeNode> Right(std::int32_t) override {
    Note(Name() + ".Right");
    return right_;
  }
  void SetRight(std::int32_t, const Ref<ITreeNode>& Value) override {
    Note(Name() + ".SetRight(" + NameOf(Value) + ")");
    right_ = Value;
  }

  /// Links without logging, for building and reading shapes.
  Ref<ITreeNode> left_, right_;

 private:
  std::string Name() const { return std::to_string(key_); }
  static std::string NameOf(const Ref<ITreeNode>& n) {
    return n ? static_cast<const LoggingTreeNode*>(n.get())->Name() : "-";
  }
  void Note(std::string call) {
    if (call == log_->fail_on) throw std::runtime_error("failed: " + call);
    log_->calls.push_back(std::move(call));
  }

  CallLog* log_;
  int key_;
};

/// The recursive formulation of both trees, over slot 0.
class RecursiveTree {
 public:
  explicit RecursiveTree(bool splay) : splay_(splay) {}

  bool Exists(const Variant& key) {
    if (!splay_) return static_cast<bool>(Item(key));
    if (IsNull(key) || !root) return false;
    root = Splay(root, key);
    return Equal(key, root->Key(0));
  }
  Ref<ITreeNode> Item(const Variant& key) {
    if (splay_) return Exists(key) ? root : Ref<ITreeNode>();
    if (IsNull(key) || !root) return Nothing;
    for (Ref<ITreeNode> n = root; n;) {
      const Variant k = n->Key(0);
      if (Equal(key, k)) return n;
      n = Less(key, k) ? n->Left(0) : n->Right(0);
    }
    return Nothing;
  }
  void Add(const Ref<ITreeNode>& node) {
    if (IsNull(node->Key(0))) return;
    const bool left = static_cast<bool>(node->Left(0));
    const bool right = static_cast<bool>(node->Right(0));
    if (left || right) return;
    if (splay_) {
      root = SplayInsert(root, node);
    } else if (!root) {
      root = node;
    } else {
      PlainInsert(root, node);
    }
  }
  void Remove(const Variant& key) {
    if (IsNull(key) || !root) return;
    root = RemoveNode(root, key);
  }
  void Clear() {
    if (!root) return;
    ClearSubtree(root);
    root = Nothing;
  }

  Ref<ITreeNode> root;

 private:
  void PlainInsert(const Ref<ITreeNode>& n, const Ref<ITreeNode>& node) {
    const Variant nk = node->Key(0), k = n->Key(0);
    if (Greater(nk, k)) {
      if (!n->Right(0)) {
        n->SetRight(0, node);
      } else {
        PlainInsert(n->Right(0), node);
      }
    } else if (Less(nk, k)) {
      if (!n->Left(0)) {
        n->SetLeft(0, node);
      } else {
        PlainInsert(n->Left(0), node);
      }
    }
  }
  static Ref<ITreeNode> RotateLeft(const Ref<ITreeNode>& n) {
    Ref<ITreeNode> x = n->Right(0);
    n->SetRight(0, x->Left(0));
    x->SetLeft(0, n);
    return x;
  }
  static Ref<ITreeNode> RotateRight(const Ref<ITreeNode>& n) {
    Ref<ITreeNode> y = n->Left(0);
    n->SetLeft(0, y->Right(0));
    y->SetRight(0, n);
    return y;
  }
  Ref<ITreeNode> Splay(const Ref<ITreeNode>& n, const Variant& key) {
    const Variant k = n->Key(0);
    if (Greater(key, k)) {
      Ref<ITreeNode> c = n->Right(0);
      if (!c) return n;
      n->SetRight(0, Splay(c, key));
      return RotateLeft(n);
    }
    if (Less(key, k)) {
      Ref<ITreeNode> c = n->Left(0);
      if (!c) return n;
      n->SetLeft(0, Splay(c, key));
      return RotateRight(n);
    }
    return n;
  }
  Ref<ITreeNode> SplayInsert(const Ref<ITreeNode>& n, const Ref<ITreeNode>& node) {
    if (!n) return node;
    const Variant nk = node->Key(0), k = n->Key(0);
    if (Greater(nk, k)) {
      n->SetRight(0, SplayInsert(n->Right(0), node));
      return RotateLeft(n);
    }
    if (Less(nk, k)) {
      n->SetLeft(0, SplayInsert(n->Left(0), node));
      return RotateRight(n);
    }
    return n;
  }
  Ref<ITreeNode> RemoveNode(const Ref<ITreeNode>& n, const Variant& key) {
    if (!n) return Nothing;
    const Variant k = n->Key(0);
    Ref<ITreeNode> l = n->Left(0), r = n->Right(0);
    if (Greater(key, k)) {
      n->SetRight(0, RemoveNode(r, key));
      return n;
    }
    if (Less(key, k)) {
      n->SetLeft(0, RemoveNode(l, key));
      return n;
    }
    if (!l && !r) return Nothing;
    if (!l) {
      n->SetRight(0, Nothing);
      return r;
    }
    if (!r) {
      n->SetLeft(0, Nothing);
      return l;
    }
    if (splay_) {
      Ref<ITreeNode> m = Splay(l, key);
      m->SetRight(0, r);
      n->SetLeft(0, Nothing);
      n->SetRight(0, Nothing);
      return m;
    }
    if (!l->Right(0)) {
      l->SetRight(0, r);
      n->SetLeft(0, Nothing);
      n->SetRight(0, Nothing);
      return l;
    }
    if (!r->Left(0)) {
      r->SetLeft(0, l);
      n->SetLeft(0, Nothing);
      n->SetRight(0, Nothing);
      return r;
    }
    Ref<ITreeNode> p = r, s = r->Left(0);
    while (s->Left(0)) {
      p = s;
      s = s->Left(0);
    }
    p->SetLeft(0, s->Right(0));
    s->SetLeft(0, l);
    s->SetRight(0, r);
    n->SetLeft(0, Nothing);
    n->SetRight(0, Nothing);
    return s;
  }
  void ClearSubtree(const Ref<ITreeNode>& n) {
    if (Ref<ITreeNode> l = n->Left(0)) {
      ClearSubtree(l);
      n->SetLeft(0, Nothing);
    }
    if (Ref<ITreeNode> r = n->Right(0)) {
      ClearSubtree(r);
      n->SetRight(0, Nothing);
    }
  }

  bool splay_;
};

/// Logging elements with keys 0..size-1, sharing one log.
struct Twin {
  explicit Twin(int size) {
    for (int k = 0; k < size; ++k) nodes.push_back(New<LoggingTreeNode>(&log, k));
  }
  std::vector<std::string> Take() { return std::exchange(log.calls, {}); }
  CallLog log;
  std::vector<Ref<LoggingTreeNode>> nodes;
};

/// The shape under `n`, read without logging.
std::string ShapeOf(const Ref<ITreeNode>& n) {
  if (!n) return "";
  auto* e = static_cast<LoggingTreeNode*>(n.get());
  const std::string key = std::to_string(e->key());
  return e->left_ || e->right_ ? key + "(" + ShapeOf(e->left_) + "," + ShapeOf(e->right_) + ")"
                               : key;
}

class CallSequence : public testing::VelmiraTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CallSequence, LoopsMatchTheRecursiveFormulationOnRandomWorkloads) {
  const bool splay = GetParam();
  constexpr int kKeys = 24;
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 random(seed);
    Twin ours(kKeys), theirs(kKeys);
    Ref<Tree> tree = splay ? Ref<Tree>(New<SplayTree>()) : New<Tree>();
    RecursiveTree reference(splay);
    for (int step = 0; step < 80; ++step) {
      const int key = static_cast<int>(random() % (kKeys + 4));  // some keys are never added
      const int what = static_cast<int>(random() % 10);
      std::string op;
      if (what < 4 && key < kKeys) {
        op = "Add";
        // Only elements that are free can be added again; the checks refuse the others.
        tree->Add(ours.nodes[key]);
        reference.Add(theirs.nodes[key]);
      } else if (what < 7) {
        op = "Remove";
        tree->Remove(key);
        reference.Remove(key);
      } else if (what < 9) {
        op = "Exists";
        EXPECT_EQ(tree->Exists(key), reference.Exists(key));
      } else {
        op = "Item";
        Ref<ITreeNode> a = tree->Item(key), b = reference.Item(key);
        EXPECT_EQ(static_cast<bool>(a), static_cast<bool>(b));
      }
      ASSERT_EQ(ours.Take(), theirs.Take())
          << "seed " << seed << " step " << step << ": " << op << " " << key;
      ASSERT_EQ(ShapeOf(testing::RootOf(tree)), ShapeOf(reference.root));
      ours.Take();  // RootOf's walk reads links: not part of the comparison
    }
    tree->Clear();
    reference.Clear();
    ASSERT_EQ(ours.Take(), theirs.Take()) << "seed " << seed << ": Clear";
  }
}

INSTANTIATE_TEST_SUITE_P(Trees, CallSequence, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "SplayTree" : "Tree"; });

using CallSequenceByHand = testing::VelmiraTest;

TEST_F(CallSequenceByHand, SplayOfTheDeepestElementRotatesEachLevelOnTheWayBack) {
  Twin twin(4);
  Ref<SplayTree> tree = New<SplayTree>();
  for (int k : {1, 2, 3}) tree->Add(twin.nodes[k]);  // the chain 3(2(1,),)
  twin.Take();
  EXPECT_TRUE(tree->Exists(1));
  EXPECT_EQ(twin.Take(),
            (std::vector<std::string>{"3.Key", "3.Left", "2.Key", "2.Left", "1.Key",  // descend
                                      "2.SetLeft(1)", "2.Left", "1.Right", "2.SetLeft(-)",
                                      "1.SetRight(2)",  // rotate at 2
                                      "3.SetLeft(1)", "3.Left", "1.Right", "3.SetLeft(2)",
                                      "1.SetRight(3)",  // rotate at 3
                                      "1.Key"}));       // the answer
  EXPECT_EQ(ShapeOf(testing::RootOf(tree)), "1(,3(2,))");
}

TEST_F(CallSequenceByHand, FailureMidRotationLeavesTheRootWhereItWas) {
  Twin twin(4);
  Ref<SplayTree> tree = New<SplayTree>();
  for (int k : {1, 2, 3}) tree->Add(twin.nodes[k]);  // 3(2(1,),)
  twin.log.fail_on = "3.SetLeft(1)";
  EXPECT_THROW(tree->Exists(1), std::runtime_error);
  twin.log.fail_on.clear();
  // The rotation at 2 had completed; the root was not reassigned.
  EXPECT_EQ(ShapeOf(twin.nodes[3]), "3(2,)");
  EXPECT_EQ(ShapeOf(twin.nodes[1]), "1(,2)");
  EXPECT_TRUE(Is(testing::RootOf(tree), twin.nodes[3]));
}

TEST_F(CallSequenceByHand, TeardownIgnoresAFailureAndReleasesTheRoot) {
  Twin twin(8);
  {
    Ref<Tree> tree = New<Tree>();
    for (int k : {4, 2, 6, 1, 3}) tree->Add(twin.nodes[k]);
    twin.log.fail_on = "2.SetLeft(-)";
    EXPECT_NO_THROW(tree.reset());
  }
  twin.log.fail_on.clear();
  EXPECT_FALSE(twin.nodes[1]->left_ || twin.nodes[1]->right_);
  EXPECT_TRUE(Is(twin.nodes[2]->left_, twin.nodes[1]));   // the failed reset
  EXPECT_TRUE(Is(twin.nodes[2]->right_, twin.nodes[3]));  // not reached
  EXPECT_TRUE(Is(twin.nodes[4]->left_, twin.nodes[2]));
}

}  // namespace
}  // namespace velmira
