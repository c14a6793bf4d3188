#include "store.h"

#include <vector>

#include "common/registry_key.h"

namespace settings {
namespace {

std::wstring SectionPath(const std::wstring& application, const std::wstring& section) {
  return std::wstring(kStoreRoot) + L"\\" + application + L"\\" + section;
}

bool NamesValid(const std::wstring& application, const std::wstring& section,
                const std::wstring& key) {
  return !application.empty() && !section.empty() && !key.empty();
}

}  // namespace

HRESULT ReadStoredText(const std::wstring& application, const std::wstring& section,
                       const std::wstring& key, std::optional<std::wstring>& text) {
  text.reset();
  if (!NamesValid(application, section, key)) return E_INVALIDARG;

  kestrel::RegistryKey sectionKey;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(application, section).c_str(), 0,
                    KEY_QUERY_VALUE, sectionKey.Put()) != ERROR_SUCCESS) {
    return S_OK;
  }

  constexpr DWORD kMaxBytes = (kMaxSettingChars + 1) * sizeof(wchar_t);
  // The value may change between asking its size and reading it; retry a few
  // times rather than ever returning a truncated text.
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD type = 0;
    DWORD bytes = 0;
    LONG rc = RegQueryValueExW(sectionKey.get(), key.c_str(), nullptr, &type, nullptr, &bytes);
    if (rc != ERROR_SUCCESS || type != REG_SZ || bytes > kMaxBytes) return S_OK;

    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD got = bytes;
    rc = RegQueryValueExW(sectionKey.get(), key.c_str(), nullptr, &type,
                          reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS || type != REG_SZ || got > bytes) return S_OK;

    // Stored data need not end with a terminator, and may hold one early:
    // the text ends at the first terminator or the data's end.
    const size_t chars = got / sizeof(wchar_t);
    size_t length = 0;
    while (length < chars && buffer[length] != L'\0') ++length;
    text.emplace(buffer.data(), length);
    return S_OK;
  }
  return S_OK;
}

HRESULT WriteStoredText(const std::wstring& application, const std::wstring& section,
                        const std::wstring& key, const std::wstring& text) {
  if (!NamesValid(application, section, key)) return E_INVALIDARG;
  if (text.size() > kMaxSettingChars || text.find(L'\0') != std::wstring::npos) {
    return E_INVALIDARG;
  }

  kestrel::RegistryKey sectionKey;
  LONG rc = RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(application, section).c_str(), 0,
                            nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                            sectionKey.Put(), nullptr);
  if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
  rc = RegSetValueExW(sectionKey.get(), key.c_str(), 0, REG_SZ,
                      reinterpret_cast<const BYTE*>(text.c_str()),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc);
}

}  // namespace settings
