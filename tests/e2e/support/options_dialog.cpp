#include "e2e/support/options_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "e2e/support/driver.h"
#include "e2e/support/pointer.h"

namespace e2e {
namespace {

constexpr size_t kTextCapacity = 512;

BOOL CALLBACK Collect(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

// Memory in the program's process for messages that carry pointers.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, size_t size)
      : process_(process),
        at_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
  ~RemoteMemory() {
    if (at_) VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  void* at() const { return at_; }
  template <class T>
  bool Write(const T& value, size_t offset = 0) const {
    return WriteProcessMemory(process_, static_cast<char*>(at_) + offset, &value, sizeof(T),
                              nullptr);
  }
  template <class T>
  bool Read(T& value, size_t offset = 0) const {
    return ReadProcessMemory(process_, static_cast<char*>(at_) + offset, &value, sizeof(T),
                             nullptr);
  }

 private:
  HANDLE process_;
  void* at_;
};

POINT Middle(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

}  // namespace

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> all;
  EnumChildWindows(window, &Collect, reinterpret_cast<LPARAM>(&all));
  return all;
}

std::wstring GetText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
    return {};
  std::vector<wchar_t> text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, 5000, &copied))
    return {};
  return std::wstring(text.data(), std::min<size_t>(copied, length));
}

HWND FindOptionsDialog(DWORD processId) {
  for (HWND window : WindowsOf(processId, L"#32770"))
    if (IsWindowVisible(window) && WindowText(window) == kOptionsCaption) return window;
  return nullptr;
}

HWND FindOtherDialog(DWORD processId, const wchar_t* caption) {
  for (HWND window : WindowsOf(processId, L"#32770")) {
    if (!IsWindowVisible(window) || WindowText(window) == kOptionsCaption) continue;
    if (!caption || WindowText(window) == caption) return window;
  }
  return nullptr;
}

HWND OptionsDialog::Item(Ctl control) const {
  for (HWND window : Descendants(dialog_))
    if (GetDlgCtrlID(window) == static_cast<int>(control) &&
        GetAncestor(window, GA_ROOT) == dialog_)
      return window;
  return nullptr;
}

bool OptionsDialog::Checked(Ctl control) const {
  DWORD_PTR state = 0;
  SendMessageTimeoutW(Item(control), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
  return state == BST_CHECKED;
}

std::wstring OptionsDialog::Text(Ctl control) const { return GetText(Item(control)); }

int OptionsDialog::VisiblePage() const {
  int shown = -1, count = 0;
  for (int page = 0; page < kestrel::options::kPageCount; ++page) {
    if (Visible(kestrel::options::PageOf(page))) {
      shown = page;
      ++count;
    }
  }
  return count == 1 ? shown : -1;
}

HWND OptionsDialog::TabControl() const {
  for (HWND window : Descendants(dialog_))
    if (ClassName(window) == WC_TABCONTROLW) return window;
  return nullptr;
}

std::vector<std::wstring> OptionsDialog::TabCaptions() const {
  std::vector<std::wstring> captions;
  HWND tab = TabControl();
  const int count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
  RemoteMemory memory(process_, sizeof(TCITEMW) + kTextCapacity * sizeof(wchar_t));
  auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(memory.at()) + sizeof(TCITEMW));
  for (int i = 0; i < count; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = remoteText;
    item.cchTextMax = static_cast<int>(kTextCapacity);
    memory.Write(item);
    memory.Write(L'\0', sizeof(TCITEMW));
    SendMessageW(tab, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(memory.at()));
    wchar_t text[kTextCapacity] = {};
    ReadProcessMemory(process_, remoteText, text, sizeof(text) - sizeof(wchar_t), nullptr);
    captions.emplace_back(text);
  }
  return captions;
}

std::optional<RECT> OptionsDialog::TabRect(int index) const {
  HWND tab = TabControl();
  RemoteMemory memory(process_, sizeof(RECT));
  if (!SendMessageW(tab, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                    reinterpret_cast<LPARAM>(memory.at())))
    return std::nullopt;
  RECT r{};
  if (!memory.Read(r)) return std::nullopt;
  MapWindowPoints(tab, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT OptionsDialog::ClientRectOf(HWND control) const {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool OptionsDialog::Click(Ctl control) const {
  RECT r{};
  if (!GetWindowRect(Item(control), &r)) return false;
  return input::ClickAt(Middle(r), input::Button::Left);
}

bool OptionsDialog::ClickTab(int index) const {
  const auto r = TabRect(index);
  return r && input::ClickAt(Middle(*r), input::Button::Left);
}

void ExpectLayout(const OptionsDialog& dialog, int dpi) {
  using namespace kestrel::options;
  RECT outer{};
  GetWindowRect(dialog.window(), &outer);
  EXPECT_EQ(outer.right - outer.left, TwipsToPixels(kFormWidthTwips, dpi));
  EXPECT_EQ(outer.bottom - outer.top, TwipsToPixels(kFormHeightTwips, dpi));
  for (const ControlSpec& c : Controls()) {
    // The expected place in the dialog's client area: the control's own
    // placement plus that of every window it sits in.
    Placement p = PlaceControl(c, dpi);
    RECT expected{p.at.left, p.at.top, p.at.left + p.at.width, p.at.top + p.at.height};
    while (p.parent != Ctl::None) {
      p = PlaceControl(*Find(p.parent), dpi);
      OffsetRect(&expected, p.at.left, p.at.top);
    }
    const RECT actual = dialog.ClientRectOf(dialog.Item(c.id));
    SCOPED_TRACE(c.name);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    if (c.kind == Kind::Label) {
      EXPECT_GE(actual.right, expected.right);
      EXPECT_GE(actual.bottom, expected.bottom);
    } else {
      EXPECT_EQ(actual.right, expected.right);
      EXPECT_EQ(actual.bottom, expected.bottom);
    }
  }
}

namespace input {

void Type(const std::wstring& text) {
  for (wchar_t c : text) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wScan = in[1].ki.wScan = c;
    in[0].ki.dwFlags = KEYEVENTF_UNICODE;
    in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
  }
  PumpFor(std::chrono::milliseconds(100));
}

void KeyWith(std::initializer_list<WORD> modifiers, WORD vk) {
  for (WORD m : modifiers) KeyDown(m);
  Key(vk);
  for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) KeyUp(*m);
  PumpFor(std::chrono::milliseconds(200));
}

}  // namespace input
}  // namespace e2e
