#include "menu/menu_form.h"

#include <memory>

#include "notes/note.h"

namespace pinaleaf {
namespace {

std::shared_ptr<MenuForm>& Instance() {
  static std::shared_ptr<MenuForm> instance;
  return instance;
}

}  // namespace

MenuForm& MenuForm::Load(std::span<const Command> commands) {
  if (MenuForm* loaded = Current()) return *loaded;
  auto form = std::make_shared<MenuForm>();
  Instance() = form;
  platform::FormSpec design;
  design.kind = platform::FormKind::Hidden;
  design.caption = u"MenuForm";
  form->window_ = platform::CreateForm(design, form);
  form->commands_ = commands;
  form->popup_ = platform::CreatePopupMenu();
  for (const Command& command : commands) {
    if (command.id == 0) {
      platform::AppendMenuSeparator(form->popup_);
    } else {
      platform::AppendMenuItem(form->popup_, command.id, command.caption, command.shortcutLabel);
    }
  }
  return *form;
}

MenuForm* MenuForm::Current() {
  auto& instance = Instance();
  if (instance && !platform::IsLoaded(instance->window_)) instance.reset();
  return instance.get();
}

void ShowNotePopup(Note& note, bool fromTextArea) {
  MenuForm* menu = MenuForm::Current();
  if (!menu) return;
  for (const Command& command : menu->commands()) {
    if (command.checked) platform::SetMenuChecked(menu->popup(), command.id, command.checked());
  }
  Handle window = note.window();
  Handle text = note.textArea();
  // Disabling the text area takes its focus away, and enabling it does not
  // bring it back: it is given back here unless something else took it.
  bool hadFocus = platform::GetFocus() == text;
  if (fromTextArea) platform::SetEnabled(text, false);
  int chosen = platform::TrackPopupMenu(menu->popup(), window);
  // Enabled again before the command runs, so that a command can give the
  // text area the focus, or move it elsewhere; a note closed meanwhile is
  // left alone.
  if (fromTextArea && platform::IsLoaded(window)) {
    platform::SetEnabled(text, true);
    if (hadFocus && platform::GetFocus() == 0) platform::SetFocus(text);
  }
  RunCommand(menu->commands(), chosen);
}

void RunCommand(std::span<const Command> commands, int id) {
  for (const Command& command : commands) {
    if (id != 0 && command.id == id && command.run) return command.run();
  }
}

void RunShortcut(std::span<const Command> commands, int keyCode, int modifiers) {
  if (modifiers != platform::kCtrl || keyCode == 0) return;
  for (const Command& command : commands) {
    if (command.key == keyCode) return command.run();
  }
}

}  // namespace pinaleaf
