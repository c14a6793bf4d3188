#pragma once
// Move-only owners of the Win32 handles the program's windows hold, and of the
// COM apartment of the user-interface thread.

#include <objbase.h>
#include <windows.h>

#include <utility>

namespace kestrel {

// One owner template per release function, so a handle is freed exactly once
// and always by the function that matches how it was acquired.
template <class Handle, BOOL(WINAPI* Release)(Handle)>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : h_(h) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  void Reset(Handle h = nullptr) {
    if (Handle old = std::exchange(h_, h)) Release(old);
  }
  Handle get() const { return h_; }
  Handle Detach() { return std::exchange(h_, nullptr); }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  Handle h_ = nullptr;
};

// Local release functions: the address of an imported function is not a
// constant expression, so it cannot be a template argument itself.
namespace release {
inline BOOL WINAPI Icon(HICON h) { return DestroyIcon(h); }
inline BOOL WINAPI Menu(HMENU h) { return DestroyMenu(h); }
inline BOOL WINAPI Font(HFONT h) { return DeleteObject(h); }
inline BOOL WINAPI Brush(HBRUSH h) { return DeleteObject(h); }
inline BOOL WINAPI Kernel(HANDLE h) { return CloseHandle(h); }
}  // namespace release

using UniqueIcon = UniqueHandle<HICON, release::Icon>;
using UniqueMenu = UniqueHandle<HMENU, release::Menu>;
using UniqueFont = UniqueHandle<HFONT, release::Font>;
using UniqueBrush = UniqueHandle<HBRUSH, release::Brush>;
using UniqueKernelHandle = UniqueHandle<HANDLE, release::Kernel>;

// A device context obtained with GetDC and given back with ReleaseDC in the
// same scope.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The thread's single-threaded COM apartment, entered for the owner's lifetime.
class ComApartment {
 public:
  ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  HRESULT result() const { return hr_; }

 private:
  HRESULT hr_;
};

}  // namespace kestrel
