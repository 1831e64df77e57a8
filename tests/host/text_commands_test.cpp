// The text commands: select all, date and time at the caret, the clipboard
// trio on the focused control, and saving a note to a file.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host_test.h"
#include "app/app.h"

namespace {

using namespace pinaleaf;

// The sim's clock after Reset, in its en-US forms.
const Text kDate = u"3/5/2026";
const Text kTime = u"2:55:30 PM";
// 13 UTF-16 units, the last two one character.
const Text kMixed = u"Gr\u00FC\u00DFe, \u65E5\u672C\u8A9E \U0001F600";

class TextCommands : public TwoNotes {
 protected:
  Handle text() const { return a_->textArea(); }
  // Runs a menu entry on the active note holding `content` with the given
  // selection; returns the text afterwards.
  Text Run(int item, const Text& content, int start = 0, int length = 0) {
    platform::SetText(text(), content);
    platform::SetSelection(text(), start, length);
    RunMenuCommand(item);
    return platform::GetText(text());
  }
  std::pair<int, int> Selection() const { return {platform::GetSelStart(text()), platform::GetSelLength(text())}; }
};

TEST_F(TextCommands, SelectAllCountsAndDateAndTimeGoInAtTheCaretInUtf16Units) {
  Run(kSelectAllItem, kMixed, 6, 1);
  EXPECT_EQ(Selection(), std::make_pair(0, 13));
  EXPECT_EQ(platform::FocusedControl(), text());
  // Inserting sets the whole text, which leaves the caret at the start.
  struct Case {
    Text text;
    int start, length, item;
    Text expected;
  };
  const Case cases[] = {
      {u"abcdef", 0, 0, kInsertDateItem, kDate + u"abcdef"},
      {u"abcdef", 6, 0, kInsertTimeItem, u"abcdef" + kTime},
      {u"abcdef", 1, 3, kInsertDateItem, u"a" + kDate + u"bcdef"},  // the selection stays, after it
      {kMixed, 11, 2, kInsertTimeItem, kMixed.substr(0, 11) + kTime + kMixed.substr(11)},
      {kMixed, 13, 0, kInsertDateItem, kMixed + kDate},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(Run(c.item, c.text, c.start, c.length)), ToUtf8(c.expected)) << c.start;
    EXPECT_EQ(Selection(), std::make_pair(0, 0));
  }
  // The clock is read when the command runs.
  sim::SetNow({2031, 12, 24, 9, 5, 7});
  Run(kInsertDateItem, u"x", 1);
  RunMenuCommand(kInsertTimeItem);
  EXPECT_EQ(platform::GetText(text()), u"9:05:07 AMx12/24/2031");
}

TEST_F(TextCommands, ClipboardCommandsActOnTheFocusedControl) {
  platform::ClipboardSetText(u"old");
  // No control has had the focus yet: nothing to act on.
  for (int item : {kCopyItem, kCutItem, kPasteItem}) EXPECT_EQ(Run(item, u"abcd", 1, 2), u"abcd");
  EXPECT_EQ(platform::ClipboardGetText(), u"old");
  platform::SetFocus(text());
  EXPECT_EQ(Run(kCopyItem, u"abcd", 1, 2), u"abcd");
  EXPECT_EQ(platform::ClipboardGetText(), u"bc");
  Run(kCopyItem, u"abcd", 2, 0);
  EXPECT_EQ(platform::ClipboardGetText(), u"");  // what it held is gone
  EXPECT_EQ(Run(kCutItem, kMixed, 11, 2), kMixed.substr(0, 11));
  EXPECT_EQ(platform::ClipboardGetText(), u"\U0001F600");
  EXPECT_EQ(Run(kPasteItem, u"abcd", 1, 1), u"a\U0001F600cd");
  platform::ClipboardClear();
  EXPECT_EQ(Run(kPasteItem, u"abcd", 1, 2), u"ad");  // no text on the clipboard: the selection goes
  // The record names the other note; the focus decides which text is cut.
  RecordActive(b_->window());
  platform::SetText(b_->textArea(), u"other");
  platform::SetSelection(b_->textArea(), 0, 5);
  EXPECT_EQ(Run(kCutItem, u"xyz", 0, 1), u"yz");
  EXPECT_EQ(platform::GetText(b_->textArea()), u"other");
}

TEST_F(TextCommands, NothingHappensWithoutAnActiveNote) {
  platform::SetFocus(text());
  platform::ClipboardSetText(u"clip");
  RecordActive(text());
  for (int item : {kSelectAllItem, kInsertDateItem, kInsertTimeItem, kCopyItem, kCutItem, kPasteItem}) {
    EXPECT_EQ(Run(item, u"abcd", 1, 2), u"abcd") << item;
    EXPECT_EQ(Selection(), std::make_pair(1, 2)) << item;
  }
  EXPECT_EQ(platform::ClipboardGetText(), u"clip");
}

class SaveNote : public TextCommands {
 protected:
  // Saves `content`, answering the dialog with `name` (none: as shown).
  void Save(const Text& content, std::optional<Text> name, bool ok = true) {
    sim::SetSaveDialogHandler([this, name, ok](platform::SaveChoice& choice) {
      seen_.push_back(choice);
      if (name) choice.fileName = *name;
      return ok;
    });
    Run(kSaveNoteToFileItem, content);
  }
  std::vector<platform::SaveChoice> seen_;
};

TEST_F(SaveNote, WritesAnsiWhenItCanAndUtf8WithAMarkOtherwise) {
  const Text path = u"C:\\Notes\\note.txt";
  // The last one onto the file the one before wrote.
  for (const auto& [content, bytes] :
       {std::pair<Text, std::string>{u"Gr\u00FC\u00DFe\r\n\u20AC", "Gr\xFC\xDF" "e\r\n\x80"},
        {kMixed, "\xEF\xBB\xBF" + ToUtf8(kMixed)}, {u"", ""}}) {
    Save(content, path);
    EXPECT_EQ(sim::FileContents(path), bytes) << ToUtf8(content);
  }
  ASSERT_EQ(seen_.size(), 3u);
  EXPECT_EQ(seen_[1].fileName, path);  // the name chosen before
  // Left as shown, the name saves to the same file; the font dialog's flags
  // do not carry over.
  RunMenuCommand(kFontItem);
  Save(u"again", std::nullopt);
  EXPECT_EQ(sim::FileContents(path), "again");
  EXPECT_EQ(seen_.back().flags, 0x80000u);
  EXPECT_TRUE(sim::MessageBoxes().empty());
}

TEST_F(SaveNote, ACancelOrNoActiveNoteWritesNothing) {
  const Text path = u"C:\\Notes\\kept.txt", other = u"C:\\Notes\\other.txt";
  Save(u"first", path);
  RunMenuCommand(kColorItem);  // cancelled: it still sets CancelError
  Save(u"second", other, false);
  Save(u"third", std::nullopt, false);
  EXPECT_EQ(seen_.back().fileName, path);  // a cancel keeps the old name
  RecordActive(0);
  Save(u"fourth", other);
  EXPECT_EQ(seen_.size(), 4u);
  EXPECT_EQ(sim::FileContents(path), "first");
  EXPECT_EQ(sim::FileContents(other), std::nullopt);
  EXPECT_TRUE(sim::MessageBoxes().empty());
}

TEST_F(SaveNote, AFailedWriteIsReportedAndKeepsTextAndFile) {
  const Text path = u"C:\\Notes\\locked.txt";
  sim::SetFileContents(path, "old content");
  sim::FailWritesTo(path, u"Access is denied.");
  Save(u"new text", path);
  ASSERT_EQ(sim::MessageBoxes().size(), 1u);
  const Text& prompt = sim::MessageBoxes()[0].prompt;
  EXPECT_TRUE(prompt.find(path) != Text::npos && prompt.find(u"Access is denied.") != Text::npos);
  EXPECT_EQ(platform::GetText(text()), u"new text");
  EXPECT_EQ(sim::FileContents(path), "old content");
}

}  // namespace
