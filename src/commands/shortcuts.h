// The Ctrl shortcuts of a note's text area.
#pragma once

namespace pinaleaf {

// Runs the command of a Ctrl shortcut on the active note. Only Ctrl alone
// counts; the key still goes on to the text area afterwards.
void HandleShortcutKey(int keyCode, int modifiers);

}  // namespace pinaleaf
