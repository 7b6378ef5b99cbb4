// Misuse never throws: one warning line goes to the debug output channel and nothing changes.
// Replace the channel's sink to capture the lines (stderr is the default).
#include <velmira/velmira.h>

#include <cassert>
#include <string>
#include <vector>

using namespace velmira;

int main() {
  std::vector<std::string> lines;
  DebugSink previous = SetDebugOutput([&](std::string_view line) { lines.emplace_back(line); });

  Ref<Queue> queue = New<Queue>();
  queue->Add(Nothing);
  Ref<QueueNode> item = New<QueueNode>();
  queue->Add(item);
  queue->SetIndex(2);  // refused: the queue is not empty

  SetDebugOutput(previous);
  assert(lines.size() == 2);
  assert(lines[0] == "Queue: Warning, an attempt was made to Add Nothing");
  assert(lines[1] ==
         "Queue: Warning, an attempt was made to change the Index of a non-empty queue");
  assert(queue->Index() == 0 && Is(queue->First(), item));
}
