#pragma once
// Records the sounds the running program asks for: a probe DLL inside it
// logs every call of sndPlaySoundA and MessageBeep, with its arguments.

#include <windows.h>

#include <string>
#include <vector>

#include "e2e/support/driver.h"
#include "e2e/support/sound_wire.h"

namespace e2e {

struct HeardSound {
  SoundKind kind;
  std::string name;  // the ANSI bytes passed to sndPlaySoundA
  UINT flags;
  ULONGLONG tick;
};

class SoundRecorder {
 public:
  // Enters the program and waits until its imports are redirected.
  explicit SoundRecorder(const Kestrel& program);
  ~SoundRecorder();
  SoundRecorder(const SoundRecorder&) = delete;
  SoundRecorder& operator=(const SoundRecorder&) = delete;

  bool armed() const { return armed_; }
  // Every call so far, in order.
  std::vector<HeardSound> Calls() const;
  // Once the program has ended: whether its sound library was still loaded.
  LibraryAtEnd SoundLibraryAtEnd() const;

 private:
  HANDLE mapping_ = nullptr;
  SoundLog* log_ = nullptr;
  HMODULE probe_ = nullptr;
  HHOOK hook_ = nullptr;
  bool armed_ = false;
};

}  // namespace e2e
