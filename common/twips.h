#pragma once
// Twips, the unit the forms are designed in, and pixels at a resolution. No
// windows.h here: the layout tables and their tests use it as plain rules.

namespace kestrel {

inline constexpr int kTwipsPerInch = 1440;

// Twips to pixels at a resolution, to the nearest pixel, halves away from
// zero: 15 twips are one pixel at 96 dpi, 10 twips at 144 dpi.
constexpr int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  const long long half = kTwipsPerInch / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch
                                      : -((-scaled + half) / kTwipsPerInch));
}

// A place in twips: left, top, width, height.
struct TwipsBox {
  int left, top, width, height;
};

// A place in pixels: left, top, width, height.
struct PixelBox {
  int left, top, width, height;
};

// Edges are converted rather than sizes, so boxes that touch in twips touch
// in pixels at every resolution.
constexpr PixelBox TwipsToPixels(const TwipsBox& at, int dpi) {
  const int left = TwipsToPixels(at.left, dpi);
  const int top = TwipsToPixels(at.top, dpi);
  return {left, top, TwipsToPixels(at.left + at.width, dpi) - left,
          TwipsToPixels(at.top + at.height, dpi) - top};
}

}  // namespace kestrel
