// The composition root: the only place that knows every subsystem. It holds
// the command table and wires the popup, the shortcuts and close requests
// into the notes when the program starts.
#pragma once

#include <span>

#include "menu/menu_form.h"

namespace pinaleaf {

// The popup's entries, numbered in their order on the menu.
enum CommandId : int {
  kCutItem = 1,
  kCopyItem = 2,
  kPasteItem = 3,
  kSelectAllItem = 4,
  kSetReminderItem = 6,
  kCreateNewNoteItem = 8,
  kDeleteThisNoteItem = 9,
  kFontItem = 11,
  kColorItem = 12,
  kEmailItem = 14,
  kSaveNoteToFileItem = 15,
  kInsertDateItem = 17,
  kInsertTimeItem = 18,
  kDefaultTranslucencyItem = 20,
  kIncreaseTranslucencyItem = 21,
  kDecreaseTranslucencyItem = 22,
  kAlwaysOnTopItem = 23,
  kEmailAuthorItem = 25,
  kGotoWebSiteItem = 26,
  kQuitItem = 27,
};

// Every entry of the popup, in order, separators included.
std::span<const Command> Commands();

// Runs the command of a popup entry, as choosing it would.
void RunMenuCommand(int id);

// Wires the subsystems together, then loads and shows the start-up note.
void StartProgram();

}  // namespace pinaleaf
