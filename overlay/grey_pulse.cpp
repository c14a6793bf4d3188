#include "overlay/grey_pulse.h"

namespace kestrel {
namespace {

constexpr int16_t kGreyStep = 32;
constexpr int16_t kBlackLevel = 0;
constexpr int16_t kWhiteLevel = 255;

}  // namespace

PulseTick GreyPulse::Tick() {
  if (GreyFalling_) {
    GreyLevel_ = static_cast<int16_t>(GreyLevel_ - kGreyStep);
    if (GreyLevel_ < kBlackLevel) {
      GreyFalling_ = false;
      GreyLevel_ = kBlackLevel;
    }
  } else {
    GreyLevel_ = static_cast<int16_t>(GreyLevel_ + kGreyStep);
    if (GreyLevel_ > kWhiteLevel) {
      GreyFalling_ = true;
      GreyLevel_ = kWhiteLevel;
    }
  }
  return {GreyLevel_, GreyLevel_ == kWhiteLevel || GreyLevel_ == kBlackLevel};
}

}  // namespace kestrel
