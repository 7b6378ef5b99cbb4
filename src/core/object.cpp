#include "velmira/core/object.h"

#include <atomic>
#include <cstdint>

namespace velmira {
namespace {

/// Objects whose count fell to zero while another destruction was running on this thread,
/// in the order they fell; the outermost `Destroy` works through them.
struct DestroyQueue {
  bool draining = false;
  const Object* head = nullptr;
  const Object* tail = nullptr;
};

thread_local DestroyQueue destroy_queue;

std::atomic<std::int64_t> live_objects{0};

}  // namespace

std::int64_t LiveObjectCount() noexcept { return live_objects.load(std::memory_order_relaxed); }

Object::Object() noexcept { live_objects.fetch_add(1, std::memory_order_relaxed); }

Object::~Object() { live_objects.fetch_sub(1, std::memory_order_relaxed); }

void Object::Delete(const Object* object) noexcept {
  object->ref_count_ = INTPTR_MAX / 2;
  delete object;
}

void Object::Destroy(const Object* object) noexcept {
  DestroyQueue& queue = destroy_queue;
  if (queue.draining) {
    // A destructor further up this thread's stack released its last reference: queue it, so a
    // chain of any length is destroyed in a loop rather than by nested destructors.
    object->next_to_destroy_ = nullptr;
    if (queue.tail) {
      queue.tail->next_to_destroy_ = object;
    } else {
      queue.head = object;
    }
    queue.tail = object;
    return;
  }
  queue.draining = true;
  Delete(object);
  while (queue.head) {
    const Object* next = queue.head;
    queue.head = next->next_to_destroy_;
    if (!queue.head) queue.tail = nullptr;
    Delete(next);
  }
  queue.draining = false;
}

}  // namespace velmira
