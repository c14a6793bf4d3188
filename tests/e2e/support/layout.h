#pragma once
// A window's layout as the program has it, read from inside the program by
// the layout probe: the client size, and every descendant's place, font and
// text extent. Also the resolution changes Windows makes on a desktop of
// monitors of different scales, which Wine cannot make itself.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "e2e/support/driver.h"

namespace e2e {

struct ChildLayout {
  std::wstring className;
  int id = 0;
  RECT at{};  // in the window's client coordinates
  bool visible = false;
  int fontHeight = 0;
  int fontWeight = 0;
  std::wstring fontFace;
  SIZE textExtent{};  // of its text in its font
  SIZE client{};
  std::wstring text;
};

struct WindowLayout {
  SIZE client{};
  std::vector<ChildLayout> children;
};

// Where two layouts differ, one line each; empty when they are equal.
std::string Differences(const WindowLayout& expected, const WindowLayout& actual);
// Children outside the client area, and texts wider or taller than their
// control's client area, one line each.
std::string Overflows(const WindowLayout& layout);

class LayoutProbe {
 public:
  explicit LayoutProbe(const Kestrel& program);
  ~LayoutProbe();
  LayoutProbe(const LayoutProbe&) = delete;
  LayoutProbe& operator=(const LayoutProbe&) = delete;

  bool hooked() const { return hook_ != nullptr; }
  std::optional<WindowLayout> Read(HWND window);
  // What Windows does when the window reaches a monitor of resolution `to`.
  void ChangeDpi(HWND window, int from, int to) const;

 private:
  static LRESULT CALLBACK SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HMODULE probe_ = nullptr;
  HHOOK hook_ = nullptr;
  HWND sink_ = nullptr;
  UINT command_ = 0;
  std::optional<std::wstring> report_;
};

// While it lives, the test build of the program opens its dialogs as on a
// monitor of this resolution.
class MonitorDpi {
 public:
  explicit MonitorDpi(int dpi);
  ~MonitorDpi();
  MonitorDpi(const MonitorDpi&) = delete;
  MonitorDpi& operator=(const MonitorDpi&) = delete;

 private:
  HANDLE mapping_ = nullptr;
};

}  // namespace e2e
