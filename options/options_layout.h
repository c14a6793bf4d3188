#pragma once
// frmOptions as data: every control of the dialog with its kind, caption,
// place in twips, tab index and the option it edits. The window is built
// from this one table; no windows.h here.

#include <cstdint>
#include <span>
#include <vector>

#include "common/twips.h"

namespace kestrel::options {

// Control identifiers, unique in the whole dialog. OK and Cancel carry the
// dialog manager's IDOK and IDCANCEL so that Enter and Esc reach them.
enum class Ctl : uint16_t {
  None = 0,
  cmdOK = 1,
  cmdCancel = 2,
  cmdApp = 100,
  picTabcontrol,
  picTabpage0,
  picTabpage1,
  picTabpage2,
  picTabpage3,
  // Page 0.
  Frame2,
  Picture2,
  optDefalut0,
  optDefalut1,
  optDefalut2,
  optDefalut3,
  Frame4,
  Picture3,
  optPictureView0,
  optPictureView1,
  optPictureView2,
  txtVModeSoft,
  btnVModeSoft,
  // Page 1.
  Frame5,
  Picture1,
  chkPointerGuide,
  chkPGFrame,
  chkPGPosition,
  optPGType0,
  optPGType1,
  chkPGSize,
  chkPGDescription,
  chkPGLupe,
  chkCtrlGrid,
  Label2,
  txtCGridSize,
  Label3,
  // Page 2.
  Frame1,
  Picture4,
  optTimerCut0,
  txtTimer,
  Label1,
  optTimerCut1,
  optTimerCut2,
  Frame3,
  Picture5,
  optCount0,
  optCount1,
  optCount2,
  chkCountSeries,
  txtCountWave,
  btnCountWave,
  // Page 3.
  Frame6,
  chkHotkey,
};

enum class Kind {
  Host,       // picTabcontrol: borderless picture box holding the tab control
  Page,       // picTabpage(i): borderless picture box
  Container,  // Picture1 ... Picture5: borderless picture box inside a frame
  Frame,      // group box; never a window parent, its contents sit above it
  Button,
  OptionButton,
  CheckBox,
  TextBox,
  Label,
};

struct Twips {
  int left, top, width, height;
};

struct PixelRect {
  int left, top, width, height;
};

struct ControlSpec {
  Ctl id;
  const char* name;  // the design's name, for diagnostics: "optDefalut(3)"
  Kind kind;
  const wchar_t* caption;  // nullptr: none
  Ctl container;           // Ctl::None: the dialog's client area
  Twips at;                // relative to the container
  int tabIndex;
  const wchar_t* key;  // the option the control edits, nullptr: none
  int16_t index;       // an option button's index in its array
};

inline constexpr int kPageCount = 4;
using kestrel::kTwipsPerInch;
// The outer size of the dialog, border and caption included.
inline constexpr int kFormWidthTwips = 7170;
inline constexpr int kFormHeightTwips = 5415;

// Every control in the order of the design's tables: the dialog's own
// controls, then page 0 to page 3.
std::span<const ControlSpec> Controls();

// nullptr when the identifier names no control.
const ControlSpec* Find(Ctl id);

// The page of a tab index 0 to 3.
Ctl PageOf(int tabIndex);

using kestrel::TwipsToPixels;

// Where a control's window goes: frames are drawn but hold no windows, so a
// control in a frame is a child of the frame's own container, moved by the
// frame's offset. Edges are converted rather than sizes, so controls that
// touch in twips touch in pixels at every resolution.
struct Placement {
  Ctl parent;  // Ctl::None: the dialog
  PixelRect at;
};
Placement PlaceControl(const ControlSpec& control, int dpi);

// Whether two controls are option buttons of one array (one exclusive
// group).
bool SameArray(const ControlSpec& a, const ControlSpec& b);

// The order in which to create the windows, which is their z-order (the
// first created lies on top): containers before their contents, the buttons
// of one option array next to each other (one group for the dialog
// manager's arrow keys), a control laid over the end of another's text
// before that one so that it lies above it, and each frame after its
// contents so that it lies below them.
std::vector<const ControlSpec*> CreationOrder();

}  // namespace kestrel::options
