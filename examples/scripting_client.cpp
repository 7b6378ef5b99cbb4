// A client that knows the library only by class names and member names, as a scripting
// language would: every object comes from CreateObject and every call goes through Invoke.
//
//   build/default/examples/velmira_scripting_client
//
// It counts the words of a sentence in a splay tree, lists them in order, and reports through a
// debugger.
#include <iostream>
#include <sstream>
#include <string>

#include "velmira/catalogue/class_factory.h"
#include "velmira/dispatch/invoke.h"

using velmira::CallKind;
using velmira::CreateObject;
using velmira::Invoke;
using velmira::Variant;

int main() {
  const auto words = CreateObject("Velmira.SplayTree");
  std::istringstream text("the quick fox and the lazy dog and the cat");
  for (std::string word; text >> word;) {
    if (Invoke(words, "Exists", CallKind::PropertyGet, {word}).BoolValue()) {
      const Variant node = Invoke(words, "Item", CallKind::PropertyGet, {word});
      const Variant count = Invoke(node.ObjectValue(), "Value", CallKind::PropertyGet);
      Invoke(node.ObjectValue(), "Value", CallKind::PropertyLet, {count.Int32Value() + 1});
    } else {
      const auto node = CreateObject("Velmira.TreeNode");
      Invoke(node, "Key", CallKind::PropertyLet, {0, word});
      Invoke(node, "Value", CallKind::PropertyLet, {1});
      Invoke(words, "Add", CallKind::Method, {node});
    }
  }

  const auto debug = CreateObject("Velmira.Debugger");
  Invoke(debug, "Enter", CallKind::Method, {"ListWords"});
  const auto walk = Invoke(words, "NewEnum", CallKind::Method).ObjectValue();
  for (Variant node = Invoke(walk, "NextItem", CallKind::PropertyGet); node.ObjectValue();
       node = Invoke(walk, "NextItem", CallKind::PropertyGet)) {
    const auto n = node.ObjectValue();
    Invoke(
        debug, "Output", CallKind::Method,
        {Invoke(n, "Key", CallKind::PropertyGet, {0}), Invoke(n, "Value", CallKind::PropertyGet)});
  }
  Invoke(debug, "Leave", CallKind::Method, {"ListWords"});
  std::cout << "words counted; the debugger wrote them to the debug output (stderr)\n";
}
