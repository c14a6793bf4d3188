// Timed cuts with the real program, its real timer and its real input box:
// when the cut comes, what the tray does meanwhile, cancelling, the asked
// length and the sounds the program really asks for.

#include <algorithm>
#include <string>

#include "e2e/support/cut_fixture.h"
#include "e2e/support/sound_recorder.h"

namespace e2e {
namespace {

using input::Button;
using std::chrono::milliseconds;

constexpr UINT kFreeTimerScreenCutCommand = 1003;
constexpr UINT kReScreenCutWithTimerCommand = 1005;

constexpr RECT kArea = {200, 120, 380, 260};
constexpr POINT kAreaTopLeft = {kArea.left, kArea.top};
constexpr POINT kAreaBottomRight = {kArea.right, kArea.bottom};

constexpr wchar_t kCancelCaption[] = L"タイマーをキャンセル（&C)";
constexpr wchar_t kAskTitle[] = L"時間を指定して画面を切り取る";
constexpr wchar_t kPrompt[] = L"時間を指定してください（秒）";

// The bytes the program hands to the ANSI entry point for a text.
std::string Cp932(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::string out(static_cast<size_t>(
                      WideCharToMultiByte(932, 0, text.data(), size, nullptr, 0, nullptr, nullptr)),
                  '\0');
  WideCharToMultiByte(932, 0, text.data(), size, out.data(), static_cast<int>(out.size()), nullptr,
                      nullptr);
  return out;
}

milliseconds Since(Clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

// Returns when the overlay shows, with the time since `start`; a long time
// when it never does.
milliseconds OverlayAfter(Clock::time_point start) {
  if (!WaitUntil(&OverlayVisible, 10s)) return milliseconds::max();
  return Since(start);
}

// True when no overlay appeared until `until`.
bool NoOverlayUntil(Clock::time_point until) {
  bool seen = false;
  while (Clock::now() < until && !seen) {
    seen = OverlayWindow() != nullptr;
    PumpFor(20ms);
  }
  return !seen;
}

// A wave file of silence, long enough to be playing still when the program
// quits a second later; removed on destruction.
class SilentWave {
 public:
  SilentWave() {
    wchar_t folder[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + L"kestrel-e2e-count.wav";
    constexpr DWORD kRate = 8000;  // 8-bit mono: one byte a sample
    constexpr DWORD kBytes = kRate * 3;
    const DWORD header[] = {
        0x46464952, 36 + kBytes, 0x45564157,         // "RIFF" size "WAVE"
        0x20746D66, 16,          0x00010001, kRate,  // "fmt " size, PCM mono, rate
        kRate,      0x00080001,  0x61746164, kBytes  // bytes a second, align 1 and 8 bits, "data"
    };
    std::string data(reinterpret_cast<const char*>(header), sizeof(header));
    data.append(kBytes, '\x80');
    const HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
      written_ = WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
                 written == data.size();
      CloseHandle(file);
    }
  }
  ~SilentWave() { DeleteFileW(path_.c_str()); }
  SilentWave(const SilentWave&) = delete;
  SilentWave& operator=(const SilentWave&) = delete;
  bool written() const { return written_; }
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
  bool written_ = false;
};

class Countdown : public CutTest {
 protected:
  void Options(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> values) {
    for (const auto& [key, text] : values) store_.Write(L"Kestrel5", L"Options", key, text);
  }
  // A right click on the overlay closes it without a cut.
  void CloseOverlay() {
    input::Press(Button::Right);
    input::Release(Button::Right);
    ASSERT_TRUE(WaitOverlayGone());
  }
  // The tray's right button during a countdown: only the cancel item.
  void ExpectOnlyTheCancelItem() {
    const auto menu = OpenTrayMenu();
    ASSERT_EQ(menu.size(), 1u);
    EXPECT_EQ(Utf8(menu[0].caption), Utf8(kCancelCaption));
    // This menu does not take the foreground: keys do not reach it.
    if (HWND open = OpenMenuWindow()) PostMessageW(open, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([] { return OpenMenuWindow() == nullptr; }, 3s));
  }
  // The timed caption of the normal menu; empty when the menu is not the
  // normal one.
  std::wstring TimedCaption() {
    const auto menu = OpenTrayMenu();
    const std::wstring caption = menu.size() > 1 ? menu[1].caption : L"";
    CloseMenu();
    return caption;
  }
};

TEST_F(Countdown, TwoSecondsThenAPixelExactCut) {
  Options({{L"CutTimerTime", L"2"}, {L"CountType", L"0"}});
  StartOverPattern();
  const auto start = Clock::now();
  program_->Command(kTimerScreenCutCommand);
  const milliseconds after = OverlayAfter(start);
  EXPECT_GE(after.count(), 2000);
  EXPECT_LE(after.count(), 3000);
  ASSERT_TRUE(OverlayVisible());
  DragOnOverlay(kAreaTopLeft, kAreaBottomRight);
  EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea));
}

TEST_F(Countdown, TheLastAreaAgainTakesTheNewPixelsAfterTheCountdown) {
  Options({{L"CutTimerTime", L"1"}, {L"CountType", L"0"}});
  StartOverPattern();
  // Before any cut the command does nothing: no countdown, no overlay.
  ASSERT_TRUE(SetClipboardText(L"before"));
  program_->Command(kReScreenCutWithTimerCommand);
  EXPECT_EQ(Utf8(TimedCaption()), Utf8(L"1秒後に画面を切り取る(&T)")) << "no countdown runs";
  EXPECT_TRUE(NoOverlayUntil(Clock::now() + 1500ms));
  EXPECT_EQ(ClipboardText(), std::optional<std::wstring>(L"before"));

  Cut(kAreaTopLeft, kAreaBottomRight);
  ASSERT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea));
  ShowPattern(Pattern::Inverted);
  const auto start = Clock::now();
  program_->Command(kReScreenCutWithTimerCommand);
  ASSERT_TRUE(
      WaitUntil([] { return bool(IsPatternArea(ClipboardPicture(), Pattern::Inverted, kArea)); }));
  EXPECT_GE(Since(start).count(), 1000) << "the cut came before the countdown ended";
  EXPECT_TRUE(WaitOverlayGone());
}

TEST_F(Countdown, WhileItRunsOnlyCancelAndCancelCutsNothing) {
  Options({{L"CutTimerTime", L"8"}, {L"CountType", L"0"}, {L"Hotkey", L"True"}});
  StartOverPattern();
  ASSERT_TRUE(SetClipboardText(L"before"));
  const DWORD sequence = GetClipboardSequenceNumber();
  const auto start = Clock::now();
  program_->Command(kTimerScreenCutCommand);

  ExpectOnlyTheCancelItem();
  program_->TrayCallback(WM_LBUTTONDBLCLK);
  FocusWindow focus;
  ASSERT_TRUE(focus.Activate());
  input::WindowsC();
  // The double click or Windows + C would open the overlay at once; the
  // countdown is long enough that a loaded machine still cancels before
  // its end.
  EXPECT_TRUE(NoOverlayUntil(start + 2500ms)) << "the double click or Windows + C cut";

  // Seconds before the end, cancel with the pointer, as a user would.
  MenuReader reader(program_->uiThreadId());
  program_->TrayCallback(WM_RBUTTONDOWN);
  ASSERT_TRUE(reader.WaitForMenu().has_value());
  HWND menu = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (menu = OpenMenuWindow()) != nullptr; }));
  RECT item{};
  GetWindowRect(menu, &item);
  const POINT centre{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
  // The pointer anywhere on the only item is enough; a move Wine undid is
  // sent again.
  ASSERT_TRUE(WaitUntil(
      [&] {
        input::MoveTo(centre);
        POINT cursor{};
        return GetCursorPos(&cursor) && PtInRect(&item, cursor);
      },
      3s))
      << "the pointer did not reach the cancel item";
  input::Press(Button::Left);
  input::Release(Button::Left);
  EXPECT_TRUE(WaitUntil([] { return OpenMenuWindow() == nullptr; }, 3s)) << "the menu stayed open";
  EXPECT_LT(Since(start).count(), 8000) << "cancelled too late for this test";

  EXPECT_TRUE(NoOverlayUntil(start + 9500ms)) << "a cancelled countdown cut";
  EXPECT_EQ(GetClipboardSequenceNumber(), sequence);
  EXPECT_EQ(Utf8(TimedCaption()), Utf8(L"8秒後に画面を切り取る(&T)")) << "the normal menu is back";
}

TEST_F(Countdown, TheInputBoxAsksAndItsAnswerIsTheLength) {
  Options({{L"CutterMode", L"2"}, {L"CutTimerTime", L"5"}, {L"CountType", L"0"}});
  StartOverPattern();
  program_->Command(kFreeTimerScreenCutCommand);
  HWND box = FindInputBox(*program_, kAskTitle);
  ASSERT_NE(box, nullptr) << "no input box; " << Describe(*program_);
  const auto texts = ChildTexts(box);
  for (const wchar_t* text : {kPrompt, L"5", L"OK", L"キャンセル"}) {
    EXPECT_NE(std::find(texts.begin(), texts.end(), text), texts.end()) << Utf8(text);
  }
  EXPECT_EQ(GetForegroundWindow(), box);
  RECT frame{};
  GetWindowRect(box, &frame);
  EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  // 2.5 rounds to the even 2.
  const auto start = Clock::now();
  Answer(box, L"2.5");
  const milliseconds after = OverlayAfter(start);
  EXPECT_GE(after.count(), 2000);
  EXPECT_LE(after.count(), 3000);
  CloseOverlay();
  EXPECT_EQ(Utf8(TimedCaption()), Utf8(L"2秒後に画面を切り取る(&T)"));

  struct Refusal {
    const char* rule;
    const wchar_t* text;  // nullptr: Esc
  };
  const Refusal refusals[] = {
      {"Esc cancels", nullptr}, {"empty text", L""}, {"words", L"abc"}, {"too large", L"40000"}};
  for (const auto& r : refusals) {
    SCOPED_TRACE(r.rule);
    program_->Command(kFreeTimerScreenCutCommand);
    box = FindInputBox(*program_, kAskTitle);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Utf8(WindowText(FindWindowExW(box, nullptr, L"Edit", nullptr))), "2")
        << "prefilled with the last length";
    if (r.text) {
      Answer(box, r.text);
    } else {
      input::Key(VK_ESCAPE);
      ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    }
    EXPECT_EQ(Utf8(TimedCaption()), Utf8(L"2秒後に画面を切り取る(&T)")) << "nothing changed";
    EXPECT_EQ(OverlayWindow(), nullptr);
  }
}

TEST_F(Countdown, WindowsCOpensNoSecondInputBox) {
  Options({{L"CutterMode", L"1"}, {L"DoubleClick", L"1"}, {L"Hotkey", L"True"}});
  Start();
  program_->Command(kFreeTimerScreenCutCommand);
  const HWND box = FindInputBox(*program_, kAskTitle);
  ASSERT_NE(box, nullptr);
  input::WindowsC();
  PumpFor(1s);
  EXPECT_EQ(WindowsOf(program_->processId(), L"#32770").size(), 1u);
  input::Key(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
}

// The sounds: what the program asks of sndPlaySoundA and MessageBeep, seen
// from inside it.
TEST_F(Countdown, EachSecondIsVoicedAsTheOptionsSay) {
  struct Case {
    const char* rule;
    const wchar_t* seconds;
    const wchar_t* countType;
    const wchar_t* countWave;
    const wchar_t* countSeries;
    SoundKind kind;
    std::vector<std::wstring> names;  // one per second; empty names for beeps
  };
  const std::vector<Case> cases = {
      {"numbered files count down, and a missing file still ends in the cut",
       L"3",
       L"2",
       L"C:\\nowhere\\count",
       L"True",
       SoundKind::Wave,
       {L"C:\\nowhere\\count3.WAV", L"C:\\nowhere\\count2.WAV", L"C:\\nowhere\\count1.WAV"}},
      {"without the series the same file every second",
       L"2",
       L"2",
       L"C:\\nowhere\\tick.wav",
       L"False",
       SoundKind::Wave,
       {L"C:\\nowhere\\tick.wav", L"C:\\nowhere\\tick.wav"}},
      {"a name ending in .wav still gets the number",
       L"2",
       L"5",
       L"C:\\nowhere\\tick.wav",
       L"True",
       SoundKind::Wave,
       {L"C:\\nowhere\\tick.wav2.WAV", L"C:\\nowhere\\tick.wav1.WAV"}},
      {"a Japanese name is passed in code page 932",
       L"1",
       L"2",
       L"C:\\音声\\カウント",
       L"True",
       SoundKind::Wave,
       {L"C:\\音声\\カウント1.WAV"}},
      {"type 1 beeps once a second",
       L"3",
       L"1",
       L"ignored",
       L"True",
       SoundKind::Beep,
       {L"", L"", L""}},
      {"type 0 is silent", L"2", L"0", L"ignored", L"True", SoundKind::Wave, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    store_.Clear();
    Options({{L"CutTimerTime", c.seconds},
             {L"CountType", c.countType},
             {L"CountWave", c.countWave},
             {L"CountSeries", c.countSeries}});
    Start();
    SoundRecorder sounds(*program_);
    ASSERT_TRUE(sounds.armed()) << "the probe did not enter the program";
    program_->Command(kTimerScreenCutCommand);
    ASSERT_TRUE(WaitOverlayShown()) << "the countdown did not end in a cut";
    const auto heard = sounds.Calls();
    ASSERT_EQ(heard.size(), c.names.size());
    for (size_t i = 0; i < heard.size(); ++i) {
      SCOPED_TRACE("second " + std::to_string(i + 1));
      EXPECT_EQ(heard[i].kind, c.kind);
      if (c.kind == SoundKind::Wave) {
        EXPECT_EQ(heard[i].name, Cp932(c.names[i]));
        EXPECT_EQ(heard[i].flags, 3u) << "SND_ASYNC | SND_NODEFAULT";
      } else {
        EXPECT_EQ(heard[i].flags, static_cast<UINT>(MB_OK));
      }
      if (i > 0) {
        EXPECT_GE(heard[i].tick - heard[i - 1].tick, 900u) << "one a second";
      }
    }
    CloseOverlay();
    program_.reset();
  }
}

// The program closed from outside (the system, an installer) while a wave
// still plays: it ends cleanly, its sound library never unloaded under the
// sound.
TEST_F(Countdown, QuittingWhileAWavePlaysEndsCleanly) {
  const SilentWave wave;
  ASSERT_TRUE(wave.written());
  Options({{L"CutTimerTime", L"5"},
           {L"CountType", L"2"},
           {L"CountWave", wave.path().c_str()},
           {L"CountSeries", L"False"}});
  Start();
  SoundRecorder sounds(*program_);
  ASSERT_TRUE(sounds.armed()) << "the probe did not enter the program";
  program_->Command(kTimerScreenCutCommand);
  ASSERT_TRUE(WaitUntil([&] { return !sounds.Calls().empty(); })) << "no wave was played";
  PostMessageW(program_->background(), WM_CLOSE, 0, 0);
  EXPECT_EQ(program_->WaitExit(), std::optional<DWORD>(0));
  EXPECT_EQ(sounds.SoundLibraryAtEnd(), LibraryAtEnd::Loaded)
      << "the sound library was unloaded before the process ended";
  EXPECT_EQ(OverlayWindow(), nullptr) << "the countdown went on";
}

}  // namespace
}  // namespace e2e
