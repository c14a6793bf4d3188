#pragma once
// Helpers shared by the settings tests: a scratch store area that is removed
// before and after each test, variant makers and error information readers.

#include <windows.h>
#include <oaidl.h>

#include <optional>
#include <string>

#include "common/com_ptr.h"
#include "support/text.h"

namespace testing_support {

inline const wchar_t kStoreRoot[] = L"Software\\VB and VBA Program Settings";

// Owns one application name in the store for the duration of a test.
class ScratchApplication {
 public:
  explicit ScratchApplication(std::wstring name) : name_(std::move(name)) { Remove(); }
  ~ScratchApplication() { Remove(); }
  ScratchApplication(const ScratchApplication&) = delete;
  ScratchApplication& operator=(const ScratchApplication&) = delete;

  const std::wstring& name() const { return name_; }
  std::wstring SectionPath(const std::wstring& section) const {
    return std::wstring(kStoreRoot) + L"\\" + name_ + L"\\" + section;
  }
  // Writes raw data of any type, as another program might have.
  void WriteRaw(const std::wstring& section, const std::wstring& key, DWORD type,
                const void* data, DWORD bytes) const {
    HKEY k = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, nullptr, 0,
                    KEY_SET_VALUE, nullptr, &k, nullptr);
    RegSetValueExW(k, key.c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(k);
  }
  void WriteText(const std::wstring& section, const std::wstring& key,
                 const std::wstring& text) const {
    WriteRaw(section, key, REG_SZ, text.c_str(),
             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  // The stored REG_SZ text, or nothing when the value is absent.
  std::optional<std::wstring> ReadText(const std::wstring& section,
                                       const std::wstring& key) const {
    wchar_t buffer[4096] = L"";
    DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, SectionPath(section).c_str(), key.c_str(),
                     RRF_RT_ANY, &type, buffer, &bytes) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    return std::wstring(buffer);
  }
  bool SectionExists(const std::wstring& section) const {
    HKEY k = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_READ, &k) !=
        ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(k);
    return true;
  }

 private:
  void Remove() const {
    RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kStoreRoot) + L"\\" + name_).c_str());
  }
  std::wstring name_;
};

inline kestrel::Variant Text(const wchar_t* text) { return kestrel::Variant::FromText(text); }

inline kestrel::Variant Number(double value) {
  kestrel::Variant v;
  V_VT(v.Put()) = VT_R8;
  V_R8(const_cast<VARIANT*>(&v.get())) = value;
  return v;
}

inline kestrel::Variant Long(LONG value) {
  kestrel::Variant v;
  VARIANT* p = v.Put();
  V_VT(p) = VT_I4;
  V_I4(p) = value;
  return v;
}

inline kestrel::Variant Null() {
  kestrel::Variant v;
  V_VT(v.Put()) = VT_NULL;
  return v;
}

// The description the last failing call left in this thread's error
// information, consumed; empty when there is none.
inline std::wstring TakeErrorDescription() {
  kestrel::ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.Put()) != S_OK || !info) return L"";
  kestrel::Bstr description;
  info->GetDescription(description.Put());
  return description.c_str();
}

inline std::string Describe(const VARIANT& v) {
  kestrel::Variant text;
  std::string shown = "vt=" + std::to_string(V_VT(&v));
  if (SUCCEEDED(VariantChangeTypeEx(text.Put(), const_cast<VARIANT*>(&v), LOCALE_USER_DEFAULT,
                                    VARIANT_ALPHABOOL, VT_BSTR))) {
    shown += " \"" + Utf8(V_BSTR(&text.get()) ? V_BSTR(&text.get()) : L"") + "\"";
  }
  return shown;
}

}  // namespace testing_support
