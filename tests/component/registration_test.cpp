// regsvr32 writes exactly the registration clients need and regsvr32 /u
// takes all of it away again. Ends registered, as it began.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "QUILLONSoftwareOptions.h"
#include "support/settings_support.h"

namespace {

using kestrel::ComPtr;

std::wstring GuidText(REFGUID guid) {
  wchar_t text[64] = L"";
  StringFromGUID2(guid, text, 64);
  return text;
}

std::optional<std::wstring> ClassesValue(const std::wstring& path, const wchar_t* name) {
  wchar_t buffer[1024] = L"";
  DWORD bytes = sizeof(buffer) - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer,
                   &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(buffer);
}

bool ClassesKeyExists(const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

DWORD RunRegsvr32(const std::wstring& switches) {
  std::wstring command = L"regsvr32.exe " + switches + L" \"" + KESTREL_SETTINGS_DLL_PATH + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return GetLastError();
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

struct ClassEntry {
  const CLSID* clsid;
  const wchar_t* progId;
};
const ClassEntry kClasses[] = {
    {&CLSID_SoftwareInfo, L"QUILLONSoftwareOptions.SoftwareInfo"},
    {&CLSID_SoftwareOption, L"QUILLONSoftwareOptions.SoftwareOption"},
};

void ExpectRegistered() {
  for (const auto& cls : kClasses) {
    const std::wstring key = L"CLSID\\" + GuidText(*cls.clsid);
    SCOPED_TRACE(testing_support::Utf8(cls.progId));
    const auto server = ClassesValue(key + L"\\InprocServer32", nullptr);
    ASSERT_TRUE(server.has_value());
    EXPECT_EQ(CompareStringOrdinal(server->c_str(), -1, KESTREL_SETTINGS_DLL_PATH, -1, TRUE),
              CSTR_EQUAL)
        << testing_support::Utf8(*server);
    EXPECT_EQ(ClassesValue(key + L"\\InprocServer32", L"ThreadingModel"),
              std::wstring(L"Apartment"));
    EXPECT_EQ(ClassesValue(key + L"\\ProgID", nullptr), std::wstring(cls.progId));
    EXPECT_EQ(ClassesValue(key + L"\\TypeLib", nullptr),
              GuidText(LIBID_QUILLONSoftwareOptions));
    EXPECT_EQ(ClassesValue(std::wstring(cls.progId) + L"\\CLSID", nullptr),
              GuidText(*cls.clsid));
  }
  for (const IID* iid : {&IID__SoftwareInfo, &IID__SoftwareOption}) {
    // Marshalled by the type library marshaller.
    EXPECT_EQ(ClassesValue(L"Interface\\" + GuidText(*iid) + L"\\ProxyStubClsid32", nullptr),
              std::wstring(L"{00020424-0000-0000-C000-000000000046}"));
  }
  ComPtr<ITypeLib> library;
  EXPECT_HRESULT_SUCCEEDED(LoadRegTypeLib(LIBID_QUILLONSoftwareOptions, 1, 0, 0, library.Put()));
}

TEST(Registration, RegisterAndUnregisterAreExactOpposites) {
  ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
  ExpectRegistered();
  ComPtr<IDispatch> byProgId;
  CLSID clsid{};
  ASSERT_HRESULT_SUCCEEDED(CLSIDFromProgID(L"QUILLONSoftwareOptions.SoftwareOption", &clsid));
  EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_SoftwareOption));

  ASSERT_EQ(RunRegsvr32(L"/s /u"), 0u);
  for (const auto& cls : kClasses) {
    EXPECT_FALSE(ClassesKeyExists(L"CLSID\\" + GuidText(*cls.clsid)));
    EXPECT_FALSE(ClassesKeyExists(cls.progId));
  }
  EXPECT_FALSE(ClassesKeyExists(L"TypeLib\\" + GuidText(LIBID_QUILLONSoftwareOptions)));
  EXPECT_FALSE(ClassesKeyExists(L"Interface\\" + GuidText(IID__SoftwareOption)));
  ComPtr<IUnknown> none;
  EXPECT_EQ(CoCreateInstance(CLSID_SoftwareOption, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(none.Put())),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(RunRegsvr32(L"/s /u"), 0u) << "unregistering twice is harmless";

  ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
  ExpectRegistered();
  CoUninitialize();
}

}  // namespace
