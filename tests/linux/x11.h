// Real input through XTest and the X server's own view of the windows, for
// the Linux tests: what the user does and sees, from outside the program.
// No X header here: its macros (None, Above, Success) clash with our names.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace x11 {

using Id = unsigned long;  // an X window
struct Box {
  int x, y, width, height;
};

// What passes between tries and a hand's moves: `ms` asleep, unless a
// program in this process has to handle its events meanwhile.
extern std::function<void(int ms)> pause;
// Asks `ready` until it holds, 10 ms apart; false once `ms` have gone.
bool WaitUntil(const std::function<bool()>& ready, int ms);

// The shown windows that their programs place through the window manager
// (not popups), the top first; the one shown at a point of the screen (0:
// none); a window on the screen (none, 0 wide, once destroyed); the window
// that has the keyboard.
std::vector<Id> Shown();
Id At(int x, int y);
Box Geometry(Id);
Id Focused();
// A property's 32-bit items, and its text when asked for (of 8-bit items,
// as _NET_WM_NAME's UTF-8).
std::vector<long> Property(Id window, const char* name, std::string* text = nullptr);
// _NET_WM_WINDOW_OPACITY as an alpha of 0..255 (255 when absent);
// _NET_WM_STATE holds a state ("_NET_WM_STATE_ABOVE").
int Opacity(Id);
bool HasState(Id, const char* state);
// A compositor draws the screen, and with it windows' opacity.
bool Composited();
// The colours the screen shows in a box, row by row, as 0x00BBGGRR.
std::vector<unsigned> Colours(int x, int y, int width, int height);

// The pointer moved to a point, as a hand moves it; a button clicked there
// (1 left, 3 right); the left button held from one point to another, moved
// in steps at a hand's pace.
void Move(int x, int y);
void Click(int x, int y, int button = 1);
void Drag(int x, int y, int toX, int toY);
// A key by its keysym's name ("Return", "n", "F1", "U65E5" for any
// character) or number ("0xFF09"), with modifiers held as the program
// counts them: 1 Shift, 2 Ctrl, 4 Alt.
void Key(const char* name, int modifiers = 0);
// What a window manager's close box sends.
void CloseBox(Id);
// A file's bytes, as the program left them.
std::string FileText(const std::string& path);

}  // namespace x11
