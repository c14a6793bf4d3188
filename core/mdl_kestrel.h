#pragma once
// mdlKestrel: the start procedure, the option objects of the settings server
// that live for the whole run, and the reading of a setting by its key.

#include <windows.h>

#include <cstdint>
#include <string>

namespace kestrel {

// The countdown length of the current or last timed cut, in seconds; set from
// "CutTimerTime" at start-up and never persisted.
extern int32_t TimerSeconds;

// The program: returns the process exit code (non-zero when the start failed).
int Main(HINSTANCE instance);

// Has every one of the 18 options persist itself if it changed, in table
// order; results and failures are ignored.
void SaveChangedOptions();

// The current value of an option converted to a 32-bit integer; 0 when the
// key is unknown or the value does not convert.
int32_t OptionInteger(const wchar_t* key);

// True only when the option's current value equals True.
bool OptionIsTrue(const wchar_t* key);

// The current value of an option as text; empty when the key is unknown or
// the value does not convert.
std::wstring OptionText(const wchar_t* key);

// Assigns a Boolean to an option's current value, in memory only; the store
// sees it at the next SaveChangedOptions.
void SetOptionBoolean(const wchar_t* key, bool value);
// The same for a 16-bit integer and for a text.
void SetOptionInteger(const wchar_t* key, int16_t value);
void SetOptionText(const wchar_t* key, const std::wstring& value);

// The viewer's published folder (ViewerPath), as loaded at start-up.
std::wstring ViewerPathValue();

}  // namespace kestrel
