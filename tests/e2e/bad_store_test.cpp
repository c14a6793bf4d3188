// Whatever another program or an old version left in the program's store:
// each kind of bad data is written before start-up beside good values, and
// the program must start, cut, treat the bad entry as its default, keep the
// good ones and, on quitting, change nothing it did not have to.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "e2e/support/cut_fixture.h"

namespace e2e {
namespace {

constexpr wchar_t kStoreRoot[] = L"Software\\VB and VBA Program Settings\\";
constexpr size_t kHugeChars = 100000;

// One registry value as written: its type and raw bytes.
struct Raw {
  DWORD type;
  std::string bytes;
};

Raw Sz(const std::wstring& text, DWORD type = REG_SZ) {
  const auto* begin = reinterpret_cast<const char*>(text.c_str());
  return {type, std::string(begin, (text.size() + 1) * sizeof(wchar_t))};
}
Raw Dword(DWORD value) {
  return {REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof(value))};
}
Raw Binary(std::string bytes) { return {REG_BINARY, std::move(bytes)}; }
// Items of a REG_MULTI_SZ, each ended by a terminator, the list by another.
Raw Multi(const std::vector<std::wstring>& items) {
  std::wstring joined;
  for (const auto& item : items) joined += item + L'\0';
  return Sz(joined, REG_MULTI_SZ);
}

std::wstring KeyPath(const wchar_t* application, const wchar_t* section) {
  return std::wstring(kStoreRoot) + application + L"\\" + section;
}

void WriteRaw(const wchar_t* application, const wchar_t* section, const std::wstring& name,
              const Raw& raw) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, raw.type,
                           reinterpret_cast<const BYTE*>(raw.bytes.data()),
                           static_cast<DWORD>(raw.bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

// A subkey where a value should be, with a value of its own.
void WriteKey(const wchar_t* application, const wchar_t* section, const std::wstring& name) {
  const std::wstring path = KeyPath(application, section) + L"\\" + name;
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  const Raw inside = Sz(L"7");
  RegSetValueExW(key, L"", 0, inside.type, reinterpret_cast<const BYTE*>(inside.bytes.data()),
                 static_cast<DWORD>(inside.bytes.size()));
  RegCloseKey(key);
}

// Every value under a key and its subkeys, raw, as "path|name|type|bytes".
void DumpRaw(HKEY key, const std::wstring& path, std::vector<std::string>& out) {
  DWORD longestName = 0, longestData = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longestName,
                   &longestData, nullptr, nullptr);
  std::vector<wchar_t> name(longestName + 2);
  std::vector<BYTE> data(longestData + 2);
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD bytes = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &bytes) !=
        ERROR_SUCCESS) {
      break;
    }
    out.push_back(Utf8(path + L"|" + std::wstring(name.data(), nameLength)) + "|" +
                  std::to_string(type) + "|" +
                  std::string(reinterpret_cast<const char*>(data.data()), bytes));
  }
  for (DWORD i = 0;; ++i) {
    wchar_t sub[256];
    DWORD subLength = 256;
    if (RegEnumKeyExW(key, i, sub, &subLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    HKEY child = nullptr;
    if (RegOpenKeyExW(key, sub, 0, KEY_READ, &child) == ERROR_SUCCESS) {
      DumpRaw(child, path + L"\\" + sub, out);
      RegCloseKey(child);
    }
  }
}

// The store as the test compares it: everything but the entries the program
// publishes about itself at every start.
std::vector<std::string> StoreSnapshot() {
  std::vector<std::string> out;
  for (const wchar_t* application : {L"Kestrel5", L"Pictoria2"}) {
    HKEY key = nullptr;
    const std::wstring path = std::wstring(kStoreRoot) + application;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      continue;
    DumpRaw(key, application, out);
    RegCloseKey(key);
  }
  out.erase(std::remove_if(
                out.begin(), out.end(),
                [](const std::string& entry) { return entry.rfind("Kestrel5\\App|", 0) == 0; }),
            out.end());
  std::sort(out.begin(), out.end());
  return out;
}

std::string Printable(const std::string& entry) {
  std::string out;
  for (char c : entry.substr(0, 120)) out += (c >= 0x20 && c < 0x7F) ? c : '.';
  return out;
}

// Good, non-default values beside every bad one; the checks below see three
// of them: "CutTimerTime" in the menu caption, "Hotkey" as Windows + C held,
// "DoubleClick" 0 as the double click opening the overlay.
struct Good {
  const wchar_t* key;
  const wchar_t* text;
};
constexpr Good kGoodOptions[] = {
    {L"DoubleClick", L"0"},     {L"CutterMode", L"0"},
    {L"CutTimerTime", L"7"},    {L"Hotkey", L"True"},
    {L"PGLupe", L"False"},      {L"CGridSize", L"8"},
    {L"CountType", L"0"},       {L"CountWave", L"C:\\音\\カウント.wav"},
    {L"PointerGuide", L"True"}, {L"CountSeries", L"True"},
};

enum class After {
  Unchanged,  // the store reads the entry as missing and leaves it alone
  Default,    // a text that does not convert: the value in use is written back
};

struct BadCase {
  const char* kind;
  const wchar_t* application;
  const wchar_t* section;
  const wchar_t* name;
  Raw raw;     // ignored for a key
  bool asKey;  // a subkey named like the value
  After after;
  const wchar_t* defaultText;  // the text written back for After::Default
};

std::vector<BadCase> Cases() {
  const std::wstring huge(kHugeChars, L'9');
  return {
      {"REG_DWORD where a number text is kept", L"Kestrel5", L"Options", L"DoubleClick", Dword(2),
       false, After::Unchanged, nullptr},
      {"REG_BINARY where a number text is kept", L"Kestrel5", L"Options", L"ViewMode",
       Binary(std::string("\x01\x00", 2)), false, After::Unchanged, nullptr},
      {"REG_MULTI_SZ where a text is kept", L"Kestrel5", L"Options", L"VModeSoft",
       Multi({L"a.exe", L"b.exe"}), false, After::Unchanged, nullptr},
      {"REG_EXPAND_SZ where a truth value is kept", L"Kestrel5", L"Options", L"PointerGuide",
       Sz(L"False", REG_EXPAND_SZ), false, After::Unchanged, nullptr},
      {"truth value spelled in another language", L"Kestrel5", L"Options", L"PGFrame",
       Sz(L"Falsch"), false, After::Default, L"True"},
      {"truth value as a word of its own", L"Kestrel5", L"Options", L"PGPosition", Sz(L"no"), false,
       After::Default, L"True"},
      {"text that is no number", L"Kestrel5", L"Options", L"PGType", Sz(L"abc"), false,
       After::Default, L"0"},
      {"empty truth value", L"Kestrel5", L"Options", L"PGSize", Sz(L""), false, After::Default,
       L"True"},
      {"Japanese truth value", L"Kestrel5", L"Options", L"PGDescription", Sz(L"いいえ"), false,
       After::Default, L"True"},
      {"REG_DWORD where a truth value is kept", L"Kestrel5", L"Options", L"PGLupe", Dword(0), false,
       After::Unchanged, nullptr},
      {"REG_BINARY where a truth value is kept", L"Kestrel5", L"Options", L"CtrlGrid",
       Binary(std::string("\x00\x00\x00\x00", 4)), false, After::Unchanged, nullptr},
      {"number beyond 16 bits", L"Kestrel5", L"Options", L"CGridSize", Sz(L"70000"), false,
       After::Default, L"16"},
      {"negative number beyond 16 bits", L"Kestrel5", L"Options", L"CutterMode", Sz(L"-40000"),
       false, After::Default, L"0"},
      {"text that is no number in a shown option", L"Kestrel5", L"Options", L"CutTimerTime",
       Sz(L"7 Sekunden"), false, After::Default, L"3"},
      {"REG_MULTI_SZ where a number text is kept", L"Kestrel5", L"Options", L"CutTimerTime",
       Multi({L"7"}), false, After::Unchanged, nullptr},
      {"text of 100 000 characters", L"Kestrel5", L"Options", L"CutTimerTime", Sz(huge), false,
       After::Unchanged, nullptr},
      {"key where a value should be",
       L"Kestrel5",
       L"Options",
       L"CutTimerTime",
       {},
       true,
       After::Unchanged,
       nullptr},
      {"text of 100 000 characters in a number", L"Kestrel5", L"Options", L"CountType", Sz(huge),
       false, After::Unchanged, nullptr},
      {"REG_EXPAND_SZ where a file name is kept", L"Kestrel5", L"Options", L"CountWave",
       Sz(L"%WINDIR%\\media\\a.wav", REG_EXPAND_SZ), false, After::Unchanged, nullptr},
      {"truth value spelled as a question", L"Kestrel5", L"Options", L"CountSeries", Sz(L"maybe"),
       false, After::Default, L"False"},
      {"REG_DWORD where the hotkey's truth value is kept", L"Kestrel5", L"Options", L"Hotkey",
       Dword(1), false, After::Unchanged, nullptr},
      {"the hotkey's truth value as a word of its own", L"Kestrel5", L"Options", L"Hotkey",
       Sz(L"Yes"), false, After::Default, L"False"},
      {"REG_DWORD as the viewer's folder", L"Pictoria2", L"App", L"Path", Dword(1), false,
       After::Unchanged, nullptr},
      {"the viewer's version beyond 16 bits", L"Pictoria2", L"App", L"Minor", Sz(L"99999"), false,
       After::Unchanged, nullptr},
      {"key as the viewer's version",
       L"Pictoria2",
       L"App",
       L"Minor",
       {},
       true,
       After::Unchanged,
       nullptr},
  };
}

class BadStore : public CutTest {
 protected:
  // Starts, reads the menu and the hotkey, cuts through the double-click
  // action and quits. Returns through gtest failures only.
  void RunAndCheck(const wchar_t* expectedTimedCaption, bool expectHotkeyHeld) {
    StartOverPattern();
    ASSERT_TRUE(program_->Running());
    const auto menu = OpenTrayMenu();
    ASSERT_GE(menu.size(), 2u);
    EXPECT_EQ(Utf8(menu[1].caption), Utf8(expectedTimedCaption));
    CloseMenu();
    EXPECT_EQ(!HotkeyIsFree(), expectHotkeyHeld);

    program_->TrayCallback(WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitOverlayShown()) << "the double-click action opened no overlay";
    const RECT area{120, 90, 230, 170};
    DragOnOverlay({area.left, area.top}, {area.right, area.bottom});
    EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, area));

    QuitByMenu();
    EXPECT_EQ(program_->WaitExit(), std::optional<DWORD>(0));
  }
};

TEST_F(BadStore, EachKindOfBadDataActsAsTheDefaultAndHurtsNothingElse) {
  // The viewer's good entries name a folder without the viewer, so the
  // program never starts it.
  for (const BadCase& c : Cases()) {
    SCOPED_TRACE(c.kind);
    store_.Clear();
    for (const Good& good : kGoodOptions) {
      if (std::wstring(c.application) == L"Kestrel5" && good.key == std::wstring(c.name)) continue;
      store_.Write(L"Kestrel5", L"Options", good.key, good.text);
    }
    const bool badViewer = std::wstring(c.application) == L"Pictoria2";
    if (badViewer) {
      store_.Write(L"Pictoria2", L"App", L"Path", L"C:\\nowhere");
      store_.Write(L"Pictoria2", L"App", L"Minor", L"1");
    }
    if (c.asKey) {
      if (badViewer)
        RegDeleteKeyValueW(HKEY_CURRENT_USER, KeyPath(c.application, c.section).c_str(), c.name);
      WriteKey(c.application, c.section, c.name);
    } else {
      WriteRaw(c.application, c.section, c.name, c.raw);
    }
    // Odd names beside the real ones are other entries, never these.
    WriteRaw(L"Kestrel5", L"Options", L"CutTimerTime ", Sz(L"9"));
    WriteRaw(L"Kestrel5", L"Options", L"ＣｕｔＴｉｍｅｒＴｉｍｅ", Sz(L"9"));
    WriteRaw(L"Kestrel5", L"Options", L"Hotkey\t\x1F/\\*?", Sz(L"False"));
    ASSERT_FALSE(HasFatalFailure());
    const auto before = StoreSnapshot();

    const std::wstring name = c.name;
    const bool badTimer = std::wstring(c.application) == L"Kestrel5" && name == L"CutTimerTime";
    const bool badHotkey = std::wstring(c.application) == L"Kestrel5" && name == L"Hotkey";
    RunAndCheck(badTimer ? L"3秒後に画面を切り取る(&T)" : L"7秒後に画面を切り取る(&T)", !badHotkey);
    program_.reset();

    auto expected = before;
    if (c.after == After::Default) {
      const std::string prefix =
          Utf8(std::wstring(c.application) + L"\\" + c.section + L"|" + c.name) + "|";
      for (auto& entry : expected) {
        if (entry.rfind(prefix, 0) == 0) entry = prefix + "1|" + Sz(c.defaultText).bytes;
      }
      std::sort(expected.begin(), expected.end());
    }
    const auto after = StoreSnapshot();
    ASSERT_EQ(after.size(), expected.size());
    for (size_t i = 0; i < after.size(); ++i) {
      EXPECT_TRUE(after[i] == expected[i])
          << "after quitting: " << Printable(after[i]) << "\nexpected: " << Printable(expected[i]);
    }
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace e2e
