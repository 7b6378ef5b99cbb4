// `for x in container`: the elements of a container, in the order of the library's own walks (a
// List first to last, trees in key order, a Stack from the top, queues from the head), gathered
// into a Python list first. The walk holds no element between steps, so nothing the collector
// cannot see stays behind when a step fails or the loop stops early.
#include "iterate.h"

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

/// Appends `element`'s Python object to `list`; false with an exception set on failure.
bool Append(PyObject* list, const Ref<Object>& element) {
  PyObject* item = FromObject(element);
  if (!item) return false;
  const int status = PyList_Append(list, item);
  Py_DECREF(item);
  return status == 0;
}

/// Follows the `NextItem(Index)` links of interface `I` from `first`.
template <class I>
bool Chain(PyObject* list, Ref<I> at, std::int32_t index) {
  while (at) {
    if (!Append(list, at)) return false;
    at = at->NextItem(index);
  }
  return true;
}

/// Fills `list`; false with an exception set, or when `target` cannot be walked.
bool Gather(PyObject* list, const Ref<Object>& target) {
  Object* o = target.get();
  if (auto* s = dynamic_cast<Stack*>(o)) return Chain<IStackNode>(list, s->Top(), s->Index());
  if (auto* q = dynamic_cast<Queue*>(o)) return Chain<IQueueNode>(list, q->First(), q->Index());
  if (auto* p = dynamic_cast<PQueue*>(o)) return Chain<IPQueueNode>(list, p->First(), p->Index());
  if (auto* l = dynamic_cast<List*>(o)) {
    for (Ref<IListNode> at = l->First(); at; at = l->NextItem(at)) {
      if (!Append(list, at)) return false;
    }
    return true;
  }
  if (auto* t = dynamic_cast<Tree*>(o)) {
    const Ref<TreeEnum> walk = t->NewEnum();
    for (Ref<ITreeNode> at = walk->NextItem(); at; at = walk->NextItem()) {
      if (!Append(list, at)) return false;
    }
    return true;
  }
  RaiseError(kErrMemberNotFound,
             "Object doesn't support this property or method: the object "
             "cannot be walked");
  return false;
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
    return Gather(list, reinterpret_cast<ProxyObject*>(target)->ref) ? list : nullptr;
  });
  if (!result) Py_DECREF(list);
  return result;
}

}  // namespace velmira::python
