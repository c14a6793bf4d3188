#pragma once
// Pure rules of the global hotkey.

#include <cstdint>

namespace kestrel {

inline constexpr const wchar_t* kHotkeyAtomName = L"Kestrel5";
inline constexpr uint32_t kHotkeyModifiers = 0x0008;  // MOD_WIN
inline constexpr uint32_t kHotkeyVirtualKey = 0x43;   // the letter C

// The hotkey identifier is the atom's 16-bit value with its sign extended:
// atom 0xC001 gives -16383.
constexpr int32_t HotkeyIdFromAtom(uint16_t atom) { return static_cast<int16_t>(atom); }

// A hotkey message is ours when a hotkey is registered and the message's
// identifier (the low 32 bits of wParam, whichever way the platform widened
// it) equals HotkeyId.
constexpr bool IsOurHotkey(uint64_t wParam, int32_t hotkeyId) {
  return hotkeyId != 0 && static_cast<int32_t>(static_cast<uint32_t>(wParam)) == hotkeyId;
}

}  // namespace kestrel
