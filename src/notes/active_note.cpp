#include "notes/active_note.h"

#include "notes/note.h"
#include "notes/settings.h"

namespace pinaleaf {

void ForEachActiveNote(const std::function<void(Note&)>& action, UnreadableRecord rule) {
  // The record is as good as read afresh for every window when it is read
  // again after each action: only an action of ours changes it meanwhile.
  auto record = ReadValue(Setting::ActivehWnd);
  for (Form window : platform::LoadedForms()) {
    bool match = record ? *record == static_cast<double>(window.number()) : rule == UnreadableRecord::MatchesAll;
    if (!match) continue;
    // An earlier action may have closed this window; FromWindow finds no note then.
    if (auto note = Note::FromWindow(window)) {
      action(*note);
      record = ReadValue(Setting::ActivehWnd);
    }
  }
}

std::shared_ptr<Note> ActiveNote() {
  std::shared_ptr<Note> found;
  ForEachActiveNote([&](Note& note) {
    if (!found) found = note.shared_from_this();
  });
  return found;
}

}  // namespace pinaleaf
