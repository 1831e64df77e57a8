// Start of the program: the start-up note.
#pragma once

#include "platform/platform.h"

namespace pinaleaf {

// Creates, loads and shows the start-up note at its design position.
void StartProgram();
// The start-up note's window, while it is open; 0 after it was closed.
platform::Handle StartupNoteWindow();

}  // namespace pinaleaf
