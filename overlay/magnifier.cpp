#include "overlay/magnifier.h"

#include <algorithm>

namespace kestrel {
namespace {

constexpr int32_t kLupeHalf = kLupeSourceSide / 2;

}  // namespace

LupeCopy LupeSource(PixelPoint at, Size image) {
  const int32_t left = at.x - kLupeHalf;
  const int32_t top = at.y - kLupeHalf;
  const int32_t x0 = std::max(left, 0);
  const int32_t y0 = std::max(top, 0);
  const int32_t x1 = std::min(left + kLupeSourceSide, image.width);
  const int32_t y1 = std::min(top + kLupeSourceSide, image.height);
  if (x1 <= x0 || y1 <= y0) return {};
  return {{x0, y0, x1 - x0, y1 - y0}, {x0 - left, y0 - top}};
}

void EnlargeLupe(const LupeBlock& block, LupeImage& image) {
  for (int32_t y = 0; y < kLupeImageSide; ++y) {
    const uint32_t* row = &block[static_cast<size_t>(LupeSourceIndex(y)) * kLupeSourceSide];
    uint32_t* out = &image[static_cast<size_t>(y) * kLupeImageSide];
    for (int32_t x = 0; x < kLupeImageSide; ++x) out[x] = row[LupeSourceIndex(x)];
  }
}

}  // namespace kestrel
