#pragma once
// The text of the one message the user sees when the start fails. Pure.

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrel {

// A numbered error of the settings server (0x800A0000 + n) is shown as n, as a
// script client would see it; any other failure code as 0x and eight hex digits.
std::wstring ErrorNumberText(uint32_t hresult);

// Our own description of the failures the platform may leave without one
// (the settings server missing or not registered); empty for any other code.
std::wstring KnownFailureDescription(uint32_t hresult);

// "what" names the step that failed; an empty description is shown as such.
std::wstring StartupFailureText(std::wstring_view what, uint32_t hresult,
                                std::wstring_view description);

}  // namespace kestrel
