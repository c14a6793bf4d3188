// The tray resident as the shell and a user reach it: the icon's menus, the
// about box, Windows + C and quitting.

#include "e2e/support/cut_fixture.h"

#include <algorithm>
#include <shellapi.h>
#include <string>

namespace e2e {
namespace {

struct ExpectedItem {
  int depth;
  const wchar_t* caption;  // "-" for a separator
  bool enabled;
};

// Flattens a menu into (depth, caption, enabled) rows.
void Flatten(const std::vector<MenuItem>& menu, int depth, std::vector<ExpectedItem>& rows,
             std::vector<std::wstring>& captions) {
  for (const MenuItem& item : menu) {
    captions.push_back(item.separator ? L"-" : item.caption);
    rows.push_back({depth, nullptr, item.enabled});
    Flatten(item.submenu, depth + 1, rows, captions);
  }
}

void ExpectMenu(const std::vector<MenuItem>& menu, const std::vector<ExpectedItem>& expected) {
  std::vector<ExpectedItem> rows;
  std::vector<std::wstring> captions;
  Flatten(menu, 0, rows, captions);
  ASSERT_EQ(rows.size(), expected.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(Utf8(expected[i].caption));
    EXPECT_EQ(Utf8(captions[i]), Utf8(expected[i].caption));
    EXPECT_EQ(rows[i].depth, expected[i].depth);
    if (captions[i] != L"-") {
      EXPECT_EQ(rows[i].enabled, expected[i].enabled);
    }
  }
}

class Tray : public ProgramTest {};

TEST_F(Tray, MenuRightAfterStartUp) {
  Start();
  const auto menu = OpenTrayMenu();
  ExpectMenu(menu, {
                       {0, L"画面を切り取る(&S)", true},
                       {0, L"3秒後に画面を切り取る(&T)", true},
                       {0, L"-", true},
                       {0, L"その他の機能(&M)", true},
                       {1, L"時間を指定して画面を切り取る(&F)", true},
                       {1, L"前回と同じ画面範囲を切り取る(&R)", false},
                       {1, L"3秒後に同じ画面範囲を切り取る(&U)", false},
                       {1, L"-", true},
                       {1, L"最後に切り取った画像(&L)", false},
                       {1, L"クリップボードをクリア(&C)", true},
                       {0, L"オプション(&O)...", true},
                       {0, L"-", true},
                       {0, L"バージョン情報(&V)...", true},
                       {0, L"終了(&Q)", true},
                   });
  EXPECT_EQ(FindItem(menu, L"クリップボード画像の自動保存(&A)"), nullptr) << "hidden";
  CloseMenu();
}

TEST_F(Tray, TimedCaptionsFollowTheOptions) {
  struct Case {
    const char* rule;
    const wchar_t* cutterMode;
    const wchar_t* cutTimerTime;
    const wchar_t* timed;
    const wchar_t* timedAgain;
  };
  const Case cases[] = {
      {"mode 0 shows the stored seconds", L"0", L"10", L"10秒後に画面を切り取る(&T)",
       L"10秒後に同じ画面範囲を切り取る(&U)"},
      {"mode 1 asks every time", L"1", L"10", L"時間を指定して画面を切り取る(&T)",
       L"時間を指定して同じ画面範囲を切り取る(&U)"},
      {"mode 2 shows the last length, at first the stored one", L"2", L"7",
       L"7秒後に画面を切り取る(&T)", L"7秒後に同じ画面範囲を切り取る(&U)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    store_.Clear();
    store_.Write(L"Kestrel5", L"Options", L"CutterMode", c.cutterMode);
    store_.Write(L"Kestrel5", L"Options", L"CutTimerTime", c.cutTimerTime);
    Start();
    const auto menu = OpenTrayMenu();
    ASSERT_GE(menu.size(), 2u);
    EXPECT_EQ(Utf8(menu[1].caption), Utf8(c.timed));
    EXPECT_NE(FindItem(menu, c.timedAgain), nullptr);
    CloseMenu();
    program_.reset();
  }
}

TEST_F(Tray, QuitRemovesTheIconAndFreesTheHotkey) {
  store_.Write(L"Kestrel5", L"Options", L"Hotkey", L"True");
  Start();
  EXPECT_FALSE(HotkeyIsFree());
  QuitByMenu();
  EXPECT_EQ(program_->WaitExit(), std::optional<DWORD>(0));
  EXPECT_TRUE(HotkeyIsFree());
  EXPECT_FALSE(IsWindow(program_->trayIcon()));
  // The shell no longer knows the icon: removing it again fails.
  NOTIFYICONDATAW gone{};
  gone.cbSize = sizeof(gone);
  gone.hWnd = program_->trayIcon();
  EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &gone));
}

// How the system ends a program from outside: a close (a task manager), the
// end of the session (log-off) and an installer's request to close it.
enum class Closer { Close, EndSession, EndSessionCloseApp };

void CloseFromOutside(HWND window, Closer closer) {
  if (closer == Closer::Close) {
    PostMessageW(window, WM_CLOSE, 0, 0);
    return;
  }
  const LPARAM reason = closer == Closer::EndSessionCloseApp ? ENDSESSION_CLOSEAPP : 0;
  DWORD_PTR agreed = 0;
  SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, reason, SMTO_ABORTIFHUNG, 5000, &agreed);
  EXPECT_TRUE(agreed) << "the end of the session was refused";
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, reason, SMTO_ABORTIFHUNG, 5000, &ignored);
}

// A close from outside may come while the overlay opens, is open or closes
// (it lets pending messages run then): whatever the cut was doing, the
// program ends as its quit command ends it. The close follows the double
// click a little later in each round, to meet the cut at different points.
TEST_F(Tray, ClosingDuringACutEndsTheProgramCleanly) {
  struct Case {
    const char* rule;
    const wchar_t* doubleClick;
    Closer closer;
  };
  const Case cases[] = {
      {"WM_CLOSE during a new cut", L"0", Closer::Close},
      {"WM_CLOSE during a cut of the last area", L"2", Closer::Close},
      {"the session ends during a new cut", L"0", Closer::EndSession},
      {"the session ends during a cut of the last area", L"2", Closer::EndSession},
      {"an installer closes it during a new cut", L"0", Closer::EndSessionCloseApp},
      {"an installer closes it during a cut of the last area", L"2", Closer::EndSessionCloseApp},
  };
  constexpr int kRounds = 4;
  constexpr auto kLaterEachRound = 15ms;
  const POINT at{400, 300};
  for (const Case& c : cases) {
    for (int round = 0; round < kRounds; ++round) {
      SCOPED_TRACE(std::string(c.rule) + ", round " + std::to_string(round));
      store_.Clear();
      store_.Write(L"Kestrel5", L"Options", L"Hotkey", L"True");
      store_.Write(L"Kestrel5", L"Options", L"DoubleClick", c.doubleClick);
      Start();
      // A cut, so a last area exists, after a middle click that turns the
      // magnifier off in memory only: quitting must save it.
      program_->Command(kScreenCutCommand);
      ASSERT_TRUE(WaitOverlayShown());
      ASSERT_TRUE(input::ClickAt(at, input::Button::Middle));
      ASSERT_TRUE(input::ClickAt(at, input::Button::Left));
      ASSERT_TRUE(WaitOverlayGone());

      program_->TrayCallback(WM_LBUTTONDBLCLK);
      PumpFor(kLaterEachRound * round);
      CloseFromOutside(program_->background(), c.closer);
      EXPECT_EQ(program_->WaitExit(), std::optional<DWORD>(0)) << Describe(*program_);
      EXPECT_TRUE(HotkeyIsFree());
      NOTIFYICONDATAW gone{};
      gone.cbSize = sizeof(gone);
      gone.hWnd = program_->trayIcon();
      EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &gone)) << "the icon is still there";
      EXPECT_EQ(store_.Read(L"Kestrel5", L"Options", L"PGLupe"),
                std::optional<std::wstring>(L"False"));
      program_.reset();
    }
  }
}

// The double-click action 0 opens the cut overlay; a right click closes it.
HWND WaitForOverlay(const Kestrel& program) {
  HWND overlay = nullptr;
  WaitUntil([&] {
    for (HWND window : WindowsOf(program.processId(), L"Kestrel5.frmScreenCut")) {
      if (IsWindowVisible(window)) overlay = window;
    }
    return overlay != nullptr;
  });
  return overlay;
}

void RightClick() {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  SendInput(2, in, sizeof(INPUT));
}

TEST_F(Tray, HotkeyRunsTheDoubleClickActionOncePerPress) {
  store_.Write(L"Kestrel5", L"Options", L"Hotkey", L"True");
  Start();
  FocusWindow focus;
  for (int press = 0; press < 2; ++press) {
    SCOPED_TRACE(press);
    ASSERT_TRUE(focus.Activate());
    input::WindowsC();
    HWND overlay = WaitForOverlay(*program_);
    ASSERT_NE(overlay, nullptr) << "Windows + C opened no overlay";
    EXPECT_EQ(WindowsOf(program_->processId(), L"Kestrel5.frmScreenCut").size(), 1u);
    // No probe of the hotkey here: registering it to look would race with the
    // program registering it again. The second press shows that it did.
    RightClick();
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(overlay); })) << "a right click cancels";
  }
}

TEST_F(Tray, DoubleClickOnTheIconRunsItsAction) {
  Start();
  program_->TrayCallback(WM_LBUTTONDBLCLK);
  HWND overlay = WaitForOverlay(*program_);
  ASSERT_NE(overlay, nullptr);
  RightClick();
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(overlay); }));
}

TEST_F(Tray, HotkeyStaysFreeWhileItsOptionIsOff) {
  Start();
  EXPECT_TRUE(HotkeyIsFree());
}

TEST_F(Tray, AboutBoxShowsTheRunningVersionAndReleasesTheHotkey) {
  store_.Write(L"Kestrel5", L"Options", L"Hotkey", L"True");
  Start();
  OpenTrayMenu();
  input::Key('V');
  HWND about = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    about = FindWindowW(L"#32770", L"Kestrel 5 のバージョン情報");
    return about && IsWindowVisible(about);
  }));
  const auto texts = ChildTexts(about);
  auto has = [&](const wchar_t* text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
  };
  EXPECT_TRUE(has(L"Kestrel 5"));
  EXPECT_TRUE(has(L"Version.5.2.0"));
  EXPECT_TRUE(has(L"閉じる(&C)"));
  EXPECT_TRUE(HotkeyIsFree()) << "released while the box is open";

  // Windows + C does nothing meanwhile. It is pressed while a window of the
  // driver has the focus: the box's own "&C" must not take the key.
  FocusWindow focus;
  ASSERT_TRUE(focus.Activate());
  input::WindowsC();
  PumpFor(std::chrono::milliseconds(300));
  EXPECT_TRUE(IsWindowVisible(about));
  EXPECT_TRUE(program_->Running());

  ASSERT_TRUE(Activate(about));
  input::Key(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
  // Registered again after: Windows + C now runs the double-click action.
  ASSERT_TRUE(focus.Activate());
  input::WindowsC();
  HWND overlay = WaitForOverlay(*program_);
  ASSERT_NE(overlay, nullptr) << "the hotkey was not registered again";
  RightClick();
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(overlay); }));

  // Enter closes it as well.
  OpenTrayMenu();
  input::Key('V');
  ASSERT_TRUE(WaitUntil([&] {
    about = FindWindowW(L"#32770", L"Kestrel 5 のバージョン情報");
    return about && IsWindowVisible(about);
  }));
  ASSERT_TRUE(Activate(about));
  input::Key(VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }));
}

TEST_F(Tray, ShellRestartAddsTheIconAgain) {
  Start();
  // The shell forgets every icon when it restarts, then tells the programs.
  NOTIFYICONDATAW gone{};
  gone.cbSize = sizeof(gone);
  gone.hWnd = program_->trayIcon();
  gone.uID = 0;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &gone));
  EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &gone)) << "the icon is gone";
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(program_->background(), taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, 5000,
                      &ignored);
  // Deleting succeeds only while the icon exists; add it back at once.
  EXPECT_TRUE(WaitUntil([&] {
    if (!Shell_NotifyIconW(NIM_DELETE, &gone)) return false;
    return true;
  }));
  SendMessageTimeoutW(program_->background(), taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, 5000,
                      &ignored);
  auto menu = OpenTrayMenu();
  EXPECT_FALSE(menu.empty());
  CloseMenu();
}

}  // namespace
}  // namespace e2e
