// Many cuts in a row leave the program holding what it held before: GDI and
// USER objects and private memory. A leaked frozen image, back buffer, cut
// picture, region or DC shows here long before a user would notice it.

#include <cstdio>
#include <string>

#include "e2e/support/cut_fixture.h"
#include "e2e/support/resources.h"

namespace e2e {
namespace {

// Enough rounds that a leak of one object per cut stands out, few enough to
// keep the run short.
constexpr int kDragCuts = 12;
constexpr int kReCuts = 40;
// The heap may keep a little more after many allocations; one leaked
// full-screen image (4 MiB at 1280 x 800) or twelve leaked cut pictures are
// well above this.
constexpr uint64_t kMemorySlack = 1u << 20;

class Soak : public CutTest {
 protected:
  // Cuts of varied sizes by drag, re-cuts, the last picture and clearing.
  void Round(int dragCuts, int reCuts) {
    for (int i = 0; i < dragCuts; ++i) {
      const LONG left = 40 + 23 * i;
      const LONG top = 30 + 17 * i;
      Cut({left, top}, {left + 60 + 31 * i, top + 40 + 19 * i});
      if (HasFatalFailure()) return;
    }
    for (int i = 0; i < reCuts; ++i) {
      CommandChangingClipboard(kReScreenCutCommand);
      if (HasFatalFailure()) return;
    }
    CommandChangingClipboard(kLastPictureCommand);
    CommandChangingClipboard(kClearCommand);
  }

  ResourceUse Measure() {
    // The program is back in its message loop once it answers.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(program_->background(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    return ResourceUseOf(program_->process(), program_->processId());
  }
};

TEST_F(Soak, ManyCutsLeaveObjectsAndMemoryWhereTheyStarted) {
  StartOverPattern();
  // A first round of the same cuts makes what the program keeps for good
  // (fonts, clipboard formats, heap grown to the largest picture); the
  // baseline is taken after it.
  Round(kDragCuts, 3);
  ASSERT_FALSE(HasFatalFailure());
  const ResourceUse before = Measure();
  ASSERT_GT(before.gdiObjects, 0u) << "no GDI count from " << before.source;
  ASSERT_GT(before.userObjects, 0u) << "no USER count from " << before.source;

  Round(kDragCuts, kReCuts);
  ASSERT_FALSE(HasFatalFailure());
  const ResourceUse after = Measure();

  EXPECT_EQ(after.gdiObjects, before.gdiObjects) << "GDI objects, from " << after.source;
  EXPECT_EQ(after.userObjects, before.userObjects) << "USER objects, from " << after.source;
  EXPECT_LE(after.privateBytes, before.privateBytes + kMemorySlack)
      << "private bytes grew from " << before.privateBytes << " to " << after.privateBytes;
  // The figures, for whoever reads the log.
  std::printf("soak: GDI %u -> %u, USER %u -> %u, private %llu -> %llu bytes (%s)\n",
              before.gdiObjects, after.gdiObjects, before.userObjects, after.userObjects,
              static_cast<unsigned long long>(before.privateBytes),
              static_cast<unsigned long long>(after.privateBytes), after.source.c_str());
}

}  // namespace
}  // namespace e2e
