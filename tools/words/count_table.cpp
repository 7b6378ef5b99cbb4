// Writing the header and end line of a count table, and checking a table as it is read.
#include "count_table.h"

#include <charconv>
#include <utility>

namespace velmira::words {
namespace {

constexpr std::string_view kMagic = "velmira-words counts ";
constexpr std::string_view kEnd = "end";

std::string_view CaseName(bool case_sensitive) {
  return case_sensitive ? "case-sensitive" : "lowercase";
}

/// A whole number of at most `kMaxCount` in plain decimal digits.
std::optional<std::uint64_t> ParseNumber(std::string_view text) {
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value > kMaxCount) return std::nullopt;
  return value;
}

/// Splits off the text up to the next space (or the end), and the space.
std::string_view NextField(std::string_view& rest) {
  const std::size_t space = rest.find(' ');
  const std::string_view field = rest.substr(0, space);
  rest.remove_prefix(space == std::string_view::npos ? rest.size() : space + 1);
  return field;
}

}  // namespace

std::string CountTableHeader(bool case_sensitive) {
  return std::string(kMagic) + std::to_string(kCountTableVersion) + " " +
         std::string(CaseName(case_sensitive)) + "\n";
}

std::string CountTableEnd(const Totals& t) {
  return std::string(kEnd) + " " + std::to_string(t.distinct) + " " + std::to_string(t.words) +
         " " + std::to_string(t.invalid_utf8_bytes) + "\n";
}

CountTableParser::CountTableParser(bool case_sensitive) noexcept
    : case_sensitive_(case_sensitive), splitter_(!case_sensitive) {}

std::optional<TableEntry> CountTableParser::Line(std::string_view line) {
  ++line_;
  switch (state_) {
    case State::Header:
      Header(line);
      state_ = State::Entries;
      return std::nullopt;
    case State::Done:
      Fail("a line after the end line");
    case State::Entries:
      break;
  }
  if (line.starts_with(kEnd)) {
    End(line);
    state_ = State::Done;
    return std::nullopt;
  }
  std::string_view word = line;
  const std::string_view count_text = NextField(word);
  if (count_text.size() == line.size()) {
    Fail("expected a count, a space and a word, or the end line");
  }
  const std::optional<std::uint64_t> count = ParseNumber(count_text);
  if (!count || *count == 0) {
    Fail("a count must be a whole number from 1 to " + std::to_string(kMaxCount) + ", not '" +
         std::string(count_text) + "'");
  }
  if (*count > kMaxCount - sum_) {
    Fail("the counts add up to more than " + std::to_string(kMaxCount) + " words");
  }
  CheckWord(word);
  sum_ += *count;
  ++entries_;
  return TableEntry{word, *count};
}

void CountTableParser::Header(std::string_view line) const {
  if (!line.starts_with(kMagic)) Fail("not a velmira-words count table");
  std::string_view rest = line.substr(kMagic.size());
  const std::string_view version = NextField(rest);
  if (version != std::to_string(kCountTableVersion)) {
    Fail("a count table of version '" + std::string(version) + "'; this velmira-words reads " +
         "version " + std::to_string(kCountTableVersion));
  }
  if (rest == CaseName(!case_sensitive_)) {
    Fail(case_sensitive_ ? "the words were lowercased; merge without --case-sensitive"
                         : "the words were counted with --case-sensitive; merge with it too");
  }
  if (rest != CaseName(case_sensitive_)) {
    Fail("the header must end in 'lowercase' or 'case-sensitive', not '" + std::string(rest) + "'");
  }
}

void CountTableParser::End(std::string_view line) {
  std::string_view rest = line;
  std::optional<std::uint64_t> numbers[3];
  if (NextField(rest) == kEnd) {
    for (auto& n : numbers) n = ParseNumber(NextField(rest));
  }
  if (!rest.empty() || !numbers[0] || !numbers[1] || !numbers[2]) {
    Fail(
        "the end line must be 'end', the distinct words, the words and the invalid UTF-8 bytes, "
        "each a whole number up to " +
        std::to_string(kMaxCount));
  }
  end_ = Totals{*numbers[1], *numbers[0], *numbers[2]};
  if (end_.distinct != entries_ || end_.words != sum_) {
    Fail("the end line says " + std::to_string(end_.distinct) + " distinct words and " +
         std::to_string(end_.words) + " words, the table holds " + std::to_string(entries_) +
         " and " + std::to_string(sum_));
  }
}

void CountTableParser::CheckWord(std::string_view word) {
  const std::uint64_t invalid_before = splitter_.InvalidBytes();
  splitter_.Split(word, batch_);
  splitter_.Finish(batch_);
  const bool one_word = batch_.Size() == 1 && batch_.Word(0) == word;
  splitter_.Recycle(batch_);
  if (splitter_.InvalidBytes() != invalid_before) Fail("the word is not valid UTF-8");
  if (!one_word) {
    Fail("'" + std::string(word) + "' is not one " + (case_sensitive_ ? "" : "lowercase ") +
         "word");
  }
}

void CountTableParser::Finish(bool ended_with_line_feed) const {
  if (!ended_with_line_feed) {
    throw TableError{line_ + 1, "the last line has no line feed: the table is cut short"};
  }
  if (state_ == State::Header) throw TableError{1, "empty: not a velmira-words count table"};
  if (state_ == State::Entries) Fail("the table ends without its end line: it is cut short");
}

void CountTableParser::Fail(std::string message) const {
  throw TableError{line_, std::move(message)};
}

}  // namespace velmira::words
