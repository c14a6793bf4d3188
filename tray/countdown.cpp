// The countdown commands of the resident window. The timed cuts arrive with
// their own change: until then they start no countdown, so TimerMode stays 0
// and the cancel command and the tick only keep the idle state.
#include "tray/frm_background.h"

namespace kestrel {

void frmBackground::pmenu_TimerScreenCut_Click() {}

void frmBackground::pmenu_FreeTimerScreenCut_Click() {}

void frmBackground::pmenu_ReScreenCutWithTimer_Click() {}

void frmBackground::pmenu_CancelTimer_Click() {
  KillTimer(window_, kTimerScreenCutId);
  TimerCount = 0;
  TimerMode = 0;
}

void frmBackground::timerScreenCut_Timer() {
  if (TimerMode == 0) {
    KillTimer(window_, kTimerScreenCutId);
    TimerCount = 0;
  }
}

}  // namespace kestrel
