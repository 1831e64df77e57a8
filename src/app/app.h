// The composition root: the only place that knows every subsystem. It holds
// the command table and wires the popup, the shortcuts and close requests
// into the notes when the program starts.
#pragma once

#include <span>

#include "menu/menu_form.h"

namespace pinaleaf {

// The popup's entries, by name; their order on the menu is the table's.
enum class CommandId : int {
  Cut = 1,
  Copy,
  Paste,
  SelectAll,
  SetReminder,
  CreateNewNote,
  DeleteThisNote,
  Font,
  Color,
  Email,
  SaveNoteToFile,
  InsertDate,
  InsertTime,
  DefaultTranslucency,
  IncreaseTranslucency,
  DecreaseTranslucency,
  AlwaysOnTop,
  EmailAuthor,
  GotoWebSite,
  Quit,
};

// Every entry of the popup, in order, separators included.
std::span<const Command> Commands();

// Runs the command of a popup entry, as choosing it would.
void RunMenuCommand(CommandId id);

// Wires the subsystems together, then loads and shows the start-up note.
// The running Program holds what they keep.
void StartProgram();

}  // namespace pinaleaf
