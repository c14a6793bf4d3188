// The options dialog opened from the tray menu and used as a user would:
// captions, pages and tabs, the opening state for a prepared store, Apply,
// OK and Cancel against the store, the browse buttons and the hotkey.

#include <algorithm>
#include <fstream>
#include <set>

#include "e2e/support/fixture.h"
#include "e2e/support/options_dialog.h"
#include "e2e/support/pointer.h"
#include "e2e/support/screen.h"
#include "tray/tray_logic.h"

namespace e2e {
namespace {

using kestrel::options::PageOf;

constexpr const wchar_t* kApp = L"Kestrel5";
constexpr const wchar_t* kOptions = L"Options";

class Options : public ProgramTest {
 protected:
  void TearDown() override { input::ReleaseAllModifiers(); }

  // Opens the dialog with the tray menu's "オプション(&O)..." as a user does.
  OptionsDialog Open() {
    OpenTrayMenu();
    input::Key('O');
    HWND dialog = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (dialog = FindOptionsDialog(program_->processId())); }))
        << "no options dialog; " << Describe(*program_);
    if (dialog) {
      EXPECT_TRUE(Activate(dialog));
    }
    return OptionsDialog(dialog, program_->process());
  }
  bool WaitClosed(const OptionsDialog& dialog) {
    return WaitUntil([&] { return !IsWindow(dialog.window()); });
  }
  // The message box Apply shows: its text, after which it is dismissed.
  std::wstring TakeMessage() {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindOtherDialog(program_->processId(), L"Kestrel5.2")); }))
      return L"(no message box)";
    std::wstring text;
    for (HWND child : Descendants(box))
      if (ClassName(child) == L"Static" && !GetText(child).empty()) text = GetText(child);
    Activate(box);
    input::Key(VK_RETURN);
    WaitUntil([&] { return !IsWindow(box); });
    return text;
  }
  // Replaces a box's text by typing, as a user selecting it all would.
  void TypeInto(const OptionsDialog& dialog, Ctl box, const std::wstring& text) {
    ASSERT_TRUE(dialog.Click(box));
    input::KeyWith({VK_CONTROL}, 'A');
    input::Key(VK_DELETE);
    input::Type(text);
  }
  std::vector<std::wstring> Stored() const { return store_.Dump(kApp); }
  // Shows a page with a click on its tab; a click that Wine drops (it
  // happens now and then right after the dialog opens) is sent again.
  bool ShowTab(const OptionsDialog& dialog, int page) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      if (!dialog.ClickTab(page)) return false;
      if (WaitUntil([&] { return dialog.VisiblePage() == page; }, std::chrono::seconds(2)))
        return true;
    }
    return false;
  }
};

TEST_F(Options, CaptionsTabsAndPages) {
  Start();
  OptionsDialog dialog = Open();
  ASSERT_NE(dialog.window(), nullptr);
  EXPECT_EQ(Utf8(WindowText(dialog.window())), "オプション");
  const std::vector<std::wstring> tabs = {L"操作一般(&R)", L"実行操作(&C)", L"時間(&T)",
                                          L"ホットキー(&H)"};
  EXPECT_EQ(dialog.TabCaptions(), tabs);

  std::multiset<std::wstring> shown;
  for (HWND child : Descendants(dialog.window())) {
    const std::wstring cls = ClassName(child);
    if (cls == L"Button" || cls == L"Static") shown.insert(GetText(child));
  }
  const wchar_t* captions[] = {
      L"OK",
      L"キャンセル",
      L"適用(A)",
      L"タスクトレイアイコン・ダブルクリックの動作",
      L"画面を切り取る",
      L"タイマーを使用して、画面を切り取る",
      L"前回と同じ画面範囲を切り取る",
      L"タイマーを使用して、前回と同じ画面範囲を切り取る",
      L"切り取った画像の表示方法",
      L"表示しない",
      L"Pictoria 2 を使用して表示する（ Ver.2.1 以降インストール時 ）",
      L"クリップボードの画像を表示するソフトを起動して表示する",
      L"画面を切り取る操作",
      L"ガイダンスを表示する",
      L"ガイダンスの枠と背景を表示する ",
      L"座標を表示する",
      L"(左上座標） - （右下座標）",
      L"（カーソル位置）",
      L"画像サイズを表示する",
      L"操作説明を表示する",
      L"ルーペを表示する （※センタークリックで表示・非表示切り替え）",
      L"Ctrlキーを押している時はグリッドサイズで範囲を選択する",
      L"グリッドサイズ：",
      L"ピクセル",
      L"タイマーで画面を切り取る",
      L"設定した時間後に切り取りを開始する",
      L"秒後",
      L"常に時間を指定する",
      L"最後に指定された時間を使用して切り取りを開始する",
      L"秒読み音設定",
      L"秒読みをしない",
      L"ビープ音により秒読み",
      L"Waveファイルを指定して秒読み",
      L"連番（指定ファイル名 + 秒 + .WAV）",
      L"ホットキー（ショートカットキー）による操作",
      L"Windows + C を押して、タスクトレイアイコン・ダブルクリック動作を実行する"};
  for (const wchar_t* caption : captions)
    EXPECT_EQ(shown.count(caption), 1u) << "caption \"" << Utf8(caption) << "\"";
  EXPECT_EQ(shown.count(L"..."), 2u);

  // Opens on tab 0 with page 0 only; a click and Alt+T switch; the other
  // key combinations do not. Tab clicks come before the first Alt key.
  EXPECT_EQ(dialog.VisiblePage(), 0);
  ASSERT_TRUE(dialog.ClickTab(1));
  EXPECT_TRUE(WaitUntil([&] { return dialog.VisiblePage() == 1; })) << dialog.VisiblePage();
  ASSERT_TRUE(dialog.ClickTab(1));  // the tab already selected
  EXPECT_EQ(dialog.VisiblePage(), 1);
  ASSERT_TRUE(Activate(dialog.window()));
  input::KeyWith({VK_MENU}, 'T');
  EXPECT_TRUE(WaitUntil([&] { return dialog.VisiblePage() == 2; })) << dialog.VisiblePage();
  input::KeyWith({VK_MENU, VK_SHIFT}, 'R');
  input::KeyWith({VK_CONTROL, VK_MENU}, 'C');
  input::Key('R');
  PumpFor(std::chrono::milliseconds(300));
  EXPECT_EQ(dialog.VisiblePage(), 2) << "only Alt alone selects a tab";
  input::KeyWith({VK_MENU}, 'H');
  EXPECT_TRUE(WaitUntil([&] { return dialog.VisiblePage() == 3; })) << dialog.VisiblePage();

  // Closed on tab 3, it opens on tab 0 again.
  input::Key(VK_ESCAPE);
  ASSERT_TRUE(WaitClosed(dialog));
  OptionsDialog again = Open();
  EXPECT_EQ(again.VisiblePage(), 0);
  EXPECT_EQ(again.TabCaptions().size(), 4u);
  input::Key(VK_ESCAPE);
  EXPECT_TRUE(WaitClosed(again));
  EXPECT_TRUE(Stored().empty()) << "nothing written by looking";
}

TEST_F(Options, OpensWithTheStoredValuesAndTheEnablingRules) {
  struct Stored {
    const wchar_t* key;
    const wchar_t* value;
  };
  const Stored prepared[] = {
      {L"DoubleClick", L"7"},      {L"ViewMode", L"1"},    {L"VModeSoft", L"C:\\v.exe"},
      {L"PointerGuide", L"False"}, {L"PGFrame", L"False"}, {L"PGType", L"1"},
      {L"CtrlGrid", L"False"},     {L"CGridSize", L"24"},  {L"CutterMode", L"1"},
      {L"CutTimerTime", L"12"},    {L"CountType", L"1"},   {L"CountWave", L"C:\\c.wav"},
      {L"CountSeries", L"True"},
  };
  for (const auto& p : prepared) store_.Write(kApp, kOptions, p.key, p.value);
  Start();
  OptionsDialog dialog = Open();
  ASSERT_NE(dialog.window(), nullptr);

  struct Expect {
    Ctl control;
    bool checked;
    bool enabled;
  };
  const Expect states[] = {
      {Ctl::optDefalut0, true, true},  // 7 has no button: the one before loading stays
      {Ctl::optDefalut3, false, true},     {Ctl::optPictureView1, true, true},
      {Ctl::chkPointerGuide, false, true}, {Ctl::chkPGFrame, false, false},
      {Ctl::chkPGPosition, true, false},  // the guide's controls keep their states
      {Ctl::optPGType1, true, false},      {Ctl::optPGType0, false, false},
      {Ctl::chkPGSize, true, false},       {Ctl::chkPGDescription, true, false},
      {Ctl::chkPGLupe, true, false},       {Ctl::chkCtrlGrid, false, true},
      {Ctl::optTimerCut1, true, true},     {Ctl::optCount1, true, true},
      {Ctl::chkCountSeries, true, true},  // does not hang on the sound
      {Ctl::chkHotkey, false, true},
  };
  for (const auto& s : states) {
    SCOPED_TRACE(kestrel::options::Find(s.control)->name);
    EXPECT_EQ(dialog.Checked(s.control), s.checked);
    EXPECT_EQ(dialog.Enabled(s.control), s.enabled);
  }
  struct Box {
    Ctl control;
    const wchar_t* text;
    bool enabled;
  };
  const Box boxes[] = {
      {Ctl::txtVModeSoft, L"C:\\v.exe", false}, {Ctl::btnVModeSoft, L"...", false},
      {Ctl::txtCGridSize, L"24", false},        {Ctl::txtTimer, L"12", false},
      {Ctl::txtCountWave, L"C:\\c.wav", false}, {Ctl::btnCountWave, L"...", false},
  };
  for (const auto& b : boxes) {
    SCOPED_TRACE(kestrel::options::Find(b.control)->name);
    EXPECT_EQ(Utf8(dialog.Text(b.control)), Utf8(b.text));
    EXPECT_EQ(dialog.Enabled(b.control), b.enabled);
  }
  EXPECT_FALSE(dialog.Enabled(Ctl::cmdApp)) << "Apply starts disabled";

  // A click on the guide enables its controls; the picture view's third
  // button enables the program box; and both mark a change.
  // A click's rules enable their controls one after the other: wait for all
  // of them before judging any.
  const auto waitEnabled = [&](std::initializer_list<Ctl> controls) {
    WaitUntil([&] {
      return std::all_of(controls.begin(), controls.end(),
                         [&](Ctl c) { return dialog.Enabled(c); });
    });
    for (Ctl c : controls) EXPECT_TRUE(dialog.Enabled(c)) << kestrel::options::Find(c)->name;
  };
  ASSERT_TRUE(dialog.Click(Ctl::optPictureView2));
  waitEnabled({Ctl::txtVModeSoft, Ctl::btnVModeSoft, Ctl::cmdApp});
  ASSERT_TRUE(ShowTab(dialog, 1));
  ASSERT_TRUE(dialog.Click(Ctl::chkPointerGuide));
  waitEnabled({Ctl::chkPGFrame, Ctl::optPGType0});
  EXPECT_FALSE(dialog.Enabled(Ctl::txtCGridSize)) << "the grid does not hang on the guide";

  // OK stores every edit, the untouched stored states included.
  ASSERT_TRUE(dialog.Click(Ctl::cmdOK));
  ASSERT_TRUE(WaitClosed(dialog));
  EXPECT_EQ(store_.Read(kApp, kOptions, L"ViewMode"), L"2");
  EXPECT_EQ(store_.Read(kApp, kOptions, L"PointerGuide"), L"True");
  EXPECT_EQ(store_.Read(kApp, kOptions, L"DoubleClick"), L"0") << "the pre-load selection";
  EXPECT_EQ(store_.Read(kApp, kOptions, L"PGType"), L"1");
  EXPECT_EQ(store_.Read(kApp, kOptions, L"CountSeries"), L"True");
}

// A text longer than an edit control holds by default is shown whole and
// stored back unchanged.
TEST_F(Options, ALongStoredTextSurvivesOk) {
  const std::wstring command(40000, L'a');
  store_.Write(kApp, kOptions, L"VModeSoft", command);
  Start();
  OptionsDialog dialog = Open();
  ASSERT_NE(dialog.window(), nullptr);
  EXPECT_EQ(dialog.Text(Ctl::txtVModeSoft).size(), command.size());
  ASSERT_TRUE(dialog.Click(Ctl::cmdOK));
  ASSERT_TRUE(WaitClosed(dialog));
  EXPECT_EQ(store_.Read(kApp, kOptions, L"VModeSoft").value_or(L"").size(), command.size());
}

TEST_F(Options, ApplyWritesOnlyWhatChanged) {
  Start();
  OptionsDialog dialog = Open();
  ASSERT_NE(dialog.window(), nullptr);
  EXPECT_FALSE(dialog.Enabled(Ctl::cmdApp));
  // One typed character enables Apply.
  ASSERT_TRUE(ShowTab(dialog, 1));
  ASSERT_TRUE(dialog.Click(Ctl::txtCGridSize));
  input::Key(VK_END);
  input::Type(L"0");
  EXPECT_TRUE(WaitUntil([&] { return dialog.Enabled(Ctl::cmdApp); }));
  ASSERT_TRUE(dialog.Click(Ctl::cmdApp));
  EXPECT_TRUE(WaitUntil([&] { return !Stored().empty(); }));
  EXPECT_EQ(Stored(), std::vector<std::wstring>{L"Options\\CGridSize=160"});
  ASSERT_TRUE(dialog.Click(Ctl::cmdApp));
  PumpFor(std::chrono::milliseconds(300));
  EXPECT_EQ(Stored(), std::vector<std::wstring>{L"Options\\CGridSize=160"}) << "Apply again";
  EXPECT_TRUE(dialog.Enabled(Ctl::cmdApp)) << "stays enabled";

  // Cancel keeps what was applied; the next opening shows it.
  ASSERT_TRUE(dialog.Click(Ctl::chkPGLupe));
  ASSERT_TRUE(dialog.Click(Ctl::cmdCancel));
  ASSERT_TRUE(WaitClosed(dialog));
  EXPECT_EQ(Stored(), std::vector<std::wstring>{L"Options\\CGridSize=160"});
  OptionsDialog again = Open();
  EXPECT_EQ(Utf8(again.Text(Ctl::txtCGridSize)), "160");
  EXPECT_TRUE(again.Checked(Ctl::chkPGLupe)) << "the cancelled edit is gone";
  input::Key(VK_ESCAPE);
  EXPECT_TRUE(WaitClosed(again));
}

TEST_F(Options, BadNumbersAreRefusedWithTheirMessage) {
  Start();
  OptionsDialog dialog = Open();
  ASSERT_NE(dialog.window(), nullptr);
  ASSERT_TRUE(ShowTab(dialog, 1));
  TypeInto(dialog, Ctl::txtCGridSize, L"");
  ASSERT_TRUE(dialog.Click(Ctl::cmdApp));
  EXPECT_EQ(Utf8(TakeMessage()), "グリッドサイズはピクセル数を指定してください！");
  EXPECT_TRUE(IsWindow(dialog.window())) << "Apply leaves the dialog open";

  // Both wrong: only the grid's message.
  ASSERT_TRUE(ShowTab(dialog, 2));
  TypeInto(dialog, Ctl::txtTimer, L"abc");
  ASSERT_TRUE(dialog.Click(Ctl::cmdApp));
  EXPECT_EQ(Utf8(TakeMessage()), "グリッドサイズはピクセル数を指定してください！");
  EXPECT_EQ(FindOtherDialog(program_->processId()), nullptr) << "one message only";

  // OK shows the message and closes all the same, with nothing written.
  ASSERT_TRUE(dialog.Click(Ctl::cmdOK));
  EXPECT_EQ(Utf8(TakeMessage()), "グリッドサイズはピクセル数を指定してください！");
  EXPECT_TRUE(WaitClosed(dialog));
  EXPECT_TRUE(Stored().empty());

  // A timer beyond 16 bits is refused with the timer's message.
  OptionsDialog next = Open();
  ASSERT_TRUE(ShowTab(next, 2));
  TypeInto(next, Ctl::txtTimer, L"40000");
  ASSERT_TRUE(next.Click(Ctl::cmdApp));
  EXPECT_EQ(Utf8(TakeMessage()), "タイマーの待ち時間は秒数を指定してください！");
  EXPECT_TRUE(Stored().empty());
  input::Key(VK_ESCAPE);
  EXPECT_TRUE(WaitClosed(next));

  // Halves round to even when they are stored; the platform's number test
  // in the user's locale takes a grouped number, as the countdown's input
  // box does.
  OptionsDialog again = Open();
  ASSERT_TRUE(ShowTab(again, 1));
  TypeInto(again, Ctl::txtCGridSize, L"1,000");
  ASSERT_TRUE(ShowTab(again, 2));
  TypeInto(again, Ctl::txtTimer, L" 2.5 ");
  ASSERT_TRUE(again.Click(Ctl::cmdOK));
  EXPECT_TRUE(WaitClosed(again)) << "a message: " << Utf8(TakeMessage());
  EXPECT_EQ(Stored(),
            (std::vector<std::wstring>{L"Options\\CGridSize=1000", L"Options\\CutTimerTime=2"}));
}

// The page a control lies on: its containers up to the page.
int PageOfControl(const kestrel::options::ControlSpec& control) {
  for (Ctl at = control.container; at != Ctl::None; at = kestrel::options::Find(at)->container)
    for (int page = 0; page < kestrel::options::kPageCount; ++page)
      if (at == PageOf(page)) return page;
  return -1;
}

// Where a check box or option button has its square: 4 pixels inside its
// left edge, half-way down.
POINT SquareOf(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  return {r.left + 4, (r.top + r.bottom) / 2};
}

// A control laid over the end of another one's text lies above it, so its
// square is its own; a click there ticks it and selects nothing else.
TEST_F(Options, EverySquareIsItsControlsOwn) {
  using kestrel::options::Kind;
  Start();
  OptionsDialog dialog = Open();
  ASSERT_NE(dialog.window(), nullptr);
  for (int page = 0; page < kestrel::options::kPageCount; ++page) {
    ASSERT_TRUE(ShowTab(dialog, page));
    for (const auto& c : kestrel::options::Controls()) {
      if ((c.kind != Kind::CheckBox && c.kind != Kind::OptionButton) || PageOfControl(c) != page)
        continue;
      HWND window = dialog.Item(c.id);
      HWND parent = GetParent(window);
      POINT at = SquareOf(window);
      ScreenToClient(parent, &at);
      HWND found = ChildWindowFromPointEx(parent, at, CWP_SKIPINVISIBLE);
      EXPECT_EQ(found, window) << c.name << " is under control " << GetDlgCtrlID(found);
    }
  }
  ASSERT_TRUE(ShowTab(dialog, 2));
  ASSERT_TRUE(dialog.Checked(Ctl::optCount1));
  ASSERT_FALSE(dialog.Checked(Ctl::chkCountSeries));
  ASSERT_TRUE(input::ClickAt(SquareOf(dialog.Item(Ctl::chkCountSeries)), input::Button::Left));
  EXPECT_TRUE(WaitUntil([&] { return dialog.Checked(Ctl::chkCountSeries); }));
  EXPECT_TRUE(dialog.Checked(Ctl::optCount1));
  EXPECT_FALSE(dialog.Checked(Ctl::optCount2));
  input::Key(VK_ESCAPE);
  EXPECT_TRUE(WaitClosed(dialog));
}

TEST_F(Options, BrowseButtonsShareTheChosenFileName) {
  store_.Write(kApp, kOptions, L"CountType", L"2");
  store_.Write(kApp, kOptions, L"ViewMode", L"2");
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring wave = std::wstring(folder) + L"kestrel_e2e_count.wav";
  { std::ofstream(wave.c_str()) << "RIFF"; }
  Start();
  OptionsDialog dialog = Open();
  ASSERT_NE(dialog.window(), nullptr);
  ASSERT_TRUE(ShowTab(dialog, 2));
  ASSERT_TRUE(dialog.Click(Ctl::btnCountWave));
  HWND files = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (files = FindOtherDialog(program_->processId())); }));
  // The filter's descriptions, in the file-type box.
  std::vector<std::wstring> filters;
  for (HWND child : Descendants(files)) {
    if (ClassName(child) != L"ComboBox" || GetDlgCtrlID(child) != 0x470) continue;  // cmb1
    const int count = static_cast<int>(SendMessageW(child, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      wchar_t text[256] = {};
      SendMessageW(child, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      filters.emplace_back(text);
    }
  }
  EXPECT_EQ(filters, (std::vector<std::wstring>{L"音声ファイル(*.wav)", L"全てのファイル(*.*)"}));
  ASSERT_TRUE(Activate(files));
  input::Type(wave);
  input::Key(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(files); }));
  EXPECT_TRUE(WaitUntil([&] { return dialog.Text(Ctl::txtCountWave) == wave; }))
      << Utf8(dialog.Text(Ctl::txtCountWave));
  EXPECT_TRUE(dialog.Enabled(Ctl::cmdApp)) << "the chosen file marks a change";

  // The program's browse starts with that file name; cancel changes nothing.
  ASSERT_TRUE(ShowTab(dialog, 0));
  ASSERT_TRUE(dialog.Click(Ctl::btnVModeSoft));
  ASSERT_TRUE(WaitUntil([&] { return (files = FindOtherDialog(program_->processId())); }));
  std::wstring fileName;
  std::vector<std::wstring> programFilters;
  for (HWND child : Descendants(files)) {
    const int id = GetDlgCtrlID(child);
    if (id == 0x47c || id == 0x480) fileName = GetText(child);  // cmb13 or edt1
    if (ClassName(child) == L"ComboBox" && id == 0x470) {
      wchar_t text[256] = {};
      SendMessageW(child, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
      programFilters.emplace_back(text);
    }
  }
  // The platform's dialog shows the name and opens in its folder.
  EXPECT_EQ(Utf8(fileName), "kestrel_e2e_count.wav");
  EXPECT_EQ(programFilters, std::vector<std::wstring>{L"アプリケーション(*.exe)"});
  ASSERT_TRUE(Activate(files));
  input::Key(VK_ESCAPE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(files); }));
  PumpFor(std::chrono::milliseconds(200));
  EXPECT_EQ(Utf8(dialog.Text(Ctl::txtVModeSoft)), "") << "cancel changes nothing";
  // Taken as it stands, the name is the first file's full path.
  ASSERT_TRUE(dialog.Click(Ctl::btnVModeSoft));
  ASSERT_TRUE(WaitUntil([&] { return (files = FindOtherDialog(program_->processId())); }));
  ASSERT_TRUE(Activate(files));
  input::Key(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(files); }));
  EXPECT_TRUE(WaitUntil([&] { return dialog.Text(Ctl::txtVModeSoft) == wave; }))
      << Utf8(dialog.Text(Ctl::txtVModeSoft));
  DeleteFileW(wave.c_str());
  input::Key(VK_ESCAPE);
}

TEST_F(Options, HotkeyIsFreeWhileOpenAndWorksAtOnceAfterOk) {
  Start();
  EXPECT_TRUE(HotkeyIsFree()) << "\"Hotkey\" is off by default";
  OptionsDialog dialog = Open();
  ASSERT_NE(dialog.window(), nullptr);
  // A second options command brings the open dialog forward, no second one.
  program_->Command(static_cast<UINT>(kestrel::MenuCommand::Options));
  PumpFor(std::chrono::milliseconds(500));
  EXPECT_EQ(WindowsOf(program_->processId(), L"#32770").size(), 1u);
  ASSERT_TRUE(Activate(dialog.window()));
  input::KeyWith({VK_MENU}, 'H');
  ASSERT_TRUE(WaitUntil([&] { return dialog.VisiblePage() == 3; }));
  ASSERT_TRUE(dialog.Click(Ctl::chkHotkey));
  ASSERT_TRUE(dialog.Click(Ctl::cmdOK));
  ASSERT_TRUE(WaitClosed(dialog));
  EXPECT_EQ(store_.Read(kApp, kOptions, L"Hotkey"), L"True");

  FocusWindow focus;
  ASSERT_TRUE(focus.Activate());
  input::WindowsC();
  EXPECT_TRUE(WaitOverlayShown()) << "Windows + C works at once";
  INPUT right[2]{};
  right[0].type = right[1].type = INPUT_MOUSE;
  right[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  right[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  SendInput(2, right, sizeof(INPUT));
  ASSERT_TRUE(WaitOverlayGone());

  // Registered now, it is released while the dialog is open, so another
  // program can take Windows + C meanwhile.
  EXPECT_FALSE(HotkeyIsFree());
  OptionsDialog again = Open();
  ASSERT_NE(again.window(), nullptr);
  EXPECT_TRUE(HotkeyIsFree());
  input::Key(VK_ESCAPE);
  EXPECT_TRUE(WaitClosed(again));
}

// Enter presses OK unless a button has the focus; the first focus is
// Cancel; Tab follows the tab-index column.
TEST_F(Options, KeyboardFocusFollowsTheTabIndexes) {
  store_.Write(kApp, kOptions, L"CutTimerTime", L"4");
  Start();
  OptionsDialog dialog = Open();
  ASSERT_NE(dialog.window(), nullptr);
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  auto focused = [&] {
    GetGUIThreadInfo(program_->uiThreadId(), &info);
    return info.hwndFocus;
  };
  EXPECT_EQ(focused(), dialog.Item(Ctl::cmdCancel));
  const Ctl forward[] = {Ctl::cmdOK, Ctl::optDefalut0, Ctl::optPictureView0, Ctl::cmdCancel};
  for (Ctl next : forward) {
    input::Key(VK_TAB);
    EXPECT_TRUE(WaitUntil([&] { return focused() == dialog.Item(next); }))
        << kestrel::options::Find(next)->name;
  }
  input::KeyWith({VK_SHIFT}, VK_TAB);
  EXPECT_TRUE(WaitUntil([&] { return focused() == dialog.Item(Ctl::optPictureView0); }));
  // An arrow key moves within the radio group and selects.
  input::Key(VK_DOWN);
  EXPECT_TRUE(WaitUntil([&] { return dialog.Checked(Ctl::optPictureView1); }));
  EXPECT_TRUE(dialog.Enabled(Ctl::cmdApp));
  input::Key(VK_RETURN);  // on a radio button: OK
  ASSERT_TRUE(WaitClosed(dialog));
  EXPECT_EQ(store_.Read(kApp, kOptions, L"ViewMode"), L"1");
}

}  // namespace
}  // namespace e2e
