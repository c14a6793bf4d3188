// The in-process server: one table of creatable classes feeds the class
// factory and DllGetClassObject; registration and unregistration write and
// remove the registration table generated from the IDL.

#include <windows.h>

#include <array>
#include <new>
#include <string>

#include "QUILLONSoftwareOptions.h"
#include "common/registry_key.h"
#include "registration_table.h"
#include "settings/module.h"
#include "settings/software_info.h"
#include "settings/software_option.h"

namespace settings {
namespace {

struct CreatableClass {
  const CLSID& clsid;
  HRESULT (*create)(REFIID, void**);
};

// Their registry entries are in the generated registration table.
const std::array<CreatableClass, 2> kClasses = {{
    {CLSID_SoftwareInfo, &SoftwareInfo::CreateInstance},
    {CLSID_SoftwareOption, &SoftwareOption::CreateInstance},
}};

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

// The text a row's value is written with.
std::wstring RowText(const registration::Row& row) {
  switch (row.source) {
    case registration::Source::ModulePath:
      return module::ModulePath();
    case registration::Source::ModuleFolder: {
      const std::wstring path = module::ModulePath();
      return path.substr(0, path.find_last_of(L'\\') + 1);
    }
    case registration::Source::Text:
      break;
  }
  return row.text;
}

LONG WriteRow(const registration::Row& row) {
  kestrel::RegistryKey key;
  LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, row.key, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_SET_VALUE, nullptr, key.Put(), nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  const std::wstring text = RowText(row);
  return RegSetValueExW(key.get(), row.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// Removes a ProgID only while it still names our class, so that another
// server that took the name over keeps it.
void RemoveProgId(const registration::ProgId& entry) {
  kestrel::RegistryKey key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, (std::wstring(entry.progId) + L"\\CLSID").c_str(), 0,
                    KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS) {
    return;
  }
  wchar_t text[64] = L"";
  DWORD bytes = sizeof(text) - sizeof(wchar_t);
  DWORD type = 0;
  const LONG rc =
      RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes);
  key = kestrel::RegistryKey();
  if (rc == ERROR_SUCCESS && type == REG_SZ &&
      CompareStringOrdinal(entry.clsid, -1, text, -1, TRUE) == CSTR_EQUAL) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, entry.progId);
  }
}

HRESULT Unregister() {
  for (const auto& entry : registration::kProgIds) RemoveProgId(entry);
  for (const wchar_t* tree : registration::kTrees) RegDeleteTreeW(HKEY_CLASSES_ROOT, tree);
  // Fails, as it should, while another version of the library is registered.
  for (const wchar_t* key : registration::kRemovedWhenEmpty) RegDeleteKeyW(HKEY_CLASSES_ROOT, key);
  return S_OK;
}

// The type library, its automation interfaces (marshalled by the type library
// marshaller) and the classes with their ProgIDs, all from the one table.
HRESULT Register() {
  for (const auto& row : registration::kRows) {
    const LONG rc = WriteRow(row);
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
