// What the contract tests need beyond platform.h: to act as the user and to
// see what the system did. One implementation per backend: the simulated
// platform's test API, or real input and the system's own answers.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace probe {

using platform::Handle;

// No forms, an empty settings store.
void Reset();
// Lets `ms` pass, events handled.
void Wait(int ms);
// A left click in the middle of a window; a key, with Shift and Ctrl as
// asked, where the keyboard focus is; the close box.
void Click(Handle target);
void Key(int keyCode, int modifiers = 0);
void Close(Handle form);
// Another program holds the clipboard open, or lets it go.
void HoldClipboard(bool held);
// The form that has the user's keyboard; our visible forms, the top first.
Handle ActiveForm();
std::vector<Handle> ZOrder();
bool IsTopmost(Handle form);

}  // namespace probe
