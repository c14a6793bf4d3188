#include "overlay/scene_painter.h"

#include "overlay/overlay_texts.h"
#include "res/resource_ids.h"

namespace kestrel {
namespace {

constexpr int kTitlePointSize = 9;
constexpr int kPointsPerInch = 72;
constexpr BYTE kShiftJisCharset = SHIFTJIS_CHARSET;
constexpr int kIconSide = 16;
constexpr int kLupeSourceSide = 5;

RECT ToRect(const Rect& r) { return {r.x, r.y, r.x + r.width, r.y + r.height}; }

bool Meets(const Rect& r, const RECT& box) {
  return r.x < box.right && r.y < box.bottom && r.x + r.width > box.left &&
         r.y + r.height > box.top;
}

UniqueFont CreateTitleFont() {
  const WindowDC screen(nullptr);
  LOGFONTW font{};
  font.lfHeight = -MulDiv(kTitlePointSize, GetDeviceCaps(screen.get(), LOGPIXELSY), kPointsPerInch);
  font.lfWeight = FW_BOLD;
  font.lfCharSet = kShiftJisCharset;
  wcsncpy(font.lfFaceName, kTitleFontFace, LF_FACESIZE - 1);
  return UniqueFont(CreateFontIndirectW(&font));
}

// Fills with the DC's own brush, so painting creates no GDI objects.
void Fill(HDC dc, const RECT& r, Colour colour) {
  SetDCBrushColor(dc, colour);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Frame(HDC dc, const RECT& r, Colour colour) {
  SetDCBrushColor(dc, colour);
  FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

}  // namespace

ScenePainter::ScenePainter(HINSTANCE instance)
    : titleFont_(CreateTitleFont()),
      icon_(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TRAY_16), IMAGE_ICON,
                                          kIconSide, kIconSide, LR_DEFAULTCOLOR))) {}

void ScenePainter::Paint(HDC dc, const Scene& scene, const Surface& lupe) const {
  RECT box{};
  if (GetClipBox(dc, &box) == NULLREGION) return;
  for (size_t i = 0; i < kElementCount; ++i) {
    const Element& e = scene[static_cast<ElementId>(i)];
    if (e.visible && Meets(e.bounds, box)) PaintElement(dc, e, lupe);
  }
}

void ScenePainter::PaintElement(HDC dc, const Element& e, const Surface& lupe) const {
  const RECT r = ToRect(e.bounds);
  switch (e.kind) {
    case ElementKind::Line:
      Fill(dc, r, e.line);
      break;
    case ElementKind::Outline:
      Frame(dc, r, e.line);
      break;
    case ElementKind::FilledBox:
      Fill(dc, r, e.fill);
      Frame(dc, r, e.line);
      break;
    case ElementKind::Text:
      PaintText(dc, e);
      break;
    case ElementKind::Icon:
      if (icon_)
        DrawIconEx(dc, r.left, r.top, icon_.get(), kIconSide, kIconSide, 0, nullptr, DI_NORMAL);
      break;
    case ElementKind::Magnified:
      if (lupe) {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, r.left, r.top, e.bounds.width, e.bounds.height, lupe.dc(), 0, 0,
                   kLupeSourceSide, kLupeSourceSide, SRCCOPY);
      }
      break;
  }
}

void ScenePainter::PaintText(HDC dc, const Element& e) const {
  RECT r = ToRect(e.bounds);
  const HGDIOBJ font = e.font == TextFont::Title && titleFont_
                           ? static_cast<HGDIOBJ>(titleFont_.get())
                           : GetStockObject(DEFAULT_GUI_FONT);
  const SelectGuard selected(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, e.line);
  const UINT align = e.rightAligned ? DT_RIGHT : DT_LEFT;
  DrawTextW(dc, e.caption.c_str(), static_cast<int>(e.caption.size()), &r,
            align | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace kestrel
