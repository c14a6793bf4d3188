// Start-up and shutdown of the real program: the store it reads and writes,
// a second instance, and the failure when the settings server is missing.

#include <optional>

#include "e2e/support/fixture.h"
#include "e2e/support/paths.h"

namespace e2e {
namespace {

// The program's own folder as it publishes it: the Wine path of core/.
std::wstring ProgramFolder() {
  std::wstring path = paths::kProgram;
  return path.substr(0, path.find_last_of(L'\\'));
}

class Startup : public ProgramTest {};

TEST_F(Startup, FirstStartWithAnEmptyStoreWritesNothing) {
  Start();
  QuitByMenu();
  EXPECT_EQ(program_->WaitExit(), std::optional<DWORD>(0));
  EXPECT_FALSE(store_.Exists(L"Kestrel5")) << "defaults and published entries equal the store";
  EXPECT_FALSE(store_.Exists(L"Pictoria2")) << "the viewer's entries are only read";
}

TEST_F(Startup, PublishesItsFolderAndVersionWhenTheyDiffer) {
  store_.Write(L"Kestrel5", L"App", L"Path", L"C:\\Somewhere\\Else");
  store_.Write(L"Kestrel5", L"App", L"Minor", L"1");
  Start();
  EXPECT_EQ(store_.Read(L"Kestrel5", L"App", L"Path"), ProgramFolder());
  EXPECT_EQ(store_.Read(L"Kestrel5", L"App", L"Minor"), std::wstring(L"2"));
  EXPECT_FALSE(store_.Exists(L"Kestrel5", L"Options"));
}

TEST_F(Startup, StoredOptionsSurviveARunUnchanged) {
  const std::vector<std::pair<const wchar_t*, const wchar_t*>> stored = {
      {L"DoubleClick", L"2"},
      {L"ViewMode", L"1"},
      {L"PGLupe", L"False"},
      {L"CGridSize", L"8"},
      {L"CutTimerTime", L"10"},
      {L"Hotkey", L"True"},
      {L"CountWave", L"C:\\音\\カウント"}};
  for (const auto& [key, text] : stored) store_.Write(L"Kestrel5", L"Options", key, text);
  const auto before = store_.Dump(L"Kestrel5");
  Start();
  QuitByMenu();
  ASSERT_EQ(program_->WaitExit(), std::optional<DWORD>(0));
  const auto after = store_.Dump(L"Kestrel5");
  ASSERT_EQ(after.size(), before.size());
  for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(Utf8(after[i]), Utf8(before[i]));
}

TEST_F(Startup, ASecondStartEndsAtOnceAndLeavesTheFirstAlone) {
  store_.Write(L"Kestrel5", L"Options", L"Hotkey", L"True");
  Kestrel& first = Start();
  Kestrel second;
  EXPECT_EQ(second.WaitExit(), std::optional<DWORD>(0));
  EXPECT_TRUE(WindowsOf(second.processId()).empty());
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(IsWindow(first.trayIcon()));
  EXPECT_FALSE(HotkeyIsFree()) << "the first instance still holds Windows + C";
  // The first one still answers its icon.
  auto menu = OpenTrayMenu();
  EXPECT_NE(FindItem(menu, L"終了(&Q)"), nullptr);
  CloseMenu();
}

TEST_F(Startup, AFailedStartIsReportedUntilDismissedAndNothingIsWritten) {
  enum class Failure { MissingServer, ResidentWindowLoad };
  struct Case {
    const char* rule;
    Failure failure;
    const wchar_t* named;  // the failed step, as the message names it
  };
  const Case cases[] = {
      {"the settings server is missing", Failure::MissingServer, L"SoftwareInfo"},
      // The window's end posts the quit message; the box must not take it.
      {"the resident window's load fails once its window exists", Failure::ResidentWindowLoad,
       L"常駐ウィンドウの作成"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    std::optional<UnregisteredServer> unregistered;
    std::optional<Refusal> refusal;
    if (c.failure == Failure::MissingServer) {
      unregistered.emplace();
    } else {
      refusal.emplace(kestrel::Allocation::TrayCallbackWindow);
      ASSERT_TRUE(refusal->held());
    }
    Kestrel program;
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
      for (HWND window : WindowsOf(program.processId(), L"#32770")) {
        if (IsWindowVisible(window)) box = window;
      }
      return box != nullptr || !program.Running();
    }));
    ASSERT_NE(box, nullptr) << "no message box; " << Describe(program);
    EXPECT_EQ(WindowText(box), L"Kestrel5.2");
    std::wstring message;
    for (const auto& text : ChildTexts(box)) message += text + L"\n";
    EXPECT_NE(message.find(c.named), std::wstring::npos) << Utf8(message);
    EXPECT_TRUE(WindowsOf(program.processId(), L"Kestrel5.frmBackground").empty());
    // It waits for the user.
    PumpFor(1s);
    EXPECT_TRUE(IsWindow(box) && IsWindowVisible(box)) << "the message closed by itself";
    EXPECT_TRUE(program.Running());
    Activate(box);
    input::Key(VK_RETURN);
    EXPECT_EQ(program.WaitExit(), std::optional<DWORD>(1));
    EXPECT_FALSE(store_.Exists(L"Kestrel5"));
  }
}

}  // namespace
}  // namespace e2e
