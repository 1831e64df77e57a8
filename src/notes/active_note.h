// Finding the note a command acts on: the loaded window whose handle equals
// the number stored under "ActivehWnd".
#pragma once

#include <functional>

namespace pinaleaf {

class Note;

// What a record that is not a number (empty, or text) matches.
enum class UnreadableRecord { MatchesNone, MatchesAll };

// Runs `action` on every loaded note that matches the record, in load order.
// The record is read afresh for each window; windows that are not notes are
// never acted on.
void ForEachActiveNote(const std::function<void(Note&)>& action,
                       UnreadableRecord rule = UnreadableRecord::MatchesNone);

}  // namespace pinaleaf
