// What only the program's own process can tell of its windows under Wine,
// where another process can read neither a window's font nor a popup's
// entries: a line for each control with its font, and one for each entry
// of an open popup menu.
//
//   1048652 font="Arial 9pt bold"        a control, by its handle
//   "Select All" "Ctrl+A"                an entry: caption, shortcut label
//   "Always On Top" checked              (the menu splits them at the tab)
//   ----                                 a separator
//
// Built into describe.dll, which the tests hook into the program.
#pragma once

#include <windows.h>

#include <string>

namespace screen {

std::string Describe();
std::string Utf8(const std::wstring& text);
// A window's text, from any process.
std::wstring TextOf(HWND hwnd);

}  // namespace screen
