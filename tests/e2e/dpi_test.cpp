// The program on monitors of different scales. Wine gives every monitor the
// one resolution of the desktop and sends no WM_DPICHANGED, so the layout
// probe makes a change of resolution from inside the program as Windows makes
// it (WM_GETDPISCALEDSIZE, then WM_DPICHANGED with the suggested rectangle),
// and the test build opens its dialogs at a resolution the test sets, as on a
// monitor of that scale.

#include "e2e/support/cut_fixture.h"
#include "e2e/support/layout.h"
#include "e2e/support/scaled_dialogs.h"

namespace e2e {
namespace {

constexpr int kDesktopDpi = 96;
constexpr int kScaledDpi = 144;

class PerMonitorDpi : public CutTest {};

// The manifest asks for per-monitor awareness, v2 where Windows has it (Windows
// never scales the program's windows as bitmaps), and the platform grants
// it: Wine 8 knows one per-monitor awareness, which it reports for v2.
TEST_F(PerMonitorDpi, TheManifestMakesTheProgramPerMonitorAware) {
  const HMODULE image = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr);
  std::string manifest;
  if (const HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)))
    if (const HGLOBAL loaded = LoadResource(image, found))
      manifest.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(image, found));
  FreeLibrary(image);
  for (const char* element :
       {"<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
        "PerMonitorV2, PerMonitor</dpiAwareness>",
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">"
        "true/pm</dpiAware>"})
    EXPECT_NE(manifest.find(element), std::string::npos) << element;

  using GetContext = HANDLE(WINAPI*)(HWND);
  using AwarenessOf = int(WINAPI*)(HANDLE);
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const auto getContext = reinterpret_cast<GetContext>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
  const auto awarenessOf = reinterpret_cast<AwarenessOf>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
  ASSERT_TRUE(getContext && awarenessOf);
  constexpr int kPerMonitorAware = 2;  // DPI_AWARENESS_PER_MONITOR_AWARE
  Start();
  EXPECT_EQ(awarenessOf(getContext(program_->background())), kPerMonitorAware);
}

// Each dialog opened at 96 dpi and moved to a monitor of 144 dpi has the
// layout it has when it opens at 144 dpi, fonts included; moved back, the one
// it opened with.
TEST_F(PerMonitorDpi, EachDialogIsLaidOutAgainForANewResolution) {
  Start();
  LayoutProbe probe(*program_);
  ASSERT_TRUE(probe.hooked());
  for (const ScaledDialog& dialog : kScaledDialogs) {
    SCOPED_TRACE(dialog.name);
    std::optional<WindowLayout> openedScaled;
    {
      const MonitorDpi monitor(kScaledDpi);
      const HWND window = OpenScaledDialog(*program_, dialog);
      ASSERT_NE(window, nullptr) << Describe(*program_);
      openedScaled = probe.Read(window);
      ASSERT_TRUE(CloseScaledDialog(window));
    }
    const HWND window = OpenScaledDialog(*program_, dialog);
    ASSERT_NE(window, nullptr) << Describe(*program_);
    const auto opened = probe.Read(window);
    ASSERT_TRUE(opened && openedScaled);
    EXPECT_NE(Differences(*opened, *openedScaled), "") << "the test's resolution was not used";

    probe.ChangeDpi(window, kDesktopDpi, kScaledDpi);
    const auto scaled = probe.Read(window);
    ASSERT_TRUE(scaled);
    EXPECT_EQ(Differences(*openedScaled, *scaled), "") << "at 144 dpi";
    EXPECT_EQ(Overflows(*scaled), "");

    probe.ChangeDpi(window, kScaledDpi, kDesktopDpi);
    const auto back = probe.Read(window);
    ASSERT_TRUE(back);
    EXPECT_EQ(Differences(*opened, *back), "") << "back at 96 dpi";
    EXPECT_TRUE(CloseScaledDialog(window));
  }
}

// Spread over monitors of different scales, the overlay hears of a new
// resolution when its largest part changes monitor: it keeps its size and
// its physical pixels.
TEST_F(PerMonitorDpi, TheOverlayIgnoresANewResolution) {
  StartOverPattern();
  LayoutProbe probe(*program_);
  ASSERT_TRUE(probe.hooked());
  OpenOverlay();
  RECT before{}, after{};
  GetWindowRect(OverlayWindow(), &before);
  probe.ChangeDpi(OverlayWindow(), kDesktopDpi, kScaledDpi);
  GetWindowRect(OverlayWindow(), &after);
  EXPECT_TRUE(EqualRect(&before, &after)) << "moved to (" << after.left << ", " << after.top
                                          << ")-(" << after.right << ", " << after.bottom << ")";
  DragOnOverlay({100, 100}, {300, 250});
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, {100, 100, 300, 250}));
}

}  // namespace
}  // namespace e2e
