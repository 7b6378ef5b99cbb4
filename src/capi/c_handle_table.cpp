// The handle table of the C interface: see c_boundary.h.
#include <cstdint>
#include <cstdio>
#include <new>

#include "capi/c_boundary.h"

namespace velmira::detail {
namespace {

std::string Describe(velmira_handle handle) {
  char text[40];
  std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(handle));
  return text;
}

[[noreturn]] void ThrowInvalidHandle(velmira_handle handle, const char* why) {
  throw BoundaryError(VELMIRA_INVALID_HANDLE, "Invalid handle " + Describe(handle) + ": " + why);
}

}  // namespace

HandleTable& HandleTable::Instance() {
  // Never destroyed: handles may still be released by other libraries' teardown at exit, and
  // the objects a client never released are simply left to the end of the process.
  static HandleTable* table = new HandleTable();
  return *table;
}

velmira_handle HandleTable::HandleOf(std::uint32_t index, const Entry& entry) noexcept {
  return static_cast<velmira_handle>(entry.generation) << 32 | (index + 1);
}

HandleTable::Entry& HandleTable::Find(velmira_handle handle) {
  const std::uint64_t low = handle & 0xFFFFFFFFu;
  if (low == 0 || low > entries_.size()) ThrowInvalidHandle(handle, "never issued");
  Entry& entry = entries_[low - 1];
  if (!entry.object || entry.generation != handle >> 32) {
    ThrowInvalidHandle(handle, "released or never issued");
  }
  // A client element's entry lives until its destructor runs, which may wait in the queue of
  // objects being destroyed after its last reference went: it is already released, and a new
  // reference would destroy it a second time.
  if (ReferenceCount(entry.object) == 0) ThrowInvalidHandle(handle, "released");
  return entry;
}

std::uint32_t HandleTable::Allocate(const Object* object, bool lives_with_object) {
  const bool reuse = first_free_ != 0;
  // A handle keeps index + 1 in 32 bits: a table that large would wrap it onto Nothing.
  if (!reuse && entries_.size() >= UINT32_MAX - 1) throw std::bad_alloc();
  const auto index = static_cast<std::uint32_t>(reuse ? first_free_ - 1 : entries_.size());
  if (!reuse) entries_.emplace_back();  // may throw: nothing has changed yet
  try {
    by_object_.emplace(object, index);
  } catch (...) {
    if (!reuse) entries_.pop_back();
    throw;
  }
  Entry& entry = entries_[index];
  if (reuse) first_free_ = entry.next_free;
  entry.object = object;
  entry.refs = 0;
  entry.lives_with_object = lives_with_object;
  return index;
}

void HandleTable::Free(std::uint32_t index) noexcept {
  Entry& entry = entries_[index];
  by_object_.erase(entry.object);
  entry.object = nullptr;
  entry.refs = 0;
  if (++entry.generation == 0) entry.generation = 1;  // 0 would let handle 0 alias Nothing
  entry.next_free = first_free_;
  first_free_ = index + 1;
}

velmira_handle HandleTable::Export(const Ref<Object>& object) {
  if (!object) return 0;
  std::lock_guard lock(mutex_);
  const auto found = by_object_.find(object.get());
  const std::uint32_t index =
      found != by_object_.end() ? found->second : Allocate(object.get(), false);
  Entry& entry = entries_[index];
  ++entry.refs;
  detail::Retain(object.get());
  return HandleOf(index, entry);
}

Ref<Object> HandleTable::Import(velmira_handle handle) {
  if (handle == 0) return Nothing;
  std::lock_guard lock(mutex_);
  return Ref<Object>(const_cast<Object*>(Find(handle).object));
}

void HandleTable::Retain(velmira_handle handle) {
  if (handle == 0) return;
  std::lock_guard lock(mutex_);
  Entry& entry = Find(handle);
  ++entry.refs;
  detail::Retain(entry.object);
}

void HandleTable::Release(velmira_handle handle) {
  if (handle == 0) return;
  const Object* object;
  {
    std::lock_guard lock(mutex_);
    Entry& entry = Find(handle);
    if (entry.refs == 0) ThrowInvalidHandle(handle, "holds no reference to release");
    object = entry.object;
    if (--entry.refs == 0 && !entry.lives_with_object)
      Free(static_cast<std::uint32_t>((handle & 0xFFFFFFFFu) - 1));
  }
  detail::Release(object);  // outside the lock: destruction may call back into the table
}

velmira_handle HandleTable::Register(const Object* element) {
  std::lock_guard lock(mutex_);
  const std::uint32_t index = Allocate(element, true);
  return HandleOf(index, entries_[index]);
}

void HandleTable::Unregister(velmira_handle handle) noexcept {
  std::lock_guard lock(mutex_);
  const std::uint64_t low = handle & 0xFFFFFFFFu;
  if (low == 0 || low > entries_.size()) return;
  if (entries_[low - 1].generation == handle >> 32) Free(static_cast<std::uint32_t>(low - 1));
}

}  // namespace velmira::detail
