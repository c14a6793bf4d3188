#include "e2e/support/pointer.h"

#include <optional>
#include <string>
#include <vector>

#include "e2e/support/driver.h"

namespace e2e::input {
namespace {

// How long the cursor must stay at its target: Wine warps a moved cursor
// back a few milliseconds after a move, if at all, well within this time.
constexpr auto kSteadyFor = 150ms;
constexpr int kMoveAttempts = 20;
// xdotool is a Linux program; Wine starts it from a Unix path on drive Z:.
constexpr wchar_t kXdotool[] = L"Z:\\usr\\bin\\xdotool";

bool CursorAt(POINT target) {
  POINT now{};
  return GetCursorPos(&now) && now.x == target.x && now.y == target.y;
}

// Where the last move sent the pointer; buttons are pressed there.
std::optional<POINT> lastTarget;

// Sets an absolute position on a mouse input: the centre of the target pixel
// in the 0..65535 range of the virtual screen.
void SetPosition(INPUT& in, POINT target) {
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  in.mi.dx = static_cast<LONG>(((target.x - left) * 65536LL + 32768) / width);
  in.mi.dy = static_cast<LONG>(((target.y - top) * 65536LL + 32768) / height);
  in.mi.dwFlags |= MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
}

void SendMove(POINT target) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  SetPosition(in, target);
  SendInput(1, &in, sizeof(in));
  lastTarget = target;
}

DWORD ButtonFlags(Button button, bool down) {
  switch (button) {
    case Button::Left:
      return down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    case Button::Right:
      return down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    case Button::Middle:
      break;
  }
  return down ? MOUSEEVENTF_MIDDLEDOWN : MOUSEEVENTF_MIDDLEUP;
}

void SendButton(Button button, bool down) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = ButtonFlags(button, down);
  // Wine can warp the pointer back even after it stood still at the target;
  // a button that carries its position is pressed where the test meant.
  if (lastTarget) SetPosition(in, *lastTarget);
  SendInput(1, &in, sizeof(in));
}

const wchar_t* XKeyName(Modifier modifier) {
  switch (modifier) {
    case Modifier::Shift:
      return L"shift";
    case Modifier::Ctrl:
      return L"ctrl";
    case Modifier::Alt:
      break;
  }
  return L"alt";
}

int VirtualKey(Modifier modifier) {
  switch (modifier) {
    case Modifier::Shift:
      return VK_SHIFT;
    case Modifier::Ctrl:
      return VK_CONTROL;
    case Modifier::Alt:
      break;
  }
  return VK_MENU;
}

bool IsDown(Modifier modifier) { return GetAsyncKeyState(VirtualKey(modifier)) < 0; }

// Wine starts a Unix program but hands back no process handle for it, so the
// caller waits for the effect, the key state, instead of the process.
void RunXdotool(const std::wstring& arguments) {
  std::wstring command = std::wstring(kXdotool) + L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &process)) {
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
  }
}

}  // namespace

bool MoveTo(POINT target) {
  for (int attempt = 0; attempt < kMoveAttempts; ++attempt) {
    SendMove(target);
    if (!WaitUntil([&] { return CursorAt(target); }, 500ms)) continue;
    // Steady: still there after Wine had its chance to warp it back.
    if (!WaitUntil([&] { return !CursorAt(target); }, kSteadyFor)) return true;
  }
  return false;
}

void Press(Button button) { SendButton(button, true); }
void KeepPointerWhereItIs() {
  POINT now{};
  if (GetCursorPos(&now)) lastTarget = now;
}
void Release(Button button) { SendButton(button, false); }

bool ClickAt(POINT at, Button button) {
  const bool moved = MoveTo(at);
  Press(button);
  Release(button);
  return moved;
}

HeldModifiers::HeldModifiers(std::initializer_list<Modifier> modifiers) {
  std::wstring arguments = L"keydown";
  for (Modifier modifier : modifiers) arguments += std::wstring(L" ") + XKeyName(modifier);
  if (modifiers.size() == 0) {
    held_ = true;
    return;
  }
  RunXdotool(arguments);
  const std::vector<Modifier> wanted(modifiers);
  held_ = WaitUntil(
      [&] {
        for (Modifier modifier : wanted)
          if (!IsDown(modifier)) return false;
        return true;
      },
      5s);
}

HeldModifiers::~HeldModifiers() { ReleaseAllModifiers(); }

bool ReleaseAllModifiers() {
  const Modifier all[] = {Modifier::Shift, Modifier::Ctrl, Modifier::Alt};
  auto allUp = [&] {
    for (Modifier modifier : all)
      if (IsDown(modifier)) return false;
    return true;
  };
  // Sent even when all look up: the X server may still hold one down.
  RunXdotool(L"keyup shift ctrl alt");
  return WaitUntil(allUp, 5s);
}

}  // namespace e2e::input
