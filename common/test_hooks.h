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

}  // namespace kestrel
