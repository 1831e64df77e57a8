// What the contract tests need beyond platform.h: to act as the user and to
// see what the system did. One implementation per backend: the simulated
// platform's test API, or real input and the system's own answers.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace probe {

using namespace platform;

// No forms, an empty settings store.
void Reset();
// Lets `ms` pass, events handled.
void Wait(int ms);
// A left click in the middle of a window; a key, with Shift and Ctrl as
// asked, where the keyboard focus is; the close box.
void Click(Window target);
void Press(Key key, int modifiers = 0);
void Close(Form form);
// Another program holds the clipboard open, or lets it go; false where no
// program can (X11).
bool HoldClipboard(bool held);
// The system's 8-bit text is UTF-8 (Linux), not Windows-1252.
bool AnsiIsUtf8();
// The form that has the user's keyboard; our visible forms, the top first.
Form ActiveForm();
std::vector<Form> ZOrder();
bool IsTopmost(Form form);
// A form's client area, or a control, on the screen in pixels.
Rect OnScreen(Window window);
// The user's scheme has this button face and window text from now on, as
// after a change of theme. False where no screen can show it.
bool SetScheme(Color face, Color text);
// The colour the screen shows at a pixel of a form's client area or a
// control; whether it shows the colour anywhere there.
Color PixelAt(Window window, int x, int y);
bool Shows(Window window, Color color);
// A file's bytes.
std::string FileBytes(const Text& path);
// What the desktop's mail program was handed last.
Text LastShellTarget();

}  // namespace probe
