#include <gtest/gtest.h>

#include "about/version_text.h"
#include "desktop/hotkey_logic.h"

namespace kestrel {
namespace {

TEST(HotkeyId, IsTheAtomWithItsSignExtended) {
  EXPECT_EQ(HotkeyIdFromAtom(0xC001), -16383);
  EXPECT_EQ(HotkeyIdFromAtom(0xFFFF), -1);
  EXPECT_EQ(HotkeyIdFromAtom(0x0001), 1);
}

struct HotkeyCase {
  const char* rule;
  uint64_t wParam;
  int32_t hotkeyId;
  bool expected;
};
const HotkeyCase kHotkeys[] = {
    {"64-bit wParam widened with the sign", 0xFFFFFFFFFFFFC047ull, -16313, true},
    {"32-bit wParam", 0xFFFFC047ull, -16313, true},
    {"another identifier is not ours", 0xFFFFFFFFFFFFC048ull, -16313, false},
    {"the zero-extended atom is another identifier", 0xC047ull, -16313, false},
    {"nothing registered: never ours", 0, 0, false},
};

TEST(HotkeyMessage, IsOursOnlyForOurIdentifier) {
  for (const auto& c : kHotkeys) EXPECT_EQ(IsOurHotkey(c.wParam, c.hotkeyId), c.expected) << c.rule;
}

TEST(AboutBox, VersionCaptionIsPlainDecimalNumbers) {
  EXPECT_EQ(VersionCaption(5, 2, 0), L"Version.5.2.0");
  EXPECT_EQ(VersionCaption(10, 0, 65535), L"Version.10.0.65535");
}

}  // namespace
}  // namespace kestrel
