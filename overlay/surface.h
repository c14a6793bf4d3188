#pragma once
// Owners of the GDI objects the overlay and the cut picture hold: a picture
// surface selected into its own memory DC, and a guard that puts back the
// object a DC held before.

#include <windows.h>

#include <cstdint>
#include <utility>

#include "common/win_handles.h"

namespace kestrel {

namespace release {
inline BOOL WINAPI Bitmap(HBITMAP h) { return DeleteObject(h); }
inline BOOL WINAPI Region(HRGN h) { return DeleteObject(h); }
inline BOOL WINAPI MemoryDc(HDC h) { return DeleteDC(h); }
inline BOOL WINAPI Cursor(HCURSOR h) { return DestroyCursor(h); }
}  // namespace release

using UniqueBitmap = UniqueHandle<HBITMAP, release::Bitmap>;
using UniqueRegion = UniqueHandle<HRGN, release::Region>;
using UniqueMemoryDc = UniqueHandle<HDC, release::MemoryDc>;
using UniqueCursor = UniqueHandle<HCURSOR, release::Cursor>;

// Selects an object into a DC for the guard's scope.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object)
      : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
  ~SelectGuard() {
    if (old_) SelectObject(dc_, old_);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A picture surface of width x height pixels drawn through its own memory
// DC. Empty when either side is 0 or the platform refuses.
class Surface {
 public:
  Surface() = default;
  // A 32-bit top-down DIB section: a picture of known format.
  Surface(int32_t width, int32_t height) {
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Adopt(UniqueBitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)),
          UniqueMemoryDc(CreateCompatibleDC(nullptr)), width, height);
    if (dc_) pixels_ = static_cast<uint32_t*>(bits);
  }
  // A bitmap in the screen's own format. Copying the screen into it needs no
  // conversion and its memory is the platform's to place, which makes a
  // full-screen copy markedly faster than into a fresh DIB section.
  static Surface LikeScreen(int32_t width, int32_t height) {
    Surface surface;
    if (width <= 0 || height <= 0) return surface;
    const WindowDC screen(nullptr);
    if (!screen.get()) return surface;
    surface.Adopt(UniqueBitmap(CreateCompatibleBitmap(screen.get(), width, height)),
                  UniqueMemoryDc(CreateCompatibleDC(screen.get())), width, height);
    return surface;
  }
  ~Surface() { Unselect(); }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  Surface(Surface&& o) noexcept { *this = std::move(o); }
  Surface& operator=(Surface&& o) noexcept {
    if (this != &o) {
      Unselect();
      dc_ = std::move(o.dc_);
      bitmap_ = std::move(o.bitmap_);
      old_ = std::exchange(o.old_, nullptr);
      pixels_ = std::exchange(o.pixels_, nullptr);
      width_ = std::exchange(o.width_, 0);
      height_ = std::exchange(o.height_, 0);
    }
    return *this;
  }

  explicit operator bool() const { return dc_.get() != nullptr; }
  HDC dc() const { return dc_.get(); }
  HBITMAP bitmap() const { return bitmap_.get(); }
  // The pixels of a DIB section as 0x00RRGGBB, rows top to bottom; null for
  // a bitmap in the screen's format. Call GdiFlush before reading drawn ones.
  uint32_t* pixels() const { return pixels_; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }

 private:
  void Adopt(UniqueBitmap bitmap, UniqueMemoryDc dc, int32_t width, int32_t height) {
    if (!bitmap || !dc) return;
    old_ = SelectObject(dc.get(), bitmap.get());
    bitmap_ = std::move(bitmap);
    dc_ = std::move(dc);
    width_ = width;
    height_ = height;
  }
  void Unselect() {
    if (dc_ && old_) SelectObject(dc_.get(), old_);
    old_ = nullptr;
  }

  // The DC is released before the bitmap it held (reverse declaration order).
  UniqueBitmap bitmap_;
  UniqueMemoryDc dc_;
  HGDIOBJ old_ = nullptr;
  uint32_t* pixels_ = nullptr;
  int32_t width_ = 0;
  int32_t height_ = 0;
};

}  // namespace kestrel
