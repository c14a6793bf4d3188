#pragma once
// The overlay's own small value types. Overlay coordinates are whole physical
// pixels with (0, 0) at the primary monitor's top-left corner; stored corners
// and sizes are 16-bit signed.

#include <cstdint>

namespace kestrel {

// A pointer position as an event delivers it, before it is stored.
struct PixelPoint {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct Point16 {
  int16_t x = 0;
  int16_t y = 0;
  friend bool operator==(const Point16&, const Point16&) = default;
};

// A pixel rectangle; the right and bottom edges (x + width, y + height) are
// exclusive.
struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool empty() const { return width <= 0 || height <= 0; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
  int32_t width = 0;
  int32_t height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

// Converts to 16 bits, saturating: real screens never reach the limits, and a
// value past them still gives a defined corner instead of a wrapped one.
constexpr int16_t ToInt16(int32_t v) {
  return static_cast<int16_t>(v < INT16_MIN ? INT16_MIN : (v > INT16_MAX ? INT16_MAX : v));
}

constexpr Point16 ToPoint16(PixelPoint p) { return {ToInt16(p.x), ToInt16(p.y)}; }

constexpr PixelPoint ToPixelPoint(Point16 p) { return {p.x, p.y}; }

constexpr bool Contains(const Rect& r, PixelPoint p) {
  return p.x >= r.x && p.y >= r.y && p.x - r.x < r.width && p.y - r.y < r.height;
}

}  // namespace kestrel
