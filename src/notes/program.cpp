#include "notes/program.h"

#include "notes/note.h"

namespace pinaleaf {
namespace {
Handle g_startupNote = 0;
}

void StartProgram() {
  auto note = Note::Load();
  g_startupNote = note->window();
  note->Show();
}

Handle StartupNoteWindow() { return Note::FromHandle(g_startupNote) ? g_startupNote : 0; }

}  // namespace pinaleaf
