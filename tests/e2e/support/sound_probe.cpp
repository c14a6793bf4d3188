// Loaded into the program by a window hook: redirects the program's calls of
// sndPlaySoundA and MessageBeep to recorders that log each call into the
// driver's shared memory, then call the real function. The driver sees the
// calls the program really makes, with their arguments, without a sound card.
// MessageBeep is an import of the program; the sound library is loaded when
// first needed, so sndPlaySoundA is redirected where the program looks it up.

#include <windows.h>

#include <cstring>
#include <iterator>

#include "e2e/support/sound_wire.h"

namespace {

using SndPlaySoundA = BOOL(WINAPI*)(LPCSTR, UINT);
using MessageBeepFn = BOOL(WINAPI*)(UINT);
using GetProcAddressFn = FARPROC(WINAPI*)(HMODULE, LPCSTR);

e2e::SoundLog* soundLog = nullptr;
SndPlaySoundA realSndPlaySoundA = nullptr;
MessageBeepFn realMessageBeep = nullptr;
GetProcAddressFn realGetProcAddress = nullptr;

void Record(e2e::SoundKind kind, LPCSTR name, UINT flags) {
  if (!soundLog) return;
  const LONG slot = InterlockedIncrement(&soundLog->count) - 1;
  if (slot < 0 || slot >= static_cast<LONG>(std::size(soundLog->calls))) return;
  e2e::SoundCall& call = soundLog->calls[slot];
  call.kind = kind;
  call.flags = flags;
  call.tick = GetTickCount64();
  call.nullName = name == nullptr;
  if (name) lstrcpynA(call.name, name, static_cast<int>(std::size(call.name)));
}

BOOL WINAPI RecordedSndPlaySoundA(LPCSTR name, UINT flags) {
  Record(e2e::SoundKind::Wave, name, flags);
  return realSndPlaySoundA ? realSndPlaySoundA(name, flags) : FALSE;
}

BOOL WINAPI RecordedMessageBeep(UINT type) {
  Record(e2e::SoundKind::Beep, nullptr, type);
  return realMessageBeep ? realMessageBeep(type) : FALSE;
}

// The program's look-ups: sndPlaySoundA is answered with the recorder.
FARPROC WINAPI RedirectedGetProcAddress(HMODULE module, LPCSTR name) {
  const FARPROC found = realGetProcAddress(module, name);
  // A name, not an ordinal, and the sound function.
  if (!found || !HIWORD(reinterpret_cast<ULONG_PTR>(name)) ||
      std::strcmp(name, "sndPlaySoundA") != 0)
    return found;
  realSndPlaySoundA = reinterpret_cast<SndPlaySoundA>(reinterpret_cast<void*>(found));
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&RecordedSndPlaySoundA));
}

// Points the module's import slot of dll!function at the replacement; the
// previous target is returned.
void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       entry->Name; ++entry) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
    const DWORD namesAt = entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesAt);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      DWORD protection = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE,
                          &protection))
        return nullptr;
      void* previous = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), protection, &protection);
      return previous;
    }
  }
  return nullptr;
}

void Attach(HMODULE self) {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, e2e::kSoundLogName);
  if (!mapping) return;
  auto* view = static_cast<e2e::SoundLog*>(
      MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(e2e::SoundLog)));
  CloseHandle(mapping);  // the view keeps the section
  if (!view) return;
  if (view->targetProcessId != GetCurrentProcessId()) {
    UnmapViewOfFile(view);
    return;
  }
  // Stays loaded when the driver unhooks: the patched slots point into it.
  HMODULE pinned = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(self), &pinned);
  soundLog = view;
  HMODULE program = GetModuleHandleW(nullptr);
  realGetProcAddress = reinterpret_cast<GetProcAddressFn>(
      PatchImport(program, "kernel32.dll", "GetProcAddress",
                  reinterpret_cast<void*>(&RedirectedGetProcAddress)));
  realMessageBeep = reinterpret_cast<MessageBeepFn>(PatchImport(
      program, "user32.dll", "MessageBeep", reinterpret_cast<void*>(&RecordedMessageBeep)));
  if (realGetProcAddress && realMessageBeep) InterlockedExchange(&soundLog->patched, 1);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) Attach(instance);
  // The process ends (the probe is pinned, so this is its only detach):
  // a sound may still play, and its library must still be there.
  if (reason == DLL_PROCESS_DETACH && reserved && soundLog) {
    const auto atEnd = GetModuleHandleW(e2e::kSoundLibrary) ? e2e::LibraryAtEnd::Loaded
                                                            : e2e::LibraryAtEnd::Unloaded;
    InterlockedExchange(&soundLog->soundLibraryAtEnd, static_cast<LONG>(atEnd));
  }
  return TRUE;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK
    SoundProbeHook(int code, WPARAM wParam, LPARAM lParam) {
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
