// The trees' loops make exactly the element calls of the recursive formulation, in its order (a
// small recursive reference runs the same operations on twin recording elements; after every
// operation both logs and both shapes must agree).
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "capture.h"
#include "tree_test_support.h"

namespace velmira {
namespace {

using Node = Ref<ITreeNode>;

/// The recursive formulation of both trees, over slot 0. Mirror-image steps share one body, the
/// flag `right` choosing the side; Compare gives 1, -1 or 0 for greater, less or neither.
class RecursiveTree {
 public:
  explicit RecursiveTree(bool splay) : splay_(splay) {}

  Node Item(const Variant& key) {
    if (IsNull(key) || !root) return Nothing;
    if (splay_) return Equal(key, (root = Splay(root, key, Nothing))->Key(0)) ? root : Node();
    for (Node n = root; n;) {
      const Variant k = n->Key(0);
      if (Equal(key, k)) return n;
      n = Child(n, !Less(key, k));
    }
    return Nothing;
  }
  bool Exists(const Variant& key) { return static_cast<bool>(Item(key)); }
  void Add(const Node& node) {
    if (IsNull(node->Key(0))) return;
    const Node l = node->Left(0), r = node->Right(0);
    if (!l && !r) root = splay_ ? Splay(root, Variant(), node) : PlainInsert(root, node);
  }
  void Remove(const Variant& key) {
    if (!IsNull(key) && root) root = RemoveNode(root, key);
  }
  void Clear() {
    if (root) ClearSubtree(root);
    root = Nothing;
  }

  Node root;

 private:
  static int Compare(const Variant& a, const Variant& b) {
    return Greater(a, b) ? 1 : Less(a, b) ? -1 : 0;
  }
  static Node Child(const Node& n, bool right) { return right ? n->Right(0) : n->Left(0); }
  static void SetChild(const Node& n, bool right, const Node& v) {
    right ? n->SetRight(0, v) : n->SetLeft(0, v);
  }
  /// RotateLeft when `right` (the right child comes up), RotateRight otherwise.
  static Node Rotate(const Node& n, bool right) {
    Node x = Child(n, right);
    SetChild(n, right, Child(x, !right));
    SetChild(x, !right, n);
    return x;
  }
  /// The plain InsertNode; returns the subtree's head, `node` for an empty one.
  static Node PlainInsert(const Node& n, const Node& node) {
    if (!n) return node;
    const Variant nk = node->Key(0), k = n->Key(0);
    if (const int side = Compare(nk, k)) {  // n's link is read again when it is not Nothing
      Child(n, side > 0) ? (void)PlainInsert(Child(n, side > 0), node)
                         : SetChild(n, side > 0, node);
    }
    return n;
  }
  /// Splay(n, key) when `node` is Nothing, else the splay tree's InsertNode(n, node).
  static Node Splay(const Node& n, const Variant& key, const Node& node) {
    if (!n) return node;
    const Variant nk = node ? node->Key(0) : key, k = n->Key(0);
    const int side = Compare(nk, k);
    if (side == 0) return n;
    const Node c = Child(n, side > 0);
    if (!c && !node) return n;
    SetChild(n, side > 0, Splay(c, key, node));
    return Rotate(n, side > 0);
  }
  Node RemoveNode(const Node& n, const Variant& key) {
    if (!n) return Nothing;
    const Variant k = n->Key(0);
    const Node l = n->Left(0), r = n->Right(0);
    if (const int side = Compare(key, k)) {
      SetChild(n, side > 0, RemoveNode(side > 0 ? r : l, key));
      return n;
    }
    if (!l || !r) {  // a leaf gives Nothing; a single child takes n's place
      if (l || r) SetChild(n, !l, Nothing);
      return l ? l : r;
    }
    Node m = l;  // the element that takes n's place
    if (splay_) {
      Node last = m = Splay(l, key, Nothing);
      while (Node next = last->Right(0)) last = next;  // keys that do not order strictly
      last->SetRight(0, r);
    } else if (!l->Right(0)) {
      l->SetRight(0, r);
    } else if (!r->Left(0)) {
      (m = r)->SetLeft(0, l);
    } else {
      Node p = r;
      for (m = r->Left(0); m->Left(0); m = m->Left(0)) p = m;
      p->SetLeft(0, m->Right(0));
      m->SetLeft(0, l);
      m->SetRight(0, r);
    }
    n->SetLeft(0, Nothing);
    n->SetRight(0, Nothing);
    return m;
  }
  static void ClearSubtree(const Node& n) {
    for (const bool right : {false, true}) {
      if (const Node c = Child(n, right)) {
        ClearSubtree(c);
        SetChild(n, right, Nothing);
      }
    }
  }

  bool splay_;
};

/// Logging elements with keys 0..size-1, sharing one log, that cut their links when they go. A
/// loop that never ends runs out of calls between two looks at the log.
struct Twin {
  explicit Twin(int size) {
    for (int k = 0; k < size; ++k) nodes.push_back(testing::Keyed(k, &calls));
  }
  ~Twin() {
    for (const auto& n : nodes) n->Unlink();
  }
  std::string Take() { return calls.count = 0, std::exchange(calls.log, {}); }
  testing::ElementCalls calls{true, 1 << 20};
  std::vector<Ref<testing::TreeElement>> nodes;
};

class CallSequence : public testing::VelmiraTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CallSequence, LoopsMatchTheRecursiveFormulationOnRandomWorkloads) {
  constexpr int kKeys = 24;
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 random(seed);
    Ref<Tree> tree = testing::MakeTree(GetParam());  // released last: a failure may leave a cycle
    Twin ours(kKeys), theirs(kKeys);
    RecursiveTree reference(GetParam());
    for (int step = 0; step < 80; ++step) {
      const int key = random() % (kKeys + 4), what = random() % 10;  // some keys never added
      if (what < 4 && key < kKeys)  // elements already in place are refused or found equal
        tree->Add(ours.nodes[key]), reference.Add(theirs.nodes[key]);
      else if (what < 7)
        tree->Remove(key), reference.Remove(key);
      else if (what < 9)
        EXPECT_EQ(tree->Exists(key), reference.Exists(key));
      else
        EXPECT_EQ(tree->Item(key) == Nothing, reference.Item(key) == Nothing);
      ASSERT_EQ(ours.Take(), theirs.Take()) << "seed " << seed << " step " << step;
      ASSERT_EQ(testing::Shape(tree), testing::Shape(reference.root, 0));
      ours.Take(), theirs.Take();  // reading the shapes is not part of the comparison
    }
    tree->Clear();
    reference.Clear();
    ASSERT_EQ(ours.Take(), theirs.Take()) << "seed " << seed << ": Clear";
  }
}

INSTANTIATE_TEST_SUITE_P(Trees, CallSequence, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "SplayTree" : "Tree"; });

/// The splay tree 3(2(1,),) from keys 1 2 3, and the log emptied.
struct SplayChain : testing::VelmiraTest {
  SplayChain() {
    for (int k : {1, 2, 3}) tree->Add(twin.nodes[k]);
    twin.Take();
  }
  Twin twin{4};
  Ref<Tree> tree = New<SplayTree>();
};

TEST_F(SplayChain, ExistsOfTheDeepestElementRotatesEachLevelOnTheWayBack) {
  EXPECT_TRUE(tree->Exists(1));
  EXPECT_EQ(twin.Take(),
            "3k 3L 2k 2L 1k "        // descend
            "2l=1 2L 1R 2l=_ 1r=2 "  // rotate at 2
            "3l=1 3L 1R 3l=2 1r=3 "  // rotate at 3
            "1k");                   // the answer
  EXPECT_EQ(testing::Shape(tree), "1(,3(2,))");
}

TEST_F(SplayChain, FailureMidRotationLeavesTheRootWhereItWas) {
  twin.nodes[3]->fail = "l=1";
  EXPECT_THROW(tree->Exists(1), testing::ElementError);
  EXPECT_EQ(testing::Shape(tree), "3(2,)");  // root still 3; the rotation at 2 stays done
  EXPECT_EQ(testing::Shape(twin.nodes[1], 0), "1(,2)");
}

// A plain tree one right chain deep (the splay tree's chain is in the deep-structure tests):
// adding ascending keys one by one is quadratic, so the chain is linked by hand, as a client
// owning its elements can. Every walk, the lookups and the removals must run without recursion.
}  // namespace
}  // namespace velmira
