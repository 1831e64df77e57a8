#include "commands/text_commands.h"

#include <algorithm>
#include <string>

#include "notes/active_note.h"
#include "notes/common_dialog.h"
#include "notes/note.h"
#include "notes/values.h"
#include "platform/platform.h"

namespace pinaleaf {
namespace {

// Puts `inserted` at the caret by setting the whole text, which leaves the
// caret at the start and the selection empty.
void InsertAtCaret(Note& note, const Text& inserted) {
  TextBox text = note.textArea();
  Text current = platform::GetText(text);
  size_t caret = std::min(static_cast<size_t>(std::max(platform::GetSelStart(text), 0)), current.size());
  platform::SetText(text, current.substr(0, caret) + inserted + current.substr(caret));
  platform::SetSelection(text, 0, 0);
}

// What the clipboard commands act on: the focused text box, once an active
// note confirms there is a note to act for; that note owns the clipboard.
struct ClipboardTarget {
  TextBox control;
  Form owner;
};

ClipboardTarget FindClipboardTarget() {
  ClipboardTarget target;
  ForEachActiveNote([&](Note& note) { target.owner = note.window(); });
  if (target.owner)
    target.control = platform::FocusedTextBox();
  return target;
}

// The selection goes only once it is on the clipboard.
void Cut(const ClipboardTarget& target) {
  if (target.control && platform::ClipboardPut(target.owner, platform::GetSelectedText(target.control))) {
    platform::ReplaceSelection(target.control, u"");
  }
}

// ANSI when every character has an exact form there, as plain text editors
// expect; otherwise UTF-8 with a byte-order mark, so that nothing is lost.
std::string EncodeForFile(const Text& text) {
  if (auto ansi = platform::EncodeAnsi(text))
    return *ansi;
  return "\xEF\xBB\xBF" + ToUtf8(text);
}

}  // namespace

void SelectAll() {
  ForEachActiveNote([](Note& note) {
    TextBox text = note.textArea();
    if (platform::IsEnabled(text))
      platform::SetFocus(text);
    platform::SetSelection(text, 0, static_cast<int>(platform::GetText(text).size()));
  });
}

void InsertDate() {
  ForEachActiveNote([](Note& note) { InsertAtCaret(note, platform::FormatShortDate(platform::Now())); });
}

void InsertTime() {
  ForEachActiveNote([](Note& note) { InsertAtCaret(note, platform::FormatTime(platform::Now())); });
}

// Whatever the clipboard held is replaced, by the empty text when nothing is
// selected.
void CopyText() {
  ClipboardTarget target = FindClipboardTarget();
  if (target.control)
    platform::ClipboardPut(target.owner, platform::GetSelectedText(target.control));
}

void CutText() {
  Cut(FindClipboardTarget());
}

// As the text box's own cut: with nothing selected nothing happens, and the
// clipboard keeps what it held.
void CutNoteText(Note& note) {
  if (!platform::GetSelectedText(note.textArea()).empty())
    Cut({note.textArea(), note.window()});
}

// A clipboard that could not be read leaves the selection as it is.
void PasteText() {
  ClipboardTarget target = FindClipboardTarget();
  if (!target.control)
    return;
  if (auto text = platform::ClipboardGet(target.owner))
    platform::ReplaceSelection(target.control, *text);
}

// Saves the note that was active when the dialog opened, with the text it
// holds when the dialog closes.
void SaveNoteToFile() {
  std::shared_ptr<Note> note = ActiveNote();
  CommonDialog& dialog = CommonDialog1();
  dialog.DefaultExt = u".txt";
  dialog.Filter = u".txt";
  dialog.FilterPattern = u"*.txt";
  dialog.Flags = {platform::DialogOption::ExplorerStyle};  // no question before replacing a file
  if (!dialog.ShowSave(DialogOwner(note.get())))
    return;
  Text path = dialog.FileName;
  if (!note || path.empty())
    return;
  const Text title = u"Save Note to File";
  if (!note->IsOpen()) {
    Text why = u"The note was closed before it could be saved; nothing was written to\n";
    platform::ShowError(DialogOwner(nullptr), why + path, title);
  } else if (auto reason = platform::WriteFileReplacing(path, EncodeForFile(note->text()))) {
    platform::ShowError(note->window(), u"The note could not be saved to\n" + path + u"\n\n" + *reason, title);
  }
}

}  // namespace pinaleaf
