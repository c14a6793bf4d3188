#include "tray/countdown_logic.h"

namespace kestrel {
namespace {

constexpr int32_t kCutterModeFixed = 0;
constexpr int32_t kCutterModeAsk = 1;
constexpr int32_t kCountTypeNone = 0;
constexpr int32_t kCountTypeBeep = 1;
constexpr wchar_t kWaveSuffix[] = L".WAV";

TimedCommandPlan ByCutterMode(int32_t cutterMode, const wchar_t* askTitle, CountdownMode mode) {
  switch (cutterMode) {
    case kCutterModeFixed:
      return {LengthSource::CutTimerTime, askTitle, mode};
    case kCutterModeAsk:
      return {LengthSource::Ask, askTitle, mode};
    default:
      return {LengthSource::LastUsed, askTitle, mode};
  }
}

}  // namespace

TimedCommandPlan PlanTimedCommand(TimedCommand command, int32_t cutterMode, bool cutExists) {
  switch (command) {
    case TimedCommand::TimerScreenCut:
      return ByCutterMode(cutterMode, kFreeTimerScreenCutTitle, CountdownMode::NewCut);
    case TimedCommand::FreeTimerScreenCut:
      return {LengthSource::Ask, kFreeTimerScreenCutTitle, CountdownMode::NewCut};
    case TimedCommand::ReScreenCutWithTimer:
      if (!cutExists) return {};
      return ByCutterMode(cutterMode, kReScreenCutWithTimerTitle, CountdownMode::LastArea);
  }
  return {};
}

void Countdown::Start(CountdownMode mode) {
  mode_ = mode;
  count_ = 0;
}

TickStep Countdown::Cancel() {
  timerRunning_ = false;
  count_ = 0;
  mode_ = CountdownMode::Idle;
  TickStep step;
  step.stopTimer = true;
  return step;
}

TickStep Countdown::Tick(int32_t timerSeconds, const CountOptions& options) {
  TickStep step;
  if (mode_ == CountdownMode::Idle) {
    timerRunning_ = false;
    count_ = 0;
    step.stopTimer = true;
    return step;
  }
  // count_ + 1 > timerSeconds, decided before counting so the counter never
  // passes timerSeconds + 1 nor wraps.
  if (count_ >= timerSeconds) {
    timerRunning_ = false;
    count_ = 0;
    step.stopTimer = true;
    step.cut = mode_;
    return step;
  }
  ++count_;
  switch (options.countType) {
    case kCountTypeNone:
      break;
    case kCountTypeBeep:
      step.sound = CountSound::Beep;
      break;
    default:
      step.sound = CountSound::Wave;
      step.waveName = CountWaveName(options, timerSeconds - count_ + 1);
      break;
  }
  step.startTimer = !timerRunning_;
  timerRunning_ = true;
  return step;
}

void Countdown::CutDone() { mode_ = CountdownMode::Idle; }

std::wstring CountWaveName(const CountOptions& options, int32_t secondsLeft) {
  if (!options.countSeries) return options.countWave;
  return options.countWave + std::to_wstring(secondsLeft) + kWaveSuffix;
}

}  // namespace kestrel
