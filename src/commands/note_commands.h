// Commands that open and close notes, and the end of the program.
#pragma once

namespace pinaleaf {

class Note;

// Opens a note 500 twips right of and below the active note, in its style,
// kept wholly inside the work area that holds the active note.
void CreateNewNote();
// Closes the active note; with one note left, asks whether to quit instead.
void DeleteThisNote();
// Closes this note as DeleteThisNote would (Alt+F4 and other close requests);
// a note with a dialog of its own open stays.
void CloseNote(Note& note);
// Ends the program at once: no unload handling runs, nothing is written.
[[noreturn]] void QuitProgram();

}  // namespace pinaleaf
