#include "e2e/support/sound_recorder.h"

#include <algorithm>
#include <iterator>

#include "e2e/support/paths.h"

namespace e2e {

SoundRecorder::SoundRecorder(const Kestrel& program) {
  mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SoundLog),
                                kSoundLogName);
  if (!mapping_) return;
  log_ =
      static_cast<SoundLog*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SoundLog)));
  if (!log_) return;
  ZeroMemory(log_, sizeof(SoundLog));
  log_->targetProcessId = program.processId();
  probe_ = LoadLibraryW(paths::kSoundProbe);
  if (!probe_) return;
  auto hook = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(GetProcAddress(probe_, kSoundProbeHookName)));
  if (hook) hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, hook, probe_, program.uiThreadId());
  if (!hook_) return;
  // A sent message makes the program's thread run the hook, which loads the
  // probe there.
  armed_ = WaitUntil([&] {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(program.background(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored);
    return log_->patched != 0;
  });
}

SoundRecorder::~SoundRecorder() {
  if (hook_) UnhookWindowsHookEx(hook_);
  if (probe_) FreeLibrary(probe_);
  if (log_) UnmapViewOfFile(log_);
  if (mapping_) CloseHandle(mapping_);
}

std::vector<HeardSound> SoundRecorder::Calls() const {
  std::vector<HeardSound> heard;
  if (!log_) return heard;
  const LONG written = log_->count;
  const LONG count = std::min<LONG>(written, static_cast<LONG>(std::size(log_->calls)));
  for (LONG i = 0; i < count; ++i) {
    const SoundCall& call = log_->calls[i];
    heard.push_back(
        {call.kind, call.nullName ? std::string() : std::string(call.name), call.flags, call.tick});
  }
  return heard;
}

LibraryAtEnd SoundRecorder::SoundLibraryAtEnd() const {
  return log_ ? static_cast<LibraryAtEnd>(log_->soundLibraryAtEnd) : LibraryAtEnd::NotSeen;
}

}  // namespace e2e
