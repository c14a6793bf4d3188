#pragma once
// The per-user install as the package tests see it: where it puts the
// program, and msiexec run quietly.

#include <windows.h>
// After windows.h, which they need.
#include <shlobj.h>

#include <string>

#include "common/registry_key.h"
#include "e2e/support/driver.h"

namespace e2e {

inline std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  std::wstring out;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) out = path;
  CoTaskMemFree(path);
  return out;
}

// %LocalAppData%\Programs\Kestrel5, without a trailing separator.
inline std::wstring InstallFolder() {
  return KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Kestrel5";
}

// Wine keeps one view of the user's classes for 32- and 64-bit code until
// this key exists; Windows has it from the start. With it, rows written to
// the wrong view are not found where they belong.
inline void SeparateUserClassViews() {
  kestrel::RegistryKey key;
  RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes\\Wow6432Node", 0, nullptr, 0, KEY_READ,
                  nullptr, key.Put(), nullptr);
}

// msiexec ARGUMENTS /qn; its exit code.
inline DWORD Msiexec(const std::wstring& arguments) {
  return RunAndWait(L"msiexec.exe " + arguments + L" /qn", std::chrono::minutes(3));
}

}  // namespace e2e
