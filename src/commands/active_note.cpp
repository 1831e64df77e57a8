#include "commands/active_note.h"

#include "notes/note.h"
#include "notes/settings.h"
#include "notes/values.h"

namespace pinaleaf {

void ForEachActiveNote(const std::function<void(Note&)>& action, UnreadableRecord rule) {
  for (Handle window : platform::LoadedForms()) {
    auto record = ParseNumber(ReadSetting(u"ActivehWnd"));
    bool match = record ? *record == static_cast<double>(window) : rule == UnreadableRecord::MatchesAll;
    if (!match) continue;
    // An earlier action may have closed this window; FromHandle finds no note then.
    if (auto note = Note::FromHandle(window)) action(*note);
  }
}

}  // namespace pinaleaf
