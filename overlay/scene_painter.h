#pragma once
// Draws the overlay's retained scene into a DC, within the DC's clip region.

#include <windows.h>

#include "common/win_handles.h"
#include "overlay/scene.h"
#include "overlay/surface.h"

namespace kestrel {

class ScenePainter {
 public:
  explicit ScenePainter(HINSTANCE instance);

  // Draws every visible element that meets the clip box, back to front;
  // `lupe` is the magnifier's source block.
  void Paint(HDC dc, const Scene& scene, const Surface& lupe) const;

 private:
  void PaintElement(HDC dc, const Element& e, const Surface& lupe) const;
  void PaintText(HDC dc, const Element& e) const;

  UniqueFont titleFont_;
  UniqueIcon icon_;
};

}  // namespace kestrel
