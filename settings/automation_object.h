#pragma once
// IUnknown, IDispatch and ISupportErrorInfo for one dual interface. Dispatch
// goes through the type information of the embedded type library, so names,
// dispatch identifiers and argument coercion come from the IDL alone.

#include <oaidl.h>

#include <new>

#include "common/com_ptr.h"
#include "settings/module.h"

namespace settings {

template <class Interface, const IID& kIid>
class AutomationObject : public Interface, public ISupportErrorInfo {
 public:
  AutomationObject() { module::ObjectCreated(); }
  virtual ~AutomationObject() { module::ObjectDestroyed(); }
  AutomationObject(const AutomationObject&) = delete;
  AutomationObject& operator=(const AutomationObject&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kIid)) {
      *out = static_cast<Interface*>(this);
    } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
      *out = static_cast<ISupportErrorInfo*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return module::DispatchTypeInfo(kIid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids) return E_POINTER;
    kestrel::ComPtr<ITypeInfo> info;
    const HRESULT hr = module::VtableTypeInfo(kIid, info.Put());
    if (FAILED(hr)) return hr;
    return DispGetIDsOfNames(info.get(), names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                   UINT* argumentError) override {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (!params) return E_POINTER;
    kestrel::ComPtr<ITypeInfo> info;
    const HRESULT hr = module::VtableTypeInfo(kIid, info.Put());
    if (FAILED(hr)) return hr;
    return info->Invoke(static_cast<Interface*>(this), member, flags, params, result, exception,
                        argumentError);
  }

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
    return IsEqualIID(iid, kIid) ? S_OK : S_FALSE;
  }

 private:
  LONG references_ = 1;
};

// Creates an object of a class built on AutomationObject and hands out the
// asked-for interface; the object goes again when that fails.
template <class T>
HRESULT CreateAutomationObject(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  auto* object = new (std::nothrow) T();
  if (!object) return E_OUTOFMEMORY;
  const HRESULT hr = object->QueryInterface(iid, out);
  object->Release();
  return hr;
}

}  // namespace settings
