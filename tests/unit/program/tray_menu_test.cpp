#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tray/tray_logic.h"

namespace kestrel {
namespace {

// What a user sees: visible items in order, submenu items indented, the
// two timed items by name since their captions are set before each showing.
std::vector<std::wstring> VisibleLayout(std::span<const MenuEntry> entries) {
  std::vector<std::wstring> layout;
  for (const MenuEntry& e : entries) {
    if (!e.visible) continue;
    std::wstring line = e.depth == 1 ? L"  " : L"";
    if (*e.caption == L'\0') {
      line += std::wstring(e.name, e.name + std::char_traits<char>::length(e.name));
    } else {
      line += e.caption;
    }
    if (e.kind == MenuEntryKind::Submenu) line += L" >";
    layout.push_back(line);
  }
  return layout;
}

TEST(PopupMenu, ShowsEveryVisibleItemInOrderWithItsSubmenu) {
  const std::vector<std::wstring> expected = {
      L"画面を切り取る(&S)",
      L"pmenu_TimerScreenCut",
      L"-",
      L"その他の機能(&M) >",
      L"  時間を指定して画面を切り取る(&F)",
      L"  前回と同じ画面範囲を切り取る(&R)",
      L"  pmenu_ReScreenCutWithTimer",
      L"  -",
      L"  最後に切り取った画像(&L)",
      L"  クリップボードをクリア(&C)",
      L"オプション(&O)...",
      L"-",
      L"バージョン情報(&V)...",
      L"終了(&Q)",
  };
  EXPECT_EQ(VisibleLayout(PopupMenuDefinition()), expected);
}

TEST(PopupMenu, HidesTheAutoSaveItemAndItsSeparatorAtTheEndOfTheSubmenu) {
  std::vector<std::string> hidden;
  for (const MenuEntry& e : PopupMenuDefinition())
    if (!e.visible) hidden.push_back(e.name);
  EXPECT_EQ(hidden, (std::vector<std::string>{"pmenu_Bar3", "pmenu_AutoSaveClipboard"}));
  for (const MenuEntry& e : PopupMenuDefinition()) {
    if (std::string(e.name) == "pmenu_AutoSaveClipboard") {
      EXPECT_STREQ(e.caption, L"クリップボード画像の自動保存(&A)");
      EXPECT_EQ(e.depth, 1);
    }
  }
}

TEST(PopupMenu, OnlyTheLastCutItemsDependOnACut) {
  std::vector<std::string> needsCut;
  for (const MenuEntry& e : PopupMenuDefinition())
    if (e.needsCut) needsCut.push_back(e.name);
  EXPECT_EQ(needsCut, (std::vector<std::string>{"pmenu_ReScreenCut", "pmenu_ReScreenCutWithTimer",
                                                "pmenu_LastPicture"}));
}

TEST(PopupMenu, CommandsAreDistinctSoEveryItemReachesItsOwnHandler) {
  std::set<MenuCommand> seen;
  for (auto menu : {PopupMenuDefinition(), CancelMenuDefinition()}) {
    for (const MenuEntry& e : menu) {
      if (e.kind != MenuEntryKind::Command) continue;
      EXPECT_TRUE(seen.insert(e.command).second) << e.name;
    }
  }
}

TEST(CancelMenu, HoldsOnlyTheCancelItem) {
  const auto menu = CancelMenuDefinition();
  ASSERT_EQ(menu.size(), 1u);
  EXPECT_STREQ(menu[0].name, "pmenu_CancelTimer");
  // A full-width opening and an ASCII closing parenthesis, as designed.
  EXPECT_STREQ(menu[0].caption, L"タイマーをキャンセル（&C)");
  EXPECT_EQ(menu[0].command, MenuCommand::CancelTimer);
}

}  // namespace
}  // namespace kestrel
