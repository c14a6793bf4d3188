// The countdown of the resident window: the timed commands and the ticks of
// timerScreenCut. Countdown (countdown_logic.h) decides; this file asks the
// options, shows the input box, runs the timer, voices and cuts.
#include <windows.h>
// mmsystem.h needs windows.h first.
#include <mmsystem.h>

#include "common/cp932.h"
#include "common/system_library.h"
#include "core/capture_control.h"
#include "core/mdl_kestrel.h"
#include "core/options_table.h"
#include "desktop/screen_settle.h"
#include "tray/countdown_logic.h"
#include "tray/frm_background.h"
#include "tray/input_box.h"

namespace kestrel {
namespace {

constexpr UINT kTimerScreenCutInterval = 1000;  // ms
// 3: return at once; silence, not the default sound, when the file cannot play.
constexpr UINT kCountWaveFlags = SND_ASYNC | SND_NODEFAULT;
static_assert(kCountWaveFlags == 3);

CountOptions CurrentCountOptions() {
  return {OptionInteger(kCountTypeKey), OptionText(kCountWaveKey), OptionIsTrue(kCountSeriesKey)};
}

// The sound library is first needed by a countdown's wave: loaded then, kept
// for the rest of the run.
SystemLibrary& Sounds() {
  static SystemLibrary library(L"winmm.dll");
  return library;
}

}  // namespace

void frmBackground::pmenu_TimerScreenCut_Click() { RunTimedCommand(TimedCommand::TimerScreenCut); }

void frmBackground::pmenu_FreeTimerScreenCut_Click() {
  RunTimedCommand(TimedCommand::FreeTimerScreenCut);
}

void frmBackground::pmenu_ReScreenCutWithTimer_Click() {
  RunTimedCommand(TimedCommand::ReScreenCutWithTimer);
}

void frmBackground::pmenu_CancelTimer_Click() { ApplyTick(countdown_.Cancel()); }

void frmBackground::timerScreenCut_Timer() {
  ApplyTick(countdown_.Tick(TimerSeconds, CurrentCountOptions()));
}

void frmBackground::RunTimedCommand(TimedCommand command) {
  // The guard of the menu and the double-click action, kept here too so no
  // path can restart a running countdown. Windows + C stays registered while
  // the input box is open; it must not open a second box over the first.
  if (countdown_.TimerMode() != 0 || modalOpen_) return;
  const TimedCommandPlan plan = PlanTimedCommand(command, OptionInteger(kCutterModeKey), CutExists);
  switch (plan.length) {
    case LengthSource::None:
      return;
    case LengthSource::CutTimerTime:
      TimerSeconds = OptionInteger(kCutTimerTimeKey);
      break;
    case LengthSource::Ask: {
      const std::optional<int32_t> length = AskLength(plan.askTitle);
      if (!length || unloaded_) return;
      TimerSeconds = *length;
      break;
    }
    case LengthSource::LastUsed:
      break;
  }
  countdown_.Start(plan.mode);
  // The first second is voiced at once. A countdown of no length cuts at
  // once, right after the menu or the input box closed over other programs'
  // windows: they repaint first, as for the plain cut commands.
  const TickStep first = countdown_.Tick(TimerSeconds, CurrentCountOptions());
  if (first.cut != CountdownMode::Idle) WaitForOtherWindowsToRepaint();
  ApplyTick(first);
}

std::optional<int32_t> frmBackground::AskLength(const wchar_t* title) {
  // The tray icon rests while the box is open, as for the other modal windows.
  modalOpen_ = true;
  const std::wstring answer =
      InputBox(instance_, window_, kCountdownPrompt, title, std::to_wstring(TimerSeconds));
  modalOpen_ = false;
  return CountdownLengthFromText(answer);
}

void frmBackground::ApplyTick(const TickStep& step) {
  if (step.stopTimer && window_) KillTimer(window_, kTimerScreenCutId);
  if (step.cut != CountdownMode::Idle) {
    if (step.cut == CountdownMode::NewCut) {
      StartScreenCut();
    } else {
      RetryScreenCut();
    }
    countdown_.CutDone();
    return;
  }
  switch (step.sound) {
    case CountSound::None:
      break;
    case CountSound::Beep:
      MessageBeep(MB_OK);
      break;
    case CountSound::Wave:
      // A missing or unplayable file gives silence; the countdown goes on.
      if (const auto play = Sounds().Find<decltype(sndPlaySoundA)>("sndPlaySoundA"))
        play(ToCp932(step.waveName).c_str(), kCountWaveFlags);
      break;
  }
  if (step.startTimer && window_)
    SetTimer(window_, kTimerScreenCutId, kTimerScreenCutInterval, nullptr);
}

}  // namespace kestrel
