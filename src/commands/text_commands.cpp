#include "commands/text_commands.h"

#include <algorithm>
#include <string>

#include "notes/active_note.h"
#include "commands/common_dialog.h"
#include "notes/note.h"
#include "notes/values.h"

namespace pinaleaf {
namespace {

// Puts `inserted` at the caret by setting the whole text, which leaves the
// caret at the start and the selection empty.
void InsertAtCaret(Note& note, const Text& inserted) {
  Handle text = note.textArea();
  Text current = platform::GetText(text);
  size_t caret = std::min(static_cast<size_t>(std::max(platform::GetSelStart(text), 0)), current.size());
  platform::SetText(text, current.substr(0, caret) + inserted + current.substr(caret));
  platform::SetSelection(text, 0, 0);
}

// The focused text box when there is an active note; 0 otherwise.
Handle FocusedTextBoxOfActiveNote() {
  bool active = false;
  ForEachActiveNote([&](Note&) { active = true; });
  if (!active) return 0;
  Handle focused = platform::FocusedControl();
  return platform::IsTextBox(focused) ? focused : 0;
}

void CopySelection(Handle control) {
  platform::ClipboardClear();
  platform::ClipboardSetText(platform::GetSelectedText(control));
}

// ANSI when every character has an exact form there, as plain text editors
// expect; otherwise UTF-8 with a byte-order mark, so that nothing is lost.
std::string EncodeForFile(const Text& text) {
  if (auto ansi = platform::EncodeAnsi(text)) return *ansi;
  return "\xEF\xBB\xBF" + ToUtf8(text);
}

}  // namespace

void SelectAll() {
  ForEachActiveNote([](Note& note) {
    Handle text = note.textArea();
    if (platform::IsEnabled(text)) platform::SetFocus(text);
    platform::SetSelection(text, 0, static_cast<int>(platform::GetText(text).size()));
  });
}

void InsertDate() {
  ForEachActiveNote([](Note& note) { InsertAtCaret(note, platform::FormatShortDate(platform::Now())); });
}

void InsertTime() {
  ForEachActiveNote([](Note& note) { InsertAtCaret(note, platform::FormatTime(platform::Now())); });
}

void CopyText() {
  if (Handle control = FocusedTextBoxOfActiveNote()) CopySelection(control);
}

void CutText() {
  if (Handle control = FocusedTextBoxOfActiveNote()) {
    CopySelection(control);
    platform::ReplaceSelection(control, u"");
  }
}

void PasteText() {
  if (Handle control = FocusedTextBoxOfActiveNote()) platform::ReplaceSelection(control, platform::ClipboardGetText());
}

void SaveNoteToFile() {
  CommonDialog& dialog = CommonDialog1();
  dialog.DefaultExt = u".txt";
  dialog.Filter = u".txt";
  dialog.FilterPattern = u"*.txt";
  dialog.Flags = 0x80000;  // Explorer style; no question before replacing a file
  Handle owner = DialogOwner();
  if (!dialog.ShowSave(owner)) return;
  Text path = dialog.FileName;
  ForEachActiveNote([&](Note& note) {
    if (path.empty()) return;
    if (auto reason = platform::WriteFileReplacing(path, EncodeForFile(platform::GetText(note.textArea())))) {
      platform::ShowError(note.window(), u"The note could not be saved to\n" + path + u"\n\n" + *reason,
                          u"Save Note to File");
    }
  });
}

}  // namespace pinaleaf
