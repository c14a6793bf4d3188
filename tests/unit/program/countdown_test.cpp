#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "support/text.h"
#include "tray/countdown_logic.h"
#include "tray/input_box.h"

namespace kestrel {
namespace {

using testing_support::Utf8;

struct PlanCase {
  const char* rule;
  TimedCommand command;
  int32_t cutterMode;
  bool cutExists;
  LengthSource length;
  const wchar_t* title;  // checked only when the command asks
  CountdownMode mode;
};
const PlanCase kPlans[] = {
    {"timed cut, mode 0 takes CutTimerTime", TimedCommand::TimerScreenCut, 0, false,
     LengthSource::CutTimerTime, L"", CountdownMode::NewCut},
    {"timed cut, mode 1 asks as the asking command", TimedCommand::TimerScreenCut, 1, false,
     LengthSource::Ask, kFreeTimerScreenCutTitle, CountdownMode::NewCut},
    {"timed cut, mode 2 reuses the last length", TimedCommand::TimerScreenCut, 2, false,
     LengthSource::LastUsed, L"", CountdownMode::NewCut},
    {"timed cut, other modes reuse the last length", TimedCommand::TimerScreenCut, -1, false,
     LengthSource::LastUsed, L"", CountdownMode::NewCut},
    {"asking command asks in mode 0", TimedCommand::FreeTimerScreenCut, 0, false, LengthSource::Ask,
     kFreeTimerScreenCutTitle, CountdownMode::NewCut},
    {"asking command asks in mode 2", TimedCommand::FreeTimerScreenCut, 2, true, LengthSource::Ask,
     kFreeTimerScreenCutTitle, CountdownMode::NewCut},
    {"last area before any cut does nothing, mode 0", TimedCommand::ReScreenCutWithTimer, 0, false,
     LengthSource::None, L"", CountdownMode::Idle},
    {"last area before any cut does nothing, mode 1", TimedCommand::ReScreenCutWithTimer, 1, false,
     LengthSource::None, L"", CountdownMode::Idle},
    {"last area, mode 0 takes CutTimerTime", TimedCommand::ReScreenCutWithTimer, 0, true,
     LengthSource::CutTimerTime, L"", CountdownMode::LastArea},
    {"last area, mode 1 asks with its own title", TimedCommand::ReScreenCutWithTimer, 1, true,
     LengthSource::Ask, kReScreenCutWithTimerTitle, CountdownMode::LastArea},
    {"last area, mode 2 reuses the last length", TimedCommand::ReScreenCutWithTimer, 2, true,
     LengthSource::LastUsed, L"", CountdownMode::LastArea},
    {"last area, a large mode reuses the last length", TimedCommand::ReScreenCutWithTimer,
     INT32_MAX, true, LengthSource::LastUsed, L"", CountdownMode::LastArea},
};

TEST(CountdownCommands, PlanByCutterModeAndCut) {
  for (const auto& c : kPlans) {
    SCOPED_TRACE(c.rule);
    const TimedCommandPlan plan = PlanTimedCommand(c.command, c.cutterMode, c.cutExists);
    EXPECT_EQ(plan.length, c.length);
    EXPECT_EQ(plan.mode, c.mode);
    if (c.length == LengthSource::Ask) {
      EXPECT_EQ(Utf8(plan.askTitle), Utf8(c.title));
    }
  }
}

// What one tick did, in a form a table can spell out.
struct Seen {
  bool cut = false;
  CountSound sound = CountSound::None;
  std::wstring wave;
  bool startTimer = false;
};

// Starts a countdown and ticks until it cuts (at most `limit` ticks).
std::vector<Seen> RunCountdown(int32_t seconds, const CountOptions& options,
                               CountdownMode mode = CountdownMode::NewCut, int limit = 100) {
  Countdown countdown;
  countdown.Start(mode);
  std::vector<Seen> ticks;
  for (int i = 0; i < limit; ++i) {
    const TickStep step = countdown.Tick(seconds, options);
    ticks.push_back({step.cut != CountdownMode::Idle, step.sound, step.waveName, step.startTimer});
    if (step.cut != CountdownMode::Idle) {
      EXPECT_EQ(step.cut, mode);
      EXPECT_TRUE(step.stopTimer);
      EXPECT_EQ(countdown.TimerCount(), 0);
      EXPECT_EQ(countdown.TimerMode(), static_cast<int32_t>(mode)) << "kept while the cut runs";
      countdown.CutDone();
      EXPECT_EQ(countdown.TimerMode(), 0);
      break;
    }
  }
  return ticks;
}

// "CountType", "CountWave", "CountSeries" as a table spells them.
struct OptionsRow {
  int32_t countType;
  const wchar_t* countWave;
  bool countSeries;
  CountOptions get() const { return {countType, countWave, countSeries}; }
};
struct ExpectedTick {
  bool cut;
  CountSound sound;
  const wchar_t* wave;
  bool startTimer;
};
struct SequenceCase {
  const char* rule;
  int32_t seconds;
  OptionsRow options;
  std::vector<ExpectedTick> expected;  // one row per tick; the direct first call is the first
};
constexpr OptionsRow kWaveSeries{2, L"C:\\音\\count", true};

const SequenceCase kSequences[] = {
    {"3 s of numbered waves: 3, 2, 1, then the cut at the fourth tick",
     3,
     kWaveSeries,
     {{false, CountSound::Wave, L"C:\\音\\count3.WAV", true},
      {false, CountSound::Wave, L"C:\\音\\count2.WAV", false},
      {false, CountSound::Wave, L"C:\\音\\count1.WAV", false},
      {true, CountSound::None, L"", false}}},
    {"without the series the same file every second",
     2,
     {2, L"C:\\tick.wav", false},
     {{false, CountSound::Wave, L"C:\\tick.wav", true},
      {false, CountSound::Wave, L"C:\\tick.wav", false},
      {true, CountSound::None, L"", false}}},
    {"a name already ending in .wav still gets the number",
     1,
     {7, L"a.wav", true},
     {{false, CountSound::Wave, L"a.wav1.WAV", true}, {true, CountSound::None, L"", false}}},
    {"an empty CountWave still plays, to silence",
     1,
     {2, L"", false},
     {{false, CountSound::Wave, L"", true}, {true, CountSound::None, L"", false}}},
    {"type 1 beeps",
     2,
     {1, L"ignored", true},
     {{false, CountSound::Beep, L"", true},
      {false, CountSound::Beep, L"", false},
      {true, CountSound::None, L"", false}}},
    {"type 0 is silent",
     1,
     {0, L"ignored", true},
     {{false, CountSound::None, L"", true}, {true, CountSound::None, L"", false}}},
    {"0 s cuts at the direct first call, without a sound",
     0,
     kWaveSeries,
     {{true, CountSound::None, L"", false}}},
    {"a negative length cuts at once", -5, kWaveSeries, {{true, CountSound::None, L"", false}}},
    {"the smallest length cuts at once",
     INT32_MIN,
     {1, L"", false},
     {{true, CountSound::None, L"", false}}},
};

TEST(CountdownTicks, VoiceEachSecondThenCut) {
  for (const auto& c : kSequences) {
    SCOPED_TRACE(c.rule);
    const auto ticks = RunCountdown(c.seconds, c.options.get());
    ASSERT_EQ(ticks.size(), c.expected.size());
    for (size_t i = 0; i < ticks.size(); ++i) {
      SCOPED_TRACE("tick " + std::to_string(i + 1));
      EXPECT_EQ(ticks[i].cut, c.expected[i].cut);
      EXPECT_EQ(ticks[i].sound, c.expected[i].sound);
      EXPECT_EQ(Utf8(ticks[i].wave), Utf8(c.expected[i].wave));
      EXPECT_EQ(ticks[i].startTimer, c.expected[i].startTimer);
    }
  }
}

TEST(CountdownTicks, TheLastAreaCountdownEndsInTheLastAreaCut) {
  const auto ticks = RunCountdown(1, {0, L"", false}, CountdownMode::LastArea);
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_TRUE(ticks[1].cut);
}

TEST(CountdownTicks, TheLongestLengthReachesItsEnd) {
  struct Case {
    const char* rule;
    int32_t seconds;
  };
  const Case cases[] = {{"the largest 16-bit length", 32767}, {"a length past 16 bits", 40000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    Countdown countdown;
    countdown.Start(CountdownMode::NewCut);
    const CountOptions series{2, L"n", true};
    int32_t voiced = 0;
    TickStep step;
    for (;;) {
      step = countdown.Tick(c.seconds, series);
      if (step.cut != CountdownMode::Idle) break;
      ++voiced;
      ASSERT_LE(voiced, c.seconds) << "counted past the length";
      if (voiced == 1) {
        std::string first = std::to_string(c.seconds);
        first += ".WAV";
        EXPECT_EQ(Utf8(step.waveName), 'n' + first);
      }
      if (voiced == c.seconds) {
        EXPECT_EQ(Utf8(step.waveName), "n1.WAV") << "the last second";
      }
      ASSERT_EQ(countdown.TimerCount(), voiced);
    }
    EXPECT_EQ(voiced, c.seconds);
    EXPECT_EQ(step.cut, CountdownMode::NewCut);
  }
}

TEST(CountdownTicks, TheLargestLengthCannotWrapTheCounter) {
  Countdown countdown;
  countdown.Start(CountdownMode::NewCut);
  // Far into a countdown of INT32_MAX seconds the counter only grows.
  for (int i = 0; i < 100000; ++i)
    ASSERT_EQ(countdown.Tick(INT32_MAX, {}).cut, CountdownMode::Idle);
  EXPECT_EQ(countdown.TimerCount(), 100000);
}

TEST(CountdownCancel, AtAnyTickNothingIsCutOrVoicedAfterwards) {
  for (int cancelAfter = 0; cancelAfter <= 3; ++cancelAfter) {
    SCOPED_TRACE("cancelled after " + std::to_string(cancelAfter) + " ticks");
    Countdown countdown;
    countdown.Start(CountdownMode::LastArea);
    for (int i = 0; i < cancelAfter; ++i) countdown.Tick(3, kWaveSeries.get());
    const TickStep cancel = countdown.Cancel();
    EXPECT_TRUE(cancel.stopTimer);
    EXPECT_EQ(cancel.cut, CountdownMode::Idle);
    EXPECT_EQ(cancel.sound, CountSound::None);
    EXPECT_EQ(countdown.TimerMode(), 0);
    EXPECT_EQ(countdown.TimerCount(), 0);
    EXPECT_FALSE(countdown.timerRunning());
    // A tick already queued by the timer only keeps the idle state.
    const TickStep late = countdown.Tick(3, kWaveSeries.get());
    EXPECT_TRUE(late.stopTimer);
    EXPECT_FALSE(late.startTimer);
    EXPECT_EQ(late.cut, CountdownMode::Idle);
    EXPECT_EQ(late.sound, CountSound::None);
  }
}

TEST(CountdownCancel, ANewCountdownAfterACancelStartsAfresh) {
  Countdown countdown;
  countdown.Start(CountdownMode::NewCut);
  countdown.Tick(3, {});
  countdown.Tick(3, {});
  countdown.Cancel();
  countdown.Start(CountdownMode::NewCut);
  const TickStep first = countdown.Tick(3, {});
  EXPECT_TRUE(first.startTimer) << "the cancelled timer must be started again";
  EXPECT_EQ(countdown.TimerCount(), 1);
}

// The answer of the input box goes through the platform's own coercion.
TEST(CountdownLength, TheAnswerIsCoercedAsA16BitNumber) {
  struct Case {
    const char* rule;
    const wchar_t* text;
    std::optional<int32_t> expected;
  };
  const Case cases[] = {
      {"a whole number", L"7", 7},
      {"blanks around it", L" 12 ", 12},
      {"a tie rounds down to even", L"2.5", 2},
      {"a tie rounds up to even", L"3.5", 4},
      {"not a tie rounds to nearest", L"2.6", 3},
      {"the largest", L"32767", 32767},
      {"the smallest, sign-extended", L"-32768", -32768},
      {"zero", L"0", 0},
      {"empty text fails", L"", std::nullopt},
      {"words fail", L"abc", std::nullopt},
      {"just past the largest fails", L"32768", std::nullopt},
      {"far past it fails", L"40000", std::nullopt},
      {"just past the smallest fails", L"-32769", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rule);
    EXPECT_EQ(CountdownLengthFromText(c.text), c.expected);
  }
}

}  // namespace
}  // namespace kestrel
