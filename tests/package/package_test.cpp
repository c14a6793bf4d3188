// The packages as a user meets them, in a fresh prefix where nothing was
// registered (package_test.sh makes it and runs these in order): the program
// run from the unpacked zip, then the per-user package installed with a
// progress bar (the program starts) and quietly (it does not), installed
// again, upgraded, removed, and installed over the other architecture's.

#include <windows.h>
// After windows.h, which they need.
#include <msi.h>
#include <msiquery.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/com_ptr.h"
#include "common/registry_key.h"
#include "common/win_handles.h"
#include "e2e/support/cut_fixture.h"
#include "package/install_support.h"
#include "registration_table.h"

namespace e2e {
namespace {

using kestrel::ComPtr;

std::wstring Environment(const wchar_t* name) {
  wchar_t text[MAX_PATH * 4] = L"";
  const DWORD length = GetEnvironmentVariableW(name, text, MAX_PATH * 4);
  return length < MAX_PATH * 4 ? text : L"";
}

const wchar_t* const kFiles[] = {L"Kestrel5.exe", L"QUILLONSoftwareOptions.dll"};
const KNOWNFOLDERID* const kShortcutFolders[] = {&FOLDERID_Programs, &FOLDERID_Startup};
std::wstring Shortcut(REFKNOWNFOLDERID folder) { return KnownFolder(folder) + L"\\Kestrel5.lnk"; }

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Where a shortcut points; empty when there is none.
std::wstring ShortcutTarget(const std::wstring& path) {
  ComPtr<IShellLinkW> link;
  ComPtr<IPersistFile> file;
  wchar_t target[MAX_PATH] = L"";
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(link.Put()))) ||
      FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Put()))) ||
      FAILED(file->Load(path.c_str(), STGM_READ)) ||
      FAILED(link->GetPath(target, MAX_PATH, nullptr, 0))) {
    return L"";
  }
  return target;
}

// Every value under a key as "key|name|text" lines.
void DumpTree(HKEY root, const std::wstring& path, REGSAM view, const std::wstring& shown,
              std::vector<std::wstring>& out) {
  kestrel::RegistryKey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.Put()) != ERROR_SUCCESS) return;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = 256, type = 0;
    BYTE data[2048] = {};
    DWORD bytes = sizeof(data) - sizeof(wchar_t);
    if (RegEnumValueW(key.get(), i, name, &nameLength, nullptr, &type, data, &bytes) !=
        ERROR_SUCCESS)
      break;
    out.push_back(shown + L"|" + name + L"|" + reinterpret_cast<const wchar_t*>(data));
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = 256;
    if (RegEnumKeyExW(key.get(), i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
      break;
    DumpTree(root, path + L"\\" + name, view, shown + L"\\" + name, out);
  }
}

// The server's registration as found under one root of classes, sorted.
std::vector<std::wstring> Registration(HKEY root, const std::wstring& classes, REGSAM view) {
  std::vector<std::wstring> keys(std::begin(settings::registration::kTrees),
                                 std::end(settings::registration::kTrees));
  for (const auto& entry : settings::registration::kProgIds) keys.push_back(entry.progId);
  std::vector<std::wstring> out;
  for (const auto& key : keys) DumpTree(root, classes + key, view, key, out);
  std::sort(out.begin(), out.end());
  return out;
}

constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
// The view of this build's own architecture, where its package and its
// server's registration write.
constexpr REGSAM kOwnView = sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
const wchar_t kClassesKey[] = L"Software\\Classes\\";
// Where the package remembers whether the Startup shortcut was wanted.
const wchar_t kInstallerKey[] = L"Software\\Kestrel5";

std::vector<std::wstring> UserRegistration() {
  return Registration(HKEY_CURRENT_USER, kClassesKey, kOwnView);
}
// Machine-wide, in either view.
std::vector<std::wstring> MachineRegistration(REGSAM view) {
  return Registration(HKEY_LOCAL_MACHINE, kClassesKey, view);
}

// The machine a binary is built for (IMAGE_FILE_MACHINE_*), 0 when unknown.
WORD Machine(const std::wstring& path) {
  const HANDLE opened =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return 0;
  const kestrel::UniqueKernelHandle file(opened);
  IMAGE_DOS_HEADER dos{};
  DWORD read = 0;
  if (!ReadFile(file.get(), &dos, sizeof(dos), &read, nullptr) || read != sizeof(dos)) return 0;
  SetFilePointer(file.get(), dos.e_lfanew + sizeof(DWORD), nullptr, FILE_BEGIN);
  IMAGE_FILE_HEADER header{};
  if (!ReadFile(file.get(), &header, sizeof(header), &read, nullptr) || read != sizeof(header))
    return 0;
  return header.Machine;
}
constexpr WORD kOwnMachine =
    sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386;

std::string Lines(const std::vector<std::wstring>& lines) {
  std::string out;
  for (const auto& line : lines) out += "\n  " + Utf8(line);
  return out;
}

// The package's rows of the server's registration, with their paths as
// installed.
std::vector<std::wstring> PackageRows(const std::wstring& msi) {
  std::vector<std::wstring> out;
  PMSIHANDLE database, view;
  if (MsiOpenDatabaseW(msi.c_str(), reinterpret_cast<LPCWSTR>(MSIDBOPEN_READONLY), &database) !=
      ERROR_SUCCESS)
    return out;
  MsiDatabaseOpenViewW(database,
                       L"SELECT `Root`, `Key`, `Name`, `Value` FROM `Registry` "
                       L"WHERE `Component_` = 'SettingsRegistration'",
                       &view);
  MsiViewExecute(view, 0);
  const std::wstring dll = InstallFolder() + L"\\QUILLONSoftwareOptions.dll";
  for (;;) {
    PMSIHANDLE record;
    if (MsiViewFetch(view, &record) != ERROR_SUCCESS) break;
    std::wstring field[3];
    for (UINT i = 0; i < 3; ++i) {
      wchar_t text[1024] = L"";
      DWORD length = 1024;
      MsiRecordGetStringW(record, i + 2, text, &length);
      field[i] = text;
    }
    if (field[2] == L"[#SettingsDll]") field[2] = dll;
    if (field[2] == L"[INSTALLDIR]") field[2] = InstallFolder() + L"\\";
    // Only per-user rows under the user's classes.
    const bool userClasses =
        MsiRecordGetInteger(record, 1) == 1 && field[0].starts_with(kClassesKey);
    out.push_back(
        (userClasses ? field[0].substr(wcslen(kClassesKey)) : L"(not per user) " + field[0]) +
        L"|" + field[1] + L"|" + field[2]);
  }
  std::sort(out.begin(), out.end());
  return out;
}

std::wstring PackageProperty(const std::wstring& msi, const wchar_t* name) {
  PMSIHANDLE package;
  std::wstring out;
  MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
  if (MsiOpenPackageExW(msi.c_str(), MSIOPENPACKAGEFLAGS_IGNOREMACHINESTATE, &package) !=
      ERROR_SUCCESS)
    return out;
  wchar_t text[256] = L"";
  DWORD length = 256;
  if (MsiGetPropertyW(package, name, text, &length) == ERROR_SUCCESS) out = text;
  return out;
}

// The installed products of the package's upgrade code, with their versions.
std::vector<std::wstring> InstalledVersions(const std::wstring& msi) {
  const std::wstring upgradeCode = PackageProperty(msi, L"UpgradeCode");
  std::vector<std::wstring> out;
  wchar_t product[39] = L"";
  for (DWORD i = 0; MsiEnumRelatedProductsW(upgradeCode.c_str(), 0, i, product) == ERROR_SUCCESS;
       ++i) {
    wchar_t version[64] = L"";
    DWORD length = 64;
    MsiGetProductInfoW(product, L"VersionString", version, &length);
    out.push_back(version);
  }
  return out;
}

// What an install leaves: files with their sizes and times, shortcuts and
// the per-user classes.
std::vector<std::wstring> InstalledState() {
  std::vector<std::wstring> out = UserRegistration();
  for (const wchar_t* file : kFiles) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW((InstallFolder() + L"\\" + file).c_str(), GetFileExInfoStandard,
                              &data))
      continue;
    out.push_back(std::wstring(file) + L" " + std::to_wstring(data.nFileSizeLow) + L" " +
                  std::to_wstring(data.ftLastWriteTime.dwLowDateTime));
  }
  for (const KNOWNFOLDERID* folder : kShortcutFolders) {
    out.push_back(Shortcut(*folder) + L" -> " + ShortcutTarget(Shortcut(*folder)));
  }
  return out;
}

class Packaged : public CutTest {
 protected:
  static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }

  void UseProgram(const std::wstring& path) {
    SetEnvironmentVariableW(kProgramVariable, path.c_str());
  }

  // Starts the program, checks that it loaded and saved its options through
  // its own server, and makes a cut that must equal the screen.
  void RunsAndCuts() {
    const std::wstring program = ProgramPath();
    store_.Write(L"Kestrel5", L"App", L"Path", L"C:\\Somewhere\\Else");
    StartOverPattern();
    EXPECT_EQ(store_.Read(L"Kestrel5", L"App", L"Path"),
              program.substr(0, program.find_last_of(L'\\')))
        << "the program did not publish its folder through its server";
    OpenOverlay();
    DragOnOverlay({100, 100}, {300, 250});
    EXPECT_TRUE(IsPatternArea(ClipboardPicture(), Pattern::Plain, {100, 100, 300, 250}));
    QuitByMenu();
    EXPECT_EQ(program_->WaitExit(), std::optional<DWORD>(0));
  }

  const std::wstring msi_ = Environment(L"KESTREL_PACKAGE_MSI");
  const std::wstring newerMsi_ = Environment(L"KESTREL_PACKAGE_NEWER_MSI");
  // The other architecture's package of the same version.
  const std::wstring otherMsi_ = Environment(L"KESTREL_PACKAGE_OTHER_MSI");
};

class PortableFolder : public Packaged {};
class InstalledPackage : public Packaged {};

TEST_F(PortableFolder, RunsWithNothingRegistered) {
  for (REGSAM view : kViews) ASSERT_EQ(Lines(MachineRegistration(view)), "");
  ASSERT_EQ(Lines(UserRegistration()), "");
  UseProgram(Environment(L"KESTREL_PACKAGE_FOLDER") + L"\\Kestrel5.exe");
  RunsAndCuts();
}

// A double-click's install: the program starts once the package is in, its
// icon in the tray; removing it afterwards (once the user quit it) leaves
// the prefix as fresh for the tests below.
TEST_F(InstalledPackage, WithAProgressBarStartsTheProgram) {
  SeparateUserClassViews();
  ASSERT_EQ(MsiexecBasicUi(L"/i \"" + msi_ + L"\""), 0u);
  const HWND icon = StartedProgramTrayIcon(std::chrono::seconds(30));
  ASSERT_NE(icon, nullptr) << "no Kestrel5 tray icon after the install";
  std::wstring path(MAX_PATH, L'\0');
  DWORD processId = 0;
  GetWindowThreadProcessId(icon, &processId);
  {
    const kestrel::UniqueKernelHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    DWORD length = MAX_PATH;
    QueryFullProcessImageNameW(process.get(), 0, path.data(), &length);
    path.resize(length);
  }
  EXPECT_EQ(_wcsicmp(path.c_str(), (InstallFolder() + L"\\Kestrel5.exe").c_str()), 0) << Utf8(path);
  ASSERT_TRUE(QuitStartedProgram(icon));
  ASSERT_EQ(Msiexec(L"/x \"" + msi_ + L"\""), 0u);
  EXPECT_FALSE(Exists(InstallFolder()));
}

TEST_F(InstalledPackage, InstallsForThisUserAloneWhatTheServerRegisters) {
  ASSERT_EQ(Msiexec(L"/i \"" + msi_ + L"\""), 0u);
  EXPECT_EQ(StartedProgramTrayIcon(std::chrono::seconds(3)), nullptr) << "started after /qn";
  for (const wchar_t* file : kFiles)
    EXPECT_TRUE(Exists(InstallFolder() + L"\\" + file)) << Utf8(file);
  for (const KNOWNFOLDERID* folder : kShortcutFolders) {
    EXPECT_EQ(Utf8(ShortcutTarget(Shortcut(*folder))), Utf8(InstallFolder() + L"\\Kestrel5.exe"))
        << Utf8(Shortcut(*folder));
  }
  for (REGSAM view : kViews) EXPECT_EQ(Lines(MachineRegistration(view)), "") << "machine-wide";
  const auto installed = UserRegistration();
  const auto rows = PackageRows(msi_);
  // What the server's own registration writes, machine-wide for a moment.
  const std::wstring dll = L"\"" + InstallFolder() + L"\\QUILLONSoftwareOptions.dll\"";
  ASSERT_EQ(RunAndWait(L"regsvr32.exe /s " + dll), 0u);
  const auto registered = MachineRegistration(kOwnView);
  ASSERT_EQ(RunAndWait(L"regsvr32.exe /s /u " + dll), 0u);
  EXPECT_FALSE(registered.empty());
  EXPECT_EQ(Lines(rows), Lines(registered)) << "the package's rows";
  EXPECT_EQ(Lines(installed), Lines(registered)) << "the installed classes";
}

TEST_F(InstalledPackage, TheProgramFromItsStartMenuShortcutRunsAndCuts) {
  UseProgram(ShortcutTarget(Shortcut(FOLDERID_Programs)));
  RunsAndCuts();
}

TEST_F(InstalledPackage, InstallingAgainChangesNothing) {
  const auto before = InstalledState();
  ASSERT_EQ(Msiexec(L"/i \"" + msi_ + L"\""), 0u);
  EXPECT_EQ(Lines(InstalledState()), Lines(before));
  EXPECT_EQ(InstalledVersions(msi_).size(), 1u);
}

TEST_F(InstalledPackage, ANewerPackageReplacesItInPlace) {
  const auto classes = UserRegistration();
  ASSERT_EQ(Msiexec(L"/i \"" + newerMsi_ + L"\""), 0u);
  const auto versions = InstalledVersions(msi_);
  ASSERT_EQ(versions.size(), 1u) << "one entry in the installed programs";
  EXPECT_EQ(versions[0], PackageProperty(newerMsi_, L"ProductVersion"));
  for (const wchar_t* file : kFiles)
    EXPECT_TRUE(Exists(InstallFolder() + L"\\" + file)) << Utf8(file);
  EXPECT_EQ(Lines(UserRegistration()), Lines(classes));
}

TEST_F(InstalledPackage, RemovingLeavesNothingButTheOptions) {
  store_.Write(L"Kestrel5", L"Options", L"CGridSize", L"8");
  ASSERT_EQ(Msiexec(L"/x \"" + newerMsi_ + L"\""), 0u);
  EXPECT_FALSE(Exists(InstallFolder())) << Utf8(InstallFolder());
  for (const KNOWNFOLDERID* folder : kShortcutFolders) EXPECT_FALSE(Exists(Shortcut(*folder)));
  EXPECT_EQ(Lines(UserRegistration()), "");
  std::vector<std::wstring> gone = {kInstallerKey};
  for (const wchar_t* key : settings::registration::kRemovedWhenEmpty)
    gone.push_back(kClassesKey + std::wstring(key));
  for (const auto& key : gone) {
    kestrel::RegistryKey left;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, left.Put()), ERROR_SUCCESS)
        << Utf8(key);
  }
  EXPECT_TRUE(InstalledVersions(msi_).empty());
  EXPECT_EQ(store_.Read(L"Kestrel5", L"Options", L"CGridSize"), std::wstring(L"8"));
}

TEST_F(InstalledPackage, AutostartZeroLeavesOutTheStartupShortcutAlsoAfterAnUpgrade) {
  ASSERT_EQ(Msiexec(L"/i \"" + msi_ + L"\" AUTOSTART=0"), 0u);
  EXPECT_TRUE(Exists(Shortcut(FOLDERID_Programs)));
  EXPECT_FALSE(Exists(Shortcut(FOLDERID_Startup)));
  ASSERT_EQ(Msiexec(L"/i \"" + newerMsi_ + L"\""), 0u);
  EXPECT_EQ(InstalledVersions(msi_).size(), 1u);
  EXPECT_TRUE(Exists(Shortcut(FOLDERID_Programs)));
  EXPECT_FALSE(Exists(Shortcut(FOLDERID_Startup))) << "the user's choice is kept";
  ASSERT_EQ(Msiexec(L"/x \"" + newerMsi_ + L"\""), 0u);
  EXPECT_FALSE(Exists(InstallFolder()));
}

// One architecture at a time: this package replaces the other's, whose files
// lie at the same paths, and leaves its own.
TEST_F(InstalledPackage, ReplacesTheOtherArchitecturesInstall) {
  ASSERT_FALSE(otherMsi_.empty()) << "KESTREL_PACKAGE_OTHER_MSI";
  ASSERT_EQ(Msiexec(L"/i \"" + otherMsi_ + L"\""), 0u);
  ASSERT_EQ(InstalledVersions(otherMsi_).size(), 1u);
  EXPECT_NE(Machine(InstallFolder() + L"\\Kestrel5.exe"), kOwnMachine);
  ASSERT_EQ(Msiexec(L"/i \"" + msi_ + L"\""), 0u);
  EXPECT_TRUE(InstalledVersions(otherMsi_).empty()) << "the other architecture's is still there";
  EXPECT_EQ(InstalledVersions(msi_).size(), 1u);
  for (const wchar_t* file : kFiles) {
    EXPECT_EQ(Machine(InstallFolder() + L"\\" + file), kOwnMachine) << Utf8(file);
  }
  for (const KNOWNFOLDERID* folder : kShortcutFolders) {
    EXPECT_EQ(Utf8(ShortcutTarget(Shortcut(*folder))), Utf8(InstallFolder() + L"\\Kestrel5.exe"))
        << Utf8(Shortcut(*folder));
  }
  ASSERT_EQ(Msiexec(L"/x \"" + msi_ + L"\""), 0u);
  EXPECT_FALSE(Exists(InstallFolder()));
}

}  // namespace
}  // namespace e2e
