#pragma once
// What the shipped-binaries test and its 32-bit client agree on.

// The option the client loads and saves through the settings server.
inline constexpr wchar_t kShippedApplication[] = L"KestrelShipped";
inline constexpr wchar_t kShippedKey[] = L"Count";
inline constexpr long kShippedStoredValue = 17;
inline constexpr long kShippedSavedValue = 42;

// Set by the driver once the cut is on the clipboard; set by the client
// once it has written the picture.
inline constexpr wchar_t kReadClipboardEvent[] = L"KestrelShipped.ReadClipboard";
inline constexpr wchar_t kClipboardReadEvent[] = L"KestrelShipped.ClipboardRead";
// The client gives up waiting after this long.
inline constexpr unsigned long kClientWaitMs = 30 * 60 * 1000;
