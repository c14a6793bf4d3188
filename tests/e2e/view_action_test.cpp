// The view action after a cut, checked with a stand-in viewer that records
// the command line it was started with and the show state it was asked for;
// and what a cut that fails hands on: nothing.
//
// Wine puts quotes around an unquoted program path with blanks before the
// started program reads its command line. Where a row passes such a path,
// its expectation is what the started program sees under Wine; a second row
// passes the path already quoted, which Wine leaves alone, so quotes added
// by the program itself would show there.

#include <windows.h>
// tlhelp32.h needs windows.h first.
#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "common/test_hooks.h"
#include "e2e/support/cut_fixture.h"
#include "e2e/support/paths.h"

namespace e2e {
namespace {

constexpr RECT kArea = {300, 200, 380, 260};
constexpr RECT kOtherArea = {500, 250, 610, 300};

struct Invocation {
  std::string commandLine;
  bool showRequested = false;
  int showState = -1;
};

std::wstring RecordOf(const std::wstring& folder) { return folder + L"\\invocations.txt"; }

// Z:\a\b as the Linux path /a/b, for reading with the standard library.
std::string LinuxPath(const std::wstring& winePath) {
  std::string out = Utf8(winePath.substr(2));
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

std::vector<Invocation> Invocations(const std::wstring& folder) {
  std::vector<Invocation> out;
  std::ifstream file(LinuxPath(RecordOf(folder)));
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream fields(line);
    Invocation invocation;
    std::string requested;
    std::getline(fields, invocation.commandLine, '\t');
    std::getline(fields, requested, '\t');
    fields >> invocation.showState;
    invocation.showRequested = requested == "1";
    out.push_back(invocation);
  }
  return out;
}

// Processes the program started that are still running.
bool ChildrenRunning(DWORD parent) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return true;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  bool running = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !running;
       more = Process32NextW(snapshot, &entry)) {
    running = entry.th32ParentProcessID == parent;
  }
  CloseHandle(snapshot);
  return running;
}

uint32_t DesktopRgb() {
  const COLORREF c = GetSysColor(COLOR_BACKGROUND);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// A corner block of the screen, away from the pointer, shows only one colour.
bool CornerShows(uint32_t rgb) {
  const auto picture = ScreenPicture({10, 10, 50, 50});
  return picture && std::all_of(picture->pixels.begin(), picture->pixels.end(),
                                [rgb](uint32_t p) { return p == rgb; });
}

struct StoreEntry {
  const wchar_t* application;
  const wchar_t* section;
  const wchar_t* key;
  std::wstring text;
};

class ViewAction : public CutTest {
 protected:
  void SetUp() override {
    CutTest::SetUp();
    ForgetInvocations();
  }
  void TearDown() override {
    CutTest::TearDown();
    ForgetInvocations();
  }
  static void ForgetInvocations() {
    for (const wchar_t* folder : {paths::kViewerFolder, paths::kViewerFolderWithBlanks})
      DeleteFileW(RecordOf(folder).c_str());
  }
  // Every invocation of both stand-ins, once nothing the program started
  // runs any more.
  std::vector<Invocation> AllInvocations() {
    EXPECT_TRUE(WaitUntil([this] { return !ChildrenRunning(program_->processId()); }));
    auto all = Invocations(paths::kViewerFolder);
    for (auto& i : Invocations(paths::kViewerFolderWithBlanks)) all.push_back(i);
    return all;
  }
};

TEST_F(ViewAction, StartsWhatTheViewModeSaysMinimizedAndActivated) {
  const std::wstring viewer = paths::kViewerFolder;
  const std::wstring blanks = paths::kViewerFolderWithBlanks;
  const std::string viewerUtf8 = Utf8(viewer);
  const std::string blanksUtf8 = Utf8(blanks);
  struct Case {
    const char* rule;
    std::vector<StoreEntry> store;
    const char* expected;  // the command line the stand-in saw; nullptr: nothing started
  };
  const std::string viewerCommand = viewerUtf8 + "\\Pictoria2.exe ?clipboard";
  const std::string blanksQuotedByWine = "\"" + blanksUtf8 + "\\Pictoria2.exe\" /show  two";
  const std::string blanksQuoted = "\"" + blanksUtf8 + "\\Pictoria2.exe\" ?clipboard";
  const Case cases[] = {
      {"1 starts the viewer from its published folder",
       {{L"Pictoria2", L"App", L"Path", viewer},
        {L"Pictoria2", L"App", L"Minor", L"1"},
        {L"Kestrel5", L"Options", L"ViewMode", L"1"}},
       viewerCommand.c_str()},
      {"a published viewer 2.1 makes 1 the default",
       {{L"Pictoria2", L"App", L"Path", viewer}, {L"Pictoria2", L"App", L"Minor", L"1"}},
       viewerCommand.c_str()},
      {"an older viewer leaves the default at 0",
       {{L"Pictoria2", L"App", L"Path", viewer}, {L"Pictoria2", L"App", L"Minor", L"0"}},
       nullptr},
      {"1 without a viewer folder fails silently",
       {{L"Kestrel5", L"Options", L"ViewMode", L"1"}},
       nullptr},
      {"2 passes an unquoted path with blanks unchanged",
       {{L"Kestrel5", L"Options", L"ViewMode", L"2"},
        {L"Kestrel5", L"Options", L"VModeSoft", blanks + L"\\Pictoria2.exe /show  two"}},
       blanksQuotedByWine.c_str()},
      {"2 passes a quoted path unchanged",
       {{L"Kestrel5", L"Options", L"ViewMode", L"2"},
        {L"Kestrel5", L"Options", L"VModeSoft", L"\"" + blanks + L"\\Pictoria2.exe\" ?clipboard"}},
       blanksQuoted.c_str()},
      {"2 with an empty command line starts nothing",
       {{L"Kestrel5", L"Options", L"ViewMode", L"2"}, {L"Kestrel5", L"Options", L"VModeSoft", L""}},
       nullptr},
      {"3 starts nothing",
       {{L"Pictoria2", L"App", L"Path", viewer},
        {L"Pictoria2", L"App", L"Minor", L"1"},
        {L"Kestrel5", L"Options", L"ViewMode", L"3"},
        {L"Kestrel5", L"Options", L"VModeSoft", blanks + L"\\Pictoria2.exe"}},
       nullptr},
  };
  ShowPattern(Pattern::Plain);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    program_.reset();
    store_.Clear();
    ForgetInvocations();
    for (const StoreEntry& e : c.store) store_.Write(e.application, e.section, e.key, e.text);
    Start();
    Cut({kArea.left, kArea.top}, {kArea.right, kArea.bottom});
    EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea)) << "the cut is there";
    if (!c.expected) {
      EXPECT_TRUE(AllInvocations().empty());
      continue;
    }
    ASSERT_TRUE(WaitUntil([] {
      return !Invocations(paths::kViewerFolder).empty() ||
             !Invocations(paths::kViewerFolderWithBlanks).empty();
    })) << "nothing was started";
    const auto seen = AllInvocations();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].commandLine, c.expected);
    EXPECT_TRUE(seen[0].showRequested);
    EXPECT_EQ(seen[0].showState, SW_SHOWMINIMIZED);
  }
}

TEST_F(ViewAction, TheLastPictureRunsItAgain) {
  store_.Write(L"Pictoria2", L"App", L"Path", paths::kViewerFolder);
  store_.Write(L"Pictoria2", L"App", L"Minor", L"1");
  StartOverPattern();
  Cut({kArea.left, kArea.top}, {kArea.right, kArea.bottom});
  ASSERT_TRUE(WaitUntil([] { return Invocations(paths::kViewerFolder).size() == 1; }));
  program_->Command(kLastPictureCommand);
  EXPECT_TRUE(WaitUntil([] { return Invocations(paths::kViewerFolder).size() == 2; }));
  EXPECT_EQ(AllInvocations().size(), 2u);
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

// A cut whose picture cannot be made is no cut: the clipboard keeps what it
// held, no viewer starts, and the last picture and area stay those of the
// cut before. A picture that cannot be copied for the clipboard leaves the
// clipboard as a busy one does, and the cut itself is kept for later.
TEST_F(ViewAction, ACutWithoutItsPictureHandsNothingOn) {
  using kestrel::Allocation;
  struct Case {
    const char* rule;
    Allocation refused;
    bool cutKept;
  };
  const Case cases[] = {
      {"no picture for the cut", Allocation::CutPicture, false},
      {"no frozen image: the overlay shows the desktop colour", Allocation::FrozenImage, false},
      {"no copy for the clipboard", Allocation::ClipboardCopy, true},
  };
  store_.Write(L"Pictoria2", L"App", L"Path", paths::kViewerFolder);
  store_.Write(L"Pictoria2", L"App", L"Minor", L"1");
  StartOverPattern();
  {
    SCOPED_TRACE("before any cut");
    ASSERT_TRUE(SetClipboardText(L"before"));
    const Refusal refusal(Allocation::CutPicture);
    ASSERT_TRUE(refusal.held());
    Cut({kArea.left, kArea.top}, {kArea.right, kArea.bottom});
    EXPECT_EQ(ClipboardText(), std::optional<std::wstring>(L"before"));
    EXPECT_TRUE(AllInvocations().empty());
    EXPECT_FALSE(MenuSaysACutExists());
  }
  Cut({kArea.left, kArea.top}, {kArea.right, kArea.bottom});
  ASSERT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, kArea));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule);
    ASSERT_TRUE(SetClipboardText(L"before"));
    const size_t started = AllInvocations().size();
    {
      const Refusal refusal(c.refused);
      ASSERT_TRUE(refusal.held());
      OpenOverlay();
      if (c.refused == Allocation::FrozenImage) {
        EXPECT_TRUE(WaitUntil([] { return CornerShows(DesktopRgb()); }, 3s))
            << "the overlay is not cleared to the desktop colour";
      }
      DragOnOverlay({kOtherArea.left, kOtherArea.top}, {kOtherArea.right, kOtherArea.bottom});
    }
    EXPECT_EQ(ClipboardText(), std::optional<std::wstring>(L"before"));
    EXPECT_EQ(AllInvocations().size(), started + (c.cutKept ? 1 : 0)) << "viewer starts";
    const RECT& last = c.cutKept ? kOtherArea : kArea;
    CommandChangingClipboard(kLastPictureCommand);
    EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, last)) << "the last picture";
    CommandChangingClipboard(kReScreenCutCommand);
    EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, last)) << "the last area";
  }
}

}  // namespace
}  // namespace e2e
