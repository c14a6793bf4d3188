#pragma once
// The per-user settings store: one REG_SZ value per option under
// HKCU\Software\VB and VBA Program Settings\<application>\<section>.

#include <windows.h>

#include <optional>
#include <string>

namespace settings {

inline constexpr wchar_t kStoreRoot[] = L"Software\\VB and VBA Program Settings";

// Longest text the store reads or writes, in characters. A longer stored
// value counts as missing, and a longer text is refused rather than written,
// so a caller never sees a partly read text.
inline constexpr size_t kMaxSettingChars = 64 * 1024;

// Reads the text stored under the key. Empty optional when the value is
// missing. Only REG_SZ values count; any other type, a value longer than
// kMaxSettingChars, or a key that cannot be opened also reads as missing.
// Fails (E_INVALIDARG) only when application, section or key is empty.
HRESULT ReadStoredText(const std::wstring& application, const std::wstring& section,
                       const std::wstring& key, std::optional<std::wstring>& text);

// Stores the text as REG_SZ, creating the application and section keys.
// Fails without writing when a name is empty or the text is too long.
HRESULT WriteStoredText(const std::wstring& application, const std::wstring& section,
                        const std::wstring& key, const std::wstring& text);

}  // namespace settings
