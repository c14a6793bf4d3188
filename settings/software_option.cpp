#include "software_option.h"

#include <optional>

#include "settings/conversion.h"
#include "settings/errors.h"
#include "settings/store.h"

namespace settings {
namespace {

std::wstring ToText(BSTR text) { return std::wstring(text ? text : L"", SysStringLen(text)); }

// Accepts only objects that really are SoftwareInfo-shaped: a client may pass
// any object where a _SoftwareInfo is declared, and calling through the
// wrong vtable would crash. A null reference is accepted as null.
HRESULT AsSoftwareInfo(_SoftwareInfo* given, kestrel::ComPtr<_SoftwareInfo>& out) {
  kestrel::ComPtr<_SoftwareInfo> checked;
  if (given) {
    const HRESULT hr = given->QueryInterface(IID__SoftwareInfo,
                                             reinterpret_cast<void**>(checked.Put()));
    if (FAILED(hr)) return hr;
  }
  out = std::move(checked);
  return S_OK;
}

}  // namespace

HRESULT SoftwareOption::CreateInstance(REFIID iid, void** out) {
  return CreateAutomationObject<SoftwareOption>(iid, out);
}

SoftwareOption::Conversion SoftwareOption::ConvertValue(const VARIANT& input,
                                                        kestrel::Variant& converted) const {
  if (!IsOptionType(optionType_)) return Conversion::kBadType;
  return SUCCEEDED(CoerceToOptionType(input, optionType_, converted)) ? Conversion::kConverted
                                                                      : Conversion::kFailed;
}

HRESULT SoftwareOption::Create(_SoftwareInfo** optionsInfo, BSTR optionName,
                               SoftwareOptionType optionType, VARIANT defaultValue) {
  if (!optionsInfo) return E_POINTER;
  if (SysStringLen(optionName) == 0) return Raise(OptionError::kBadOptionName);
  kestrel::ComPtr<_SoftwareInfo> info;
  if (const HRESULT hr = AsSoftwareInfo(*optionsInfo, info); FAILED(hr)) return hr;

  optionsInfo_ = std::move(info);
  optionName_ = ToText(optionName);
  optionType_ = optionType;

  kestrel::Variant converted;
  switch (ConvertValue(defaultValue, converted)) {
    case Conversion::kBadType:
      return Raise(OptionError::kBadOptionType);
    case Conversion::kFailed:
      return Raise(OptionError::kDefaultNotConvertible);
    case Conversion::kConverted:
      defaultValue_ = std::move(converted);
      return S_OK;
  }
  return E_UNEXPECTED;
}

HRESULT SoftwareOption::put_DefaultValue(VARIANT value) {
  return kestrel::Variant::CopyFrom(value, defaultValue_);
}

HRESULT SoftwareOption::putref_DefaultValue(VARIANT value) {
  return kestrel::Variant::CopyFrom(value, defaultValue_);
}

HRESULT SoftwareOption::get_DefaultValue(VARIANT* value) {
  if (!value) return E_POINTER;
  return defaultValue_.CopyTo(value);
}

HRESULT SoftwareOption::put_OptionType(SoftwareOptionType type) {
  optionType_ = type;
  return S_OK;
}

HRESULT SoftwareOption::get_OptionType(SoftwareOptionType* type) {
  if (!type) return E_POINTER;
  *type = static_cast<SoftwareOptionType>(optionType_);
  return S_OK;
}

HRESULT SoftwareOption::put_OptionName(BSTR name) {
  if (SysStringLen(name) == 0) return Raise(OptionError::kBadOptionName);
  optionName_ = ToText(name);
  return S_OK;
}

HRESULT SoftwareOption::get_OptionName(BSTR* name) {
  if (!name) return E_POINTER;
  *name = SysAllocStringLen(optionName_.data(), static_cast<UINT>(optionName_.size()));
  return *name ? S_OK : E_OUTOFMEMORY;
}

HRESULT SoftwareOption::StoreNames(std::wstring& application, std::wstring& section) const {
  if (!optionsInfo_) return E_FAIL;
  kestrel::Bstr software;
  kestrel::Bstr sectionName;
  HRESULT hr = optionsInfo_->get_SoftwareName(software.Put());
  if (FAILED(hr)) return hr;
  hr = optionsInfo_->get_SectionName(sectionName.Put());
  if (FAILED(hr)) return hr;
  application = ToText(software.get());
  section = ToText(sectionName.get());
  return S_OK;
}

HRESULT SoftwareOption::ReadSettingText(const std::wstring& application,
                                        const std::wstring& section, kestrel::Bstr& text) const {
  std::optional<std::wstring> stored;
  const HRESULT hr = ReadStoredText(application, section, optionName_, stored);
  if (FAILED(hr)) return hr;
  if (stored) {
    text = kestrel::Bstr(stored->data(), static_cast<UINT>(stored->size()));
    return S_OK;
  }
  // A missing entry reads as the default's own text.
  return TextForm(defaultValue_.get(), text);
}

HRESULT SoftwareOption::LoadSetting(VARIANT* value) {
  if (!value) return E_POINTER;
  VariantInit(value);

  std::wstring application;
  std::wstring section;
  kestrel::Bstr text;
  if (FAILED(StoreNames(application, section)) ||
      FAILED(ReadSettingText(application, section, text))) {
    return Raise(OptionError::kNotInitialized);
  }
  value_ = kestrel::Variant::FromBstr(std::move(text));

  kestrel::Variant converted;
  switch (ConvertValue(value_.get(), converted)) {
    case Conversion::kBadType:
      return Raise(OptionError::kNotInitialized);
    case Conversion::kFailed:
      value_ = defaultValue_;
      break;
    case Conversion::kConverted:
      value_ = std::move(converted);
      break;
  }
  return value_.CopyTo(value);
}

HRESULT SoftwareOption::put_Value(VARIANT value) {
  kestrel::Variant converted;
  switch (ConvertValue(value, converted)) {
    case Conversion::kBadType:
      return Raise(OptionError::kBadOptionType);
    case Conversion::kFailed:
      return Raise(OptionError::kValueNotConvertible);
    case Conversion::kConverted:
      value_ = std::move(converted);
      return S_OK;
  }
  return E_UNEXPECTED;
}

HRESULT SoftwareOption::putref_Value(VARIANT value) {
  return kestrel::Variant::CopyFrom(value, value_);
}

HRESULT SoftwareOption::get_Value(VARIANT* value) {
  if (!value) return E_POINTER;
  return value_.CopyTo(value);
}

HRESULT SoftwareOption::putref_OptionsInfo(_SoftwareInfo** info) {
  if (!info) return E_POINTER;
  return AsSoftwareInfo(*info, optionsInfo_);
}

HRESULT SoftwareOption::get_OptionsInfo(_SoftwareInfo** info) {
  if (!info) return E_POINTER;
  *info = kestrel::ComPtr<_SoftwareInfo>(optionsInfo_).Detach();
  return S_OK;
}

HRESULT SoftwareOption::SaveSettingInChanged(VARIANT_BOOL* succeeded) {
  if (!succeeded) return E_POINTER;
  const bool saved = [this] {
    std::wstring application;
    std::wstring section;
    kestrel::Bstr stored;
    kestrel::Bstr current;
    if (FAILED(StoreNames(application, section)) ||
        FAILED(ReadSettingText(application, section, stored)) ||
        FAILED(TextForm(value_.get(), current))) {
      return false;
    }
    if (ToText(stored.get()) == ToText(current.get())) return true;
    // The names are asked again: the SoftwareInfo may be shared and changed.
    return SUCCEEDED(StoreNames(application, section)) &&
           SUCCEEDED(WriteStoredText(application, section, optionName_, ToText(current.get())));
  }();
  // Whatever failed on the way, no error state is left behind.
  SetErrorInfo(0, nullptr);
  *succeeded = saved ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

}  // namespace settings
