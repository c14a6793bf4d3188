#pragma once
// The magnifier's pure rules: which part of the frozen image the 5 x 5 block
// takes, and how the block is enlarged to 57 x 57. No windows.h here.

#include <array>
#include <cstdint>

#include "overlay/geometry.h"
#include "overlay/pointer_guide.h"

namespace kestrel {

// The part of the block around `at` that lies inside an image of `image`
// size: `source` in image pixels, `to` where it lands in the block. The rest
// of the block stays black. Empty when the block lies wholly outside.
struct LupeCopy {
  Rect source;
  PixelPoint to;
};
LupeCopy LupeSource(PixelPoint at, Size image);

// The source pixel (row or column, 0..4) that display pixel `i` (0..56) of
// the enlarged image shows: nearest neighbour, each source pixel a crisp
// block of 11 or 12 display pixels.
constexpr int32_t LupeSourceIndex(int32_t i) { return i * kLupeSourceSide / kLupeImageSide; }

using LupeBlock = std::array<uint32_t, kLupeSourceSide * kLupeSourceSide>;
using LupeImage = std::array<uint32_t, kLupeImageSide * kLupeImageSide>;

// Enlarges the block, rows top to bottom.
void EnlargeLupe(const LupeBlock& block, LupeImage& image);

}  // namespace kestrel
