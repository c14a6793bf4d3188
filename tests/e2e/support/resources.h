#pragma once
// What a process holds of the system: GDI and USER objects and private
// memory, read from outside as a soak test compares them.

#include <windows.h>

#include <cstdint>
#include <string>

namespace e2e {

struct ResourceUse {
  uint32_t gdiObjects = 0;
  uint32_t userObjects = 0;
  uint64_t privateBytes = 0;
  uint64_t workingSetBytes = 0;
  // Which measure each count came from, for failure messages.
  std::string source;
};

// GetGuiResources where the platform counts (Windows). Where it answers 0
// for a live process (Wine), the GDI objects are counted in the process's
// own handle table and the USER objects as the windows it owns.
ResourceUse ResourceUseOf(HANDLE process, DWORD processId);

}  // namespace e2e
