#include "notes/active_note.h"

#include "notes/note.h"
#include "notes/settings.h"
#include "platform/platform.h"

namespace pinaleaf {

void ForEachActiveNote(const std::function<void(Note&)>& action, UnreadableRecord rule) {
  // The record as the scan begins. An action that waits for the user (a
  // popup, a dialog) may see the pointer cross another note, which then
  // records itself: the scan must not go on to act on that one too.
  auto record = ReadSetting(keys::ActivehWnd);
  for (Form window : platform::LoadedForms()) {
    bool match = record ? *record == static_cast<double>(window.number()) : rule == UnreadableRecord::MatchesAll;
    // An earlier action may have closed this window; FromWindow finds no note then.
    if (auto note = match ? Note::FromWindow(window) : nullptr)
      action(*note);
  }
}

std::shared_ptr<Note> ActiveNote() {
  std::shared_ptr<Note> found;
  ForEachActiveNote([&](Note& note) {
    if (!found)
      found = note.shared_from_this();
  });
  return found;
}

}  // namespace pinaleaf
