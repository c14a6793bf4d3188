#pragma once
// What the sound probe inside the program and the driver agree on: a named
// shared memory log of the program's calls of sndPlaySoundA and MessageBeep.

#include <windows.h>

namespace e2e {

inline constexpr wchar_t kSoundLogName[] = L"KestrelE2E.SoundLog";
inline constexpr char kSoundProbeHookName[] = "SoundProbeHook";

enum class SoundKind : LONG { Wave = 1, Beep = 2 };

struct SoundCall {
  SoundKind kind;
  UINT flags;      // sndPlaySoundA's flags, or MessageBeep's type
  ULONGLONG tick;  // GetTickCount64 at the call
  BOOL nullName;
  char name[MAX_PATH * 2];  // the ANSI bytes as passed, NUL-terminated
};

// Whether the sound library was still loaded as the program's process ended.
enum class LibraryAtEnd : LONG { NotSeen = 0, Loaded = 1, Unloaded = 2 };
inline constexpr wchar_t kSoundLibrary[] = L"winmm.dll";

struct SoundLog {
  DWORD targetProcessId;  // the probe patches only this process
  volatile LONG patched;  // set once both imports are redirected
  volatile LONG count;    // calls written so far
  SoundCall calls[64];
  volatile LONG soundLibraryAtEnd;  // a LibraryAtEnd, written at the end
};

}  // namespace e2e
