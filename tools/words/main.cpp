// velmira-words: counts the words of UTF-8 texts with the library's splay tree and ranks the
// most frequent with its priority queue, or adds up the count tables of earlier runs. See
// `velmira-words --help` and docs/words.md.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "failure.h"
#include "input_file.h"
#include "options.h"
#include "output_writer.h"
#include "ranking.h"
#include "table_merger.h"
#include "text_counter.h"
#include "velmira/core/debug_output.h"
#include "velmira/debug/debugger.h"
#include "velmira/debug/no_debugger.h"
#include "velmira/elements/pqueue_node.h"
#include "velmira/tree/enumerate.h"
#include "word_index.h"

namespace velmira::words {
namespace {

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

  // Texts are counted, or count tables added up, into one index; either way everything after
  // this reads the index alone, so a merge prints what one run over the texts would.
  WordIndex index;
  std::uint64_t invalid_bytes;
  if (o.merge) {
    TableMerger merger(o, *debug, index);
    for (const std::string& f : files) merger.Read(f);
    invalid_bytes = merger.InvalidBytes();
  } else {
    TextCounter counter(o, *debug, index);
    for (const std::string& f : files) counter.Read(f);
    counter.Finish();
    invalid_bytes = counter.InvalidBytes();
  }
  debug->Enter("Indexing");
  index.Flush();
  debug->Leave("Indexing");
  const Totals totals{index.TotalWords(), index.DistinctWords(), invalid_bytes};

  Ref<PQueue> ranked;
  if (o.top) {
    debug->Enter("Ranking");
    ranked = RankWords(index, *o.top, o.min_count);
    debug->Leave("Ranking");
  }

  debug->Enter("Output");
  OutputWriter out(o, stdout);
  out.Begin(totals);
  if (o.format == Format::Counts) {
    for (TreeNode* node : index.InFirstSeenOrder()) {
      out.Entry(node->Key(0).Text(), WordIndex::CountOf(*node));
    }
  } else if (ranked) {
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
