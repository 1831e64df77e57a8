#include "commands/note_commands.h"

#include <algorithm>
#include <cstdint>

#include "notes/active_note.h"
#include "notes/note.h"
#include "notes/stay_on.h"
#include "platform/platform.h"

namespace pinaleaf {
namespace {

constexpr Twips kCascadeStep = 500;

// The eight values a new note copies, in the order they are applied.
struct TextStyle {
  platform::Color color = 0;
  platform::Font font;
  Twips textWidth = 0;
};

TextStyle CaptureStyle(const Note& note) {
  return {platform::GetForeColor(note.textArea()), platform::GetFont(note.textArea()),
          platform::GetRect(note.textArea()).width};
}

void ApplyStyle(const Note& note, const TextStyle& style) {
  ApplyTextStyle(note.textArea(), style.color, style.font);
  platform::Rect rect = platform::GetRect(note.textArea());
  rect.width = std::max(style.textWidth, kNoteMinWidth);  // a text area too narrow to reach is not copied
  platform::SetRect(note.textArea(), rect);
}

// A coordinate of the cascade that would leave the work area starts again at
// its near edge, so every new note can be reached. Sums in 64 bits: a note
// can stand anywhere.
Twips KeepInside(std::int64_t wanted, Twips size, Twips areaStart, Twips areaSize) {
  if (wanted < areaStart || wanted + size > std::int64_t{areaStart} + areaSize)
    return areaStart;
  return static_cast<Twips>(wanted);
}

void Place(const Note& note, const Note& from) {
  platform::Rect source = platform::GetRect(from.window());
  platform::Rect rect = platform::GetRect(note.window());
  platform::Rect area = platform::WorkArea(from.window());
  rect.top = KeepInside(std::int64_t{source.top} + kCascadeStep, rect.height, area.top, area.height);
  rect.left = KeepInside(std::int64_t{source.left} + kCascadeStep, rect.width, area.left, area.width);
  platform::SetRect(note.window(), rect);
}

// The last-note question, a dialog of the note's own.
bool WantsToQuit(const Note& note) {
  OwnedDialog question(note.window());
  return platform::AskYesNo(note.window(), u"This is the last note. Would you like to quit?", u"Quit?") ==
         platform::Answer::Yes;
}

}  // namespace

void CreateNewNote() {
  ForEachActiveNote([](Note& active) {
    TextStyle style = CaptureStyle(active);
    auto note = Note::Load(active.window());
    Place(*note, active);
    ApplyStyle(*note, style);
    FollowAlwaysOnTop(note->window());
    note->Show();
  });
}

void DeleteThisNote() {
  // The only note is asked about whatever the record says, as it is the
  // one that would close.
  if (Note::Count() == 1)
    return CloseNote(*Note::FromWindow(AnyNoteWindow()));
  ForEachActiveNote([](Note& note) { CloseNote(note); });
}

void CloseNote(Note& note) {
  if (note.HasOpenDialog())
    return;
  if (Note::Count() == 1) {
    if (!WantsToQuit(note))
      return;
    UnhookContextMenu(note);
    QuitProgram();
  }
  UnhookContextMenu(note);
  note.Unload();
}

void QuitProgram() {
  platform::EndProcess();
}

}  // namespace pinaleaf
