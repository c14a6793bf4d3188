#pragma once
// Allocations the test build can be told to refuse, so that the paths which
// handle a refused allocation can be driven from outside: the program
// refuses one while a named event of that allocation exists (a test holds
// it). A release build never refuses.

#include <windows.h>

namespace kestrel {

enum class Allocation {
  CutPicture,          // the picture of a cut, in the resident window
  FrozenImage,         // the overlay's copy of the screen
  ClipboardCopy,       // the copy of the picture handed to the clipboard
  TrayCallbackWindow,  // picTrayIcon, made once the resident window exists
};

inline const wchar_t* RefusalEventName(Allocation what) {
  switch (what) {
    case Allocation::CutPicture:
      return L"Kestrel5.Test.RefuseCutPicture";
    case Allocation::FrozenImage:
      return L"Kestrel5.Test.RefuseFrozenImage";
    case Allocation::ClipboardCopy:
      return L"Kestrel5.Test.RefuseClipboardCopy";
    case Allocation::TrayCallbackWindow:
      return L"Kestrel5.Test.RefuseTrayCallbackWindow";
  }
  return L"";
}

inline bool AllocationRefused([[maybe_unused]] Allocation what) {
#ifdef KESTREL_TEST_HOOKS
  const HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, RefusalEventName(what));
  if (!event) return false;
  CloseHandle(event);
  return true;
#else
  return false;
#endif
}

// The name of a mapping of one 32-bit resolution: while it exists, the test
// build opens its dialogs as on a monitor of that resolution, so a test can
// open them at 144 dpi on a desktop of 96.
inline constexpr const wchar_t* kTestMonitorDpiName = L"Kestrel5.Test.MonitorDpi";

// The resolution a test set for the monitor, or 0.
inline int TestMonitorDpi() {
#ifdef KESTREL_TEST_HOOKS
  const HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, kTestMonitorDpiName);
  if (!mapping) return 0;
  int dpi = 0;
  if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(int))) {
    dpi = *static_cast<const int*>(view);
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
  return dpi;
#else
  return 0;
#endif
}

}  // namespace kestrel
