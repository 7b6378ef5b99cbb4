#include "velmira/core/debug_output.h"

#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <mutex>
#include <utility>

namespace velmira {
namespace {

/// Writes the message to stderr in one system call, ending it with a line feed if it has none.
void WriteToStderr(std::string_view message) noexcept {
  const bool needs_line_feed = message.empty() || message.back() != '\n';
  static const char kLineFeed = '\n';
  iovec parts[2] = {{const_cast<char*>(message.data()), message.size()},
                    {const_cast<char*>(&kLineFeed), needs_line_feed ? 1u : 0u}};
  ssize_t written;
  do {
    written = ::writev(STDERR_FILENO, parts, 2);
  } while (written < 0 && errno == EINTR);
}

struct SinkSlot {
  std::mutex mutex;
  std::shared_ptr<const DebugSink> sink;  // null means the default
};

SinkSlot& Slot() {
  static SinkSlot slot;
  return slot;
}

}  // namespace

DebugSink SetDebugOutput(DebugSink sink) {
  auto next = sink ? std::make_shared<const DebugSink>(std::move(sink)) : nullptr;
  SinkSlot& slot = Slot();
  std::shared_ptr<const DebugSink> previous;
  {
    std::lock_guard lock(slot.mutex);
    previous = std::exchange(slot.sink, std::move(next));
  }
  return previous ? *previous : DebugSink();
}

void WriteDebugOutput(std::string_view message) noexcept {
  SinkSlot& slot = Slot();
  std::shared_ptr<const DebugSink> sink;
  {
    std::lock_guard lock(slot.mutex);
    sink = slot.sink;
  }
  if (!sink) {
    WriteToStderr(message);
    return;
  }
  try {
    (*sink)(message);
  } catch (...) {
    // Writing to the channel never fails in a way the caller can see.
  }
}

}  // namespace velmira
