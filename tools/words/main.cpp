// velmira-words: counts the words of UTF-8 texts with the library's splay tree and ranks the
// most frequent with its priority queue. See `velmira-words --help` and docs/words.md.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "options.h"
#include "output_writer.h"
#include "ranking.h"
#include "velmira/core/debug_output.h"
#include "velmira/core/error.h"
#include "velmira/debug/debugger.h"
#include "velmira/debug/no_debugger.h"
#include "velmira/elements/pqueue_node.h"
#include "velmira/tree/enumerate.h"
#include "word_index.h"
#include "word_splitter.h"

namespace velmira::words {
namespace {

constexpr std::size_t kChunk = 1 << 20;
constexpr std::uint64_t kProgressFrom = 32u << 20;  // inputs smaller than this show no progress

struct Failure {
  int code;
  std::string message;
};

std::string DisplayName(const std::string& file) {
  return file == "-" ? "standard input" : "'" + file + "'";
}

/// Refuses, before anything is read, an input that is missing, a directory or unreadable.
void CheckInput(const std::string& file) {
  if (file == "-") return;
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) {
    if (errno == ENOENT) throw Failure{kExitNoSuchFile, "no such file: " + DisplayName(file)};
    throw Failure{kExitUnreadable,
                  "cannot read " + DisplayName(file) + ": " + std::strerror(errno)};
  }
  if (S_ISDIR(st.st_mode)) throw Failure{kExitDirectory, DisplayName(file) + " is a directory"};
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

/// With --profile, the debugger's lines go to standard error through this sink, which notes
/// any line that could not be written: a report that is lost fails the run.
class ReportSink {
 public:
  ReportSink() : previous_(SetDebugOutput([this](std::string_view line) { Write(line); })) {}
  ReportSink(const ReportSink&) = delete;
  ReportSink& operator=(const ReportSink&) = delete;
  ~ReportSink() { SetDebugOutput(previous_); }

  bool Lost() const noexcept { return lost_; }

 private:
  void Write(std::string_view line) {
    std::string text(line);
    if (text.empty() || text.back() != '\n') text.push_back('\n');
    if (std::fwrite(text.data(), 1, text.size(), stderr) != text.size()) lost_ = true;
  }

  DebugSink previous_;
  bool lost_ = false;
};

/// Reads the inputs chunk by chunk, splitting and indexing each chunk before the next is read,
/// so memory follows the number of distinct words. Each stage is a profiled procedure.
class Counter {
 public:
  Counter(const Options& o, Debugger& debug)
      : debug_(debug),
        log_file_(o.log_file),
        splitter_(!o.case_sensitive),
        progress_(::isatty(STDERR_FILENO) == 1) {}

  void Read(const std::string& file) {
    const int fd = file == "-" ? STDIN_FILENO : ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      throw Failure{kExitUnreadable,
                    "cannot open " + DisplayName(file) + ": " + std::strerror(errno)};
    }
    const std::uint64_t words_before = index_.TotalWords(), bytes_before = bytes_;
    std::vector<char> buffer(kChunk);
    for (;;) {
      debug_.Enter("Reading");
      ssize_t got;
      do got = ::read(fd, buffer.data(), buffer.size());
      while (got < 0 && errno == EINTR);
      const int read_errno = errno;
      debug_.Leave("Reading");
      if (got < 0) {
        if (fd != STDIN_FILENO) ::close(fd);
        throw Failure{kExitUnreadable,
                      "cannot read " + DisplayName(file) + ": " + std::strerror(read_errno)};
      }
      if (got == 0) break;
      bytes_ += static_cast<std::uint64_t>(got);
      debug_.Enter("Splitting");
      splitter_.Split(std::string_view(buffer.data(), static_cast<std::size_t>(got)), batch_);
      debug_.Leave("Splitting");
      IndexBatch();
      ShowProgress();
    }
    if (fd != STDIN_FILENO) ::close(fd);
    // A word does not run from one file into the next.
    splitter_.Finish(batch_);
    IndexBatch();
    WritingLog(log_file_, [&] {
      debug_.Output("Read " + DisplayName(file) + ": " + std::to_string(bytes_ - bytes_before) +
                    " bytes, " + std::to_string(index_.TotalWords() - words_before) + " words");
    });
  }

  /// Brings the index up to date; its tree is complete afterwards.
  void Finish() {
    debug_.Enter("Indexing");
    index_.Flush();
    debug_.Leave("Indexing");
    if (shown_) std::fputs("\r\033[K", stderr);
  }

  const WordIndex& Index() const { return index_; }
  std::uint64_t InvalidBytes() const { return splitter_.InvalidBytes(); }

 private:
  void IndexBatch() {
    debug_.Enter("Indexing");
    for (std::size_t i = 0; i < batch_.Size(); ++i) index_.Count(batch_.Word(i));
    splitter_.Recycle(batch_);
    debug_.Leave("Indexing");
  }

  void ShowProgress() {
    if (!progress_ || bytes_ < kProgressFrom || bytes_ - last_shown_ < (4u << 20)) return;
    last_shown_ = bytes_;
    shown_ = true;
    std::fprintf(stderr, "\rvelmira-words: %llu MB read, %llu words indexed",
                 static_cast<unsigned long long>(bytes_ >> 20),
                 static_cast<unsigned long long>(index_.TotalWords()));
    std::fflush(stderr);
  }

  Debugger& debug_;
  const std::string& log_file_;
  WordSplitter splitter_;
  WordBatch batch_;
  WordIndex index_;
  std::uint64_t bytes_ = 0, last_shown_ = 0;
  bool progress_, shown_ = false;
};

int Run(const Options& o) {
  std::vector<std::string> files = o.files;
  if (files.empty()) files.push_back("-");
  for (const std::string& f : files) CheckInput(f);

  // The profiler is the library's Debugger; without --profile or --log its silent twin.
  Ref<Debugger> debug =
      (o.profile || !o.log_file.empty()) ? New<Debugger>() : Ref<Debugger>(New<NoDebugger>());
  debug->SetShowEnter(false);
  debug->SetShowLeave(false);
  debug->SetShowReportZeros(false);
  debug->SetOutputToDebug(o.profile);
  std::optional<ReportSink> report_sink;
  if (o.profile) report_sink.emplace();
  if (!o.log_file.empty()) {
    if (std::FILE* probe = std::fopen(o.log_file.c_str(), "a")) {
      std::fclose(probe);
    } else {
      throw Failure{kExitLogFile, "cannot open log file " + DisplayName(o.log_file) + ": " +
                                      std::strerror(errno)};
    }
    debug->SetOutputFile(o.log_file);
  }

  Counter counter(o, *debug);
  for (const std::string& f : files) counter.Read(f);
  counter.Finish();
  const WordIndex& index = counter.Index();
  const Totals totals{index.TotalWords(), index.DistinctWords(), counter.InvalidBytes()};

  Ref<PQueue> ranked;
  if (o.top) {
    debug->Enter("Ranking");
    ranked = RankWords(index, *o.top, o.min_count);
    debug->Leave("Ranking");
  }

  debug->Enter("Output");
  OutputWriter out(o.format, stdout);
  out.Begin(totals);
  if (ranked) {
    while (Ref<IPQueueNode> e = ranked->NextItem()) {
      Ref<TreeNode> node = As<TreeNode>(As<PQueueNode>(e)->Data().ObjectValue());
      out.Entry(node->Key(0).Text(), WordIndex::CountOf(*node));
    }
  } else {
    for (const Ref<ITreeNode>& n : Enumerate(index.Tree())) {
      auto& node = static_cast<TreeNode&>(*n);
      if (const std::uint64_t count = WordIndex::CountOf(node); count >= o.min_count) {
        out.Entry(node.Key(0).Text(), count);
      }
    }
  }
  const bool written = out.End();
  debug->Leave("Output");

  if (totals.invalid_utf8_bytes > 0) {
    std::fprintf(stderr, "velmira-words: %llu bytes of invalid UTF-8 were read as separators\n",
                 static_cast<unsigned long long>(totals.invalid_utf8_bytes));
  }
  WritingLog(o.log_file, [&] {
    debug->Output("Totals: " + std::to_string(totals.words) + " words, " +
                  std::to_string(totals.distinct) + " distinct, " +
                  std::to_string(totals.invalid_utf8_bytes) + " invalid UTF-8 bytes");
    debug->Report();
  });
  if (!written) throw Failure{kExitInternal, "cannot write the output"};
  if (report_sink && report_sink->Lost()) {
    throw Failure{kExitInternal, "cannot write the profile report to standard error"};
  }
  return kExitOk;
}

}  // namespace
}  // namespace velmira::words

int main(int argc, char** argv) {
  using namespace velmira::words;
  try {
    const Options o = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (o.help) {
      std::fputs(UsageText(), stdout);
      return kExitOk;
    }
    if (o.version) {
      std::puts("velmira-words " VELMIRA_VERSION);
      return kExitOk;
    }
    return Run(o);
  } catch (const CommandLineError& e) {
    std::fprintf(stderr, "velmira-words: %s\nTry 'velmira-words --help'.\n", e.what());
    return e.code;
  } catch (const Failure& f) {
    std::fprintf(stderr, "velmira-words: %s\n", f.message.c_str());
    return f.code;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmira-words: internal error: %s\n", e.what());
    return kExitInternal;
  }
}
