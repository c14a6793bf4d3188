// The registry store: what reads as a stored text, what reads as missing,
// and what is refused rather than half written.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/store.h"
#include "support/settings_support.h"

namespace {

using testing_support::ScratchApplication;

constexpr wchar_t kSection[] = L"Options";

std::optional<std::wstring> Read(const ScratchApplication& app, const wchar_t* key) {
  std::optional<std::wstring> text;
  EXPECT_HRESULT_SUCCEEDED(settings::ReadStoredText(app.name(), kSection, key, text));
  return text;
}

TEST(Store, WritesAndReadsText) {
  ScratchApplication app(L"KestrelTest.Store.RoundTrip");
  ASSERT_HRESULT_SUCCEEDED(settings::WriteStoredText(app.name(), kSection, L"Key", L"値 1"));
  EXPECT_EQ(app.ReadText(kSection, L"Key"), std::wstring(L"値 1"));
  EXPECT_EQ(Read(app, L"Key"), std::wstring(L"値 1"));
  ASSERT_HRESULT_SUCCEEDED(settings::WriteStoredText(app.name(), kSection, L"Key", L""));
  EXPECT_EQ(Read(app, L"Key"), std::wstring());
}

TEST(Store, MissingKeysAndValuesReadAsMissing) {
  ScratchApplication app(L"KestrelTest.Store.Missing");
  EXPECT_FALSE(Read(app, L"Key").has_value()) << "no application key";
  app.WriteText(kSection, L"Other", L"x");
  EXPECT_FALSE(Read(app, L"Key").has_value()) << "no such value";
}

TEST(Store, ValuesOfOtherTypesReadAsMissing) {
  ScratchApplication app(L"KestrelTest.Store.Types");
  const DWORD number = 7;
  const BYTE binary[] = {0x31, 0x00, 0x32, 0x00};
  const wchar_t expand[] = L"%TEMP%";
  const wchar_t multi[] = L"a\0b\0";
  app.WriteRaw(kSection, L"Dword", REG_DWORD, &number, sizeof(number));
  app.WriteRaw(kSection, L"Binary", REG_BINARY, binary, sizeof(binary));
  app.WriteRaw(kSection, L"Expand", REG_EXPAND_SZ, expand, sizeof(expand));
  app.WriteRaw(kSection, L"Multi", REG_MULTI_SZ, multi, sizeof(multi));
  for (const wchar_t* key : {L"Dword", L"Binary", L"Expand", L"Multi"}) {
    EXPECT_FALSE(Read(app, key).has_value()) << testing_support::Utf8(key);
  }
}

TEST(Store, OddTextDataIsReadWholeOrNotAtAll) {
  ScratchApplication app(L"KestrelTest.Store.Odd");
  const wchar_t unterminated[] = {L'a', L'b', L'c'};
  app.WriteRaw(kSection, L"Unterminated", REG_SZ, unterminated, sizeof(unterminated));
  EXPECT_EQ(Read(app, L"Unterminated"), std::wstring(L"abc"));

  const wchar_t early[] = L"ab\0cd";
  app.WriteRaw(kSection, L"Early", REG_SZ, early, sizeof(early));
  EXPECT_EQ(Read(app, L"Early"), std::wstring(L"ab"));

  const BYTE oddBytes[] = {'x', 0, 'y'};
  app.WriteRaw(kSection, L"OddBytes", REG_SZ, oddBytes, sizeof(oddBytes));
  EXPECT_EQ(Read(app, L"OddBytes"), std::wstring(L"x"));

  std::wstring longest(settings::kMaxSettingChars, L'z');
  app.WriteText(kSection, L"Longest", longest);
  EXPECT_EQ(Read(app, L"Longest"), longest);

  std::wstring tooLong(settings::kMaxSettingChars + 1, L'z');
  app.WriteText(kSection, L"TooLong", tooLong);
  EXPECT_FALSE(Read(app, L"TooLong").has_value());
}

TEST(Store, RefusesWhatCannotBeStoredWhole) {
  ScratchApplication app(L"KestrelTest.Store.Refused");
  const std::wstring tooLong(settings::kMaxSettingChars + 1, L'z');
  EXPECT_EQ(settings::WriteStoredText(app.name(), kSection, L"Key", tooLong), E_INVALIDARG);
  EXPECT_EQ(settings::WriteStoredText(app.name(), kSection, L"Key", std::wstring(L"a\0b", 3)),
            E_INVALIDARG);
  EXPECT_FALSE(app.SectionExists(kSection)) << "a refused write creates nothing";
}

TEST(Store, EmptyNamesFail) {
  std::optional<std::wstring> text;
  const std::wstring name = L"KestrelTest.Store.Empty";
  EXPECT_EQ(settings::ReadStoredText(L"", kSection, L"Key", text), E_INVALIDARG);
  EXPECT_EQ(settings::ReadStoredText(name, L"", L"Key", text), E_INVALIDARG);
  EXPECT_EQ(settings::ReadStoredText(name, kSection, L"", text), E_INVALIDARG);
  EXPECT_EQ(settings::WriteStoredText(L"", kSection, L"Key", L"x"), E_INVALIDARG);
  EXPECT_EQ(settings::WriteStoredText(name, kSection, L"", L"x"), E_INVALIDARG);
}

TEST(Store, SectionNamesIgnoreLetterCase) {
  ScratchApplication app(L"KestrelTest.Store.Case");
  app.WriteText(L"options", L"Key", L"lower");
  std::optional<std::wstring> text;
  ASSERT_HRESULT_SUCCEEDED(settings::ReadStoredText(app.name(), L"OPTIONS", L"Key", text));
  EXPECT_EQ(text, std::wstring(L"lower"));
}

}  // namespace
