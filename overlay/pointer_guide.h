#pragma once
// The pointer guide: its texts, its placement beside the pointer with
// hysteresis, the positions of its elements and its visibility and frame
// size. Pure functions of the pointer, the settings and the previous state;
// the window applies the answers to the scene. No windows.h here.

#include <cstdint>
#include <string>

#include "overlay/geometry.h"
#include "overlay/selection.h"

namespace kestrel {

// The guide's settings, read at every use. A Boolean is on only when it
// equals True.
struct GuideSettings {
  bool pointerGuide = true;  // master switch
  bool frame = true;         // "PGFrame"
  bool position = true;      // "PGPosition"
  int32_t type = 0;          // "PGType": 0 the two corners, else the pointer
  bool size = true;          // "PGSize"
  bool description = true;   // "PGDescription"
  bool lupe = true;          // "PGLupe"
};

// The guide is drawn in pixels of a 96-dpi screen at every resolution, its
// fonts included: its frame, offsets, label sizes, magnifier and flip
// margins are whole pixels of the design, and its texts keep the size those
// were made for.
inline constexpr int32_t kGuideDpi = 96;
// A font height (LOGFONT's lfHeight) given for the screen's resolution,
// brought to the guide's.
int32_t GuideFontHeight(int32_t height, int32_t screenDpi);

// Fixed sizes of the guide, in pixels.
inline constexpr Size kGuideFrameDesignSize{273, 65};
inline constexpr int32_t kGuideGap = 5;           // between pointer, magnifier and frame
inline constexpr int32_t kGuideFlipMargin = 100;  // vertical flip threshold
inline constexpr int32_t kLupeBoxSide = 65;
inline constexpr int32_t kLupeImageSide = 57;
inline constexpr int32_t kLupeCenterSide = 9;
inline constexpr int32_t kLupeSourceSide = 5;

// The coordinate text while waiting: "( x, y )" with "PGPosition", else
// empty. (x, y) is the pointer after the grid snap.
std::wstring WaitingGuideText(PixelPoint at, const GuideSettings& settings);

// The coordinate and size text while dragging, from the corner `at` after the
// grid and square rules and the rectangle cut from it, for example
// "( 10, 20 ) - ( 110, 70 ) : 100 x 50 ピクセル".
std::wstring DraggingGuideText(PixelPoint at, const CutRect& area, const GuideSettings& settings);

// Which side of the pointer the guide is on; kept from one opening to the next.
struct GuideSides {
  bool GuideOnLeft = false;
  bool GuideAbove = false;
  friend bool operator==(const GuideSides&, const GuideSides&) = default;
};

struct GuidePlacement {
  Point16 origin;    // where MovePointerGuide puts the guide
  GuideSides sides;  // the sides after this placement
};

// Places the guide for the pointer: 5 pixels right of and below it, on the
// left once it comes within the guide's width of the right edge (and back
// only within that width of the left edge), above within 100 pixels of the
// bottom edge (and back only within 100 pixels of the top edge). `frame` is
// the frame size the previous refresh left.
GuidePlacement PlacePointerGuide(PixelPoint at, Size view, Size frame, GuideSides previous,
                                 const GuideSettings& settings);

// Where MovePointerGuide puts each element; an element that is not moved
// keeps its position (`moves*` false).
struct GuideLayout {
  Point16 frame;  // shpPointerGuide
  bool movesLupe = false;
  Point16 lupeBox;     // shpLupe
  Point16 lupeImage;   // imgLupe
  Point16 lupeCenter;  // shpLupeCenter
  bool movesHead = false;
  Point16 icon;         // imgIcon
  Point16 title;        // lblTitle
  Point16 description;  // lblDescription
  bool movesText = false;
  Point16 text;  // lblPointerGuide
  bool textRightAligned = false;
};

// The element positions for a guide at (gx, gy) on the given side, with the
// frame `frameWidth` wide. Only called when "PointerGuide" is on.
GuideLayout MovePointerGuide(Point16 origin, bool onLeft, int32_t frameWidth,
                             const GuideSettings& settings);

// Visibility and frame size after a refresh.
struct GuideRefresh {
  bool head = false;  // imgIcon, lblTitle, lblDescription
  bool text = false;  // lblPointerGuide
  bool lupeBox = false;
  bool lupeImage = false;  // imgLupe and shpLupeCenter
  bool frameVisible = false;
  Size frame;  // shpPointerGuide
};

// The frame is as wide as lblPointerGuide's caption: only then does the
// refresh need the caption measured.
bool FrameFollowsCaption(const GuideSettings& settings);

// The refresh: `frame` is the current frame size (its height stays when
// neither the head nor the text is on), `captionWidth` the width of
// lblPointerGuide's caption in the overlay's font. Only called when
// "PointerGuide" is on.
GuideRefresh RefreshPointerGuide(Size frame, int32_t captionWidth, const GuideSettings& settings);

}  // namespace kestrel
