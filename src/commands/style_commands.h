// Restyling the active note through the standard font and colour dialogs.
#pragma once

namespace pinaleaf {

// Font, effects and text colour; stored as the style of new notes.
void ChooseNoteFont();
// Background of the text area and the strip, for this note only.
void ChooseNoteColor();

}  // namespace pinaleaf
