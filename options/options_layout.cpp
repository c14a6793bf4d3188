#include "options/options_layout.h"

#include <algorithm>
#include <array>
#include <functional>
#include <string_view>
#include <utility>

namespace kestrel::options {
namespace {

using enum Ctl;
using K = Kind;

// Option keys of the settings table, as the controls edit them.
constexpr const wchar_t* kDoubleClick = L"DoubleClick";
constexpr const wchar_t* kViewMode = L"ViewMode";
constexpr const wchar_t* kVModeSoft = L"VModeSoft";
constexpr const wchar_t* kPointerGuide = L"PointerGuide";
constexpr const wchar_t* kPGFrame = L"PGFrame";
constexpr const wchar_t* kPGPosition = L"PGPosition";
constexpr const wchar_t* kPGType = L"PGType";
constexpr const wchar_t* kPGSize = L"PGSize";
constexpr const wchar_t* kPGDescription = L"PGDescription";
constexpr const wchar_t* kPGLupe = L"PGLupe";
constexpr const wchar_t* kCtrlGrid = L"CtrlGrid";
constexpr const wchar_t* kCGridSize = L"CGridSize";
constexpr const wchar_t* kCutterMode = L"CutterMode";
constexpr const wchar_t* kCutTimerTime = L"CutTimerTime";
constexpr const wchar_t* kCountType = L"CountType";
constexpr const wchar_t* kCountWave = L"CountWave";
constexpr const wchar_t* kCountSeries = L"CountSeries";
constexpr const wchar_t* kHotkey = L"Hotkey";

constexpr Twips kPageArea{180, 480, 6735, 3735};

// The window a control's window goes into and its place there in twips:
// frames hold no windows, so a control in a frame climbs out of it into the
// frame's own container, moved by the frame's offset.
std::pair<Ctl, Twips> InWindowParent(const ControlSpec& control);

// A control whose left edge lies inside another one of its window, on the
// same lines (chkCountSeries on the end of optCount(2)'s text, optPGType(1)
// on the end of optPGType(0)), is laid over it.
bool LiesOver(const ControlSpec& upper, const ControlSpec& lower) {
  if (&upper == &lower) return false;
  for (const ControlSpec* c : {&upper, &lower})
    if (c->kind == Kind::Frame || c->kind == Kind::Host || c->kind == Kind::Page) return false;
  const auto [upperParent, u] = InWindowParent(upper);
  const auto [lowerParent, l] = InWindowParent(lower);
  return upperParent == lowerParent && l.left < u.left && u.left < l.left + l.width &&
         u.top < l.top + l.height && l.top < u.top + u.height;
}

// clang-format off
constexpr std::array kControls = {
  // The dialog's own controls.
  ControlSpec{picTabcontrol, "picTabcontrol", K::Host, nullptr, None, {120, 120, 6855, 4170}, 3, nullptr, 0},
  ControlSpec{picTabpage0, "picTabpage(0)", K::Page, nullptr, None, kPageArea, 4, nullptr, 0},
  ControlSpec{picTabpage1, "picTabpage(1)", K::Page, nullptr, None, kPageArea, 10, nullptr, 0},
  ControlSpec{picTabpage2, "picTabpage(2)", K::Page, nullptr, None, kPageArea, 11, nullptr, 0},
  ControlSpec{picTabpage3, "picTabpage(3)", K::Page, nullptr, None, kPageArea, 49, nullptr, 0},
  ControlSpec{cmdOK, "cmdOK", K::Button, L"OK", None, {3480, 4440, 1095, 375}, 2, nullptr, 0},
  ControlSpec{cmdCancel, "cmdCancel", K::Button, L"キャンセル", None, {4680, 4440, 1095, 375}, 1, nullptr, 0},
  ControlSpec{cmdApp, "cmdApp", K::Button, L"適用(A)", None, {5880, 4440, 1095, 375}, 0, nullptr, 0},

  // Page 0, "操作一般(&R)".
  ControlSpec{Frame2, "Frame2", K::Frame, L"タスクトレイアイコン・ダブルクリックの動作", picTabpage0, {120, 120, 6375, 1575}, 5, nullptr, 0},
  ControlSpec{Picture2, "Picture2", K::Container, nullptr, Frame2, {120, 240, 6135, 1215}, 6, nullptr, 0},
  ControlSpec{optDefalut0, "optDefalut(0)", K::OptionButton, L"画面を切り取る", Picture2, {120, 120, 2775, 255}, 9, kDoubleClick, 0},
  ControlSpec{optDefalut1, "optDefalut(1)", K::OptionButton, L"タイマーを使用して、画面を切り取る", Picture2, {120, 360, 3375, 255}, 8, kDoubleClick, 1},
  ControlSpec{optDefalut2, "optDefalut(2)", K::OptionButton, L"前回と同じ画面範囲を切り取る", Picture2, {120, 600, 6015, 255}, 7, kDoubleClick, 2},
  ControlSpec{optDefalut3, "optDefalut(3)", K::OptionButton, L"タイマーを使用して、前回と同じ画面範囲を切り取る", Picture2, {120, 840, 4575, 255}, 47, kDoubleClick, 3},
  ControlSpec{Frame4, "Frame4", K::Frame, L"切り取った画像の表示方法", picTabpage0, {120, 1800, 6495, 1575}, 35, nullptr, 0},
  ControlSpec{Picture3, "Picture3", K::Container, nullptr, Frame4, {120, 240, 6135, 1215}, 36, nullptr, 0},
  ControlSpec{optPictureView0, "optPictureView(0)", K::OptionButton, L"表示しない", Picture3, {120, 120, 5295, 255}, 37, kViewMode, 0},
  ControlSpec{optPictureView1, "optPictureView(1)", K::OptionButton, L"Pictoria 2 を使用して表示する（ Ver.2.1 以降インストール時 ）", Picture3, {120, 360, 5895, 255}, 38, kViewMode, 1},
  ControlSpec{optPictureView2, "optPictureView(2)", K::OptionButton, L"クリップボードの画像を表示するソフトを起動して表示する", Picture3, {120, 600, 5895, 255}, 39, kViewMode, 2},
  ControlSpec{txtVModeSoft, "txtVModeSoft", K::TextBox, nullptr, Picture3, {600, 890, 5175, 270}, 40, kVModeSoft, 0},
  ControlSpec{btnVModeSoft, "btnVModeSoft", K::Button, L"...", Picture3, {5760, 890, 375, 255}, 41, nullptr, 0},

  // Page 1, "実行操作(&C)".
  ControlSpec{Frame5, "Frame5", K::Frame, L"画面を切り取る操作", picTabpage1, {120, 120, 6495, 3255}, 26, nullptr, 0},
  ControlSpec{Picture1, "Picture1", K::Container, nullptr, Frame5, {120, 240, 6255, 2895}, 27, nullptr, 0},
  ControlSpec{chkPointerGuide, "chkPointerGuide", K::CheckBox, L"ガイダンスを表示する", Picture1, {120, 120, 2895, 255}, 34, kPointerGuide, 0},
  ControlSpec{chkPGFrame, "chkPGFrame", K::CheckBox, L"ガイダンスの枠と背景を表示する ", Picture1, {600, 480, 5055, 255}, 46, kPGFrame, 0},
  ControlSpec{chkPGPosition, "chkPGPosition", K::CheckBox, L"座標を表示する", Picture1, {600, 720, 1695, 255}, 33, kPGPosition, 0},
  ControlSpec{optPGType0, "optPGType(0)", K::OptionButton, L"(左上座標） - （右下座標）", Picture1, {1080, 960, 2535, 255}, 29, kPGType, 0},
  ControlSpec{optPGType1, "optPGType(1)", K::OptionButton, L"（カーソル位置）", Picture1, {3600, 960, 2175, 255}, 28, kPGType, 1},
  ControlSpec{chkPGSize, "chkPGSize", K::CheckBox, L"画像サイズを表示する", Picture1, {600, 1320, 2175, 255}, 32, kPGSize, 0},
  ControlSpec{chkPGDescription, "chkPGDescription", K::CheckBox, L"操作説明を表示する", Picture1, {600, 1560, 2175, 255}, 31, kPGDescription, 0},
  ControlSpec{chkPGLupe, "chkPGLupe", K::CheckBox, L"ルーペを表示する （※センタークリックで表示・非表示切り替え）", Picture1, {600, 1800, 5415, 255}, 30, kPGLupe, 0},
  ControlSpec{chkCtrlGrid, "chkCtrlGrid", K::CheckBox, L"Ctrlキーを押している時はグリッドサイズで範囲を選択する", Picture1, {120, 2280, 5535, 255}, 42, kCtrlGrid, 0},
  ControlSpec{Label2, "Label2", K::Label, L"グリッドサイズ：", Picture1, {720, 2640, 1155, 180}, 45, nullptr, 0},
  ControlSpec{txtCGridSize, "txtCGridSize", K::TextBox, nullptr, Picture1, {2040, 2595, 615, 270}, 43, kCGridSize, 0},
  ControlSpec{Label3, "Label3", K::Label, L"ピクセル", Picture1, {2760, 2640, 645, 180}, 44, nullptr, 0},

  // Page 2, "時間(&T)".
  ControlSpec{Frame1, "Frame1", K::Frame, L"タイマーで画面を切り取る", picTabpage2, {120, 120, 4935, 1455}, 12, nullptr, 0},
  ControlSpec{Picture4, "Picture4", K::Container, nullptr, Frame1, {120, 240, 4695, 1095}, 13, nullptr, 0},
  ControlSpec{optTimerCut0, "optTimerCut(0)", K::OptionButton, L"設定した時間後に切り取りを開始する", Picture4, {120, 120, 3135, 255}, 16, kCutterMode, 0},
  ControlSpec{txtTimer, "txtTimer", K::TextBox, nullptr, Picture4, {3360, 120, 495, 270}, 15, kCutTimerTime, 0},
  ControlSpec{Label1, "Label1", K::Label, L"秒後", Picture4, {3960, 150, 360, 180}, 18, nullptr, 0},
  ControlSpec{optTimerCut1, "optTimerCut(1)", K::OptionButton, L"常に時間を指定する", Picture4, {120, 360, 3135, 375}, 17, kCutterMode, 1},
  ControlSpec{optTimerCut2, "optTimerCut(2)", K::OptionButton, L"最後に指定された時間を使用して切り取りを開始する", Picture4, {120, 720, 4455, 255}, 14, kCutterMode, 2},
  ControlSpec{Frame3, "Frame3", K::Frame, L"秒読み音設定", picTabpage2, {120, 1680, 6495, 1815}, 19, nullptr, 0},
  ControlSpec{Picture5, "Picture5", K::Container, nullptr, Frame3, {120, 240, 6255, 1455}, 20, nullptr, 0},
  ControlSpec{optCount0, "optCount(0)", K::OptionButton, L"秒読みをしない", Picture5, {120, 120, 4815, 255}, 25, kCountType, 0},
  ControlSpec{optCount1, "optCount(1)", K::OptionButton, L"ビープ音により秒読み", Picture5, {120, 360, 4815, 375}, 24, kCountType, 1},
  ControlSpec{optCount2, "optCount(2)", K::OptionButton, L"Waveファイルを指定して秒読み", Picture5, {120, 720, 4815, 255}, 23, kCountType, 2},
  ControlSpec{chkCountSeries, "chkCountSeries", K::CheckBox, L"連番（指定ファイル名 + 秒 + .WAV）", Picture5, {3000, 750, 3255, 195}, 48, kCountSeries, 0},
  ControlSpec{txtCountWave, "txtCountWave", K::TextBox, nullptr, Picture5, {600, 1040, 5175, 270}, 21, kCountWave, 0},
  ControlSpec{btnCountWave, "btnCountWave", K::Button, L"...", Picture5, {5760, 1040, 375, 255}, 22, nullptr, 0},

  // Page 3, "ホットキー(&H)".
  ControlSpec{Frame6, "Frame6", K::Frame, L"ホットキー（ショートカットキー）による操作", picTabpage3, {120, 120, 6495, 855}, 50, nullptr, 0},
  ControlSpec{chkHotkey, "chkHotkey", K::CheckBox, L"Windows + C を押して、タスクトレイアイコン・ダブルクリック動作を実行する", Frame6, {240, 360, 6015, 255}, 51, kHotkey, 0},
};
// clang-format on

std::pair<Ctl, Twips> InWindowParent(const ControlSpec& control) {
  Twips at = control.at;
  Ctl parent = control.container;
  for (const ControlSpec* frame = Find(parent); frame && frame->kind == Kind::Frame;
       frame = Find(parent)) {
    at.left += frame->at.left;
    at.top += frame->at.top;
    parent = frame->container;
  }
  return {parent, at};
}

}  // namespace

bool SameArray(const ControlSpec& a, const ControlSpec& b) {
  return a.kind == Kind::OptionButton && b.kind == Kind::OptionButton &&
         std::wstring_view(a.key) == std::wstring_view(b.key);
}

std::span<const ControlSpec> Controls() { return kControls; }

const ControlSpec* Find(Ctl id) {
  for (const ControlSpec& c : kControls)
    if (c.id == id) return &c;
  return nullptr;
}

Ctl PageOf(int tabIndex) {
  static constexpr std::array kPages = {picTabpage0, picTabpage1, picTabpage2, picTabpage3};
  return tabIndex >= 0 && tabIndex < kPageCount ? kPages[static_cast<size_t>(tabIndex)] : None;
}

Placement PlaceControl(const ControlSpec& control, int dpi) {
  const auto [parent, at] = InWindowParent(control);
  const PixelBox box = TwipsToPixels(TwipsBox{at.left, at.top, at.width, at.height}, dpi);
  return {parent, {box.left, box.top, box.width, box.height}};
}

std::vector<const ControlSpec*> CreationOrder() {
  std::vector<const ControlSpec*> order;
  auto emitted = [&](const ControlSpec& c) {
    return std::find(order.begin(), order.end(), &c) != order.end();
  };
  // A window created earlier lies above its later siblings: what is laid
  // over a control comes before it, and before the whole array of an option
  // button, whose buttons stay next to each other.
  const std::function<void(const ControlSpec&)> placeInArray = [&](const ControlSpec& c) {
    if (emitted(c)) return;
    for (const ControlSpec& upper : kControls)
      if (SameArray(upper, c) && LiesOver(upper, c)) placeInArray(upper);
    order.push_back(&c);
  };
  const std::function<void(const ControlSpec&)> emit = [&](const ControlSpec& c) {
    if (c.kind == Kind::Frame || c.kind == Kind::Host || emitted(c)) return;
    std::vector<const ControlSpec*> group;
    for (const ControlSpec& member : kControls)
      if (&member == &c || SameArray(member, c)) group.push_back(&member);
    for (const ControlSpec* member : group)
      for (const ControlSpec& upper : kControls)
        if (!SameArray(upper, *member) && LiesOver(upper, *member)) emit(upper);
    for (const ControlSpec* member : group) placeInArray(*member);
  };
  for (const ControlSpec& c : kControls) emit(c);
  // Frames lie below their contents, and the host below the pages.
  for (const ControlSpec& c : kControls)
    if (c.kind == Kind::Frame) order.push_back(&c);
  for (const ControlSpec& c : kControls)
    if (c.kind == Kind::Host) order.push_back(&c);
  return order;
}

}  // namespace kestrel::options
