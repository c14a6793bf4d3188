#pragma once
// Reads the popup menus the program shows: a hook DLL inside the program's
// thread reports each menu to a sink window of the driver.

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

struct MenuItem {
  bool separator = false;
  bool enabled = true;
  bool checked = false;
  UINT id = 0;
  std::wstring caption;
  std::vector<MenuItem> submenu;
};

class MenuReader {
 public:
  // Hooks the given thread of the program.
  explicit MenuReader(DWORD threadId);
  ~MenuReader();
  MenuReader(const MenuReader&) = delete;
  MenuReader& operator=(const MenuReader&) = delete;

  bool hooked() const { return hook_ != nullptr; }
  // Waits for the next menu the program prepares.
  std::optional<std::vector<MenuItem>> WaitForMenu(
      std::chrono::milliseconds timeout = std::chrono::seconds(10));

 private:
  static LRESULT CALLBACK SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HMODULE probe_ = nullptr;
  HHOOK hook_ = nullptr;
  HWND sink_ = nullptr;
  std::vector<std::wstring> reports_;
};

// Finds an item by caption anywhere in the menu.
const MenuItem* FindItem(const std::vector<MenuItem>& menu, const std::wstring& caption);
// The open popup menu window (#32768), if any.
HWND OpenMenuWindow();

}  // namespace e2e
