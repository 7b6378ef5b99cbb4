// The debug output channel: where container warnings and debugger lines are written.
//
//   std::vector<std::string> captured;
//   auto previous = SetDebugOutput([&](std::string_view line) { captured.emplace_back(line); });
//   stack->Push(Nothing);                  // its warning arrives as one call
//   SetDebugOutput(previous);              // or SetDebugOutput(nullptr) for the default
//
// The default sink writes each message to stderr in one system call, adding a line feed only
// when the message does not end with one.
#pragma once

#include <functional>
#include <string_view>

namespace velmira {

/// Receives one message per write.
using DebugSink = std::function<void(std::string_view)>;

/// Installs `sink` and returns the previous one; an empty sink restores the default (stderr).
/// The sink is shared by all threads; it must not be replaced while another thread writes.
DebugSink SetDebugOutput(DebugSink sink);

/// Sends one message to the debug output channel. Never throws: a sink that throws is ignored.
void WriteDebugOutput(std::string_view message) noexcept;

namespace detail {
/// Writes a container warning: exactly `text`, one write, no terminator.
inline void Warn(std::string_view text) noexcept { WriteDebugOutput(text); }
}  // namespace detail

}  // namespace velmira
