#include "overlay/pointer_guide.h"

#include "overlay/overlay_texts.h"

namespace kestrel {
namespace {

// With the magnifier on, the placement keeps this much more room beside the
// pointer, and treats the guide as this high.
constexpr int32_t kLupeExtraWidth = 60;
constexpr int32_t kLupeGuideHeight = 65;
// The magnifier box and the gap behind it: the frame moves this far out.
constexpr int32_t kLupeStride = kLupeBoxSide + kGuideGap;
constexpr int32_t kLupeImageInset = 4;
constexpr int32_t kLupeCenterInset = 28;

// Offsets of the guide's pieces inside the frame.
constexpr Point16 kIconOffset{4, 4};
constexpr Point16 kTitleOffset{24, 8};
constexpr Point16 kDescriptionOffset{24, 28};
constexpr int32_t kHeadHeight = 40;
constexpr int32_t kTextInset = 8;

// Frame heights and the padding around a measured caption.
constexpr int32_t kFrameHeightFull = 65;
constexpr int32_t kFrameHeightHead = 45;
constexpr int32_t kFrameHeightText = 25;
constexpr int32_t kCaptionPadding = 16;

Point16 At(int32_t x, int32_t y) { return {ToInt16(x), ToInt16(y)}; }

// One axis of the placement, with hysteresis: on the far side (left or
// above) the guide stays while `stayFar`; on the near side it goes over once
// `goFar`. The offset from the pointer on the side it ends on.
int32_t Side(bool& far, bool stayFar, bool goFar, int32_t farOffset) {
  far = far ? stayFar : goFar;
  return far ? farOffset : kGuideGap;
}

std::wstring Pair(int32_t x, int32_t y) {
  return L"( " + std::to_wstring(x) + L", " + std::to_wstring(y) + L" )";
}

}  // namespace

int32_t GuideFontHeight(int32_t height, int32_t screenDpi) {
  if (screenDpi <= 0) return height;
  // To the nearest pixel, halves away from zero.
  const int64_t scaled = static_cast<int64_t>(height) * kGuideDpi;
  const int64_t half = screenDpi / 2;
  return static_cast<int32_t>((scaled >= 0 ? scaled + half : scaled - half) / screenDpi);
}

std::wstring WaitingGuideText(PixelPoint at, const GuideSettings& settings) {
  return settings.position ? Pair(at.x, at.y) : std::wstring();
}

std::wstring DraggingGuideText(PixelPoint at, const CutRect& area, const GuideSettings& settings) {
  std::wstring size;
  if (settings.size)
    size = std::to_wstring(area.width) + L" x " + std::to_wstring(area.height) + kGuidePixelsUnit;
  std::wstring position;
  if (settings.position) {
    if (settings.type == 0) {
      position =
          Pair(area.left, area.top) + L" - " + Pair(area.left + area.width, area.top + area.height);
    } else {
      position = Pair(at.x, at.y);
    }
    if (settings.size) position += L" : ";
  }
  return position + size;
}

GuidePlacement PlacePointerGuide(PixelPoint at, Size view, Size frame, GuideSides previous,
                                 const GuideSettings& settings) {
  int32_t gh = frame.height + kGuideGap;
  int32_t gw = frame.width + kGuideGap;
  if (settings.lupe) {
    gw += kLupeExtraWidth;
    gh = kLupeGuideHeight;
  }
  GuideSides sides = previous;
  const int32_t offX =
      Side(sides.GuideOnLeft, at.x >= gw, view.width - gw <= at.x, -frame.width - kGuideGap);
  const int32_t offY = Side(sides.GuideAbove, at.y >= kGuideFlipMargin,
                            view.height - kGuideFlipMargin <= at.y, -gh - kGuideGap);
  return {At(at.x + offX, at.y + offY), sides};
}

GuideLayout MovePointerGuide(Point16 origin, bool onLeft, int32_t frameWidth,
                             const GuideSettings& settings) {
  GuideLayout layout;
  const int32_t gx = origin.x;
  const int32_t gy = origin.y;
  int32_t fx = gx;
  if (settings.lupe) {
    fx = onLeft ? gx - kLupeStride : gx + kLupeStride;
    const int32_t mx = onLeft ? ToInt16(gx + frameWidth - kLupeBoxSide) : gx;
    layout.movesLupe = true;
    layout.lupeBox = At(mx, gy);
    layout.lupeImage = At(mx + kLupeImageInset, gy + kLupeImageInset);
    layout.lupeCenter = At(mx + kLupeCenterInset, gy + kLupeCenterInset);
  }
  layout.frame = At(fx, gy);
  int32_t line = gy;
  if (settings.description) {
    layout.movesHead = true;
    layout.icon = At(fx + kIconOffset.x, gy + kIconOffset.y);
    layout.title = At(fx + kTitleOffset.x, gy + kTitleOffset.y);
    layout.description = At(fx + kDescriptionOffset.x, gy + kDescriptionOffset.y);
    line = gy + kHeadHeight;
  }
  if (settings.position || settings.size) {
    layout.movesText = true;
    layout.text = At(fx + kTextInset, line + kTextInset);
  }
  // Without a frame the text ends next to the pointer on the left side.
  layout.textRightAligned = !settings.frame && onLeft;
  return layout;
}

bool FrameFollowsCaption(const GuideSettings& settings) {
  return !settings.description && (settings.position || settings.size) && settings.frame;
}

GuideRefresh RefreshPointerGuide(Size frame, int32_t captionWidth, const GuideSettings& settings) {
  GuideRefresh refresh;
  const bool d = settings.description;
  const bool p = settings.position || settings.size;
  refresh.head = d;
  refresh.text = p;
  refresh.lupeBox = settings.frame && settings.lupe;
  refresh.lupeImage = settings.lupe;
  refresh.frame = {kGuideFrameDesignSize.width, frame.height};
  if (d) {
    refresh.frame.height = p ? kFrameHeightFull : kFrameHeightHead;
  } else if (p) {
    refresh.frame.height = kFrameHeightText;
    if (FrameFollowsCaption(settings))
      refresh.frame.width = ToInt16(captionWidth + kCaptionPadding);
  }
  refresh.frameVisible = settings.frame && (d || p);
  return refresh;
}

}  // namespace kestrel
