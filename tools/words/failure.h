// `Failure`: a problem that ends a run of velmira-words with its exit code and message, and the
// helpers that name files in messages and turn log-file errors into failures.
//
//   throw Failure{kExitNoSuchFile, "no such file: " + DisplayName(file)};
//   WritingLog(o.log_file, [&] { debug.Output("..."); });   // a full disk: exit 7
#pragma once

#include <string>
#include <string_view>

#include "options.h"
#include "velmira/core/error.h"

namespace velmira::words {

struct Failure {
  int code;
  std::string message;
};

/// 'name' in quotes, or "standard input" for "-".
inline std::string DisplayName(const std::string& file) {
  return file == "-" ? "standard input" : "'" + file + "'";
}

/// Runs `call`, a debugger call that may append to the log file; a log file that cannot be
/// written ends the run with the log-file exit code, like one that cannot be opened.
template <class Call>
void WritingLog(const std::string& log_file, Call call) {
  try {
    call();
  } catch (const Error& e) {
    // The debugger's file errors read "<reason>: cannot write to the log file ...".
    const std::string_view what = e.what();
    throw Failure{kExitLogFile, "cannot write to log file " + DisplayName(log_file) + ": " +
                                    std::string(what.substr(0, what.find(':')))};
  }
}

}  // namespace velmira::words
