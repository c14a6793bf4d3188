// A long life in a few minutes: 1000 cuts, or the number KESTREL_SOAK_CUTS
// gives (a drag, a re-cut, the last picture, then the clipboard cleared, in
// turn), every 100th cut checked pixel by pixel against the screen pattern, and what the program
// holds printed at the start and every 100 cuts. A benchmark: it prints figures and fails only when
// the program stops doing its work. Built with the end-to-end tests, whose harness it drives; run
// by bench/soak.sh. Output lines: "soak <cuts> <private KiB> <working set KiB> <GDI> <USER>", "soak
// check <cut> <ok|message>" and "soak growth <private KiB> <GDI> <USER>" (from the 100th cut to the
// last).

#include <cstdio>

#include "e2e/support/cut_fixture.h"
#include "e2e/support/resources.h"

namespace e2e {
namespace {

constexpr int kDefaultCuts = 1000;
constexpr int kReportEvery = 100;

// KESTREL_SOAK_CUTS asks for a longer (or shorter) life, in hundreds of cuts.
int CutsToRun() {
  wchar_t value[16] = {};
  const DWORD length = GetEnvironmentVariableW(L"KESTREL_SOAK_CUTS", value, 16);
  const int cuts = length > 0 && length < 16 ? _wtoi(value) : 0;
  if (cuts < 2 * kReportEvery) return kDefaultCuts;
  return cuts / kReportEvery * kReportEvery;
}

class SoakBench : public CutTest {
 protected:
  ResourceUse Report(int cuts) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(program_->background(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    const ResourceUse use = ResourceUseOf(program_->process(), program_->processId());
    std::printf("soak %d %llu %llu %u %u\n", cuts,
                static_cast<unsigned long long>(use.privateBytes / 1024),
                static_cast<unsigned long long>(use.workingSetBytes / 1024), use.gdiObjects,
                use.userObjects);
    std::fflush(stdout);
    return use;
  }
};

TEST_F(SoakBench, ThousandCuts) {
  const int cutsToRun = CutsToRun();
  StartOverPattern();
  std::printf("soak counts: %s\n",
              ResourceUseOf(program_->process(), program_->processId()).source.c_str());
  Report(0);
  ResourceUse at100;
  RECT area{};
  int cuts = 0;
  for (int step = 0; cuts < cutsToRun; ++step) {
    const int kind = step % 4;
    if (kind == 0) {
      const int i = (step / 4) % 16;
      area = {40 + 23 * i, 30 + 17 * i, 40 + 23 * i + 60 + 31 * i, 30 + 17 * i + 40 + 19 * i};
      Cut({area.left, area.top}, {area.right, area.bottom});
    } else if (kind == 1) {
      CommandChangingClipboard(kReScreenCutCommand);
    } else if (kind == 2) {
      CommandChangingClipboard(kLastPictureCommand);
    } else {
      CommandChangingClipboard(kClearCommand);
      continue;  // clearing is no cut
    }
    ASSERT_FALSE(HasFatalFailure()) << "at cut " << cuts + 1;
    if (++cuts % kReportEvery != 0) continue;
    const auto check = IsPatternArea(ClipboardPicture(), Pattern::Plain, area);
    std::printf("soak check %d %s\n", cuts, check ? "ok" : check.message());
    EXPECT_TRUE(check) << "cut " << cuts;
    const ResourceUse use = Report(cuts);
    if (cuts == kReportEvery) at100 = use;
    if (cuts == cutsToRun) {
      std::printf(
          "soak growth %lld %d %d\n",
          (static_cast<long long>(use.privateBytes) - static_cast<long long>(at100.privateBytes)) /
              1024,
          static_cast<int>(use.gdiObjects) - static_cast<int>(at100.gdiObjects),
          static_cast<int>(use.userObjects) - static_cast<int>(at100.userObjects));
    }
  }
}

}  // namespace
}  // namespace e2e
