// `for x in container`: the elements of a container, in the order of the library's own walks (a
// List first to last, trees in key order, a Stack from the top, queues from the head), gathered
// into a Python list first, each element once. The walk holds no element between steps, so
// nothing the collector cannot see stays behind when a step fails or the loop stops early.
#include "iterate.h"

#include <unordered_set>

#include "errors.h"
#include "proxy.h"
#include "values.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"
#include "velmira/list/list.h"
#include "velmira/tree/tree.h"
#include "velmira/tree/tree_enum.h"

namespace velmira::python {
namespace {

/// A container's elements in walk order, each once, as a Python list. Links a client stored by
/// hand into a cycle would make the walk go round for ever: it ends where it comes back to an
/// element it has gathered.
class Gathered {
 public:
  explicit Gathered(PyObject* list) : list_(list) {}
  /// Whether the walk goes on after `element`: false when it came back to an element gathered
  /// before, or with an exception set when the append failed (`Failed`).
  bool Add(const Ref<Object>& element) {
    if (!seen_.insert(element.get()).second) return false;
    PyObject* item = FromObject(element);
    failed_ = !item || PyList_Append(list_, item) != 0;
    Py_XDECREF(item);
    return !failed_;
  }
  bool Failed() const noexcept { return failed_; }

 private:
  PyObject* list_;
  std::unordered_set<const Object*> seen_;
  bool failed_ = false;
};

/// Follows the `NextItem(Index)` links of interface `I` from `at`.
template <class I>
void Chain(Gathered& out, Ref<I> at, std::int32_t index) {
  while (at && out.Add(at)) at = at->NextItem(index);
}

/// Fills `out`; false when `target` cannot be walked (with an exception set).
bool Gather(Gathered& out, const Ref<Object>& target) {
  Object* o = target.get();
  if (auto* s = dynamic_cast<Stack*>(o)) {
    Chain<IStackNode>(out, s->Top(), s->Index());
  } else if (auto* q = dynamic_cast<Queue*>(o)) {
    Chain<IQueueNode>(out, q->First(), q->Index());
  } else if (auto* p = dynamic_cast<PQueue*>(o)) {
    Chain<IPQueueNode>(out, p->First(), p->Index());
  } else if (auto* l = dynamic_cast<List*>(o)) {
    for (Ref<IListNode> at = l->First(); at && out.Add(at); at = l->NextItem(at)) {
    }
  } else if (auto* t = dynamic_cast<Tree*>(o)) {
    const Ref<TreeEnum> walk = t->NewEnum();
    for (Ref<ITreeNode> at = walk->NextItem(); at && out.Add(at); at = walk->NextItem()) {
    }
  } else {
    RaiseError(kErrMemberNotFound,
               "Object doesn't support this property or method: the object "
               "cannot be walked");
    return false;
  }
  return !out.Failed();
}

}  // namespace

PyObject* Elements(PyObject*, PyObject* target) {
  if (!PyObject_TypeCheck(target, &ProxyType)) {
    return RaiseError(kErrMemberNotFound, std::string("Object doesn't support this property or "
                                                      "method: a ") +
                                              TypeName(target) + " cannot be walked");
  }
  PyObject* list = PyList_New(0);
  if (!list) return nullptr;
  PyObject* result = Guarded([&]() -> PyObject* {
    Gathered out(list);
    return Gather(out, reinterpret_cast<ProxyObject*>(target)->ref) ? list : nullptr;
  });
  if (!result) Py_DECREF(list);
  return result;
}

}  // namespace velmira::python
