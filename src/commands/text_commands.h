// Commands on a note's text. Each acts on the active note and does nothing
// when there is none (the save dialog is still shown).
#pragma once

namespace pinaleaf {

void SelectAll();
void InsertDate();
void InsertTime();
// Copy, cut and paste act on the focused control's selection.
void CopyText();
void CutText();
void PasteText();
void SaveNoteToFile();

}  // namespace pinaleaf
