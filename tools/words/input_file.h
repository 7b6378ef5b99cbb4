// The inputs of velmira-words: checked before anything is read, then read in chunks.
//
//   for (const std::string& f : files) CheckInput(f);   // throws Failure: missing, directory...
//   ReadInput("book.txt", debug, [&](std::string_view chunk) { ... });
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "velmira/debug/debugger.h"

namespace velmira::words {

/// Refuses, before anything is read, an input that is missing, a directory or unreadable.
void CheckInput(const std::string& file);

/// Reads `file` (standard input for "-") in chunks of 1 MiB, each read a profiled "Reading"
/// call, and gives each chunk to `chunk`. Throws Failure when the file cannot be read.
void ReadInput(const std::string& file, Debugger& debug,
               const std::function<void(std::string_view)>& chunk);

}  // namespace velmira::words
