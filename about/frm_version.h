#pragma once
// frmVersion: the about box, shown modally over the resident window.

#include <windows.h>

namespace kestrel {

class frmVersion {
 public:
  // Shows the box and returns when it is closed (its close button, Enter or Esc).
  static void ShowModal(HINSTANCE instance, HWND owner);
};

}  // namespace kestrel
