#include "commands/shortcuts.h"

#include "commands/note_commands.h"
#include "commands/style_commands.h"
#include "commands/text_commands.h"
#include "platform/platform.h"
#include "reminders/reminder_dialog.h"
#include "sharing/email_form.h"

namespace pinaleaf {
namespace {

struct Shortcut {
  int key;
  void (*run)();
};

// Tested top to bottom.
const Shortcut kShortcuts[] = {
    {0x41, SelectAll},           // Ctrl+A
    {0x44, DeleteThisNote},      // Ctrl+D
    {0x45, ShowEmailForm},       // Ctrl+E
    {0x46, ChooseNoteFont},      // Ctrl+F
    {0x4E, CreateNewNote},       // Ctrl+N
    {0x4F, ChooseNoteColor},     // Ctrl+O
    {0x52, ShowReminderDialog},  // Ctrl+R
    {0x53, SaveNoteToFile},      // Ctrl+S
    {0x70, InsertDate},          // Ctrl+F1
    {0x71, InsertTime},          // Ctrl+F2
};

}  // namespace

void HandleShortcutKey(int keyCode, int modifiers) {
  if (modifiers != platform::kCtrl) return;
  for (const Shortcut& shortcut : kShortcuts) {
    if (shortcut.key == keyCode) {
      shortcut.run();
      return;
    }
  }
}

}  // namespace pinaleaf
