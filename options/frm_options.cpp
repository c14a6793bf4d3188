#include "options/frm_options.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "common/dialog_template.h"
#include "common/system_library.h"
#include "common/window_dpi.h"
#include "core/mdl_kestrel.h"
#include "options/locale_number.h"
#include "options/mdl_tab_control.h"
#include "options/options_logic.h"
#include "res/resource_ids.h"

namespace kestrel {
namespace {

using options::Ctl;
using options::Kind;

constexpr wchar_t kCaption[] = L"オプション";
constexpr wchar_t kContainerClassName[] = L"Kestrel5.picContainer";
constexpr wchar_t kWaveFilter[] = L"音声ファイル(*.wav)|*.wav|全てのファイル(*.*)|*.*";
constexpr wchar_t kProgramFilter[] =
    L"アプリケーション(*.exe)|*.exe|バッチファイル(*.bat)|*.bat|全てのファイル(*.*)|*.*";
// OFN_FILEMUSTEXIST: only an existing file can be chosen.
constexpr DWORD kOpenFileFlags = 0x1000;
static_assert(kOpenFileFlags == OFN_FILEMUSTEXIST);
// MB_OK | MB_ICONERROR.
constexpr UINT kMessageStyle = 16;
static_assert(kMessageStyle == (MB_OK | MB_ICONERROR));
// Long enough for any path the file dialog returns.
constexpr size_t kFileNameCapacity = 32768;

static_assert(static_cast<int>(Ctl::cmdOK) == IDOK && static_cast<int>(Ctl::cmdCancel) == IDCANCEL);

// Fixed single border with a close box only; no minimize or maximize box.
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

frmOptions* g_open = nullptr;  // the dialog is never open twice

struct WindowKind {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

// Every control clips its siblings: where one is laid over another, only
// the upper one paints there.
// `opensGroup`: the control is the first of its option array in the
// z-order, where the dialog manager's group of the array begins.
WindowKind KindOf(const options::ControlSpec& c, bool opensGroup) {
  switch (c.kind) {
    case Kind::Host:
    case Kind::Page:
    case Kind::Container:
      return {kContainerClassName, 0, WS_EX_CONTROLPARENT};
    case Kind::Frame:
      return {WC_BUTTONW, BS_GROUPBOX | WS_GROUP, 0};
    case Kind::Button:
      return {WC_BUTTONW,
              static_cast<DWORD>(c.id == Ctl::cmdOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                  WS_TABSTOP | WS_GROUP,
              0};
    case Kind::OptionButton:
      return {WC_BUTTONW,
              static_cast<DWORD>(BS_AUTORADIOBUTTON | (opensGroup ? WS_GROUP | WS_TABSTOP : 0)), 0};
    case Kind::CheckBox:
      return {WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0};
    case Kind::TextBox:
      return {WC_EDITW, ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE};
    case Kind::Label:
      return {WC_STATICW, SS_LEFT | SS_NOPREFIX | WS_GROUP, 0};
  }
  return {WC_STATICW, 0, 0};
}

bool RegisterContainerClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kContainerClassName;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The dialog font of a Japanese system: "MS Shell Dlg" resolves to this
// face at 9 points, for which the design's twips were measured.
constexpr wchar_t kDialogFontFace[] = L"MS UI Gothic";
constexpr int kDialogFontPoints = 9;

HFONT CreateDialogFont(int dpi) {
  return CreatePointFont(kDialogFontPoints * 100, dpi, kDialogFontFace, SHIFTJIS_CHARSET,
                         FW_NORMAL, VARIABLE_PITCH | FF_SWISS);
}

// The tab control's font: the system's default GUI font, made anew at the
// dialog's resolution where that is not the screen's.
HFONT CreateTabFont(int dpi) {
  LOGFONTW font{};
  const int screenDpi = ScreenDpi();
  if (dpi == screenDpi || !GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font))
    return nullptr;
  font.lfHeight = MulDiv(font.lfHeight, dpi, screenDpi);
  font.lfWidth = MulDiv(font.lfWidth, dpi, screenDpi);
  return CreateFontIndirectW(&font);
}

// The common controls and the common dialogs are first needed by this
// dialog: loaded then, kept for the rest of the run.
SystemLibrary& CommonControls() {
  static SystemLibrary library(L"comctl32.dll");
  return library;
}

SystemLibrary& CommonDialogs() {
  static SystemLibrary library(L"comdlg32.dll");
  return library;
}

}  // namespace

void frmOptions::ShowModal(HINSTANCE instance, HWND owner) {
  if (BringToFront()) return;
  // The tab control's window class exists only once the common controls
  // are initialised; without them the dialog cannot show its pages.
  const auto initialise =
      CommonControls().Find<decltype(InitCommonControlsEx)>("InitCommonControlsEx");
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  if (!initialise || !initialise(&controls)) return;
  if (!RegisterContainerClass(instance, &ContainerProc)) return;

  frmOptions form(instance, owner);
  const std::vector<WORD> dialogTemplate = EmptyDialogTemplate(kDialogStyle, kCaption);
  g_open = &form;
  HWND dialog = CreateDialogIndirectParamW(
      instance, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), owner, &DialogProc,
      reinterpret_cast<LPARAM>(&form));
  if (!dialog) {
    g_open = nullptr;
    return;
  }
  const bool ownerWasEnabled = owner && !EnableWindow(owner, FALSE);
  ShowWindow(dialog, SW_SHOW);
  SetForegroundWindow(dialog);
  SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(form.Item(Ctl::cmdCancel)), TRUE);

  MSG message{};
  while (!form.closed_ && IsWindow(dialog)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
      break;
    }
    if (form.PreviewKey(message)) continue;
    if (!IsDialogMessageW(dialog, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  // The owner first, so that it can take the activation back.
  if (ownerWasEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
  if (IsWindow(dialog)) DestroyWindow(dialog);
  g_open = nullptr;
}

bool frmOptions::BringToFront() {
  if (!g_open || !g_open->dialog_) return false;
  SetForegroundWindow(g_open->dialog_);
  return true;
}

INT_PTR CALLBACK frmOptions::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* form = reinterpret_cast<frmOptions*>(lParam);
    form->dialog_ = dialog;
    form->Form_Load();
    return FALSE;  // the focus is set once the dialog shows
  }
  auto* form = reinterpret_cast<frmOptions*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (!form) return FALSE;
  if (form->HandleDpiMessage(message, wParam, lParam)) return TRUE;
  switch (message) {
    case WM_COMMAND:
      form->OnCommand(static_cast<Ctl>(LOWORD(wParam)), HIWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      form->cmdCancel_Click();
      return TRUE;
    case WM_DESTROY:
      form->Form_Unload();
      return TRUE;
    default:
      return FALSE;
  }
}

// The picture boxes pass their controls' notifications on to the dialog.
LRESULT CALLBACK frmOptions::ContainerProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_COMMAND) {
    if (HWND dialog = GetAncestor(window, GA_ROOT); dialog && dialog != window)
      return SendMessageW(dialog, message, wParam, lParam);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void frmOptions::ShowPage(int selected) {
  if (!g_open) return;
  for (int page = 0; page < options::kPageCount; ++page)
    ShowWindow(g_open->Item(options::PageOf(page)), SW_HIDE);
  ShowWindow(g_open->Item(options::PageOf(selected)), SW_SHOW);
}

void frmOptions::CreateControls() {
  const options::ControlSpec* previous = nullptr;
  for (const options::ControlSpec* c : options::CreationOrder()) {
    const options::Placement place = options::PlaceControl(*c, dpi());
    HWND parent = place.parent == Ctl::None ? dialog_ : Item(place.parent);
    const WindowKind kind = KindOf(*c, !previous || !options::SameArray(*previous, *c));
    previous = c;
    HWND window =
        CreateWindowExW(kind.exStyle, kind.className, c->caption,
                        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | kind.style, 0, 0, 0, 0, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(static_cast<uint16_t>(c->id))),
                        instance_, nullptr);
    // No limit but the platform's: a long command line can be typed or
    // pasted whole, not only loaded.
    if (window && c->kind == Kind::TextBox) SendMessageW(window, EM_SETLIMITTEXT, 0, 0);
    items_[c->id] = window;
  }
  SendMessageW(dialog_, DM_SETDEFID, IDOK, 0);
}

options::PixelRect frmOptions::Place(const options::ControlSpec& c, int dpi, HFONT font) const {
  options::PixelRect at = options::PlaceControl(c, dpi).at;
  if (c.kind == Kind::Label) {
    // A label keeps its place but grows to its text, so that a substituted
    // font that runs wider never cuts the text off.
    const WindowDC dc(dialog_);
    const HGDIOBJ previous = SelectObject(dc.get(), font);
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), c.caption, static_cast<int>(wcslen(c.caption)), &extent);
    SelectObject(dc.get(), previous);
    at.width = std::max(at.width, static_cast<int>(extent.cx));
    at.height = std::max(at.height, static_cast<int>(extent.cy));
  }
  return at;
}

DpiDialog::DesignSize frmOptions::SizeAt(int dpi) const {
  return {false,
          {options::TwipsToPixels(options::kFormWidthTwips, dpi),
           options::TwipsToPixels(options::kFormHeightTwips, dpi)}};
}

void frmOptions::LayOut(int dpi) {
  // The controls take the new fonts before the old ones go.
  UniqueFont font(CreateDialogFont(dpi));
  const HFONT shown = font ? font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (const options::ControlSpec* c : options::CreationOrder()) {
    const options::PixelRect at = Place(*c, dpi, shown);
    HWND window = Item(c->id);
    SetWindowPos(window, nullptr, at.left, at.top, at.width, at.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(shown), FALSE);
  }
  UniqueFont tabFont(CreateTabFont(dpi));
  if (tabControlCreated_) LayOutTabControl(Item(Ctl::picTabcontrol), tabFont.get());
  font_ = std::move(font);
  tabFont_ = std::move(tabFont);
}

void frmOptions::Form_Load() {
  SetWindowTextW(dialog_, kCaption);
  bigIcon_.Reset(
      static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_TRAY_256), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
  smallIcon_.Reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_TRAY_256),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), 0)));
  SendMessageW(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  SendMessageW(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  CreateControls();
  OpenDpiDialog(dialog_);

  LoadOptionsToControls();
  EnableWindow(Item(Ctl::cmdApp), FALSE);

  RECT page0{};
  GetWindowRect(Item(Ctl::picTabpage0), &page0);
  MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&page0), 2);
  for (int page = 1; page < options::kPageCount; ++page) {
    HWND window = Item(options::PageOf(page));
    SetWindowPos(window, nullptr, page0.left, page0.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window, SW_HIDE);
  }

  CreateTabControl(Item(Ctl::picTabcontrol), instance_, &ShowPage);
  tabControlCreated_ = true;
  LayOutTabControl(Item(Ctl::picTabcontrol), tabFont_.get());
}

void frmOptions::Form_Unload() { DestroyTabControl(Item(Ctl::picTabcontrol)); }

bool frmOptions::PreviewKey(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  if (message.hwnd != dialog_ && !IsChild(dialog_, message.hwnd)) return false;
  const int shift = (GetKeyState(VK_SHIFT) < 0 ? options::kShiftMask : 0) |
                    (GetKeyState(VK_CONTROL) < 0 ? options::kCtrlMask : 0) |
                    (GetKeyState(VK_MENU) < 0 ? options::kAltMask : 0);
  if (message.wParam == VK_TAB && (shift & ~options::kShiftMask) == 0) {
    MoveFocus((shift & options::kShiftMask) == 0);
    return true;
  }
  Form_KeyDown(static_cast<int>(message.wParam), shift);
  return false;
}

void frmOptions::Form_KeyDown(int keyCode, int shiftState) {
  TabShortcutKeyDown(keyCode, shiftState);
}

// Tab follows the tab-index order of the whole dialog, as the pages hide
// and show, not the nesting of the windows. Of an option array only the
// selected button is a stop.
void frmOptions::MoveFocus(bool forward) {
  const HWND focus = GetFocus();
  Ctl current = Ctl::None;
  for (const auto& [id, window] : items_)
    if (window == focus) current = id;
  const Ctl next = options::NextInTabOrder(current, forward, [this](Ctl candidate) {
    const options::ControlSpec* c = options::Find(candidate);
    HWND window = Item(candidate);
    if (!c || !window || !IsWindowVisible(window) || !IsWindowEnabled(window)) return false;
    switch (c->kind) {
      case Kind::Button:
      case Kind::CheckBox:
      case Kind::TextBox:
        return true;
      case Kind::OptionButton:
        return Checked(candidate);
      default:
        return false;
    }
  });
  if (next != Ctl::None)
    SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(next)), TRUE);
}

void frmOptions::OnCommand(Ctl control, WORD code) {
  switch (control) {
    case Ctl::cmdOK:
      cmdOK_Click();
      return;
    case Ctl::cmdCancel:
      cmdCancel_Click();
      return;
    case Ctl::cmdApp:
      if (code == BN_CLICKED) cmdApp_Click();
      return;
    case Ctl::btnCountWave:
      if (code == BN_CLICKED) btnCountWave_Click();
      return;
    case Ctl::btnVModeSoft:
      if (code == BN_CLICKED) btnVModeSoft_Click();
      return;
    default:
      break;
  }
  const options::ControlSpec* c = options::Find(control);
  if (!c) return;
  if (c->kind == Kind::TextBox && code == EN_CHANGE) MarkChanged();
  if ((c->kind == Kind::CheckBox || c->kind == Kind::OptionButton) && code == BN_CLICKED) {
    RunEnablingRules(control);
    if (options::MarksChange(control)) MarkChanged();
  }
}

void frmOptions::LoadOptionsToControls() {
  for (const options::ControlSpec& c : options::Controls()) {
    if (c.kind == Kind::OptionButton && c.index == 0) Select(options::PreLoadSelection(c.key));
  }
  // In the settings table's order; a stored index without a button keeps
  // the selection from before.
  for (const OptionRow& row : OptionsTable(false)) {
    for (const options::ControlSpec& c : options::Controls()) {
      if (!c.key || std::wcscmp(c.key, row.key) != 0) continue;
      if (c.kind == Kind::OptionButton && c.index == 0) {
        if (const auto button = options::ButtonForStoredIndex(row.key, OptionInteger(row.key)))
          Select(*button);
      } else if (c.kind == Kind::CheckBox) {
        SetChecked(c.id, OptionIsTrue(row.key));
      } else if (c.kind == Kind::TextBox) {
        SetText(c.id, row.value.type == OptionType::Integer
                          ? std::to_wstring(OptionInteger(row.key))
                          : OptionText(row.key));
      }
    }
  }
  for (const options::EnablingRule& rule : options::EnablingRules())
    RunEnablingRules(rule.sources.front());
  EnableWindow(Item(Ctl::cmdApp), TRUE);
}

void frmOptions::RunEnablingRules(Ctl source) {
  for (const options::EnablingRule& rule : options::EnablingRules()) {
    if (std::find(rule.sources.begin(), rule.sources.end(), source) == rule.sources.end()) continue;
    const bool on = Checked(rule.enabler);
    for (Ctl target : rule.targets) EnableWindow(Item(target), on);
  }
}

void frmOptions::MarkChanged() { EnableWindow(Item(Ctl::cmdApp), TRUE); }

void frmOptions::btnCountWave_Click() { Browse(Ctl::txtCountWave, kWaveFilter); }

void frmOptions::btnVModeSoft_Click() { Browse(Ctl::txtVModeSoft, kProgramFilter); }

void frmOptions::Browse(Ctl box, const wchar_t* filter) {
  std::wstring filterPairs(filter);
  std::replace(filterPairs.begin(), filterPairs.end(), L'|', L'\0');
  filterPairs.push_back(L'\0');
  std::vector<wchar_t> file(kFileNameCapacity, L'\0');
  std::copy_n(fileName_.begin(), std::min(fileName_.size(), file.size() - 1), file.begin());

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = dialog_;
  dialog.lpstrFilter = filterPairs.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.Flags = kOpenFileFlags;
  // Cancel and every failure of the dialog leave the box as it is.
  const auto open = CommonDialogs().Find<decltype(GetOpenFileNameW)>("GetOpenFileNameW");
  if (!open || !open(&dialog)) return;
  fileName_ = file.data();
  if (Text(box) != fileName_) SetText(box, fileName_);
}

void frmOptions::cmdApp_Click() {
  const options::ControlValues values{[this](Ctl c) { return Checked(c); },
                                      [this](Ctl c) { return Text(c); }};
  const options::ApplyPlan plan = options::PlanApply(values, options::ReadNumberInUserLocale);
  if (plan.message) {
    MessageBoxW(dialog_, plan.message, options::kMessageCaption, kMessageStyle);
    return;
  }
  for (const options::Assignment& a : plan.assignments) {
    switch (a.type) {
      case OptionType::Integer:
        SetOptionInteger(a.key, a.number);
        break;
      case OptionType::Boolean:
        SetOptionBoolean(a.key, a.flag);
        break;
      case OptionType::String:
        SetOptionText(a.key, a.text);
        break;
    }
  }
  SaveChangedOptions();
}

void frmOptions::cmdOK_Click() {
  cmdApp_Click();
  Close();
}

void frmOptions::cmdCancel_Click() { Close(); }

HWND frmOptions::Item(Ctl control) const {
  const auto found = items_.find(control);
  return found == items_.end() ? nullptr : found->second;
}

bool frmOptions::Checked(Ctl control) const {
  return SendMessageW(Item(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void frmOptions::Select(Ctl optionButton) {
  const options::ControlSpec* c = options::Find(optionButton);
  if (!c) return;
  for (Ctl button : options::OptionArray(c->key))
    SendMessageW(Item(button), BM_SETCHECK, button == optionButton ? BST_CHECKED : BST_UNCHECKED,
                 0);
}

void frmOptions::SetChecked(Ctl checkBox, bool checked) {
  SendMessageW(Item(checkBox), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::wstring frmOptions::Text(Ctl control) const {
  HWND window = Item(control);
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

void frmOptions::SetText(Ctl control, const std::wstring& text) {
  SetWindowTextW(Item(control), text.c_str());
}

}  // namespace kestrel
