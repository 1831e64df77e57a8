// Keeps the text box's own context menu out of a note's text area, so the
// note's popup is the only context menu a note has.
#pragma once

namespace pinaleaf {

class Note;

void HookContextMenu(Note& note);
// Harmless when the hook is already gone.
void UnhookContextMenu(Note& note);

}  // namespace pinaleaf
