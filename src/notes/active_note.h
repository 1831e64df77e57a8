// Finding the note a command acts on: the loaded window whose handle equals
// the number stored under "ActivehWnd".
#pragma once

#include <functional>
#include <memory>

namespace pinaleaf {

class Note;

// What a record that is not a number (empty, or text) matches.
enum class UnreadableRecord { MatchesNone, MatchesAll };

// Runs `action` on every loaded note that matches the record as it reads
// when the scan begins, in load order; windows that are not notes are never
// acted on.
void ForEachActiveNote(const std::function<void(Note&)>& action, UnreadableRecord rule = UnreadableRecord::MatchesNone);

// The note the record names now; null when it names none. A command that
// waits for a dialog takes its note here first, since the pointer crossing
// another note meanwhile makes that one the active note.
std::shared_ptr<Note> ActiveNote();

}  // namespace pinaleaf
