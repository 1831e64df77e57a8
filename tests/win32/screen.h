// What this process shows, as text: a line per top-level window, the front
// one first, and under it an indented line per control or popup-menu entry:
//
//   PinaleafForm "Form1" at=135,137 size=133x157 style=POPUP|CLIPCHILDREN|CLIPSIBLINGS
//       ex=TOPMOST|TOOLWINDOW|LAYERED alpha=200 shown enabled focus client=133x157 z=0 active colours=#FFFFC0,#000000
//     Edit "milk" at=0,24 size=133x133 style=CHILD|TABSTOP|0x1144 shown enabled focus font="Arial 9pt"
//       colours=#FFFFC0,#000000
//
// Windows stand at screen pixels, controls at pixels of their window's
// client area; z counts the shown windows of all programs in front. focus:
// the keyboard is there. colours: of the screen's own pixels over the client
// area (a window's controls included), the colours of 1% of them or more,
// the commonest first. A text longer than 60 characters is cut, with chars=N
// after it. A popup menu says items=N, then an entry a line: "Caption"
// "Shortcut label" (the menu splits them at the tab), checked, grayed; a
// separator as ----. Of hidden windows, only those of the program's own classes.
#pragma once

#include <windows.h>

#include <string>

namespace screen {

std::string Describe();
std::string Utf8(const std::wstring& text);
// A window's text, from any process.
std::wstring TextOf(HWND hwnd);

}  // namespace screen
