// The popup menu that all notes share, on a hidden host window, and the Ctrl
// shortcuts of a note's text area: both built from one command table.
#pragma once

#include <span>

#include "platform/platform.h"

namespace pinaleaf {

class Note;

// The ids of the commands; the program's start defines them (app/).
enum class CommandId : int;

// A Ctrl shortcut, and the label the popup shows for it. A label-only one is
// shown but runs nothing: the text box's own key, or none at all.
struct Shortcut {
  platform::Key key = platform::Key::None;
  bool runs = false;
};
constexpr Shortcut Ctrl(platform::Key key) {
  return {key, true};
}
constexpr Shortcut LabelOnly(platform::Key key) {
  return {key, false};
}
// "Ctrl+A", "Ctrl+F1"; empty for none.
platform::Text ShortcutLabel(Shortcut shortcut);

// One entry of the popup, and its shortcut.
struct Command {
  CommandId id;
  const char16_t* caption;  // null: a separator
  Shortcut shortcut;
  void (*run)();
  bool (*checked)() = nullptr;  // a check item shows this state
};
constexpr Command kSeparator{CommandId{}, nullptr, {}, nullptr};

// Whether no two entries share a key or an id; checked when the program is
// built.
constexpr bool KeysAndIdsAreUnique(std::span<const Command> commands) {
  for (size_t i = 0; i < commands.size(); ++i) {
    for (size_t j = i + 1; commands[i].caption && j < commands.size(); ++j) {
      if (!commands[j].caption)
        continue;
      if (commands[i].id == commands[j].id)
        return false;
      if (commands[i].shortcut.key != platform::Key::None && commands[i].shortcut.key == commands[j].shortcut.key) {
        return false;
      }
    }
  }
  return true;
}

// The hidden host. It is loaded once and stays, counted among the program's
// windows, until the process ends.
class MenuForm : public platform::EventSink {
 public:
  // Loads the host with a popup of `commands` (kept, not copied), or returns
  // the one loaded already.
  static MenuForm& Load(std::span<const Command> commands);

  platform::Form window() const {
    return window_;
  }
  platform::MenuId popup() const {
    return popup_;
  }
  std::span<const Command> commands() const {
    return commands_;
  }

  // Never closed by the user: it has no frame to close.
  bool OnCloseRequest(platform::Form) override {
    return false;
  }

 private:
  platform::Form window_;
  platform::MenuId popup_ = 0;
  std::span<const Command> commands_;
};

// Shows the popup at the pointer, owned by `note`, and runs the chosen
// command before it returns. A popup opened from the text area keeps that
// text area disabled while the menu is open.
void ShowNotePopup(Note& note, bool fromTextArea);

// Runs the command with this id, if there is one.
void RunCommand(std::span<const Command> commands, CommandId id);

// Runs the command of a Ctrl shortcut. Only Ctrl alone counts; the key still
// goes on to the text area afterwards.
void RunShortcut(std::span<const Command> commands, platform::Key key, int modifiers);

}  // namespace pinaleaf
