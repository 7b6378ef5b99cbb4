// Tree walks that change order, run side by side, outlive their tree, or meet a failing element.
#include "velmira/tree/tree_enum.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>

#include "capture.h"
#include "tree_test_support.h"

namespace velmira {
namespace {

/// An element whose Left can be made to fail.
class FailingNode : public testing::ClientTreeNode {
 public:
  Ref<ITreeNode> Left(std::int32_t Index) override {
    if (fail) throw std::runtime_error("Left failed");
    return ClientTreeNode::Left(Index);
  }
  bool fail = false;
};

/// Keys added to a plain tree, a script run on two walks a and b made right after, and what it
/// must print. Steps: a or b picks the walk; i, r, p, o set its order; =v sets the order to the
/// number v; O prints the order; a number n prints the next n items ("-" for Nothing, "E" for an
/// error, which ends the step); +k adds an element; !k makes k's Left fail once; ~ drops the tree.
struct EnumCase {
  const char* name;
  const char* keys;
  const char* script;
  const char* expected;
};

const EnumCase kEnumCases[] = {
    {"OrderSwitchMidWalk", "4 2 6 1 3 5 7", "O 1 p 8", "1 1 2 3 4 6 5 7 - -"},
    {"PostOrderThenInOrderIgnoringOtherValues", "4 2 6 1 3 5 7", "o 3 =0 =3 =-3 =2 O i 5",
     "1 3 2 2 4 5 6 7 -"},
    {"IndependentWalksAndAFinishedWalkStaysFinished", "2 1 3", "a 2 b 1 a 2 +4 a 1 b 4",
     "1 2 1 3 - - 2 3 4 -"},
    {"PendingElementsOutliveTheTree", "2 1 3", "p 1 ~ 3", "2 1 3 -"},
    {"ErrorPassesOutAndFlagsStay", "2 1 3", "!1 1 3", "E 2 3 -"},
};

using TreeEnumScript = testing::VelmiraTest;

TEST_F(TreeEnumScript, ScriptsPrintTheExpectedItems) {
  const std::map<char, TreeEnumEnum> orders{{'i', eTreeEnumInOrder},
                                            {'r', eTreeEnumReverseOrder},
                                            {'p', eTreeEnumPreOrder},
                                            {'o', eTreeEnumPostOrder}};
  for (const EnumCase& c : kEnumCases) {
    std::map<int, Ref<FailingNode>> nodes;
    Ref<Tree> tree = New<Tree>();
    const auto add = [&](int key) {
      nodes[key] = New<FailingNode>();
      nodes[key]->SetKey(0, key);
      tree->Add(nodes[key]);
    };
    std::istringstream keys(c.keys);
    for (int key; keys >> key;) add(key);
    Ref<TreeEnum> a = tree->NewEnum(), b = tree->NewEnum(), walk = a;
    std::ostringstream out;
    std::istringstream steps(c.script);
    for (std::string step; steps >> step;) {
      const char op = step[0];
      if (op == 'a' || op == 'b') walk = op == 'a' ? a : b;
      if (orders.count(op)) walk->SetOrder(orders.at(op));
      if (op == '=') walk->SetOrder(static_cast<TreeEnumEnum>(std::stoi(step.substr(1))));
      if (op == 'O') out << walk->Order() << ' ';
      if (op == '+') add(std::stoi(step.substr(1)));
      if (op == '!') nodes[std::stoi(step.substr(1))]->fail = true;
      if (op == '~') tree.reset();
      for (int n = std::isdigit(op) ? std::stoi(step) : 0; n > 0; --n) {
        try {
          const Ref<ITreeNode> item = walk->NextItem();
          out << (item ? testing::KeyText(item->Key(0)) : "-") << ' ';
        } catch (const std::runtime_error&) {
          out << "E ";
          for (auto& [key, node] : nodes) node->fail = false;
          break;
        }
      }
    }
    EXPECT_EQ(out.str(), std::string(c.expected) + " ") << c.name;
  }
}

}  // namespace
}  // namespace velmira
