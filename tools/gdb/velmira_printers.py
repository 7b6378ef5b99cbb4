# gdb pretty-printers for the library: `Ref<T>` shows its target, `Variant` its kind and value,
# and the containers their elements in order.
#
#   (gdb) print list
#   $1 = velmira::List at 0x55555556b2c0: velmira::List, 3 elements, Index 0 = {velmira::ListNode
#   at 0x55555556b3a0, ...}
#
# The printers read memory only; they never call into the program. A container's walk follows the
# links the library keeps itself (the building blocks' and the sample elements' link storage). A
# client element keeps its links behind its own members, which a printer cannot call: it is shown
# as its type and address, and the walk stops there. Walks stop at gdb's `print elements` limit
# and at an element seen before, so a damaged container cannot make gdb loop.
#
# The library embeds this file (section .debug_gdb_scripts), so gdb loads it with the library when
# its auto-load safe path allows: `add-auto-load-safe-path <libdir>` in ~/.gdbinit, or
# `source <this file>` by hand.

import gdb

_KINDS = ["Empty", "Null", "Boolean", "Int16", "Int32", "Single", "Double", "Currency", "Date",
          "String", "Object"]
_PAYLOAD = 6        # where a Variant keeps a payload other than inline text, in `chars_`
_SHARED_TEXT = 0xFF  # `size_` of a text kept in a shared block


def _read(address, size):
    return bytes(gdb.selected_inferior().read_memory(address, size))


def _base(value, prefix):
    """The base-class subobject of `value` whose type name starts with `prefix`, or None."""
    pending = [value]
    while pending:
        v = pending.pop()
        for field in v.type.strip_typedefs().fields():
            # The shared `Object` is a virtual base: nothing to find there, and reaching it needs
            # the whole object's table.
            if not field.is_base_class or field.type.strip_typedefs().name == "velmira::Object":
                continue
            base = v[field]
            if base.type.strip_typedefs().name.startswith(prefix):
                return base
            pending.append(base)
    return None


def _most_derived(pointer):
    """`pointer` (to any polymorphic part of an object) as a pointer to the whole object, typed by
    its dynamic type: the address comes from the offset-to-top entry before the table's start."""
    table = int.from_bytes(_read(int(pointer), 8), "little")
    offset = int.from_bytes(_read(table - 16, 8), "little", signed=True)
    return gdb.Value(int(pointer) + offset).cast(pointer.dynamic_type)


def _describe(pointer):
    """`type at address` for an object pointer, by its dynamic type; None for a null pointer."""
    if int(pointer) == 0:
        return None
    whole = _most_derived(pointer)
    return "%s at 0x%x" % (whole.type.target().strip_typedefs().name, int(whole))


def _cell_target(cell):
    """The pointer a `Ref` cell holds."""
    return cell["ptr_"]


def _direct_link(pointer, slot, k):
    """Link `k` of `slot` from the element's direct links, or None when it names none there."""
    access = _base(pointer.dereference(), "velmira::detail::DirectLinkAccess<")
    if access is None:
        return None
    access_type = access.type.strip_typedefs()
    links_per_slot = int(access_type.template_argument(1))
    if (slot & 0xFFFFFFFF) < int(access["trailing_slots_"]):
        # The rows that follow the record in the element.
        link = access_type.template_argument(0)
        cell_type = gdb.lookup_type("velmira::Ref<%s>" % link.name)
        cells = (access.address + 1).cast(gdb.lookup_type("char").pointer()).cast(cell_type.pointer())
        return _cell_target(cells[slot * links_per_slot + k])
    if int(access["named_cells_"]) == 0 or slot != int(access["named_slot_"]):
        return None
    return _cell_target(access["named_cells_"][k])


def _sample_record(pointer, slot):
    """A sample element's slot record for `slot`: a recent one, or found in its slot table."""
    sample = _base(_most_derived(pointer).dereference(), "velmira::SampleNode<")
    if sample is None:
        return None
    for i in range(3):
        record = sample["recent_records_"][i]
        if int(record) != 0 and int(sample["recent_slots_"][i]) == slot:
            return record
    node = _cell_target(sample["slot_table_"]["ptr_"].dereference()["root_"])
    while int(node) != 0:  # the slot table orders its records by slot number
        record = _most_derived(node)
        here = int(record["slot_"])
        if here == slot:
            return record
        node = _direct_link(node, 0, 0 if slot < here else 1)
        if node is None:
            return None
    return None


def _link(pointer, slot, k):
    """Link `k` of `slot` of the element, or None when a printer cannot read it (a client's)."""
    target = _direct_link(pointer, slot, k)
    if target is not None:
        return target
    record = _sample_record(pointer, slot)
    if record is None:
        return None
    return _cell_target(record["links"][k]).cast(pointer.type)


class RefPrinter:
    """A reference: its target's type and address, and a container's elements after them."""

    def __init__(self, value):
        self.pointer = value["ptr_"]

    def to_string(self):
        text = _describe(self.pointer)
        if text is None:
            return "Nothing"
        shown = _lookup(_most_derived(self.pointer).dereference())
        return text + (": " + shown.to_string() if isinstance(shown, ContainerPrinter) else "")


class VariantPrinter:
    def __init__(self, value):
        self.value = value

    def to_string(self):
        v = self.value
        kind = int(v["kind_"])
        name = _KINDS[kind] if kind < len(_KINDS) else "kind %d" % kind
        chars = int(v["chars_"].address)
        payload = chars + _PAYLOAD
        if name in ("Empty", "Null"):
            return name
        if name == "Boolean":
            return "Boolean %s" % ("True" if _read(payload, 1)[0] else "False")
        if name in ("Int16", "Int32"):
            size = 2 if name == "Int16" else 4
            return "%s %d" % (name, int.from_bytes(_read(payload, size), "little", signed=True))
        if name == "Single":
            return "Single %r" % gdb.parse_and_eval("*(float*)%d" % payload)
        if name in ("Double", "Date"):
            return "%s %s" % (name, gdb.parse_and_eval("*(double*)%d" % payload))
        if name == "Currency":
            scaled = int.from_bytes(_read(payload, 8), "little", signed=True)
            return "Currency %s" % (scaled / 10000)
        if name == "String":
            size = int(v["size_"])
            if size == _SHARED_TEXT:
                block = int.from_bytes(_read(payload, 8), "little")
                shared = gdb.parse_and_eval("(velmira::detail::SharedText*)%d" % block)
                size = int(shared["size"])
                text = _read(int(shared["data"].address), min(size, 200))
            else:
                text = _read(chars, size)
            return "String \"%s\"%s" % (text.decode("utf-8", "replace"),
                                        "..." if size > 200 else "")
        address = int.from_bytes(_read(payload, 8), "little")
        if address == 0:
            return "Object Nothing"
        pointer = gdb.parse_and_eval("(velmira::Object*)%d" % address)
        return "Object " + _describe(pointer)


class ContainerPrinter:
    """A container's elements in order; `first` is the pointer its walk starts from."""

    def __init__(self, value, name, first, links, in_order, keyed=False):
        self.value = value
        self.name = name
        self.first = first
        self.links = links  # the cell index of the next link, or (left, right) for a tree
        self.in_order = in_order
        self.keyed = keyed  # shows a sample element's key

    def _chain(self, slot):
        seen = set()
        node = self.first
        while node is not None and int(node) != 0 and int(node) not in seen:
            seen.add(int(node))
            yield node
            node = _link(node, slot, self.links)

    def _keys(self, slot):
        # In key order with an explicit stack: the left subtree, the element, the right subtree.
        seen, stack, node = set(), [], self.first
        while True:
            while node is not None and int(node) != 0 and int(node) not in seen:
                seen.add(int(node))
                stack.append(node)
                node = _link(node, slot, self.links[0])
            if not stack:
                return
            node = stack.pop()
            yield node
            node = _link(node, slot, self.links[1])

    def to_string(self):
        slot = int(self.value["index_"])
        limit = gdb.parameter("print elements") or 1 << 30
        shown = []
        for node in self._keys(slot) if self.in_order else self._chain(slot):
            if len(shown) == limit:
                shown.append("...")
                break
            record = _sample_record(node, slot)
            text = _describe(node)
            if record is not None and self.keyed:
                text += " (key %s)" % VariantPrinter(record["key"]).to_string()
            elif record is None and _direct_link(node, slot, 0) is None:
                text += " (a client element: its links are not read)"
            shown.append(text)
        return "%s, Index %d = {%s}" % (self.name, slot, ", ".join(shown))


def _container(value, kind):
    if kind == "Stack":
        return ContainerPrinter(value, "velmira::Stack", value["top_"]["ptr_"], 0, False)
    if kind in ("Queue", "PQueue"):
        return ContainerPrinter(value, "velmira::" + kind, value["first_"]["ptr_"], 0, False,
                                kind == "PQueue")
    if kind == "List":
        return ContainerPrinter(value, "velmira::List, %d elements" % int(value["count_"]),
                                value["first_"]["ptr_"], 0, False)
    return ContainerPrinter(value, "velmira::" + kind, value["root_"]["ptr_"], (0, 1), True, True)


def _lookup(value):
    type_ = value.type.strip_typedefs().unqualified()
    name = type_.name or ""
    if name.startswith("velmira::Ref<"):
        return RefPrinter(value)
    if name == "velmira::Variant":
        return VariantPrinter(value)
    for kind in ("Stack", "Queue", "PQueue", "List", "Tree", "SplayTree"):
        if name == "velmira::" + kind:
            tree_value = value if kind != "SplayTree" else value.cast(gdb.lookup_type("velmira::Tree"))
            return _container(tree_value, "SplayTree" if kind == "SplayTree" else kind)
    return None


def register(objfile=None):
    (objfile or gdb).pretty_printers.append(_lookup)


register(gdb.current_objfile())
