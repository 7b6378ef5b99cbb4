// `for x in container`: a walk over a container's elements or an enumerator's, by the library's
// own links (a List first to last, trees in key order, a Stack from the top, queues from the
// head). Each step reads one link, so a container changed meanwhile is walked as it now is.
#include <functional>

#include "errors.h"
#include "iterate.h"
#include "proxy.h"
#include "values.h"
#include "velmira/linear/pqueue.h"
#include "velmira/linear/queue.h"
#include "velmira/linear/stack.h"
#include "velmira/list/list.h"
#include "velmira/list/list_enum.h"
#include "velmira/tree/tree.h"
#include "velmira/tree/tree_enum.h"

namespace velmira::python {
namespace {

using Step = std::function<Ref<Object>(const Ref<Object>&)>;

struct WalkObject {
  PyObject_HEAD
  Ref<Object> next;  // the element the next step returns
  Step* step;        // from one element to the next
};

/// A chain through the `NextItem(Index)` links of interface `I`.
template <class I>
Step ChainStep(std::int32_t index) {
  return [index](const Ref<Object>& at) -> Ref<Object> {
    return Ref<I>(dynamic_cast<I*>(at.get()))->NextItem(index);
  };
}

/// An enumerator's walk: the current element plays no part.
template <class E>
Step EnumeratorStep(Ref<E> walker) {
  return [walker](const Ref<Object>&) -> Ref<Object> { return walker->NextItem(); };
}

/// The first element and the step of a walk over `target`; false when it has none.
bool Plan(const Ref<Object>& target, Ref<Object>& first, Step& step) {
  Object* o = target.get();
  if (auto* s = dynamic_cast<Stack*>(o)) {
    first = s->Top();
    step = ChainStep<IStackNode>(s->Index());
  } else if (auto* q = dynamic_cast<Queue*>(o)) {
    first = q->First();
    step = ChainStep<IQueueNode>(q->Index());
  } else if (auto* p = dynamic_cast<PQueue*>(o)) {
    first = p->First();
    step = ChainStep<IPQueueNode>(p->Index());
  } else if (auto* l = dynamic_cast<List*>(o)) {
    first = l->First();
    Ref<List> list(l);
    step = [list](const Ref<Object>& at) -> Ref<Object> {
      return list->NextItem(Ref<IListNode>(dynamic_cast<IListNode*>(at.get())));
    };
  } else if (auto* t = dynamic_cast<Tree*>(o)) {
    Ref<TreeEnum> walker = t->NewEnum();
    first = walker->NextItem();
    step = EnumeratorStep(walker);
  } else if (auto* te = dynamic_cast<TreeEnum*>(o)) {
    Ref<TreeEnum> walker(te);
    first = walker->NextItem();
    step = EnumeratorStep(walker);
  } else if (auto* le = dynamic_cast<ListEnum*>(o)) {
    Ref<ListEnum> walker(le);
    first = walker->NextItem();
    step = EnumeratorStep(walker);
  } else {
    return false;
  }
  return true;
}

PyObject* Next(PyObject* op) {
  auto* self = reinterpret_cast<WalkObject*>(op);
  if (!self->next) return nullptr;  // StopIteration
  return Guarded([&]() -> PyObject* {
    Ref<Object> current = std::move(self->next);
    PyObject* result = FromObject(current);
    if (!result) return nullptr;
    try {
      self->next = (*self->step)(current);
    } catch (...) {
      Py_DECREF(result);
      throw;
    }
    return result;
  });
}

void Dealloc(PyObject* op) {
  auto* self = reinterpret_cast<WalkObject*>(op);
  PyObject *type, *value, *tb;
  PyErr_Fetch(&type, &value, &tb);
  self->next.reset();
  delete self->step;
  PyErr_Restore(type, value, tb);
  Py_TYPE(op)->tp_free(op);
}

PyTypeObject WalkType{};

}  // namespace

PyObject* Iterate(PyObject*, PyObject* target) {
  if (!PyObject_TypeCheck(target, &ProxyType)) {
    return RaiseError(kErrMemberNotFound, std::string("Object doesn't support this property or "
                                                      "method: a ") +
                                              TypeName(target) + " cannot be walked");
  }
  return Guarded([&]() -> PyObject* {
    Ref<Object> first;
    Step step;
    if (!Plan(reinterpret_cast<ProxyObject*>(target)->ref, first, step)) {
      return RaiseError(kErrMemberNotFound, std::string("Object doesn't support this property or "
                                                        "method: ") +
                                                Py_TYPE(target)->tp_name + " cannot be walked");
    }
    auto* walk = PyObject_New(WalkObject, &WalkType);
    if (!walk) return nullptr;
    new (&walk->next) Ref<Object>(std::move(first));
    walk->step = new Step(std::move(step));
    return reinterpret_cast<PyObject*>(walk);
  });
}

bool InitIterate() {
  WalkType.tp_name = "velmira._native.Walk";
  WalkType.tp_basicsize = sizeof(WalkObject);
  WalkType.tp_flags = Py_TPFLAGS_DEFAULT;
  WalkType.tp_dealloc = Dealloc;
  WalkType.tp_iter = PyObject_SelfIter;
  WalkType.tp_iternext = Next;
  return ReadyType(WalkType);
}

}  // namespace velmira::python
