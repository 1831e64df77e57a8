// Real input through XTest and the X server's own view of the windows, for
// the Linux tests: what the user does and sees, from outside the program.
// No X header here: its macros (None, Above, Success) clash with our names.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace x11 {

using Id = unsigned long;  // an X window
struct Box {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Box&) const = default;
};

// Asks `ready` until it holds, with `pass` between (10 ms asleep unless
// given); false once `ms` have gone.
bool WaitUntil(const std::function<bool()>& ready, int ms, const std::function<void()>& pass = {});

// The shown top-level windows, the top first: all, or those of process `pid`.
std::vector<Id> Shown(long pid = 0);
// A window on the screen (none, 0 wide, once destroyed); the windows in it, the bottom first; the top-level
// window that has the keyboard (0: none); its title; whether it is placed by
// its program alone, as a popup menu is.
Box Geometry(Id window);
// The windows the window manager has taken in (_NET_CLIENT_LIST).
std::vector<Id> Managed();
std::vector<Id> Children(Id window, Id* parent = nullptr);
Id Focused();
std::string Title(Id window);
bool OverrideRedirect(Id window);
// A property's 32-bit items; an atom's number.
std::vector<long> Property(Id window, const char* name);
unsigned long Intern(const char* name);
// _NET_WM_WINDOW_OPACITY as an alpha of 0..255, none when absent;
// _NET_WM_STATE holds a state ("_NET_WM_STATE_ABOVE").
std::optional<int> Opacity(Id window);
bool HasState(Id window, const char* state);
// A compositor draws the screen, and with it windows' opacity.
bool Composited();
// The colours the screen shows in a box, row by row, as 0x00BBGGRR.
std::vector<unsigned> Colours(Box box);

// A button clicked at a point (1 left, 3 right); the left button held from
// one point to another, moved in steps at a hand's pace (`pass` between
// them, 20 ms asleep unless given).
void Click(int x, int y, int button = 1);
void Drag(int x, int y, int toX, int toY, const std::function<void()>& pass = {});
// A key by its keysym's name ("Return", "n", "F1"), with modifiers held as
// the program counts them: 1 Shift, 2 Ctrl, 4 Alt.
void Key(const char* name, int modifiers = 0);
// Any text as typed, a line break as Return.
void Type(const std::u32string& text);
// What a window manager's close box sends.
void CloseBox(Id window);
// A file's bytes, as the program left them.
std::string FileText(const std::string& path);

}  // namespace x11

namespace x11 {

// The pointer moved to a point, as a hand moves it.
void Move(int x, int y);
// A window's title in UTF-8, as the window manager shows it.
std::string Name(Id window);

}  // namespace x11
