#include "overlay/scene_painter.h"

#include <algorithm>
#include <utility>

#include "overlay/overlay_texts.h"
#include "res/resource_ids.h"

namespace kestrel {
namespace {

constexpr int kTitlePointSize = 9;
constexpr int kPointsPerInch = 72;
constexpr BYTE kShiftJisCharset = SHIFTJIS_CHARSET;
constexpr int kIconSide = 16;

RECT ToRect(const Rect& r) { return {r.x, r.y, r.x + r.width, r.y + r.height}; }

bool Meets(const Rect& r, const RECT& box) {
  return r.x < box.right && r.y < box.bottom && r.x + r.width > box.left &&
         r.y + r.height > box.top;
}

UniqueFont CreateTitleFont() {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(kTitlePointSize, kGuideDpi, kPointsPerInch);
  font.lfWeight = FW_BOLD;
  font.lfCharSet = kShiftJisCharset;
  wcsncpy(font.lfFaceName, kTitleFontFace, LF_FACESIZE - 1);
  return UniqueFont(CreateFontIndirectW(&font));
}

// The font the system uses for message boxes, at the guide's resolution.
UniqueFont CreateMessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
    return UniqueFont();
  const WindowDC screen(nullptr);
  metrics.lfMessageFont.lfHeight =
      GuideFontHeight(metrics.lfMessageFont.lfHeight, GetDeviceCaps(screen.get(), LOGPIXELSY));
  return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
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

constexpr ElementId kHead[] = {ElementId::imgIcon, ElementId::lblTitle, ElementId::lblDescription};

bool IsHead(ElementId id) {
  return std::find(std::begin(kHead), std::end(kHead), id) != std::end(kHead);
}

bool Inside(const Rect& inner, const Rect& outer) {
  return inner.x >= outer.x && inner.y >= outer.y &&
         inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

// The frame is shown with the whole head on it: they can be drawn as one
// picture.
bool HeadOnFrame(const Scene& scene) {
  const Element& frame = scene[ElementId::shpPointerGuide];
  if (!frame.visible) return false;
  return std::all_of(std::begin(kHead), std::end(kHead), [&](ElementId id) {
    return scene[id].visible && Inside(scene[id].bounds, frame.bounds);
  });
}

// `kept` looks like `now` moved by (-dx, -dy).
bool SameLook(const Element& now, const Element& kept, int32_t dx, int32_t dy) {
  const Rect moved{now.bounds.x - dx, now.bounds.y - dy, now.bounds.width, now.bounds.height};
  return now.kind == kept.kind && moved == kept.bounds && now.visible == kept.visible &&
         now.line == kept.line && now.fill == kept.fill && now.caption == kept.caption &&
         now.font == kept.font && now.rightAligned == kept.rightAligned;
}

}  // namespace

ScenePainter::ScenePainter(HINSTANCE instance)
    : icon_(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TRAY_16), IMAGE_ICON,
                                          kIconSide, kIconSide, LR_DEFAULTCOLOR))) {}

void ScenePainter::Open() {
  UnselectMeasureFont();
  uiFont_ = CreateMessageFont();
  titleFont_ = CreateTitleFont();
  if (!measure_) measure_ = UniqueMemoryDc(CreateCompatibleDC(nullptr));
}

void ScenePainter::Close() {
  UnselectMeasureFont();
  uiFont_ = UniqueFont();
  titleFont_ = UniqueFont();
  frameBlock_ = Surface();
  frameBlockValid_ = false;
}

HGDIOBJ ScenePainter::FontOf(TextFont font) const {
  if (font == TextFont::Title && titleFont_) return titleFont_.get();
  if (uiFont_) return uiFont_.get();
  return GetStockObject(DEFAULT_GUI_FONT);
}

void ScenePainter::UnselectMeasureFont() {
  // The fonts are replaced or deleted next: none may stay selected.
  if (measure_ && measureOld_) SelectObject(measure_.get(), measureOld_);
  measureOld_ = nullptr;
  measureFont_ = nullptr;
}

void ScenePainter::SelectMeasureFont(HGDIOBJ font) const {
  if (font == measureFont_) return;
  const HGDIOBJ old = SelectObject(measure_.get(), font);
  if (!measureOld_) measureOld_ = old;
  measureFont_ = font;
}

int32_t ScenePainter::Width(HGDIOBJ font, const std::wstring& text) const {
  if (!measure_ || text.empty()) return 0;
  SelectMeasureFont(font);
  SIZE extent{};
  if (!GetTextExtentPoint32W(measure_.get(), text.c_str(), static_cast<int>(text.size()), &extent))
    return 0;
  return extent.cx;
}

SIZE ScenePainter::Extent(HGDIOBJ font, const std::wstring& text) const {
  SIZE size{};
  if (!measure_) return size;
  SelectMeasureFont(font);
  TEXTMETRICW metrics{};
  if (GetTextMetricsW(measure_.get(), &metrics)) size.cy = metrics.tmHeight;
  size.cx = Width(font, text);
  return size;
}

LabelMetrics ScenePainter::Measure() const {
  const SIZE ui = Extent(FontOf(TextFont::Default), std::wstring());
  const SIZE title = Extent(FontOf(TextFont::Title), kOverlayTitleText);
  return {ui.cy, title.cy, title.cx};
}

int32_t ScenePainter::TextWidth(const std::wstring& text) const {
  return Width(FontOf(TextFont::Default), text);
}

void ScenePainter::Paint(HDC dc, const Scene& scene, const Surface& lupeImage,
                         const std::vector<RECT>& repaint) const {
  const bool block = HeadOnFrame(scene);
  for (size_t i = 0; i < kElementCount; ++i) {
    const auto id = static_cast<ElementId>(i);
    const Element& e = scene[id];
    if (!e.visible || (block && IsHead(id))) continue;
    // Tested against each rectangle, not their bounding box: the crosshair
    // makes that box the whole screen, and a text clipped away entirely
    // still costs its whole layout.
    const bool meets = std::any_of(repaint.begin(), repaint.end(),
                                   [&](const RECT& r) { return Meets(e.bounds, r); });
    if (!meets) continue;
    if (block && id == ElementId::shpPointerGuide)
      PaintFrameBlock(dc, scene);
    else
      PaintElement(dc, e, lupeImage);
  }
}

void ScenePainter::PaintFrameBlock(HDC dc, const Scene& scene) const {
  const Rect& at = scene[ElementId::shpPointerGuide].bounds;
  const ElementId ids[kFrameBlockParts] = {ElementId::shpPointerGuide, kHead[0], kHead[1],
                                           kHead[2]};
  // Compared in place: this runs on every pointer move.
  bool same = frameBlockValid_;
  for (size_t i = 0; same && i < kFrameBlockParts; ++i)
    same = SameLook(scene[ids[i]], frameBlockParts_[i], at.x, at.y);
  if (!same) {
    if (frameBlock_.width() != at.width || frameBlock_.height() != at.height)
      frameBlock_ = Surface(at.width, at.height);
    frameBlockValid_ = false;
    if (!frameBlock_) {
      // No picture to keep: the parts straight onto the screen.
      for (ElementId id : ids) PaintElement(dc, scene[id], Surface());
      return;
    }
    for (size_t i = 0; i < kFrameBlockParts; ++i) {
      Element part = scene[ids[i]];
      part.bounds.x -= at.x;
      part.bounds.y -= at.y;
      PaintElement(frameBlock_.dc(), part, Surface());
      frameBlockParts_[i] = std::move(part);
    }
    frameBlockValid_ = true;
  }
  BitBlt(dc, at.x, at.y, at.width, at.height, frameBlock_.dc(), 0, 0, SRCCOPY);
}

void ScenePainter::PaintElement(HDC dc, const Element& e, const Surface& lupeImage) const {
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
      // Already enlarged: a plain copy, pixel for pixel.
      if (lupeImage)
        BitBlt(dc, r.left, r.top, std::min(e.bounds.width, lupeImage.width()),
               std::min(e.bounds.height, lupeImage.height()), lupeImage.dc(), 0, 0, SRCCOPY);
      break;
  }
}

void ScenePainter::PaintText(HDC dc, const Element& e) const {
  const RECT r = ToRect(e.bounds);
  const SelectGuard selected(dc, FontOf(e.font));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, e.line);
  // One line, aligned by the text origin: no layout pass to measure it first.
  SetTextAlign(dc, e.rightAligned ? TA_RIGHT | TA_TOP : TA_LEFT | TA_TOP);
  ExtTextOutW(dc, e.rightAligned ? r.right : r.left, r.top, ETO_CLIPPED, &r, e.caption.c_str(),
              static_cast<UINT>(e.caption.size()), nullptr);
  SetTextAlign(dc, TA_LEFT | TA_TOP);
}

}  // namespace kestrel
