// The text commands: select all, date and time at the caret, the clipboard
// trio on the focused control, and saving a note to a file.
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host_test.h"
#include "menu/menu_form.h"
#include "notes/note.h"

namespace {

using namespace pinaleaf;
using platform::Handle;
using platform::Text;

// The sim's clock after Reset, in its en-US forms.
const Text kDate = u"3/5/2026";
const Text kTime = u"2:55:30 PM";
const Text kMixed = u"Gr\u00FC\u00DFe, \u65E5\u672C\u8A9E \U0001F600";  // 13 UTF-16 units

class TextCommands : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    a_ = Note::Load();
    a_->Show();
    b_ = Note::Load();
    b_->Show();
    RecordActive(a_->window());
  }

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

  std::shared_ptr<Note> a_, b_;
};

TEST_F(TextCommands, SelectAllTakesTheWholeTextFromZero) {
  for (auto [content, length] : {std::pair<Text, int>{u"line one\r\nline two", 18}, {kMixed, 13}, {u"", 0}}) {
    Run(kSelectAllItem, content, static_cast<int>(content.size() / 2), 1);
    EXPECT_EQ(Selection(), std::make_pair(0, length));
  }
  EXPECT_EQ(platform::FocusedControl(), text());
}

TEST_F(TextCommands, DateAndTimeGoInAtTheCaretAndLeaveItAtTheStart) {
  struct Case {
    Text text;
    int start, length, item;
    Text expected;
  };
  const Case cases[] = {
      {u"abcdef", 0, 0, kInsertDateItem, kDate + u"abcdef"},
      {u"abcdef", 3, 0, kInsertDateItem, u"abc" + kDate + u"def"},
      {u"abcdef", 6, 0, kInsertTimeItem, u"abcdef" + kTime},
      {u"abcdef", 1, 3, kInsertDateItem, u"a" + kDate + u"bcdef"},  // the selection stays, after it
      {u"", 0, 0, kInsertTimeItem, kTime},
      {kMixed, 10, 0, kInsertDateItem, kMixed.substr(0, 10) + kDate + kMixed.substr(10)},
      {kMixed, 11, 2, kInsertTimeItem, kMixed.substr(0, 11) + kTime + kMixed.substr(11)},
      {kMixed, 13, 0, kInsertDateItem, kMixed + kDate},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToUtf8(Run(c.item, c.text, c.start, c.length)), ToUtf8(c.expected)) << c.start;
    EXPECT_EQ(Selection(), std::make_pair(0, 0));
  }

  // The clock is read when the command runs; the caret is at 0 after the date.
  sim::SetNow({2031, 12, 24, 9, 5, 7});
  Run(kInsertDateItem, u"x", 1);
  RunMenuCommand(kInsertTimeItem);
  EXPECT_EQ(platform::GetText(text()), u"9:05:07 AMx12/24/2031");

  Text big;
  for (int i = 0; i < (1 << 20); ++i) big.push_back(static_cast<char16_t>(u'a' + i % 26));
  const int caret = 700001;
  EXPECT_TRUE(Run(kInsertTimeItem, big, caret) == big.substr(0, caret) + u"9:05:07 AM" + big.substr(caret));
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
  EXPECT_EQ(platform::ClipboardGetText(), u"x");
}

TEST_F(TextCommands, NothingHappensWithoutAnActiveNote) {
  platform::SetFocus(text());
  platform::ClipboardSetText(u"clip");
  for (const char16_t* record : {u"0", u"", u"junk"}) {
    sim::Store(u"ActivehWnd", record);
    for (int item : {kSelectAllItem, kInsertDateItem, kInsertTimeItem, kCopyItem, kCutItem, kPasteItem}) {
      EXPECT_EQ(Run(item, u"abcd", 1, 2), u"abcd") << item;
      EXPECT_EQ(Selection(), std::make_pair(1, 2)) << item;
    }
  }
  EXPECT_EQ(platform::ClipboardGetText(), u"clip");
}

class SaveNote : public TextCommands {
 protected:
  void SetUp() override {
    TextCommands::SetUp();
    sim::SetSaveDialogHandler([this](platform::SaveChoice& choice) {
      seen_.push_back(choice);
      if (name_) choice.fileName = *name_;
      return ok_;
    });
  }

  // Saves `content`, answering the dialog with `name` (none: as shown).
  void Save(const Text& content, std::optional<Text> name, bool ok = true) {
    name_ = std::move(name);
    ok_ = ok;
    Run(kSaveNoteToFileItem, content);
  }

  std::vector<platform::SaveChoice> seen_;
  std::optional<Text> name_;
  bool ok_ = true;
};

TEST_F(SaveNote, WritesAnsiWhenItCanAndUtf8WithAMarkOtherwise) {
  const Text path = u"C:\\Notes\\note.txt";
  const std::pair<Text, std::string> cases[] = {
      {u"Gr\u00FC\u00DFe\r\nzwei", "Gr\xFC\xDF" "e\r\nzwei"},
      {u"\u20AC \u2013 \u201Cx\u201D", "\x80 \x96 \x93x\x94"},
      {u"\u65E5\u672C", "\xEF\xBB\xBF\xE6\x97\xA5\xE6\x9C\xAC"},
      {kMixed, "\xEF\xBB\xBF" + ToUtf8(kMixed)},
      {u"", ""},  // onto the file the last case wrote
  };
  for (const auto& [content, bytes] : cases) {
    Save(content, path);
    EXPECT_EQ(sim::FileContents(path), bytes) << ToUtf8(content);
  }
  ASSERT_EQ(seen_.size(), std::size(cases));
  for (size_t i = 0; i < seen_.size(); ++i) {
    EXPECT_EQ(seen_[i].defaultExt, u".txt");
    EXPECT_EQ(seen_[i].filterName, u".txt");
    EXPECT_EQ(seen_[i].filterPattern, u"*.txt");
    EXPECT_EQ(seen_[i].flags, 0x80000u);
    if (i > 0) {
      EXPECT_EQ(seen_[i].fileName, path);  // the name chosen before
    }
  }
  EXPECT_TRUE(sim::MessageBoxes().empty());

  // Left as shown, the name saves to the same file; the font dialog's
  // flags do not carry over.
  sim::SetFontDialogHandler([](platform::FontChoice&) { return false; });
  RunMenuCommand(kFontItem);
  Save(u"again", std::nullopt);
  EXPECT_EQ(sim::FileContents(path), "again");
  EXPECT_EQ(seen_.back().flags, 0x80000u);
}

TEST_F(SaveNote, CancelWritesNothingEvenAfterTheColourDialog) {
  const Text path = u"C:\\Notes\\kept.txt", other = u"C:\\Notes\\other.txt";
  Save(u"first", path);
  Save(u"second", other, false);
  RunMenuCommand(kColorItem);  // cancelled: it still sets CancelError
  Save(u"third", other, false);
  Save(u"fourth", std::nullopt, false);
  EXPECT_EQ(sim::FileContents(path), "first");
  EXPECT_EQ(sim::FileContents(other), std::nullopt);
  EXPECT_EQ(seen_.back().fileName, path);  // a cancel keeps the old name
  EXPECT_TRUE(sim::MessageBoxes().empty());
  EXPECT_FALSE(sim::ProcessEnded());
}

TEST_F(SaveNote, AFailedWriteIsReportedAndKeepsTextAndFile) {
  const Text path = u"C:\\Notes\\locked.txt";
  sim::SetFileContents(path, "old content");
  sim::FailWritesTo(path, u"Access is denied.");
  Save(u"new text", path);
  ASSERT_EQ(sim::MessageBoxes().size(), 1u);
  const sim::MessageBoxRecord& box = sim::MessageBoxes()[0];
  EXPECT_FALSE(box.question);
  EXPECT_NE(box.prompt.find(path), Text::npos);
  EXPECT_NE(box.prompt.find(u"Access is denied."), Text::npos);
  EXPECT_EQ(platform::GetText(text()), u"new text");
  EXPECT_EQ(sim::FileContents(path), "old content");
}

TEST_F(SaveNote, WithoutAnActiveNoteTheDialogShowsAndNothingIsWritten) {
  RecordActive(0);
  Save(u"text", u"C:\\Notes\\none.txt");
  ASSERT_EQ(sim::Dialogs().size(), 1u);
  EXPECT_EQ(sim::Dialogs()[0].kind, u"save");
  EXPECT_EQ(sim::FileContents(u"C:\\Notes\\none.txt"), std::nullopt);
  EXPECT_TRUE(sim::MessageBoxes().empty());
}

}  // namespace
