#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/options_table.h"
#include "core/startup_failure_text.h"

namespace kestrel {
namespace {

TEST(OptionsTable, HoldsThe18KeysInTableOrder) {
  std::vector<std::wstring> keys;
  for (const OptionRow& row : OptionsTable(false)) keys.push_back(row.key);
  const std::vector<std::wstring> expected = {
      L"DoubleClick", L"ViewMode",    L"VModeSoft",  L"PointerGuide",  L"PGFrame",
      L"PGPosition",  L"PGType",      L"PGSize",     L"PGDescription", L"PGLupe",
      L"CtrlGrid",    L"CGridSize",   L"CutterMode", L"CutTimerTime",  L"CountType",
      L"CountWave",   L"CountSeries", L"Hotkey"};
  EXPECT_EQ(keys, expected);
}

// Type and default of each row, written as the designed table reads.
std::wstring Describe(const OptionDefault& d) {
  switch (d.type) {
    case OptionType::Integer:
      return L"integer " + std::to_wstring(d.number);
    case OptionType::Boolean:
      return d.flag ? L"boolean true" : L"boolean false";
    case OptionType::String:
      return L"string '" + std::wstring(d.text) + L"'";
  }
  return L"?";
}

TEST(OptionsTable, TypesAndDefaults) {
  const std::vector<std::wstring> expected = {
      L"integer 0",    L"integer 0",     L"string ''",    L"boolean true", L"boolean true",
      L"boolean true", L"integer 0",     L"boolean true", L"boolean true", L"boolean true",
      L"boolean true", L"integer 16",    L"integer 0",    L"integer 3",    L"integer 1",
      L"string ''",    L"boolean false", L"boolean false"};
  std::vector<std::wstring> actual;
  for (const OptionRow& row : OptionsTable(false)) actual.push_back(Describe(row.value));
  EXPECT_EQ(actual, expected);
}

TEST(OptionsTable, ViewModeDefaultsToTheViewerOnlyWhenItIsAvailable) {
  EXPECT_EQ(OptionsTable(false)[1].value.number, 0);
  EXPECT_EQ(OptionsTable(true)[1].value.number, 1);
  // Nothing else depends on the viewer.
  const auto with = OptionsTable(true), without = OptionsTable(false);
  for (size_t i = 0; i < kOptionCount; ++i) {
    if (i == 1) continue;
    EXPECT_EQ(Describe(with[i].value), Describe(without[i].value)) << i;
  }
}

struct ViewerCase {
  const char* rule;
  const wchar_t* path;
  int32_t minor;
  bool expected;
};
const ViewerCase kViewer[] = {
    {"no folder published", L"", 1, false},
    {"minor version 0 is too old", L"C:\\Viewer", 0, false},
    {"minor version 1 is 2.1", L"C:\\Viewer", 1, true},
    {"later minor versions", L"C:\\Viewer", 7, true},
    {"a negative minor version", L"C:\\Viewer", -1, false},
};

TEST(Viewer, IsAvailableFrom21WithAFolder) {
  for (const auto& c : kViewer) EXPECT_EQ(IsViewerAvailable(c.path, c.minor), c.expected) << c.rule;
}

struct FolderCase {
  const char* rule;
  const wchar_t* path;
  const wchar_t* folder;
};
const FolderCase kFolders[] = {
    {"drops the file name and the separator", L"C:\\Program Files\\Kestrel5\\Kestrel5.exe",
     L"C:\\Program Files\\Kestrel5"},
    {"a file in a drive's root gives the bare drive", L"C:\\Kestrel5.exe", L"C:"},
    {"a network share", L"\\\\host\\share\\Kestrel5.exe", L"\\\\host\\share"},
    {"forward slashes separate as well", L"Z:/work/Kestrel5.exe", L"Z:/work"},
    {"a bare file name has no folder", L"Kestrel5.exe", L""},
};

TEST(ProgramFolder, IsThePathWithoutTheFileName) {
  for (const auto& c : kFolders) EXPECT_EQ(FolderOf(c.path), c.folder) << c.rule;
}

struct NumberCase {
  const char* rule;
  uint32_t hresult;
  const wchar_t* text;
};
const NumberCase kNumbers[] = {
    {"numbered error 1 of the settings server", 0x800A0001u, L"1"},
    {"numbered error 5", 0x800A0005u, L"5"},
    {"the largest numbered error", 0x800AFFFFu, L"65535"},
    {"class not registered is shown in hex", 0x80040154u, L"0x80040154"},
    {"a Win32 error in hex", 0x8007007Eu, L"0x8007007E"},
};

TEST(StartupFailure, ErrorNumbers) {
  for (const auto& c : kNumbers) EXPECT_EQ(ErrorNumberText(c.hresult), c.text) << c.rule;
}

TEST(StartupFailure, MessageNamesStepNumberAndDescription) {
  const std::wstring text = StartupFailureText(L"設定項目の読み込み (LoadSetting): CGridSize",
                                               0x800A0001u, L"適切なプロパティの初期化");
  EXPECT_NE(text.find(L"設定項目の読み込み (LoadSetting): CGridSize"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"エラー番号: 1\r\n"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"説明: 適切なプロパティの初期化"), std::wstring::npos) << text;
}

TEST(StartupFailure, MissingDescriptionIsSaidSo) {
  const std::wstring text = StartupFailureText(L"x", 0x80004005u, L"");
  EXPECT_NE(text.find(L"説明: (説明はありません)"), std::wstring::npos) << text;
}

TEST(StartupFailure, AnUnregisteredServerIsExplained) {
  EXPECT_NE(KnownFailureDescription(0x80040154u).find(L"登録されていません"), std::wstring::npos);
  EXPECT_NE(KnownFailureDescription(0x8007007Eu).find(L"見つかりません"), std::wstring::npos);
  EXPECT_EQ(KnownFailureDescription(0x80004005u), L"");
}

}  // namespace
}  // namespace kestrel
