// Stands in for the viewer the view action starts: appends one line to
// "invocations.txt" beside itself and exits. The line holds, separated by
// tabs, the command line as this process sees it, whether a show state was
// requested (STARTF_USESHOWWINDOW) and that show state. UTF-8.

#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  const bool showRequested = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0;

  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring record(self, length);
  record = record.substr(0, record.find_last_of(L'\\') + 1) + L"invocations.txt";

  const std::string line = Utf8(GetCommandLineW()) + "\t" + (showRequested ? "1" : "0") + "\t" +
                           std::to_string(startup.wShowWindow) + "\n";
  const HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  return 0;
}
