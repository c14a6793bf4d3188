#pragma once
// Pointer input that survives Wine: a move is sent again until the cursor
// stays at its target, and Shift, Ctrl and Alt are held through the X
// keyboard (they are lost within milliseconds when held with SendInput and
// the pointer moves).

#include <windows.h>

#include <initializer_list>

namespace e2e::input {

enum class Button { Left, Right, Middle };
enum class Modifier { Shift, Ctrl, Alt };

// Moves the pointer to a screen point and waits until it stays there.
// False when it would not stay.
bool MoveTo(POINT target);
// Pressed and released where the last move sent the pointer.
void Press(Button button);
void Release(Button button);
// Makes where the pointer is now the place of the next press and release:
// after the program itself moved it (the arrow keys on the overlay).
void KeepPointerWhereItIs();
// Moves there, then presses and releases.
bool ClickAt(POINT at, Button button);

// Holds modifiers for its lifetime. Every modifier is released on
// destruction, also those it did not press, so no test leaves one behind.
class HeldModifiers {
 public:
  explicit HeldModifiers(std::initializer_list<Modifier> modifiers);
  ~HeldModifiers();
  HeldModifiers(const HeldModifiers&) = delete;
  HeldModifiers& operator=(const HeldModifiers&) = delete;
  // True when every requested modifier reached the system's key state.
  bool held() const { return held_; }

 private:
  bool held_ = false;
};

// Releases Shift, Ctrl and Alt and waits until the system sees them up.
bool ReleaseAllModifiers();

}  // namespace e2e::input
