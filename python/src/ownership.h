// What the cycle collector is told about the references the library holds.
//
// A Python element and its library object hold each other: the element holds a reference to the
// library object (where its links live), and the library object holds the Python object for as
// long as it lives, so that containers hand back the very same Python object. Containers, sample
// elements' fields and elements' links hold library objects, never Python objects directly; so
// every reference the library holds to a Python object is such a library object's reference to
// its Python element. The collector must see each of them exactly once, and only from a Python
// object that keeps it alive alone:
//
// - An element's library object held by nothing but its Python element is part of that element:
//   the element reports the reference back to itself.
// - A proxy owns the library objects reachable from its object that nothing else holds: this walk
//   runs the collector's own reasoning over them (counts against references found inside the
//   walk). An element's library object counts as owned when every reference to it comes from
//   inside the walk, apart from its own Python element's; the proxy then reports the reference to
//   that Python element.
//
// References the walk cannot see (a List's membership marker, anything held from outside Python)
// make their objects look held from outside: they are then reported by no one, which can keep a
// cycle alive but never frees a live object. So does an object held from two walks (one Python
// element in a Queue and a Tree, each container reached through its own proxy): neither walk owns
// it, and a cycle through it stays until one of the holders lets go.
//
// When the collector clears a Python element, its library object lets go of it (a container that
// still held that object would then answer error 91 for it); the element keeps its library object
// until it is freed itself.
#pragma once

#include "state.h"
#include "velmira/core/object.h"

namespace velmira::python {

/// Visits the Python elements whose library objects `root`, held by one proxy, owns.
int VisitOwned(const Object* root, visitproc visit, void* arg);

}  // namespace velmira::python
