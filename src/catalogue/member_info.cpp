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

std::size_t MemberInfo::RequiredCount() const noexcept {
  std::size_t required = 0;
  for (const ParamInfo& p : Params()) {
    if (!p.optional && !p.param_array) ++required;
  }
  return required;
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

const MemberInfo* InterfaceInfo::Find(std::int32_t dispatch_id, CallKind kind) const noexcept {
  const MemberInfo* stand_in = nullptr;
  for (const MemberInfo& m : members) {
    if (m.dispatch_id != dispatch_id) continue;
    if (m.kind == kind) return &m;
    const bool reads = kind == CallKind::PropertyGet || kind == CallKind::Method;
    const bool row_reads = m.kind == CallKind::PropertyGet || m.kind == CallKind::Method;
    if (reads && row_reads) stand_in = &m;
  }
  return stand_in;
}

const MemberInfo* InterfaceInfo::Find(std::string_view name, CallKind kind) const noexcept {
  const std::int32_t id = DispatchIdOf(name);
  return id < 0 ? nullptr : Find(id, kind);
}

}  // namespace velmira
