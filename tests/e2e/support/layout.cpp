#include "e2e/support/layout.h"

#include <sstream>

#include "common/test_hooks.h"
#include "e2e/support/layout_wire.h"
#include "e2e/support/paths.h"

namespace e2e {
namespace {

constexpr UINT kCommandTimeoutMs = 10000;

std::vector<std::wstring> Split(const std::wstring& line, wchar_t separator, size_t fields) {
  std::vector<std::wstring> parts;
  size_t from = 0;
  while (parts.size() + 1 < fields) {
    const size_t at = line.find(separator, from);
    if (at == std::wstring::npos) break;
    parts.push_back(line.substr(from, at - from));
    from = at + 1;
  }
  parts.push_back(line.substr(from));
  return parts;
}

// Parses the probe's report (format in layout_probe.cpp).
std::optional<WindowLayout> Parse(const std::wstring& report) {
  std::wistringstream lines(report);
  std::wstring line, word;
  WindowLayout layout;
  if (!std::getline(lines, line)) return std::nullopt;
  std::wistringstream head(line);
  head >> word >> layout.client.cx >> layout.client.cy;
  if (word != L"client") return std::nullopt;
  while (std::getline(lines, line)) {
    const auto f = Split(line, L'|', 8);
    if (f.size() != 8) return std::nullopt;
    ChildLayout c;
    c.className = f[0];
    c.id = std::stoi(f[1]);
    std::wistringstream(f[2]) >> c.at.left >> c.at.top >> c.at.right >> c.at.bottom;
    c.visible = f[3] == L"1";
    std::wistringstream font(f[4]);
    font >> c.fontHeight >> c.fontWeight;
    std::getline(font >> std::ws, c.fontFace);
    std::wistringstream(f[5]) >> c.textExtent.cx >> c.textExtent.cy;
    std::wistringstream(f[6]) >> c.client.cx >> c.client.cy;
    c.text = f[7];
    layout.children.push_back(std::move(c));
  }
  return layout;
}

std::string Name(const ChildLayout& c) {
  std::ostringstream out;
  out << Utf8(c.className) << " " << c.id << " \"" << Utf8(c.text) << "\"";
  return out.str();
}

std::string Rect(const RECT& r) {
  std::ostringstream out;
  out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
  return out.str();
}

}  // namespace

std::string Differences(const WindowLayout& expected, const WindowLayout& actual) {
  std::ostringstream out;
  if (expected.client.cx != actual.client.cx || expected.client.cy != actual.client.cy)
    out << "client " << actual.client.cx << " x " << actual.client.cy << ", expected "
        << expected.client.cx << " x " << expected.client.cy << "\n";
  if (expected.children.size() != actual.children.size()) {
    out << actual.children.size() << " children, expected " << expected.children.size() << "\n";
    return out.str();
  }
  for (size_t i = 0; i < expected.children.size(); ++i) {
    const ChildLayout& e = expected.children[i];
    const ChildLayout& a = actual.children[i];
    if (e.className != a.className || e.id != a.id || e.text != a.text) {
      out << "child " << i << " is " << Name(a) << ", expected " << Name(e) << "\n";
      continue;
    }
    if (!EqualRect(&e.at, &a.at))
      out << Name(a) << " at " << Rect(a.at) << ", expected " << Rect(e.at) << "\n";
    if (e.fontHeight != a.fontHeight || e.fontWeight != a.fontWeight || e.fontFace != a.fontFace)
      out << Name(a) << " font " << a.fontHeight << " " << a.fontWeight << " " << Utf8(a.fontFace)
          << ", expected " << e.fontHeight << " " << e.fontWeight << " " << Utf8(e.fontFace)
          << "\n";
    if (e.visible != a.visible) out << Name(a) << " visible " << a.visible << "\n";
  }
  return out.str();
}

std::string Overflows(const WindowLayout& layout) {
  std::ostringstream out;
  const RECT client{0, 0, layout.client.cx, layout.client.cy};
  for (const ChildLayout& c : layout.children) {
    RECT inside{};
    IntersectRect(&inside, &c.at, &client);
    if (!EqualRect(&inside, &c.at))
      out << Name(c) << " at " << Rect(c.at) << " reaches out of the client area " << Rect(client)
          << "\n";
    if (c.textExtent.cx > c.client.cx || c.textExtent.cy > c.client.cy)
      out << Name(c) << ": its text takes " << c.textExtent.cx << " x " << c.textExtent.cy << " in "
          << c.client.cx << " x " << c.client.cy << "\n";
  }
  return out.str();
}

LayoutProbe::LayoutProbe(const Kestrel& program)
    : command_(RegisterWindowMessageW(kLayoutCommandMessage)) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &SinkProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kLayoutSinkClass;
  RegisterClassW(&windowClass);
  sink_ = CreateWindowExW(0, kLayoutSinkClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                          windowClass.hInstance, nullptr);
  SetWindowLongPtrW(sink_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  probe_ = LoadLibraryW(paths::kLayoutProbe);
  if (!probe_) return;
  auto hook = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(GetProcAddress(probe_, kLayoutProbeHookName)));
  if (hook) hook_ = SetWindowsHookExW(WH_CALLWNDPROC, hook, probe_, program.uiThreadId());
}

LayoutProbe::~LayoutProbe() {
  if (hook_) UnhookWindowsHookEx(hook_);
  if (probe_) FreeLibrary(probe_);
  if (sink_) DestroyWindow(sink_);
}

std::optional<WindowLayout> LayoutProbe::Read(HWND window) {
  report_.reset();
  DWORD_PTR ignored = 0;
  // The probe answers through the sink while this thread waits here.
  SendMessageTimeoutW(window, command_, 0, 0, SMTO_ABORTIFHUNG, kCommandTimeoutMs, &ignored);
  if (!report_) WaitUntil([this] { return report_.has_value(); }, std::chrono::seconds(2));
  if (!report_) return std::nullopt;
  return Parse(*report_);
}

void LayoutProbe::ChangeDpi(HWND window, int from, int to) const {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, command_, static_cast<WPARAM>(to), static_cast<LPARAM>(from),
                      SMTO_ABORTIFHUNG, kCommandTimeoutMs, &ignored);
}

LRESULT CALLBACK LayoutProbe::SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    auto* self = reinterpret_cast<LayoutProbe*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (self && data->dwData == kLayoutReportTag && data->cbData >= sizeof(wchar_t)) {
      self->report_.emplace(static_cast<const wchar_t*>(data->lpData),
                            data->cbData / sizeof(wchar_t) - 1);
      return TRUE;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

MonitorDpi::MonitorDpi(int dpi) {
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(int),
                                kestrel::kTestMonitorDpiName);
  if (!mapping_) return;
  if (void* view = MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(int))) {
    *static_cast<int*>(view) = dpi;
    UnmapViewOfFile(view);
  }
}

MonitorDpi::~MonitorDpi() {
  if (mapping_) CloseHandle(mapping_);
}

}  // namespace e2e
