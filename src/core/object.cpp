#include "velmira/core/object.h"

#include <atomic>
#include <cstdint>
#include <mutex>

#include "velmira/core/error.h"

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

/// The live-object count is kept per thread, so creating and destroying an object costs a plain
/// increment instead of a locked one. Only its own thread writes a thread's count; readers sum
/// every thread's count under the registry lock, and a thread that ends folds its count into
/// `ended_threads`. A thread's count may go negative (objects can die on another thread): only
/// the sum means anything.
struct ThreadCount {
  enum State : std::uint8_t { Unregistered, Registered, Ended };
  std::atomic<std::int64_t> live{0};
  State state = Unregistered;
  ThreadCount* next = nullptr;
  ThreadCount* prev = nullptr;
};

struct CountRegistry {
  std::mutex lock;
  ThreadCount* threads = nullptr;
  std::atomic<std::int64_t> ended_threads{0};
  std::atomic<std::int64_t> library_locks{0};
};

CountRegistry& Registry() noexcept {
  static CountRegistry* registry = new CountRegistry;  // never destroyed: threads outlive statics
  return *registry;
}

// Constant-initialised, so reaching it needs no initialisation check.
[[gnu::tls_model("initial-exec")]] thread_local ThreadCount thread_count;

/// Unlinks this thread's count when the thread ends; created with the first object on a thread.
struct ThreadCountOwner {
  ~ThreadCountOwner() {
    CountRegistry& registry = Registry();
    const std::lock_guard<std::mutex> hold(registry.lock);
    ThreadCount& count = thread_count;
    registry.ended_threads.fetch_add(count.live.load(std::memory_order_relaxed),
                                     std::memory_order_relaxed);
    count.live.store(0, std::memory_order_relaxed);
    (count.prev ? count.prev->next : registry.threads) = count.next;
    if (count.next) count.next->prev = count.prev;
    count.state = ThreadCount::Ended;
  }
};

/// The first object of a thread registers its count; objects made or destroyed after the
/// thread's own clean-up (during process exit) count directly in `ended_threads`.
[[gnu::noinline]] void AddToCountSlowly(ThreadCount& count, std::int64_t delta) noexcept {
  CountRegistry& registry = Registry();
  if (count.state == ThreadCount::Ended) {
    registry.ended_threads.fetch_add(delta, std::memory_order_relaxed);
    return;
  }
  thread_local ThreadCountOwner owner;
  const std::lock_guard<std::mutex> hold(registry.lock);
  count.next = registry.threads;
  if (count.next) count.next->prev = &count;
  registry.threads = &count;
  count.state = ThreadCount::Registered;
  count.live.store(count.live.load(std::memory_order_relaxed) + delta, std::memory_order_relaxed);
}

inline void AddToCount(std::int64_t delta) noexcept {
  ThreadCount& count = thread_count;
  if (count.state != ThreadCount::Registered) return AddToCountSlowly(count, delta);
  // Only this thread writes its count: a load and a store, no locked instruction.
  count.live.store(count.live.load(std::memory_order_relaxed) + delta, std::memory_order_relaxed);
}

}  // namespace

std::int64_t LiveObjectCount() noexcept {
  CountRegistry& registry = Registry();
  const std::lock_guard<std::mutex> hold(registry.lock);
  std::int64_t sum = registry.ended_threads.load(std::memory_order_relaxed);
  for (const ThreadCount* count = registry.threads; count; count = count->next) {
    sum += count->live.load(std::memory_order_relaxed);
  }
  return sum;
}

std::int64_t LibraryLockCount() noexcept {
  return Registry().library_locks.load(std::memory_order_relaxed);
}

void detail::LockLibrary(bool lock) noexcept {
  std::atomic<std::int64_t>& locks = Registry().library_locks;
  if (lock) {
    locks.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  std::int64_t held = locks.load(std::memory_order_relaxed);
  while (held > 0 && !locks.compare_exchange_weak(held, held - 1, std::memory_order_relaxed)) {
  }
}

namespace {

/// The memory `Object::operator new` handed out last on this thread, until the object's
/// constructor claims it. The object's `Object` part (a virtual base, so built first) lies inside
/// that memory exactly when the object is the one being made by `new`; an object built inside it
/// later (a member) finds it claimed.
struct RecentAllocation {
  std::uintptr_t begin = 0;
  std::size_t size = 0;
};
[[gnu::tls_model("initial-exec")]] thread_local RecentAllocation recent_allocation;

void* Remember(void* memory, std::size_t size) noexcept {
  recent_allocation = {reinterpret_cast<std::uintptr_t>(memory), size};
  return memory;
}

}  // namespace

void* Object::operator new(std::size_t size) { return Remember(::operator new(size), size); }

void* Object::operator new(std::size_t size, std::align_val_t align) {
  return Remember(::operator new(size, align), size);
}

void Object::operator delete(void* memory) noexcept { ::operator delete(memory); }

void Object::operator delete(void* memory, std::align_val_t align) noexcept {
  ::operator delete(memory, align);
}

Object::Object() noexcept {
  RecentAllocation& recent = recent_allocation;
  const auto self = reinterpret_cast<std::uintptr_t>(this);
  if (self - recent.begin < recent.size) {
    recent = {};
  } else {
    ref_count_ = kNotMadeByNew;
  }
  AddToCount(1);
}

void detail::ThrowNotMadeByNew() {
  ThrowError(kErrInvalidArgument,
             "a reference can hold only an object made by New (this one was made on the stack, "
             "as a member or in an array)");
}

Object::~Object() { AddToCount(-1); }

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
