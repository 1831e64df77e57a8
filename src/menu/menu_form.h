// The popup menu that all notes share, on a hidden host window, and the Ctrl
// shortcuts of a note's text area: both built from one command table.
#pragma once

#include <span>

#include "platform/platform.h"

namespace pinaleaf {

class Note;

// One entry of the popup, and its shortcut.
struct Command {
  int id;                          // 0: a separator
  const char16_t* caption;
  const char16_t* shortcutLabel;   // shown at the right of the caption only
  int key;                         // Ctrl + this virtual key runs it; 0: no key
  void (*run)();
  bool (*checked)();               // a check item shows this state; null otherwise
};

// The hidden host. It is loaded once and stays, counted among the program's
// windows, until the process ends.
class MenuForm : public platform::EventSink {
 public:
  // Loads the host with a popup of `commands` (kept, not copied), or returns
  // the one loaded already.
  static MenuForm& Load(std::span<const Command> commands);
  // The loaded host; null before the first Load.
  static MenuForm* Current();

  platform::Handle window() const { return window_; }
  platform::MenuId popup() const { return popup_; }
  std::span<const Command> commands() const { return commands_; }

  // Never closed by the user: it has no frame to close.
  bool OnCloseRequest(platform::Handle) override { return false; }

 private:
  platform::Handle window_ = 0;
  platform::MenuId popup_ = 0;
  std::span<const Command> commands_;
};

// Shows the popup at the pointer, owned by `note`, and runs the chosen
// command before it returns. A popup opened from the text area keeps that
// text area disabled while the menu is open.
void ShowNotePopup(Note& note, bool fromTextArea);

// Runs the command with this id, if there is one.
void RunCommand(std::span<const Command> commands, int id);

// Runs the command of a Ctrl shortcut. Only Ctrl alone counts; the key still
// goes on to the text area afterwards.
void RunShortcut(std::span<const Command> commands, int keyCode, int modifiers);

}  // namespace pinaleaf
