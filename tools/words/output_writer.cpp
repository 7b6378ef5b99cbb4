// The three output formats of velmira-words.
#include "output_writer.h"

#include <cinttypes>

namespace velmira::words {
namespace {

void AppendJsonString(std::string& out, std::string_view s) {
  out.push_back('"');
  for (const char c : s) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out.push_back(c);
    }
  }
  out.push_back('"');
}

}  // namespace

void OutputWriter::Begin(const Totals& t) {
  totals_ = t;
  if (format_ == Format::Counts) buffer_ += CountTableHeader(case_sensitive_);
  if (format_ != Format::Json) return;
  buffer_ += "{\n  \"words\": " + std::to_string(t.words) +
             ",\n  \"distinct\": " + std::to_string(t.distinct) +
             ",\n  \"invalid_utf8_bytes\": " + std::to_string(t.invalid_utf8_bytes) +
             ",\n  \"entries\": [";
}

void OutputWriter::Entry(std::string_view word, std::uint64_t count) {
  char number[24];
  switch (format_) {
    case Format::Text:
      std::snprintf(number, sizeof number, "%7" PRIu64 " ", count);
      buffer_ += number;
      buffer_ += word;
      buffer_ += '\n';
      break;
    case Format::Tsv:
      buffer_ += word;
      buffer_ += '\t';
      buffer_ += std::to_string(count);
      buffer_ += '\n';
      break;
    case Format::Json:
      buffer_ += first_entry_ ? "\n    {\"word\": " : ",\n    {\"word\": ";
      AppendJsonString(buffer_, word);
      buffer_ += ", \"count\": " + std::to_string(count) + "}";
      break;
    case Format::Counts:
      buffer_ += std::to_string(count);
      buffer_ += ' ';
      buffer_ += word;
      buffer_ += '\n';
      break;
  }
  first_entry_ = false;
  if (buffer_.size() >= (1u << 16)) Flush();
}

bool OutputWriter::End() {
  if (format_ == Format::Json) buffer_ += first_entry_ ? "]\n}\n" : "\n  ]\n}\n";
  if (format_ == Format::Counts) buffer_ += CountTableEnd(totals_);
  Flush();
  return std::fflush(out_) == 0 && !std::ferror(out_);
}

void OutputWriter::Flush() {
  std::fwrite(buffer_.data(), 1, buffer_.size(), out_);
  buffer_.clear();
}

}  // namespace velmira::words
