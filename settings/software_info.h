#pragma once
// SoftwareInfo: the application name and section under which a group of
// options lives in the settings store.

#include <string>

#include "QUILLONSoftwareOptions.h"
#include "settings/automation_object.h"

namespace settings {

class SoftwareInfo final : public AutomationObject<_SoftwareInfo, IID__SoftwareInfo> {
 public:
  static HRESULT CreateInstance(REFIID iid, void** out);

  HRESULT STDMETHODCALLTYPE Create(BSTR softwareName, BSTR sectionName,
                                   _SoftwareInfo** result) override;
  HRESULT STDMETHODCALLTYPE put_SectionName(BSTR name) override;
  HRESULT STDMETHODCALLTYPE get_SectionName(BSTR* name) override;
  HRESULT STDMETHODCALLTYPE put_SoftwareName(BSTR name) override;
  HRESULT STDMETHODCALLTYPE get_SoftwareName(BSTR* name) override;

 private:
  std::wstring softwareName_;
  std::wstring sectionName_;
};

}  // namespace settings
