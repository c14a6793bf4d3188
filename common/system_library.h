#pragma once
// A system DLL loaded when one of its functions is first needed instead of
// at start: what only the options dialog or a countdown's sound uses then
// costs the resident program nothing while it waits in the tray. Once
// loaded, the DLL stays until the process ends: it is never freed, not even
// by the static owner's end at exit, where a sound played with SND_ASYNC may
// still run on the sound library's own thread; the process's end unloads it
// after its threads are gone.

#include <windows.h>

namespace kestrel {

class SystemLibrary {
 public:
  explicit SystemLibrary(const wchar_t* name) : name_(name) {}
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;

  // The named function, or null when the DLL cannot be loaded or lacks it:
  // the caller then goes on without it.
  template <typename Function>
  Function* Find(const char* procedure) {
    // Only from the system's folder: never a DLL of that name placed beside
    // the program. A system that predates the flag refuses it as invalid and
    // searches as for the program's own imports.
    if (!module_) {
      module_ = LoadLibraryExW(name_, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
      if (!module_ && GetLastError() == ERROR_INVALID_PARAMETER) module_ = LoadLibraryW(name_);
    }
    if (!module_) return nullptr;
    // Through void*: FARPROC and the function's own type are unrelated.
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module_, procedure)));
  }

 private:
  const wchar_t* name_;
  HMODULE module_ = nullptr;
};

}  // namespace kestrel
