#pragma once
// The grey pulse of the crosshair and the selection outline: one step of 32
// grey levels every tick, up to white and down to black. No windows.h here.

#include <cstdint>

namespace kestrel {

// What one tick decided.
struct PulseTick {
  int16_t level = 0;  // the grey of the lines and the outline
  // The pulse reached black or white: the magnifier's centre mark and, on a
  // guide without frame, the guide's texts take the grey too.
  bool atEnd = false;
};

// GreyLevel and GreyFalling, kept from one opening of the overlay to the next.
class GreyPulse {
 public:
  // Steps 32 up or down; past 255 it turns at 255, below 0 at 0. From the
  // start the levels run 32, 64, ... 224, 255, 223, ... 31, 0, 32, ...
  PulseTick Tick();

  int16_t GreyLevel() const { return GreyLevel_; }
  bool GreyFalling() const { return GreyFalling_; }

 private:
  int16_t GreyLevel_ = 0;
  bool GreyFalling_ = false;
};

// 0x00BBGGRR of a grey level.
constexpr uint32_t GreyColour(int16_t level) {
  const auto v = static_cast<uint32_t>(level) & 0xFFu;
  return v | v << 8 | v << 16;
}

}  // namespace kestrel
