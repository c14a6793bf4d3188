#pragma once
// Small owners for COM pointers, BSTRs and VARIANTs: each releases what it
// holds exactly once and cannot be copied by accident.

#include <oaidl.h>
#include <objbase.h>

#include <utility>

namespace kestrel {

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  // Takes over a reference the caller already owns.
  static ComPtr Attach(T* p) {
    ComPtr r;
    r.p_ = p;
    return r;
  }
  // Adds a reference of its own.
  static ComPtr Share(T* p) {
    if (p) p->AddRef();
    return Attach(p);
  }
  ~ComPtr() { Reset(); }
  ComPtr(const ComPtr& o) : p_(o.p_) {
    if (p_) p_->AddRef();
  }
  ComPtr& operator=(const ComPtr& o) {
    if (this != &o) *this = Share(o.p_);
    return *this;
  }
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) {
      Reset();
      p_ = std::exchange(o.p_, nullptr);
    }
    return *this;
  }
  void Reset() {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For out parameters: releases what is held first.
  T** Put() {
    Reset();
    return &p_;
  }
  T* Detach() { return std::exchange(p_, nullptr); }

  template <class U>
  ComPtr<U> As(REFIID iid) const {
    ComPtr<U> r;
    if (p_) p_->QueryInterface(iid, reinterpret_cast<void**>(r.Put()));
    return r;
  }

 private:
  T* p_ = nullptr;
};

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const wchar_t* text) : s_(SysAllocString(text)) {}
  Bstr(const wchar_t* text, UINT length) : s_(SysAllocStringLen(text, length)) {}
  static Bstr Attach(BSTR s) {
    Bstr r;
    r.s_ = s;
    return r;
  }
  ~Bstr() { SysFreeString(s_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& o) noexcept : s_(std::exchange(o.s_, nullptr)) {}
  Bstr& operator=(Bstr&& o) noexcept {
    if (this != &o) {
      SysFreeString(s_);
      s_ = std::exchange(o.s_, nullptr);
    }
    return *this;
  }
  BSTR get() const { return s_; }
  BSTR* Put() {
    SysFreeString(std::exchange(s_, nullptr));
    return &s_;
  }
  BSTR Detach() { return std::exchange(s_, nullptr); }
  UINT length() const { return SysStringLen(s_); }
  bool empty() const { return length() == 0; }
  const wchar_t* c_str() const { return s_ ? s_ : L""; }

 private:
  BSTR s_ = nullptr;
};

// The number of characters of a BSTR; a null BSTR is the empty text.
inline UINT BstrLength(BSTR s) { return SysStringLen(s); }

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  ~Variant() { VariantClear(&v_); }
  Variant(const Variant& o) : Variant() { VariantCopy(&v_, const_cast<VARIANT*>(&o.v_)); }
  Variant& operator=(const Variant& o) {
    if (this != &o) VariantCopy(&v_, const_cast<VARIANT*>(&o.v_));
    return *this;
  }
  Variant(Variant&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }
  Variant& operator=(Variant&& o) noexcept {
    if (this != &o) {
      VariantClear(&v_);
      v_ = o.v_;
      VariantInit(&o.v_);
    }
    return *this;
  }
  // Copies the value a variant refers to, following VT_BYREF.
  static HRESULT CopyFrom(const VARIANT& source, Variant& out) {
    Variant r;
    const HRESULT hr = VariantCopyInd(&r.v_, const_cast<VARIANT*>(&source));
    if (SUCCEEDED(hr)) out = std::move(r);
    return hr;
  }
  static Variant FromText(const wchar_t* text) {
    Variant r;
    V_VT(&r.v_) = VT_BSTR;
    V_BSTR(&r.v_) = SysAllocString(text);
    return r;
  }
  static Variant FromBstr(Bstr&& text) {
    Variant r;
    V_VT(&r.v_) = VT_BSTR;
    V_BSTR(&r.v_) = text.Detach();
    return r;
  }
  VARTYPE vt() const { return V_VT(&v_); }
  const VARIANT& get() const { return v_; }
  VARIANT* Put() {
    VariantClear(&v_);
    return &v_;
  }
  // Hands a copy to a caller's out parameter.
  HRESULT CopyTo(VARIANT* out) const {
    VariantInit(out);
    return VariantCopy(out, const_cast<VARIANT*>(&v_));
  }

 private:
  VARIANT v_;
};

}  // namespace kestrel
