#pragma once
// The overlay's user-visible texts, each defined once.

#include "overlay/selection.h"

namespace kestrel {

inline constexpr const wchar_t* kOverlayTitleText = L"Kestrel5.2";
inline constexpr const wchar_t* kDescriptionWaitingText =
    L"マウスの左ボタンドラッグで画面を切り取ります";
inline constexpr const wchar_t* kDescriptionFirstReleaseText =
    L"ボタンを離して決定・右クリックでキャンセル";
inline constexpr const wchar_t* kDescriptionSquareHintText = L"Shiftキーを押すと正方形に範囲選択";
// Shown until the first pointer move fills in the real figures.
inline constexpr const wchar_t* kPointerGuidePlaceholderText =
    L"( 000, 000 ) - ( 000, 000 ) : 000 x 000 ピクセル";
// The unit after the selection size in lblPointerGuide.
inline constexpr const wchar_t* kGuidePixelsUnit = L" ピクセル";
// Face of lblTitle: 9 pt bold, Shift-JIS character set.
inline constexpr const wchar_t* kTitleFontFace = L"ＭＳ Ｐゴシック";

constexpr const wchar_t* DescriptionCaption(DescriptionText text) {
  switch (text) {
    case DescriptionText::FirstRelease:
      return kDescriptionFirstReleaseText;
    case DescriptionText::SquareHint:
      return kDescriptionSquareHintText;
    case DescriptionText::Waiting:
      break;
  }
  return kDescriptionWaitingText;
}

}  // namespace kestrel
