// The command line of `velmira-words`: its options, their checks and the exit codes.
//
//   Options o = ParseOptions({"--top", "20", "book.txt"});   // throws CommandLineError
//
// Exit codes (also listed by --help and in docs/words.md):
//   0 success; 1 an unexpected internal error, or output (the listing, the --profile report)
//   that cannot be written; 2 an unknown option, a missing option value or a bad --format; 3 a
//   bad number; 4 an input file that does not exist; 5 an input file that cannot be opened or
//   read; 6 an input that is a directory; 7 a log file that cannot be opened for appending or
//   written to; 8 a count table given to --merge that is malformed, cut short, of another
//   version or counted with the other case setting.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace velmira::words {

inline constexpr int kExitOk = 0;
inline constexpr int kExitInternal = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitBadNumber = 3;
inline constexpr int kExitNoSuchFile = 4;
inline constexpr int kExitUnreadable = 5;
inline constexpr int kExitDirectory = 6;
inline constexpr int kExitLogFile = 7;
inline constexpr int kExitBadTable = 8;

enum class Format { Text, Tsv, Json, Counts };

struct Options {
  std::vector<std::string> files;  // empty, or "-", for standard input
  bool merge = false;              // the files are count tables to add up
  std::optional<std::uint32_t> top;
  std::uint64_t min_count = 1;
  bool case_sensitive = false;
  bool profile = false;
  std::string log_file;
  Format format = Format::Text;
  bool help = false;
  bool version = false;
};

/// A command-line problem: the message to print and the exit code.
struct CommandLineError : std::runtime_error {
  CommandLineError(int code, const std::string& message)
      : std::runtime_error(message), code(code) {}
  int code;
};

Options ParseOptions(const std::vector<std::string>& args);

/// The text --help prints.
const char* UsageText() noexcept;

}  // namespace velmira::words
