// Test support: the one notation of the scripted container and debugger tests.
//
//   RunRows(rows, [&](const Row& row) { return Script(row).Run(); });
//
// A row is a named script of space-separated steps and the text it must print. Each module's
// script class reads its own steps (they are the module's operations), but every script prints
// the same way: an element by its letter (a, b, ...; "_" is Nothing), a warning as "!" and its
// code from `WarningCode` (the class name must match the container's), an error raised to the
// caller as "E" and its number, or "E" alone for an element's own error, and the element calls of
// a step as "{...}". A failing row names itself.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "velmira/core/error.h"
#include "velmira/core/variant.h"

namespace velmira::testing {

/// One named script: keys of its elements a, b, ... (where the elements have keys), the steps,
/// and what they print.
struct Row {
  Row(const char* name, std::string script, std::string expected)
      : name(name), script(std::move(script)), expected(std::move(expected)) {}
  Row(const char* name, std::vector<Variant> keys, std::string script, std::string expected)
      : name(name),
        keys(std::move(keys)),
        script(std::move(script)),
        expected(std::move(expected)) {}
  const char* name;
  std::vector<Variant> keys;
  std::string script;
  std::string expected;
};

/// Runs every row through `run` and expects its text; a mismatch names the row.
template <class Run>
void RunRows(const std::vector<Row>& rows, Run run) {
  for (const Row& row : rows) {
    EXPECT_EQ(run(row), row.expected) << "row " << row.name << ": " << row.script;
  }
}

/// The code of a container warning, found by its exact text for class `name` ("Stack", "Queue",
/// "PQueue", "List", "Tree", "SplayTree"); "?" and the text for anything else.
inline std::string WarningCode(std::string_view name, const std::string& text) {
  const std::string noun = name == "Stack"    ? "stack"
                           : name == "Queue"  ? "queue"
                           : name == "PQueue" ? "priority queue"
                           : name == "List"   ? "list"
                                              : "tree";
  const std::string made = "an attempt was made to ", before = "AddBefore was asked to add ";
  const std::pair<const char*, std::string> codes[] = {
      {"A0", made + "Add Nothing"},
      {"Alk", made + "Add a node with a successor"},
      {"Alk", made + "Add a node with a predecessor or successor"},
      {"Alk", made + "Add a node with children"},
      {"Ain", made + "Add a node that's already in a list"},
      {"Ak0", made + "Add a node with a null key"},
      {"Rnm", made + "Remove an item from a " + noun + " it wasn't in"},
      {"Rk0", made + "Remove a node using a null Key"},
      {"Ix", made + "change the Index of a non-empty " + noun},
      {"It", made + "access an Item using an invalid number"},
      {"B0", before + "Nothing"},
      {"Bto0", before + "a node before Nothing"},
      {"Bnm", before + "before a node that's not in the list"},
      {"Bin", before + "a node that's already in a list"},
      {"Blk", before + "a node with a predecessor or successor"},
  };
  for (const auto& [code, body] : codes) {
    if (text == std::string(name) + ": Warning, " + body) return code;
  }
  return "?" + text;
}

/// How a step's exception prints: "E" and the number of a library error, "E" for any other.
inline std::string ErrorWord(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const Error& e) {
    return "E" + std::to_string(e.Number());
  } catch (...) {
    return "E";
  }
}

}  // namespace velmira::testing
