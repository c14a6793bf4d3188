#pragma once
// The modal input box of the countdown and the reading of its answer.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace kestrel {

inline constexpr const wchar_t* kCountdownPrompt = L"時間を指定してください（秒）";

// Shows the input box centred on the screen, in the foreground, owned by
// `owner`, and waits for the answer: the text on OK (or Enter), empty text on
// Cancel (or Esc, or closing the box).
std::wstring InputBox(HINSTANCE instance, HWND owner, const wchar_t* prompt, const wchar_t* title,
                      const std::wstring& defaultText);

// The answer as a countdown length: the platform's automation coercion to a
// 16-bit integer in the user's locale (ties round to even, so "2.5" gives 2
// and "3.5" gives 4). Nothing for empty text, words and numbers outside
// -32768 .. 32767.
std::optional<int32_t> CountdownLengthFromText(const std::wstring& text);

}  // namespace kestrel
