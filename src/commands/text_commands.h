// Commands on a note's text. Each acts on the active note and does nothing
// when there is none (the save dialog is still shown).
#pragma once

namespace pinaleaf {

class Note;

void SelectAll();
void InsertDate();
void InsertTime();
// Copy, cut and paste act on the focused control's selection.
void CopyText();
void CutText();
void PasteText();
// Ctrl+X in the note's text area: the selection goes only once it is on the
// clipboard; with nothing selected the clipboard is left as it was.
void CutNoteText(Note& note);
void SaveNoteToFile();

}  // namespace pinaleaf
