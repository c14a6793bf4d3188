// The in-process server: one table of creatable classes feeds the class
// factory, DllGetClassObject, registration and unregistration alike.

#include <windows.h>

#include <array>
#include <new>
#include <string>

#include "QUILLONSoftwareOptions.h"
#include "common/com_ptr.h"
#include "common/registry_key.h"
#include "settings/module.h"
#include "settings/software_info.h"
#include "settings/software_option.h"

namespace settings {
namespace {

struct CreatableClass {
  const CLSID& clsid;
  const wchar_t* progId;
  HRESULT (*create)(REFIID, void**);
};

const std::array<CreatableClass, 2> kClasses = {{
    {CLSID_SoftwareInfo, L"QUILLONSoftwareOptions.SoftwareInfo", &SoftwareInfo::CreateInstance},
    {CLSID_SoftwareOption, L"QUILLONSoftwareOptions.SoftwareOption",
     &SoftwareOption::CreateInstance},
}};

constexpr WORD kTypeLibMajor = 1;
constexpr WORD kTypeLibMinor = 0;
constexpr wchar_t kTypeLibVersion[] = L"1.0";
constexpr wchar_t kThreadingModel[] = L"Apartment";

class ClassFactory final : public IClassFactory {
 public:
  explicit ClassFactory(const CreatableClass& cls) : class_(cls) { module::ObjectCreated(); }
  ~ClassFactory() { module::ObjectDestroyed(); }
  ClassFactory(const ClassFactory&) = delete;
  ClassFactory& operator=(const ClassFactory&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
      return E_NOINTERFACE;
    }
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return class_.create(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    module::LockServer(lock != FALSE);
    return S_OK;
  }

 private:
  const CreatableClass& class_;
  LONG references_ = 1;
};

std::wstring GuidText(REFGUID guid) {
  wchar_t text[64] = L"";
  StringFromGUID2(guid, text, static_cast<int>(std::size(text)));
  return text;
}

LONG SetText(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& text) {
  kestrel::RegistryKey key;
  LONG rc = RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_SET_VALUE, nullptr, key.Put(), nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

LONG RegisterClassEntries(const CreatableClass& cls) {
  const std::wstring clsid = L"CLSID\\" + GuidText(cls.clsid);
  const std::wstring progId = cls.progId;
  const std::pair<std::wstring, std::pair<const wchar_t*, std::wstring>> entries[] = {
      {clsid, {nullptr, progId}},
      {clsid + L"\\InprocServer32", {nullptr, module::ModulePath()}},
      {clsid + L"\\InprocServer32", {L"ThreadingModel", kThreadingModel}},
      {clsid + L"\\ProgID", {nullptr, progId}},
      {clsid + L"\\TypeLib", {nullptr, GuidText(LIBID_QUILLONSoftwareOptions)}},
      {clsid + L"\\VERSION", {nullptr, kTypeLibVersion}},
      {progId, {nullptr, progId}},
      {progId + L"\\CLSID", {nullptr, GuidText(cls.clsid)}},
  };
  for (const auto& [path, value] : entries) {
    const LONG rc = SetText(HKEY_CLASSES_ROOT, path, value.first, value.second);
    if (rc != ERROR_SUCCESS) return rc;
  }
  return ERROR_SUCCESS;
}

// Removes a ProgID only while it still names our class, so that another
// server that took the name over keeps it.
void RemoveProgId(const CreatableClass& cls) {
  kestrel::RegistryKey key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, (std::wstring(cls.progId) + L"\\CLSID").c_str(), 0,
                    KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) {
    return;
  }
  wchar_t text[64] = L"";
  DWORD bytes = sizeof(text) - sizeof(wchar_t);
  DWORD type = 0;
  const LONG rc =
      RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes);
  key = kestrel::RegistryKey();
  if (rc == ERROR_SUCCESS && type == REG_SZ && GuidText(cls.clsid) == text) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, cls.progId);
  }
}

SYSKIND NativeSysKind() { return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32; }

HRESULT Unregister() {
  for (const auto& cls : kClasses) {
    RemoveProgId(cls);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + GuidText(cls.clsid)).c_str());
  }
  // Also removes the interface entries that registering the library wrote.
  // Platforms differ in what they answer for a library that is not
  // registered, so that case is not asked at all.
  kestrel::RegistryKey registered;
  const std::wstring libraryKey = L"TypeLib\\" + GuidText(LIBID_QUILLONSoftwareOptions) + L"\\" +
                                  kTypeLibVersion;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, libraryKey.c_str(), 0, KEY_READ, registered.Put()) !=
      ERROR_SUCCESS) {
    return S_OK;
  }
  registered = kestrel::RegistryKey();
  return UnRegisterTypeLib(LIBID_QUILLONSoftwareOptions, kTypeLibMajor, kTypeLibMinor,
                           LANG_NEUTRAL, NativeSysKind());
}

HRESULT Register() {
  kestrel::ComPtr<ITypeLib> library;
  // Registers the library and its dual interfaces for the type library
  // marshaller.
  HRESULT hr = LoadTypeLibEx(module::ModulePath(), REGKIND_REGISTER, library.Put());
  if (FAILED(hr)) return hr;
  for (const auto& cls : kClasses) {
    const LONG rc = RegisterClassEntries(cls);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
  }
  return S_OK;
}

}  // namespace
}  // namespace settings

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (const auto& cls : settings::kClasses) {
    if (!IsEqualCLSID(clsid, cls.clsid)) continue;
    auto* factory = new (std::nothrow) settings::ClassFactory(cls);
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  if (settings::module::InUse()) return S_FALSE;
  settings::module::ReleaseTypeInfoCache();
  return S_OK;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
  const HRESULT hr = settings::Register();
  // A registration that fails half-way is taken back whole.
  if (FAILED(hr)) settings::Unregister();
  return hr;
}

HRESULT STDAPICALLTYPE DllUnregisterServer() { return settings::Unregister(); }

}  // extern "C"
