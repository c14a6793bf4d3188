#include "software_info.h"


#include "settings/errors.h"

namespace settings {
namespace {

std::wstring ToText(BSTR text) { return std::wstring(text ? text : L"", SysStringLen(text)); }

HRESULT CopyOut(const std::wstring& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

HRESULT SoftwareInfo::CreateInstance(REFIID iid, void** out) {
  return CreateAutomationObject<SoftwareInfo>(iid, out);
}

HRESULT SoftwareInfo::Create(BSTR softwareName, BSTR sectionName, _SoftwareInfo** result) {
  if (!result) return E_POINTER;
  *result = nullptr;
  // The default section "Options" is supplied by the type library to dispatch
  // callers; a vtable caller always passes one, and a null BSTR is empty text.
  const std::wstring software = ToText(softwareName);
  const std::wstring section = ToText(sectionName);
  if (software.empty() || section.empty()) return Raise(InfoError::kInvalidName);
  softwareName_ = software;
  sectionName_ = section;
  AddRef();
  *result = this;
  return S_OK;
}

HRESULT SoftwareInfo::put_SectionName(BSTR name) {
  if (SysStringLen(name) == 0) return Raise(InfoError::kInvalidName);
  sectionName_ = ToText(name);
  return S_OK;
}

HRESULT SoftwareInfo::get_SectionName(BSTR* name) { return CopyOut(sectionName_, name); }

HRESULT SoftwareInfo::put_SoftwareName(BSTR name) {
  if (SysStringLen(name) == 0) return Raise(InfoError::kInvalidName);
  softwareName_ = ToText(name);
  return S_OK;
}

HRESULT SoftwareInfo::get_SoftwareName(BSTR* name) { return CopyOut(softwareName_, name); }

}  // namespace settings
