// Late-bound calls: objects made by class name and driven by member name, as a scripting client
// does; the catalogue describes every class and member.
#include <velmira/velmira.h>

#include <cassert>
#include <string>

using namespace velmira;

int main() {
  Ref<Object> tree = CreateObject("Velmira.Tree");  // qualified names ignore letter case
  for (const char* word : {"pear", "apple", "fig"}) {
    Ref<Object> node = CreateObject("velmira.treenode");
    Invoke(node, "Key", CallKind::PropertyLet, {Variant(0), Variant(word)});
    Invoke(tree, "Add", CallKind::Method, {node});
  }
  // An empty name reaches the default member; only the Tree interface has one, Item(Key).
  Variant fig = Invoke(tree, "", CallKind::PropertyGet, {Variant("fig")});
  assert(Equal(Invoke(fig.ObjectValue(), "Key", CallKind::PropertyGet, {Variant(0)}), "fig"));
  assert(Invoke(tree, "exists", CallKind::PropertyGet, {Variant("kiwi")}).BoolValue() == false);

  try {
    Invoke(tree, "Push", CallKind::Method, {});  // a tree has no Push
    assert(false);
  } catch (const Error& e) {
    assert(e.Number() == kErrMemberNotFound);  // 438
  }
  try {
    CreateObject("Velmira.ListEnum");  // made only by a List's NewEnum
    assert(false);
  } catch (const Error& e) {
    assert(e.Number() == kErrCantCreateObject);  // 429
  }

  const ClassInfo* info = FindClass("Velmira.Tree");
  assert(info && info->own_interface->Find("Item", CallKind::PropertyGet)->dispatch_id == 0);
  tree = Nothing;
  fig = Variant();
  assert(CanUnloadNow());  // no object of the library is left
}
