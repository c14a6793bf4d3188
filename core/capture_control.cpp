#include "core/capture_control.h"

#include <memory>
#include <string>
#include <vector>

#include "common/test_hooks.h"
#include "core/capture_control_rules.h"
#include "core/mdl_kestrel.h"
#include "core/options_table.h"
#include "overlay/frm_screen_cut.h"

namespace kestrel {

bool CutExists = false;
Point16 LastCutStart{};
Point16 LastCutEnd{};

namespace {

// SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW.
constexpr UINT kTopMostFlags = 0x43;

// What the resident window holds for the capture, from its load to the end
// of the run.
struct CaptureHost {
  CaptureHost(HINSTANCE instance, HWND window) : owner(window), overlay(instance) {}
  HWND owner;
  frmScreenCut overlay;
  Surface cut;
  // The resident window has unloaded: no cut starts any more.
  bool ended = false;
};

std::unique_ptr<CaptureHost> g_host;
// Before the resident window loads there is nothing to cut into.
Surface g_noCut;

// The clipboard, opened for the scope; a clipboard another program holds is
// tried again a few times before the caller's steps are skipped.
class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) {
    for (int attempt = 0; attempt < kClipboardOpenAttempts; ++attempt) {
      if (attempt > 0) Sleep(kClipboardRetryMilliseconds);
      if (OpenClipboard(owner)) {
        open_ = true;
        return;
      }
    }
  }
  ~ClipboardSession() {
    if (open_) CloseClipboard();
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  bool open() const { return open_; }

 private:
  bool open_ = false;
};

// A device-dependent copy of the picture for the clipboard, which takes it
// over; the retained picture stays with us.
UniqueBitmap CopyForClipboard(const Surface& picture) {
  if (!picture || AllocationRefused(Allocation::ClipboardCopy)) return {};
  const WindowDC screen(nullptr);
  UniqueBitmap copy(CreateCompatibleBitmap(screen.get(), picture.width(), picture.height()));
  UniqueMemoryDc dc(CreateCompatibleDC(screen.get()));
  if (!copy || !dc) return {};
  const SelectGuard selected(dc.get(), copy.get());
  if (!BitBlt(dc.get(), 0, 0, picture.width(), picture.height(), picture.dc(), 0, 0, SRCCOPY))
    return {};
  return copy;
}

void StartProcess(std::wstring commandLine) {
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWMINIMIZED;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                     &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

}  // namespace

void InitCaptureControl(HINSTANCE instance, HWND residentWindow) {
  g_host = std::make_unique<CaptureHost>(instance, residentWindow);
}

void EndCaptureControl() {
  if (!g_host) return;
  g_host->ended = true;
  g_host->overlay.Unload();
}

void CloseCaptureControl() { g_host.reset(); }

Surface& picBackgroundCut() { return g_host ? g_host->cut : g_noCut; }

void StartScreenCut() {
  if (g_host && !g_host->ended) g_host->overlay.Load();
}

void RetryScreenCut() {
  if (!g_host || g_host->ended) return;
  g_host->overlay.Load();
  g_host->overlay.dsCutRetry();
}

void SetTopMost(HWND window) { SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kTopMostFlags); }

void dsCopyToClipboard() {
  if (g_host) {
    // A picture that cannot be copied leaves the clipboard with what it
    // held, as a busy clipboard does. A 0 x 0 cut has no picture: the
    // clipboard is left empty.
    UniqueBitmap copy = CopyForClipboard(g_host->cut);
    if (copy || !g_host->cut) {
      const ClipboardSession clipboard(g_host->owner);
      if (clipboard.open()) {
        EmptyClipboard();
        if (copy && SetClipboardData(CF_BITMAP, copy.get())) copy.Detach();
      }
    }
  }
  CutExists = true;
}

void ShowCutPicture() {
  const auto commandLine =
      ViewCommandLine(OptionInteger(kViewModeKey), ViewerPathValue(), OptionText(kVModeSoftKey));
  if (commandLine) StartProcess(*commandLine);
}

void ClearClipboard() {
  const ClipboardSession clipboard(g_host ? g_host->owner : nullptr);
  if (clipboard.open()) EmptyClipboard();
}

}  // namespace kestrel
