#include "menu/menu_form.h"

#include <memory>

#include "notes/note.h"
#include "notes/program.h"
#include "notes/values.h"
#include "platform/platform.h"

namespace pinaleaf {

using platform::Key;

platform::Text ShortcutLabel(Shortcut shortcut) {
  Key key = shortcut.key;
  if (key >= Key::A && key <= Key::Z)
    return u"Ctrl+" + platform::Text(1, static_cast<char16_t>(key));
  if (key >= Key::F1 && key <= Key::F12)
    return u"Ctrl+F" + FormatInteger(1 + int(key) - int(Key::F1));
  return {};
}

MenuForm& MenuForm::Load(std::span<const Command> commands) {
  if (auto loaded = LoadedOne<MenuForm>())
    return *loaded;
  auto form = std::make_shared<MenuForm>();
  platform::FormSpec design;
  design.kind = platform::FormKind::Hidden;
  design.caption = u"MenuForm";
  form->window_ = platform::CreateForm(design, form);
  form->commands_ = commands;
  form->popup_ = platform::CreatePopupMenu();
  for (const Command& command : commands) {
    if (!command.caption) {
      platform::AppendMenuSeparator(form->popup_);
    } else {
      platform::AppendMenuItem(form->popup_, static_cast<int>(command.id), command.caption,
                               ShortcutLabel(command.shortcut));
    }
  }
  return *form;
}

void ShowNotePopup(Note& note, bool fromTextArea) {
  auto menu = LoadedOne<MenuForm>();
  if (!menu)
    return;
  for (const Command& command : menu->commands()) {
    if (command.checked)
      platform::SetMenuChecked(menu->popup(), static_cast<int>(command.id), command.checked());
  }
  platform::Form window = note.window();
  platform::TextBox text = note.textArea();
  // Disabling the text area takes its focus away, and enabling it does not
  // bring it back: it is given back here unless something else took it.
  bool hadFocus = platform::GetFocus() == text;
  if (fromTextArea)
    platform::SetEnabled(text, false);
  int chosen = platform::TrackPopupMenu(menu->popup(), window);
  // Enabled again before the command runs, so that a command can give the
  // text area the focus, or move it elsewhere; a note closed meanwhile is
  // left alone.
  if (fromTextArea && platform::IsLoaded(window)) {
    platform::SetEnabled(text, true);
    if (hadFocus && !platform::GetFocus())
      platform::SetFocus(text);
  }
  if (chosen != 0)
    RunCommand(menu->commands(), static_cast<CommandId>(chosen));
}

void RunCommand(std::span<const Command> commands, CommandId id) {
  for (const Command& command : commands) {
    if (command.caption && command.id == id && command.run)
      return command.run();
  }
}

void RunShortcut(std::span<const Command> commands, Key key, int modifiers) {
  if (modifiers != platform::kCtrl)
    return;
  for (const Command& command : commands) {
    if (command.shortcut.runs && command.shortcut.key == key)
      return command.run();
  }
}

}  // namespace pinaleaf
