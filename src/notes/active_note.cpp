#include "notes/active_note.h"

#include "notes/note.h"
#include "notes/settings.h"
#include "notes/values.h"

namespace pinaleaf {

void ForEachActiveNote(const std::function<void(Note&)>& action, UnreadableRecord rule) {
  // The record is as good as read afresh for every window when it is read
  // again after each action: only an action of ours changes it meanwhile.
  auto record = ParseNumber(ReadSetting(u"ActivehWnd"));
  for (Handle window : platform::LoadedForms()) {
    bool match = record ? *record == static_cast<double>(window) : rule == UnreadableRecord::MatchesAll;
    if (!match) continue;
    // An earlier action may have closed this window; FromHandle finds no note then.
    if (auto note = Note::FromHandle(window)) {
      action(*note);
      record = ParseNumber(ReadSetting(u"ActivehWnd"));
    }
  }
}

}  // namespace pinaleaf
