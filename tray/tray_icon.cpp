#include "tray/tray_icon.h"

#include <shellapi.h>

#include <algorithm>
#include <cstddef>
#include <string>

#include "common/cp932.h"
#include "tray/tray_logic.h"

namespace kestrel {
namespace {

// The first version of the ANSI record, field by field.
struct TrayIconRecord {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  char szTip[kTipFieldBytes];
};

static_assert(sizeof(TrayIconRecord) == NOTIFYICONDATAA_V1_SIZE);
static_assert(offsetof(TrayIconRecord, szTip) == offsetof(NOTIFYICONDATAA, szTip));
static_assert(offsetof(TrayIconRecord, hIcon) == offsetof(NOTIFYICONDATAA, hIcon));
#if !defined(_WIN64)
static_assert(sizeof(TrayIconRecord) == 88);
#endif

constexpr UINT kTrayIconId = 0;
constexpr UINT kTrayFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

void Notify(DWORD action, HWND callbackWindow, HICON icon, const wchar_t* tip) {
  TrayIconRecord record{};
  record.cbSize = sizeof(record);
  record.hWnd = callbackWindow;
  record.uID = kTrayIconId;
  record.uFlags = kTrayFlags;
  record.uCallbackMessage = kTrayCallbackMessage;
  record.hIcon = icon;
  const auto field = TipField(ToCp932(tip));
  std::copy(field.begin(), field.end(), record.szTip);
  Shell_NotifyIconA(action, reinterpret_cast<NOTIFYICONDATAA*>(&record));
}

}  // namespace

void AddTrayIcon(HWND callbackWindow, HICON icon) {
  Notify(NIM_ADD, callbackWindow, icon, kTrayTip);
}

void ModifyTrayIcon(HWND callbackWindow, HICON icon) {
  Notify(NIM_MODIFY, callbackWindow, icon, kTrayTip);
}

void DeleteTrayIcon(HWND callbackWindow, HICON icon) {
  Notify(NIM_DELETE, callbackWindow, icon, kTrayRemovalTip);
}

}  // namespace kestrel
