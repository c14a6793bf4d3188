#pragma once
// Draws the overlay's retained scene into a DC, within the DC's clip region,
// and measures texts in the overlay's fonts.

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "common/win_handles.h"
#include "overlay/scene.h"
#include "overlay/surface.h"

namespace kestrel {

class ScenePainter {
 public:
  explicit ScenePainter(HINSTANCE instance);

  // Creates the fonts of one opening at the current resolution: the system's
  // message font for the labels and lblTitle's own font.
  void Open();
  // Frees the fonts and pictures of the opening.
  void Close();

  // The label sizes the fonts ask for.
  LabelMetrics Measure() const;
  // The width of a caption in the labels' font, in pixels.
  int32_t TextWidth(const std::wstring& text) const;

  // Draws every visible element that meets one of the rectangles to repaint,
  // back to front, within the DC's clip region; `lupeImage` is the
  // magnifier's enlarged picture.
  void Paint(HDC dc, const Scene& scene, const Surface& lupeImage,
             const std::vector<RECT>& repaint) const;

 private:
  void PaintElement(HDC dc, const Element& e, const Surface& lupeImage) const;
  void PaintText(HDC dc, const Element& e) const;
  // The frame with the guide's head on it, from a picture kept while they
  // do not change: the guide moves on every pointer move, its head's texts
  // and icon only rarely change.
  void PaintFrameBlock(HDC dc, const Scene& scene) const;
  HGDIOBJ FontOf(TextFont font) const;
  SIZE Extent(HGDIOBJ font, const std::wstring& text) const;
  int32_t Width(HGDIOBJ font, const std::wstring& text) const;
  // Leaves the font selected in measure_: the caption is measured on every
  // pointer move, and under Wine each selection of a font costs more than
  // the measuring.
  void SelectMeasureFont(HGDIOBJ font) const;
  void UnselectMeasureFont();

  UniqueIcon icon_;
  UniqueFont uiFont_;
  UniqueFont titleFont_;
  UniqueMemoryDc measure_;                 // where texts are measured
  mutable HGDIOBJ measureFont_ = nullptr;  // selected in measure_
  mutable HGDIOBJ measureOld_ = nullptr;   // what measure_ held before
  // The frame and the head (icon, title, description) as last drawn into
  // frameBlock_, positioned relative to the frame.
  static constexpr size_t kFrameBlockParts = 4;
  mutable std::array<Element, kFrameBlockParts> frameBlockParts_{};
  mutable Surface frameBlock_;
  mutable bool frameBlockValid_ = false;
};

}  // namespace kestrel
