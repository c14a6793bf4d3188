#pragma once
// Conversion of the program's wide texts to the ANSI code page 932 for the
// ANSI entry points the program calls (Shell_NotifyIconA, CreateWindowExA, ...).

#include <windows.h>

#include <string>
#include <string_view>

namespace kestrel {

inline constexpr UINT kCodePage932 = 932;

// Unconvertible characters become the code page's default character.
inline std::string ToCp932(std::wstring_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int bytes =
      WideCharToMultiByte(kCodePage932, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(kCodePage932, 0, text.data(), length, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace kestrel
