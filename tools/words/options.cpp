// Parsing and checking the command line of velmira-words.
#include "options.h"

#include <charconv>
#include <limits>

namespace velmira::words {
namespace {

std::uint64_t ParseNumber(const std::string& option, const std::string& text, std::uint64_t max) {
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value > max) {
    throw CommandLineError(kExitBadNumber, option + " needs a whole number from 0 to " +
                                               std::to_string(max) + ", not '" + text + "'");
  }
  return value;
}

}  // namespace

Options ParseOptions(const std::vector<std::string>& args) {
  Options o;
  bool options_done = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string arg = args[i];
    if (options_done || arg == "-" || arg.empty() || arg[0] != '-') {
      o.files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_done = true;
      continue;
    }
    // "--name=value" and "--name value" are the same.
    std::optional<std::string> inline_value;
    if (const auto eq = arg.find('='); arg.starts_with("--") && eq != std::string::npos) {
      inline_value = arg.substr(eq + 1);
      arg.resize(eq);
    }
    auto value = [&]() -> std::string {
      if (inline_value) return *inline_value;
      if (i + 1 >= args.size()) throw CommandLineError(kExitUsage, arg + " needs a value");
      return args[++i];
    };
    auto no_value = [&](bool& flag) {
      if (inline_value) throw CommandLineError(kExitUsage, arg + " takes no value");
      flag = true;
    };
    if (arg == "--top") {
      o.top = static_cast<std::uint32_t>(
          ParseNumber(arg, value(), std::numeric_limits<std::int32_t>::max()));
    } else if (arg == "--min-count") {
      o.min_count = ParseNumber(arg, value(), std::numeric_limits<std::int64_t>::max());
    } else if (arg == "--format") {
      const std::string f = value();
      if (f == "text") {
        o.format = Format::Text;
      } else if (f == "tsv") {
        o.format = Format::Tsv;
      } else if (f == "json") {
        o.format = Format::Json;
      } else if (f == "counts") {
        o.format = Format::Counts;
      } else {
        throw CommandLineError(kExitUsage,
                               "--format must be text, tsv, json or counts, not '" + f + "'");
      }
    } else if (arg == "--log") {
      o.log_file = value();
      if (o.log_file.empty()) throw CommandLineError(kExitUsage, "--log needs a file name");
    } else if (arg == "--merge") {
      no_value(o.merge);
    } else if (arg == "--profile") {
      no_value(o.profile);
    } else if (arg == "--case-sensitive") {
      no_value(o.case_sensitive);
    } else if (arg == "--help" || arg == "-h") {
      no_value(o.help);
    } else if (arg == "--version") {
      no_value(o.version);
    } else {
      throw CommandLineError(kExitUsage, "unknown option '" + arg + "'");
    }
  }
  // A table that leaves words out cannot be merged exactly.
  if (o.format == Format::Counts && (o.top || o.min_count != 1)) {
    throw CommandLineError(kExitUsage,
                           "--format counts lists every word: it takes no --top or "
                           "--min-count");
  }
  return o;
}

const char* UsageText() noexcept {
  return R"(Usage: velmira-words [OPTION]... [FILE]...
Counts the words of the FILEs (standard input when there is none, or for "-") and prints
each distinct word with its count, in ascending word order.

  --top N            only the N most frequent words, most frequent first; words with
                     equal counts in the order they first occurred
  --min-count N      only words that occur at least N times (default 1)
  --case-sensitive   count "Word" and "word" apart (default: lowercase every word)
  --format FORMAT    text (count, space, word; the default), tsv (word, tab, count),
                     json, or counts (a count table that --merge adds up)
  --merge            the FILEs are count tables: add them up, in the order given, as
                     if their texts had been counted one after another
  --profile          write a report of where the time went to standard error
  --log FILE         append the profiler's lines and report to FILE
  -h, --help         print this help and exit
      --version      print the version and exit

Words are runs of letters and digits of any script in UTF-8. Lowercasing uses the simple
mappings of Latin, Greek, Cyrillic and Armenian letters. Bytes that are not valid UTF-8
separate words and are counted; their number is reported on standard error.

Exit codes: 0 success, 1 internal error, 2 unknown option or bad option value,
3 bad number, 4 no such file, 5 file cannot be read, 6 file is a directory,
7 log file cannot be opened or written, 8 bad count table.
)";
}

}  // namespace velmira::words
