#pragma once
// mdlTabControl: the native tab control of frmOptions, created in the host
// picture box picTabcontrol, whose window procedure is replaced while the
// dialog is open so that a selection change switches the pages.

#include <windows.h>

#include <array>

namespace kestrel {

// The native tab control; set when the dialog opens, left as it is after.
extern HWND hTabControl;

// Called with the selected tab after every TCN_SELCHANGE: hides every page
// and shows the selected one. Set by the dialog before the host is
// subclassed.
using ShowPageFunction = void (*)(int selected);

// Creates the tab control over the whole host, with the default GUI font and
// the four tabs, then subclasses the host.
void CreateTabControl(HWND picTabcontrol, HINSTANCE instance, ShowPageFunction showPage);

// Sizes the tab control to the whole host again and gives it a font (null:
// the default GUI font), after the dialog was laid out for a resolution.
void LayOutTabControl(HWND picTabcontrol, HFONT font);

void SubclassTabHost(HWND host);
void RestoreTabHost(HWND host);
LRESULT CALLBACK TabHostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Alt+R, Alt+C, Alt+T, Alt+H (only Alt held, shift state 4) move the tab
// control's focus to their tab, which then reports the change like a click.
// The key is not consumed.
void TabShortcutKeyDown(int keyCode, int shiftState);

// Destroys the tab control and gives the host its own procedure back.
void DestroyTabControl(HWND picTabcontrol);

}  // namespace kestrel
