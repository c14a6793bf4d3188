#pragma once
// SoftwareOption: one named setting of a declared type, persisted as text in
// the settings store under the names of its SoftwareInfo.

#include <string>

#include "QUILLONSoftwareOptions.h"
#include "common/com_ptr.h"
#include "settings/automation_object.h"

namespace settings {

class SoftwareOption final : public AutomationObject<_SoftwareOption, IID__SoftwareOption> {
 public:
  static HRESULT CreateInstance(REFIID iid, void** out);

  HRESULT STDMETHODCALLTYPE Create(_SoftwareInfo** optionsInfo, BSTR optionName,
                                   SoftwareOptionType optionType, VARIANT defaultValue) override;
  HRESULT STDMETHODCALLTYPE put_DefaultValue(VARIANT value) override;
  HRESULT STDMETHODCALLTYPE putref_DefaultValue(VARIANT value) override;
  HRESULT STDMETHODCALLTYPE get_DefaultValue(VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE put_OptionType(SoftwareOptionType type) override;
  HRESULT STDMETHODCALLTYPE get_OptionType(SoftwareOptionType* type) override;
  HRESULT STDMETHODCALLTYPE put_OptionName(BSTR name) override;
  HRESULT STDMETHODCALLTYPE get_OptionName(BSTR* name) override;
  HRESULT STDMETHODCALLTYPE LoadSetting(VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE put_Value(VARIANT value) override;
  HRESULT STDMETHODCALLTYPE putref_Value(VARIANT value) override;
  HRESULT STDMETHODCALLTYPE get_Value(VARIANT* value) override;
  HRESULT STDMETHODCALLTYPE putref_OptionsInfo(_SoftwareInfo** info) override;
  HRESULT STDMETHODCALLTYPE get_OptionsInfo(_SoftwareInfo** info) override;
  HRESULT STDMETHODCALLTYPE SaveSettingInChanged(VARIANT_BOOL* succeeded) override;

 private:
  enum class Conversion { kConverted, kFailed, kBadType };
  Conversion ConvertValue(const VARIANT& input, kestrel::Variant& converted) const;
  HRESULT StoreNames(std::wstring& application, std::wstring& section) const;
  HRESULT ReadSettingText(const std::wstring& application, const std::wstring& section,
                          kestrel::Bstr& text) const;

  kestrel::ComPtr<_SoftwareInfo> optionsInfo_;
  kestrel::Variant value_;
  std::wstring optionName_;
  long optionType_ = 0;
  kestrel::Variant defaultValue_;
};

}  // namespace settings
