// Checks that the tree floor (tree_floor.h) makes exactly the element calls, in exactly the order,
// that `Tree` and `SplayTree` make: the same keys are inserted, looked up (present and absent)
// and removed through both, over elements that record every call, and the two records must be
// identical. Prints the number of calls compared; exits 1 at the first difference.
//
//   build/bench/bench/velmira_tree_floor_check
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "tree_floor.h"
#include "velmira/tree/splay_tree.h"
#include "velmira/tree/tree.h"

namespace velmira::bench {
namespace {

/// A tree element that appends each call, with its element's number, to a shared record.
class RecordingNode : public ITreeNode {
 public:
  RecordingNode(int id, Variant key, std::vector<std::string>& record)
      : id_(id), key_(std::move(key)), record_(record) {}
  Variant Key(std::int32_t) override {
    Note("Key", nullptr);
    return key_;
  }
  Ref<ITreeNode> Left(std::int32_t) override {
    Note("Left", nullptr);
    return left_;
  }
  Ref<ITreeNode> Right(std::int32_t) override {
    Note("Right", nullptr);
    return right_;
  }
  void SetLeft(std::int32_t, const Ref<ITreeNode>& value) override {
    Note("SetLeft", value.get());
    left_ = value;
  }
  void SetRight(std::int32_t, const Ref<ITreeNode>& value) override {
    Note("SetRight", value.get());
    right_ = value;
  }

 private:
  void Note(const char* call, const ITreeNode* value) {
    std::string line = std::to_string(id_);
    line.append(" ").append(call);
    if (const auto* node = dynamic_cast<const RecordingNode*>(value)) {
      line.append(" ").append(std::to_string(node->id_));
    }
    record_.push_back(std::move(line));
  }

  int id_;
  Variant key_;
  Ref<ITreeNode> left_, right_;
  std::vector<std::string>& record_;
};

/// Runs the same operations through `tree` (any object with Add, Item and Remove) over fresh
/// recording elements and returns their record.
template <class TreeLike>
std::vector<std::string> Record(TreeLike& tree, const std::vector<Variant>& keys,
                                const std::vector<Variant>& lookups) {
  std::vector<std::string> record;
  std::vector<Ref<ITreeNode>> nodes;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    nodes.push_back(New<RecordingNode>(static_cast<int>(i), keys[i], record));
  }
  // Every key once more on an element of its own, after the first: an equal key is present.
  for (std::size_t i = 0; i < keys.size(); ++i) {
    nodes.push_back(New<RecordingNode>(static_cast<int>(keys.size() + i), keys[i], record));
  }
  for (const auto& n : nodes) tree.Add(n);
  for (const Variant& k : lookups) {
    record.push_back(std::string("find ") + (tree.Item(k) ? "hit" : "miss"));
  }
  for (std::size_t i = 0; i < keys.size(); i += 2) tree.Remove(keys[i]);
  for (const Variant& k : lookups) tree.Remove(k);
  std::vector<std::string> operations = record;  // the floor's Clear is not timed: not compared
  tree.Clear();
  return operations;
}

/// The library's trees behind the same calls as the floor.
struct LibraryTree {
  Ref<Tree> tree;
  void Add(const Ref<ITreeNode>& n) { tree->Add(n); }
  Ref<ITreeNode> Item(const Variant& k) { return tree->Item(k); }
  void Remove(const Variant& k) { tree->Remove(k); }
  void Clear() { tree->Clear(); }
};

template <bool kSplay>
bool Check(const char* name, const std::vector<Variant>& keys, const std::vector<Variant>& lookups,
           std::size_t& calls) {
  LibraryTree library{kSplay ? Ref<Tree>(New<SplayTree>()) : New<Tree>()};
  TreeFloor<kSplay> floor;
  const std::vector<std::string> want = Record(library, keys, lookups);
  const std::vector<std::string> got = Record(floor, keys, lookups);
  for (std::size_t i = 0; i < want.size() || i < got.size(); ++i) {
    const std::string w = i < want.size() ? want[i] : "(end)",
                      g = i < got.size() ? got[i] : "(end)";
    if (w != g) {
      std::printf("%s: call %zu differs: library \"%s\", floor \"%s\"\n", name, i, w.c_str(),
                  g.c_str());
      return false;
    }
  }
  calls += want.size();
  return true;
}

template <class Key, class Make>
bool CheckKeys(const char* kind, Make make, std::size_t& calls) {
  std::mt19937 random(99);
  std::vector<Variant> keys, lookups;
  for (int i = 0; i < 300; ++i) keys.emplace_back(make(random));
  for (int i = 0; i < 600; ++i) {
    lookups.push_back(i % 2 ? keys[random() % keys.size()] : Variant(make(random)));
  }
  const std::string plain = std::string("Tree, ") + kind, splay = std::string("SplayTree, ") + kind;
  return Check<false>(plain.c_str(), keys, lookups, calls) &&
         Check<true>(splay.c_str(), keys, lookups, calls);
}

}  // namespace
}  // namespace velmira::bench

int main() {
  using namespace velmira::bench;
  std::size_t calls = 0;
  const bool same =
      CheckKeys<int>(
          "int keys", [](std::mt19937& r) { return static_cast<int>(r() % 1000); }, calls) &&
      CheckKeys<std::string>(
          "text keys",
          [](std::mt19937& r) {
            std::string text(1 + r() % 4, ' ');
            for (char& c : text) c = static_cast<char>('a' + r() % 6);
            return text;
          },
          calls);
  if (!same) return 1;
  std::printf("The floor made the library's %zu element calls, in the same order.\n", calls);
  return 0;
}
