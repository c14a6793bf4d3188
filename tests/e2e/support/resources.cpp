#include "e2e/support/resources.h"

#include <psapi.h>
#include <winternl.h>

#include <cstddef>
#include <vector>

namespace e2e {
namespace {

// The per-process GDI handle table the PEB points to, in the layout of
// Wine's shared table (24 bytes an entry on either architecture); an entry
// with a non-zero type is a live object. Only used where GetGuiResources
// does not count, which is Wine.
struct GdiHandleEntry {
  uint64_t object;
  uint32_t owner;
  uint16_t unique;
  uint8_t type;
  uint8_t flags;
  uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);
constexpr size_t kGdiHandleCount = 0x10000;
#ifdef _WIN64
constexpr size_t kPebGdiTableOffset = 0xF8;
#else
constexpr size_t kPebGdiTableOffset = 0x94;
#endif

using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

bool ReadRemote(HANDLE process, uintptr_t address, void* out, size_t size) {
  SIZE_T read = 0;
  return ReadProcessMemory(process, reinterpret_cast<const void*>(address), out, size, &read) &&
         read == size;
}

// Live GDI objects in the process's handle table; 0 when it cannot be read.
uint32_t GdiTableCount(HANDLE process) {
  const auto query = reinterpret_cast<QueryProcess>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  PROCESS_BASIC_INFORMATION basic{};
  if (!query || query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0)
    return 0;
  uintptr_t table = 0;
  if (!ReadRemote(process, reinterpret_cast<uintptr_t>(basic.PebBaseAddress) + kPebGdiTableOffset,
                  &table, sizeof(table)) ||
      !table)
    return 0;
  std::vector<GdiHandleEntry> entries(kGdiHandleCount);
  if (!ReadRemote(process, table, entries.data(), entries.size() * sizeof(GdiHandleEntry)))
    return 0;
  uint32_t live = 0;
  for (const GdiHandleEntry& e : entries) live += e.type != 0 ? 1 : 0;
  return live;
}

struct WindowCount {
  DWORD processId;
  uint32_t count = 0;
};

BOOL CALLBACK CountChild(HWND window, LPARAM param) {
  auto* counted = reinterpret_cast<WindowCount*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == counted->processId) ++counted->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
  CountChild(window, param);
  EnumChildWindows(window, &CountChild, param);
  return TRUE;
}

// Top-level, child and message-only windows of the process.
uint32_t WindowCountOf(DWORD processId) {
  WindowCount counted{processId};
  EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&counted));
  for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
       w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
    CountChild(w, reinterpret_cast<LPARAM>(&counted));
  return counted.count;
}

}  // namespace

ResourceUse ResourceUseOf(HANDLE process, DWORD processId) {
  ResourceUse use;
  use.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
  use.userObjects = GetGuiResources(process, GR_USEROBJECTS);
  if (use.gdiObjects == 0) {
    use.gdiObjects = GdiTableCount(process);
    use.source = "GDI handle table";
  } else {
    use.source = "GetGuiResources";
  }
  if (use.userObjects == 0) {
    use.userObjects = WindowCountOf(processId);
    use.source += ", windows";
  } else {
    use.source += ", GetGuiResources";
  }
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof(memory);
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof(memory))) {
    // Wine answers PrivateUsage with 0; PagefileUsage is the commit charge,
    // which equals it on Windows.
    use.privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    use.workingSetBytes = memory.WorkingSetSize;
  }
  return use;
}

}  // namespace e2e
