#include "core/restart_registration.h"

#include <windows.h>

namespace kestrel {

void RegisterRestartAfterUpdate() {
  // Looked up at run time: the program must still start where kernel32
  // lacks it. Not after a crash or a hang (no restart loop), nor after a
  // reboot (the Startup shortcut, or the user's choice without it, decides
  // that); only after an update, where RESTART_NO_PATCH is left out.
  using RegisterApplicationRestartFn = HRESULT(WINAPI*)(PCWSTR, DWORD);
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return;
  const auto registerRestart = reinterpret_cast<RegisterApplicationRestartFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "RegisterApplicationRestart")));
  if (registerRestart)
    registerRestart(nullptr, RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT);
}

}  // namespace kestrel
