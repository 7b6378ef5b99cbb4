// One object in two containers at once: each container uses its own slot.
#include <velmira/velmira.h>

#include <cassert>

using namespace velmira;

int main() {
  Ref<Stack> recent = New<Stack>();  // slot 0
  Ref<Stack> starred = New<Stack>();
  starred->SetIndex(1);  // slot 1; only while the stack is empty
  Ref<StackNode> note = New<StackNode>();
  recent->Push(note);
  starred->Push(note);  // fine: its slot-1 link is free
  assert(Is(recent->Top(), starred->Top()));
  recent->Pop();                     // resets the slot-0 link only
  assert(Is(starred->Top(), note));  // still starred
}
