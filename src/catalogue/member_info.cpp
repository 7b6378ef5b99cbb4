#include "velmira/catalogue/member_info.h"

namespace velmira {

bool NamesMatch(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool InterfaceInfo::IsImplementedBy(const Ref<Object>& object) const {
  return object && cast(object.get()) != nullptr;
}

std::int32_t InterfaceInfo::DispatchIdOf(std::string_view name) const noexcept {
  for (const MemberInfo& m : members) {
    if (name.empty() ? m.dispatch_id == 0 : NamesMatch(m.name, name)) return m.dispatch_id;
  }
  return -1;
}

const MemberInfo* InterfaceInfo::FindByScan(std::int32_t dispatch_id,
                                            CallKind kind) const noexcept {
  return detail::ScanForRow(members, dispatch_id, kind);
}

const MemberInfo* InterfaceInfo::Find(std::string_view name, CallKind kind) const noexcept {
  const std::int32_t id = DispatchIdOf(name);
  return id < 0 ? nullptr : Find(id, kind);
}

}  // namespace velmira
