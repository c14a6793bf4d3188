#pragma once
// Time stamps of the steps of one overlay opening, for the bench build only
// (KESTREL_OPEN_TRACE): where an opening spends its time, step by step. The
// stamps are kept in memory and appended to the file named by the variable
// KESTREL_OPEN_TRACE_FILE as "<who> <step> <microseconds>" lines when the
// opening ends; without that variable nothing is kept. In every other build
// the calls are empty.

#ifdef KESTREL_OPEN_TRACE
#include <windows.h>

#include <cstdio>
#endif

namespace kestrel {

#ifdef KESTREL_OPEN_TRACE

namespace open_trace {

inline constexpr int kMaxSteps = 48;
inline constexpr int kLineBytes = 96;

struct Stamp {
  const char* step;
  LONGLONG ticks;
};

struct Trace {
  bool wanted = false;
  bool active = false;
  int count = 0;
  Stamp stamps[kMaxSteps];
  char file[MAX_PATH] = {};
};

inline Trace& State() {
  static Trace trace = [] {
    Trace t;
    const DWORD n = GetEnvironmentVariableA("KESTREL_OPEN_TRACE_FILE", t.file, MAX_PATH);
    t.wanted = n > 0 && n < MAX_PATH;
    return t;
  }();
  return trace;
}

}  // namespace open_trace

// A step of the opening in progress; nothing outside one.
inline void OpenTraceStep(const char* step) {
  open_trace::Trace& t = open_trace::State();
  if (!t.active || t.count >= open_trace::kMaxSteps) return;
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  t.stamps[t.count++] = {step, now.QuadPart};
}

// Starts an opening with its first step.
inline void OpenTraceBegin(const char* step) {
  open_trace::Trace& t = open_trace::State();
  t.active = t.wanted;
  t.count = 0;
  OpenTraceStep(step);
}

// The last step: the opening's stamps go to the file in one write.
inline void OpenTraceEnd(const char* who, const char* step) {
  open_trace::Trace& t = open_trace::State();
  if (!t.active) return;
  OpenTraceStep(step);
  t.active = false;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  char text[open_trace::kMaxSteps * open_trace::kLineBytes];
  size_t used = 0;
  for (int i = 0; i < t.count; ++i) {
    const double micros =
        static_cast<double>(t.stamps[i].ticks) * 1e6 / static_cast<double>(frequency.QuadPart);
    const int n = std::snprintf(text + used, sizeof(text) - used, "%s %s %.1f\n", who,
                                t.stamps[i].step, micros);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof(text) - used) break;
    used += static_cast<size_t>(n);
  }
  const HANDLE file = CreateFileA(t.file, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(used), &written, nullptr);
  CloseHandle(file);
}

#else

inline void OpenTraceBegin(const char*) {}
inline void OpenTraceStep(const char*) {}
inline void OpenTraceEnd(const char*, const char*) {}

#endif

}  // namespace kestrel
