// What the contract tests need beyond platform.h: to act as the user and to
// see what the system did. One implementation per backend: the simulated
// platform's test API, or real input and the system's own answers.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"

// Windows print as their number when a test fails.
namespace platform {
inline void PrintTo(Window window, std::ostream* out) { *out << "window " << window.number(); }
}  // namespace platform

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
// Characters typed where the keyboard focus is.
void Type(const Text& text);
// The user answers the next message box or standard dialog: Yes or OK, or
// No or Cancel.
void Answer(bool yes);
// Another program holds the clipboard open, or lets it go.
void HoldClipboard(bool held);
// The form that has the user's keyboard; our visible forms, the top first.
Form ActiveForm();
std::vector<Form> ZOrder();
bool IsTopmost(Form form);
// The alpha a layered form is drawn with; none when it is not layered.
std::optional<int> LayeredAlpha(Form form);
// A file's bytes; a file that holds these and may not be written.
std::string FileBytes(const Text& path);
void MakeUnwritable(const Text& path, const std::string& bytes);

}  // namespace probe
