#pragma once
// The countdown's decisions, apart from the window that runs the timer: what
// each timed command does for the options of the moment, and what each tick
// does to TimerMode and TimerCount. The window asks, then applies the answer
// (ask for the length, start or stop the timer, voice, cut).

#include <cstdint>
#include <string>

namespace kestrel {

// TimerMode: what the running countdown ends in; Idle while none runs.
enum class CountdownMode : int32_t { Idle = 0, NewCut = 1, LastArea = 2 };

// The three menu commands that start a countdown.
enum class TimedCommand { TimerScreenCut, FreeTimerScreenCut, ReScreenCutWithTimer };

// Where a command takes TimerSeconds from before the countdown starts.
enum class LengthSource {
  None,          // the command does nothing
  CutTimerTime,  // "CutTimerTime"
  Ask,           // the input box, with `askTitle`
  LastUsed,      // TimerSeconds as it is
};

struct TimedCommandPlan {
  LengthSource length = LengthSource::None;
  const wchar_t* askTitle = L"";
  CountdownMode mode = CountdownMode::Idle;
};

// Titles of the input box.
inline constexpr const wchar_t* kFreeTimerScreenCutTitle = L"時間を指定して画面を切り取る";
inline constexpr const wchar_t* kReScreenCutWithTimerTitle =
    L"時間を指定して同じ画面範囲を切り取る";

// "CutterMode" 0 takes "CutTimerTime", 1 asks, any other value reuses the
// last length; the asking command always asks. A timed cut of the last area
// does nothing before the first cut.
TimedCommandPlan PlanTimedCommand(TimedCommand command, int32_t cutterMode, bool cutExists);

enum class CountSound { None, Beep, Wave };

// The options that voice a second, read at the tick.
struct CountOptions {
  int32_t countType = 0;   // "CountType": 0 none, 1 beep, other values a wave file
  std::wstring countWave;  // "CountWave"
  bool countSeries = false;
};

struct TickStep {
  bool stopTimer = false;
  bool startTimer = false;
  // The cut the countdown ends in; Idle when this tick does not cut.
  CountdownMode cut = CountdownMode::Idle;
  CountSound sound = CountSound::None;
  std::wstring waveName;  // for CountSound::Wave
};

// The countdown state of the resident window: TimerMode, TimerCount and
// whether timerScreenCut runs.
//
// TimerCount is 32 bits wide: it must reach TimerSeconds + 1, and a length of
// 32767 (the largest the 16-bit option or the input box yields) would wrap a
// 16-bit counter. A tick at its limit cuts before counting, so no length at
// all can overflow it.
class Countdown {
 public:
  int32_t TimerMode() const { return static_cast<int32_t>(mode_); }
  int32_t TimerCount() const { return count_; }
  bool timerRunning() const { return timerRunning_; }

  // Arms a countdown: TimerMode m, TimerCount 0. The caller then ticks once
  // at once, so the first second is voiced immediately.
  void Start(CountdownMode mode);

  // Stops the timer and returns to idle; no cut, no sound.
  TickStep Cancel();

  // One second: counts, then either cuts (after TimerSeconds voiced seconds)
  // or voices the second and makes sure the timer runs. TimerMode keeps its
  // value until CutDone, so the menu stays the cancel menu while the cut runs.
  TickStep Tick(int32_t timerSeconds, const CountOptions& options);

  // The cut the last tick asked for has returned.
  void CutDone();

 private:
  CountdownMode mode_ = CountdownMode::Idle;
  int32_t count_ = 0;
  bool timerRunning_ = false;
};

// The wave file of a second: "CountWave", followed with "CountSeries" by the
// seconds left (counting the current one) and ".WAV".
std::wstring CountWaveName(const CountOptions& options, int32_t secondsLeft);

}  // namespace kestrel
