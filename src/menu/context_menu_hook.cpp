#include "menu/context_menu_hook.h"

#include "notes/note.h"

namespace pinaleaf {

void HookContextMenu(Note& note) { platform::BlockContextMenu(note.textArea()); }

void UnhookContextMenu(Note& note) { platform::UnblockContextMenu(note.textArea()); }

}  // namespace pinaleaf
