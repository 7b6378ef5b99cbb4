// Internal: the debugger's log file, opened by name for every line and closed again at once.
//
//   if (CanOpenLogFile(name)) ...       // probe: create if missing, keep contents
//   AppendToLogFile(name, "text\r\n");  // raises a file error when it cannot
//
// Bytes are written as given (the library's texts are UTF-8). No handle stays open between calls.
#pragma once

#include <string>
#include <string_view>

namespace velmira::detail {

/// Opens the file `name` for appending, creating it when missing and keeping its contents, and
/// closes it again. True when both succeeded. A name containing a NUL character cannot be
/// opened. Never throws and never waits: a named pipe with no reader cannot be opened.
bool CanOpenLogFile(const std::string& name) noexcept;

/// Appends `bytes` to the file `name` (created when missing) and closes it. Raises `Error` with a
/// file-error number when opening, writing or closing fails: 61 when the disk is full, 76 when
/// the directory is missing, 70 when access is denied, 57 on an input/output error, 75 otherwise
/// (a pipe or device that cannot take the bytes at once, or has no reader, among them).
void AppendToLogFile(const std::string& name, std::string_view bytes);

}  // namespace velmira::detail
