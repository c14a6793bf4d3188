// The shipped 32-bit binaries themselves, run through qemu-user (run.sh sets
// that up): the x86 package is installed for the user by the 64-bit msiexec
// (no 32-bit code runs for that), a 32-bit client beside the installed server
// loads and saves an option through it, reaching it through its manifest as
// the program does, and the installed i686 Kestrel5.exe shows its icon, cuts
// through its tray menu, shows its about box and quits; the package is then
// removed. This driver is
// 64-bit and runs at full speed; it drives the program from outside, with the
// keyboard in the tray menu, as no hook DLL of its bitness can enter a 32-bit
// process. Each 32-bit process start costs a minute or two, so there are
// three of them, two of them at once, and every wait is long.

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "QUILLONSoftwareOptions.h"
#include "e2e/support/driver.h"
#include "e2e/support/menu_reader.h"
#include "e2e/support/paths.h"
#include "e2e/support/pointer.h"
#include "e2e/support/screen.h"
#include "package/install_support.h"
#include "shipped/shipped_wire.h"

namespace e2e {
namespace {

constexpr const wchar_t* kShippedClient = KESTREL_SHIPPED_CLIENT;
constexpr const wchar_t* kShippedPackage = KESTREL_SHIPPED_PACKAGE;
constexpr auto kProcessStart = std::chrono::minutes(8);
constexpr auto kEmulatedStep = std::chrono::seconds(90);
constexpr wchar_t kAboutCaption[] = L"Kestrel 5 のバージョン情報";
constexpr wchar_t kShippedRoot[] = L"Software\\VB and VBA Program Settings\\KestrelShipped";

// Prints how long each step took: the figures of a slow test are worth keeping.
class Steps {
 public:
  void Done(const char* step) {
    const auto now = Clock::now();
    std::printf("shipped: %-44s %6.1f s\n", step,
                std::chrono::duration<double>(now - last_).count());
    std::fflush(stdout);
    last_ = now;
  }

 private:
  Clock::time_point last_ = Clock::now();
};

std::wstring Quoted(const wchar_t* path) { return std::wstring(L"\"") + path + L"\""; }

std::string ReadAll(const std::wstring& path) {
  std::string out;
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return out;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
    out.append(buffer, read);
  CloseHandle(file);
  return out;
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The server of a class in one view of the user's own classes.
std::wstring UserServer(const CLSID& clsid, REGSAM view) {
  wchar_t guid[64];
  StringFromGUID2(clsid, guid, 64);
  const std::wstring key = std::wstring(L"Software\\Classes\\CLSID\\") + guid + L"\\InprocServer32";
  wchar_t path[MAX_PATH + 1] = L"";
  DWORD bytes = sizeof(path) - sizeof(wchar_t);
  HKEY server = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_QUERY_VALUE | view, &server) ==
      ERROR_SUCCESS) {
    RegQueryValueExW(server, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(path), &bytes);
    RegCloseKey(server);
  }
  return path;
}

// Opens the tray menu as the shell does and picks an item by its mnemonic.
::testing::AssertionResult ChooseFromTrayMenu(const Kestrel& program, WORD mnemonic) {
  program.TrayCallback(WM_RBUTTONDOWN);
  if (!WaitUntil([] { return OpenMenuWindow() != nullptr; }, kEmulatedStep))
    return ::testing::AssertionFailure() << "the tray menu did not open";
  input::Key(mnemonic);
  if (!WaitUntil([] { return OpenMenuWindow() == nullptr; }, kEmulatedStep))
    return ::testing::AssertionFailure() << "the tray menu did not close";
  return ::testing::AssertionSuccess();
}

class ShippedClient {
 public:
  ShippedClient(const std::wstring& client, const std::wstring& folder) {
    std::wstring command = Quoted(client.c_str()) + L" " + Quoted(folder.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
      process_ = {};
    }
  }
  ~ShippedClient() {
    if (!process_.hProcess) return;
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
      TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  ShippedClient(const ShippedClient&) = delete;
  ShippedClient& operator=(const ShippedClient&) = delete;
  bool started() const { return process_.hProcess != nullptr; }
  bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

  // Asks for the clipboard's picture; true once the client has written it.
  bool ReadClipboard() const {
    HANDLE request = OpenEventW(EVENT_MODIFY_STATE, FALSE, kReadClipboardEvent);
    HANDLE done = OpenEventW(SYNCHRONIZE, FALSE, kClipboardReadEvent);
    bool read = false;
    if (request && done) {
      SetEvent(request);
      read =
          WaitUntil([&] { return WaitForSingleObject(done, 0) == WAIT_OBJECT_0; }, kEmulatedStep);
    }
    if (request) CloseHandle(request);
    if (done) CloseHandle(done);
    return read;
  }

 private:
  PROCESS_INFORMATION process_{};
};

TEST(ShippedBinaries, InstallConfigureStartCutShowAboutQuitAndRemove) {
  EndLeftoverInstances();
  const ProgramStore store;
  RegDeleteTreeW(HKEY_CURRENT_USER, kShippedRoot);
  store.Write(L"KestrelShipped", L"Options", kShippedKey, std::to_wstring(kShippedStoredValue));
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"kestrel-shipped";
  CreateDirectoryW(folder.c_str(), nullptr);
  DeleteFileW((folder + L"\\com.txt").c_str());
  DeleteFileW((folder + L"\\clipboard.dib").c_str());
  ASSERT_TRUE(ClearClipboard());
  Steps steps;

  // A leftover install of an earlier run goes first.
  Msiexec(L"/x " + Quoted(kShippedPackage));
  SeparateUserClassViews();
  ASSERT_EQ(Msiexec(L"/i " + Quoted(kShippedPackage)), 0u) << "msiexec (64-bit)";
  const std::wstring installedDll = InstallFolder() + L"\\QUILLONSoftwareOptions.dll";
  for (const CLSID* clsid : {&CLSID_SoftwareInfo, &CLSID_SoftwareOption}) {
    EXPECT_EQ(Utf8(UserServer(*clsid, KEY_WOW64_32KEY)), Utf8(installedDll));
    EXPECT_EQ(UserServer(*clsid, KEY_WOW64_64KEY), L"") << "only in the 32-bit view";
  }
  const std::wstring client = InstallFolder() + L"\\kestrel_shipped_client.exe";
  ASSERT_TRUE(CopyFileW(kShippedClient, client.c_str(), FALSE));
  SetEnvironmentVariableW(kProgramVariable, (InstallFolder() + L"\\Kestrel5.exe").c_str());
  steps.Done("x86 package installed for the user");

  // Both start at once: each start is slow, not busy for all of it.
  std::optional<ShippedClient> shippedClient(std::in_place, client, folder);
  const ShippedClient& client32 = *shippedClient;
  ASSERT_TRUE(client32.started());
  Kestrel program;
  ASSERT_TRUE(WaitUntil([&] { return FileExists(folder + L"\\com.txt") || !client32.Running(); },
                        kProcessStart))
      << "the 32-bit client did not report";
  const std::string report = ReadAll(folder + L"\\com.txt");
  EXPECT_NE(report.find("pointer_bits=32\n"), std::string::npos) << report;
  EXPECT_NE(report.find("option=" + std::to_string(kShippedStoredValue) + " saved\n"),
            std::string::npos)
      << report;
  EXPECT_EQ(store.Read(L"KestrelShipped", L"Options", kShippedKey),
            std::optional<std::wstring>(std::to_wstring(kShippedSavedValue)));
  steps.Done("32-bit client: option loaded and saved");

  ASSERT_TRUE(program.WaitReady(kProcessStart)) << "exit code " << program.ExitCode();
  EXPECT_TRUE(WaitUntil([&] { return TrayIconShown(program.trayIcon()); }, kEmulatedStep));
  steps.Done("Kestrel5.exe (i686) resident, icon shown");

  {
    const PatternWindow pattern;
    ASSERT_TRUE(pattern.shown());
    ASSERT_TRUE(ChooseFromTrayMenu(program, 'S'));
    ASSERT_TRUE(WaitUntil(&OverlayVisible, kEmulatedStep)) << "no overlay";
    const RECT area{200, 150, 300, 290};
    ASSERT_TRUE(input::MoveTo({area.left, area.top}));
    input::Press(input::Button::Left);
    ASSERT_TRUE(input::MoveTo({250, 220}));
    ASSERT_TRUE(input::MoveTo({area.right, area.bottom}));
    input::Release(input::Button::Left);
    ASSERT_TRUE(WaitUntil([] { return OverlayWindow() == nullptr; }, kEmulatedStep))
        << "the overlay did not close after the drag";
    ASSERT_TRUE(client32.ReadClipboard()) << "the 32-bit client did not read the clipboard";
    const std::string dib = ReadAll(folder + L"\\clipboard.dib");
    EXPECT_TRUE(IsPatternArea(PictureFromPackedDib(dib.data(), dib.size()), Pattern::Plain, area));
  }
  steps.Done("cut through the tray menu, pixels checked");

  ASSERT_TRUE(ChooseFromTrayMenu(program, 'V'));
  HWND about = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        about = FindWindowW(L"#32770", kAboutCaption);
        return about && IsWindowVisible(about);
      },
      kEmulatedStep));
  const auto texts = ChildTexts(about);
  EXPECT_NE(std::find(texts.begin(), texts.end(), L"Version.5.2.0"), texts.end());
  ASSERT_TRUE(Activate(about));
  input::Key(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kEmulatedStep));
  steps.Done("about box shown and closed");

  ASSERT_TRUE(ChooseFromTrayMenu(program, 'Q'));
  EXPECT_EQ(program.WaitExit(kEmulatedStep), std::optional<DWORD>(0));
  EXPECT_FALSE(TrayIconShown(program.trayIcon()));
  steps.Done("quit through the tray menu");

  shippedClient.reset();
  DeleteFileW(client.c_str());
  EXPECT_EQ(Msiexec(L"/x " + Quoted(kShippedPackage)), 0u);
  EXPECT_FALSE(FileExists(InstallFolder()));
  EXPECT_EQ(UserServer(CLSID_SoftwareInfo, KEY_WOW64_32KEY), L"");
  steps.Done("package removed");
  RegDeleteTreeW(HKEY_CURRENT_USER, kShippedRoot);
}

}  // namespace
}  // namespace e2e
