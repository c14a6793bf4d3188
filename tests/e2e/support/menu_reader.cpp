#include "e2e/support/menu_reader.h"

#include <sstream>

#include "e2e/support/driver.h"
#include "e2e/support/menu_wire.h"
#include "e2e/support/paths.h"

namespace e2e {
namespace {

// Parses the probe's report (format in menu_probe.cpp).
std::vector<MenuItem> ParseMenu(const std::wstring& text) {
  std::vector<MenuItem> root;
  std::vector<std::vector<MenuItem>*> levels{&root};
  std::wistringstream lines(text);
  std::wstring line;
  while (std::getline(lines, line)) {
    size_t depth = 0;
    while (depth < line.size() && line[depth] == L'\t') ++depth;
    if (depth >= levels.size()) continue;
    levels.resize(depth + 1);
    MenuItem item;
    const std::wstring rest = line.substr(depth);
    if (rest == L"-") {
      item.separator = true;
    } else if (rest.size() >= 3) {
      item.enabled = rest[0] == L'E';
      item.checked = rest[1] == L'C';
      const size_t space = rest.find(L' ', 3);
      item.id = static_cast<UINT>(std::stoul(rest.substr(3, space - 3)));
      item.caption = space == std::wstring::npos ? L"" : rest.substr(space + 1);
    }
    levels[depth]->push_back(std::move(item));
    levels.push_back(&levels[depth]->back().submenu);
  }
  return root;
}

}  // namespace

MenuReader::MenuReader(DWORD threadId) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &SinkProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kMenuSinkClass;
  RegisterClassW(&windowClass);
  sink_ = CreateWindowExW(0, kMenuSinkClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                          windowClass.hInstance, nullptr);
  SetWindowLongPtrW(sink_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  probe_ = LoadLibraryW(paths::kMenuProbe);
  if (!probe_) return;
  auto hook = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(GetProcAddress(probe_, kMenuProbeHookName)));
  if (hook) hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, hook, probe_, threadId);
}

MenuReader::~MenuReader() {
  if (hook_) UnhookWindowsHookEx(hook_);
  if (probe_) FreeLibrary(probe_);
  if (sink_) DestroyWindow(sink_);
}

std::optional<std::vector<MenuItem>> MenuReader::WaitForMenu(std::chrono::milliseconds timeout) {
  if (!WaitUntil([this] { return !reports_.empty(); }, timeout)) return std::nullopt;
  std::wstring report = std::move(reports_.front());
  reports_.erase(reports_.begin());
  return ParseMenu(report);
}

LRESULT CALLBACK MenuReader::SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    auto* self = reinterpret_cast<MenuReader*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (self && data->dwData == kMenuReportTag && data->cbData >= sizeof(wchar_t)) {
      self->reports_.emplace_back(static_cast<const wchar_t*>(data->lpData),
                                  data->cbData / sizeof(wchar_t) - 1);
      return TRUE;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

const MenuItem* FindItem(const std::vector<MenuItem>& menu, const std::wstring& caption) {
  for (const MenuItem& item : menu) {
    if (item.caption == caption) return &item;
    if (const MenuItem* found = FindItem(item.submenu, caption)) return found;
  }
  return nullptr;
}

HWND OpenMenuWindow() {
  HWND menu = FindWindowW(L"#32768", nullptr);
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

}  // namespace e2e
