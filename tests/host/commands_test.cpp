// The note commands: new and deleted notes, always on top, the text
// commands and saving, font and colour.
#include <optional>
#include <tuple>

#include "commands/note_commands.h"
#include "commands/style_commands.h"
#include "host_test.h"

namespace {

using namespace pinaleaf;
using platform::Font;
using platform::Rect;

class NoteCommands : public TwoNotes {
 protected:
  // The note CreateNewNote made from `active`; 0 when it made none.
  static Handle CreateFrom(Handle active) {
    RecordActive(active);
    size_t before = platform::LoadedForms().size();
    RunEntry(kCreateNewNoteItem);
    auto after = platform::LoadedForms();
    return after.size() > before ? after.back() : 0;
  }
  static int LeftPx(Handle w) { return sim::Find(w)->leftPx; }
  static int TopPx(Handle w) { return sim::Find(w)->topPx; }
};

TEST_F(NoteCommands, NewNotesCascadeFromTheActiveNoteInItsStyleInsideItsWorkArea) {
  Handle aText = TextAreaOf(a_);
  const Font style{u"Courier New", 14, false, true, false, true};
  platform::SetFont(aText, style);
  platform::SetForeColor(aText, 0x000000FF);
  platform::SetRect(a_, {2025, 2055, 3000, 2400});  // a wider text area
  platform::SetText(aText, u"not copied");
  platform::SetBackColor(a_, 0x00FFC0C0);
  Sys().store[u"Font"] = u"Times";  // the note's style wins over the stored one
  // 500 twips are 33 pixels at 96 dpi: notes made from one active note stack.
  Handle made = CreateFrom(a_), again = CreateFrom(a_), text = TextAreaOf(made);
  EXPECT_EQ(std::pair(LeftPx(again), TopPx(again)), std::pair(LeftPx(a_) + 33, TopPx(a_) + 33));
  EXPECT_EQ(std::tuple(platform::GetFont(text), platform::GetForeColor(text), platform::GetRect(text).width),
            std::tuple(style, 0x000000FFu, 3000));
  EXPECT_EQ(std::tuple(platform::GetRect(made), platform::GetBackColor(made), platform::GetText(text)),
            std::tuple(Rect{2520, 2550, 1995, 2355}, kNoteYellow, Text()));
  EXPECT_EQ(platform::GetFont(TextAreaOf(b_)), Font{});
  EXPECT_EQ(sim::Stored(u"ActivehWnd"), FormatInteger(a_));  // the new note is not the active one
  // Beyond the work area (1280 x 984 pixels) a coordinate starts again at its near edge.
  for (auto [from, wrapLeft, wrapTop] : {std::tuple{Rect{17400, 2055, 1995, 2355}, true, false},
                                         {Rect{2025, 12000, 1995, 2355}, false, true},
                                         {Rect{2147483000, -1000, 1995, 2355}, true, true}}) {
    platform::SetRect(a_, from);
    Handle note = CreateFrom(a_);
    EXPECT_EQ(LeftPx(note), wrapLeft ? 0 : LeftPx(a_) + 33);
    EXPECT_EQ(TopPx(note), wrapTop ? 0 : TopPx(a_) + 33);
  }
}

// Moved onto a monitor of another dpi, a note takes its scale (as the
// system's DPI change and the platform's rescale do).
TEST_F(HostTest, ANoteMadeFromOneOnAMonitorOfAnotherDpiAppearsThereAtItsScale) {
  sim::AddMonitor(1000, 800, 144);  // pixels 1280..2280; 10 twips a pixel
  sim::Run(StartProgram);
  Handle a = StartupNoteWindow();
  platform::SetRect(a, {20250, 2055, 1995, 2355});  // 1350 pixels across: the second monitor
  ASSERT_EQ(sim::Find(a)->dpi, 144);
  for (auto [left, leftPx] : {std::pair{14000, 1450}, {21000, 1280}}) {  // near its right edge: back to its left
    platform::SetRect(a, {left, 3000, 1995, 2355});
    RecordActive(a);
    RunEntry(kCreateNewNoteItem);
    const sim::Window* made = sim::Find(platform::LoadedForms().back());
    EXPECT_EQ(std::tuple(made->dpi, made->leftPx, made->topPx, made->widthPx), std::tuple(144, leftPx, 350, 200));
  }
}

TEST_F(NoteCommands, DeleteClosesTheActiveNoteAndAsksOnlyAboutTheLastOne) {
  Handle c = CreateFrom(a_);
  RecordActive(b_);  // the keyboard in one note, the record naming another
  RunEntry(kDeleteThisNoteItem);
  EXPECT_EQ(platform::LoadedForms(), (Handles{a_, MenuForm::Current()->window(), c}));
  for (const char16_t* record : {u"", u"junk"}) {
    Sys().store[u"ActivehWnd"] = record;
    RunEntry(kDeleteThisNoteItem);
  }
  EXPECT_TRUE(Sys().messageBoxes.empty());
  RecordActive(c);
  sim::Close(c);  // the close box closes a note as the command does
  // The only note is asked about, whatever the record and other windows say.
  platform::CreateForm({.kind = platform::FormKind::Hidden}, nullptr);
  RecordActive(0);
  RunEntry(kDeleteThisNoteItem);
  sim::Close(a_);
  ASSERT_EQ(Sys().messageBoxes.size(), 2u);
  const sim::MessageBoxRecord& box = Sys().messageBoxes[1];
  EXPECT_EQ(std::tuple(box.prompt, box.title, box.question),
            std::tuple(Text(u"This is the last note. Would you like to quit?"), Text(u"Quit?"), true));
  EXPECT_TRUE(platform::IsLoaded(a_) && sim::Find(TextAreaOf(a_))->contextMenuBlocked);
  Sys().store.clear();
  Sys().answers.push_back(platform::Answer::Yes);
  sim::Close(a_);
  EXPECT_TRUE(sim::ProcessEnded());
  EXPECT_TRUE(Sys().store.empty());  // nothing written on the way out
}

TEST_F(NoteCommands, AlwaysOnTopActsOnEveryLoadedWindowKeepsTheKeyboardAndDecidesNewNotes) {
  platform::CreateForm({.kind = platform::FormKind::Dialog}, nullptr);
  for (bool on : {false, true}) {
    Choose(kAlwaysOnTopItem);
    RightPress(TextAreaOf(b_));
    EXPECT_EQ(platform::GetFocus(), TextAreaOf(b_));
    for (Handle window : platform::LoadedForms()) EXPECT_EQ(sim::Find(window)->topmost, on) << window;
    EXPECT_EQ(sim::Stored(u"AlwaysOnTop"), on ? u"True" : u"False");
    bool shown = !on;  // the check in another note's popup
    Sys().popup = [&](platform::MenuId menu, Handle) { return shown = sim::IsChecked(menu, 22), 0; };
    RightPress(TextAreaOf(a_));
    EXPECT_EQ(shown, on);
    // The switch decides, not the note the new one came from.
    platform::SetZOrder(a_, on ? platform::ZOrder::NotTopmost : platform::ZOrder::Topmost, false);
    EXPECT_EQ(sim::Find(CreateFrom(a_))->topmost, on);
  }
}

class TextCommands : public TwoNotes {
 protected:
  Handle text() const { return TextAreaOf(a_); }
  // Runs an entry on the active note holding `content` and a selection.
  Text Run(int item, const Text& content, int start = 0, int length = 0) {
    platform::SetText(text(), content);
    platform::SetSelection(text(), start, length);
    RunEntry(item);
    return platform::GetText(text());
  }
  std::pair<int, Text> Selection() const {
    return {platform::GetSelStart(text()), platform::GetSelectedText(text())};
  }
};

// 13 UTF-16 units, the last two one character.
const Text kMixed = u"Gr\u00FC\u00DFe, \u65E5\u672C\u8A9E \U0001F600";

TEST_F(TextCommands, SelectAllAndDateAndTimeAtTheCaretCountUtf16Units) {
  Run(kSelectAllItem, kMixed, 6, 1);
  EXPECT_EQ(Selection(), std::pair(0, kMixed));
  // The whole text is set, which leaves the caret at the start.
  EXPECT_EQ(Run(kInsertDateItem, u"abcdef", 1, 3), u"a3/5/2026bcdef");  // the selection stays, after it
  EXPECT_EQ(Selection(), std::pair(0, Text()));
  EXPECT_EQ(Run(kInsertTimeItem, kMixed, 11, 2), kMixed.substr(0, 11) + u"2:55:30 PM" + kMixed.substr(11));
  sim::SetNow({2031, 12, 24, 12, 5, 7});  // the hour after noon is 12, not 0
  Run(kInsertDateItem, u"x", 1);
  RunEntry(kInsertTimeItem);
  EXPECT_EQ(platform::GetText(text()), u"12:05:07 PMx12/24/2031");
  sim::SetNow({2031, 12, 24, 0, 5, 7});
  EXPECT_EQ(Run(kInsertTimeItem, u""), u"12:05:07 AM");
}

TEST_F(TextCommands, CopyCutAndPasteActOnTheFocusedTextAndKeepItWhenTheClipboardIsHeld) {
  Sys().clipboard = u"old";
  RecordActive(b_);  // the record names the other note; the focus decides what is cut
  EXPECT_EQ(Run(kCopyItem, u"abcd", 1, 2), u"abcd");
  EXPECT_EQ(Sys().clipboard, u"bc");
  Run(kCopyItem, u"abcd", 2, 0);
  EXPECT_EQ(Sys().clipboard, u"");  // what it held is gone
  EXPECT_EQ(Run(kCutItem, kMixed, 11, 2), kMixed.substr(0, 11));
  EXPECT_EQ(Sys().clipboard, u"\U0001F600");
  EXPECT_EQ(Run(kPasteItem, u"abcd", 1, 1), u"a\U0001F600cd");
  EXPECT_EQ(Selection(), std::pair(3, Text()));  // the caret after what was pasted
  Sys().clipboard.reset();
  EXPECT_EQ(Run(kPasteItem, u"abcd", 1, 2), u"ad");  // no text on it: the selection goes
  // Another program holds it: nothing is lost, nothing is put.
  Sys().clipboard = u"kept";
  Sys().clipboardHeld = true;
  for (int item : {kCopyItem, kCutItem, kPasteItem}) {
    EXPECT_EQ(Run(item, u"abcd", 1, 2), u"abcd") << item;
    EXPECT_EQ(Selection(), std::pair(1, Text(u"bc"))) << item;
  }
  Sys().clipboardHeld = false;
  EXPECT_EQ(Sys().clipboard, u"kept");
  // No note active: nothing happens.
  RecordActive(text());
  for (int item : {kSelectAllItem, kInsertDateItem, kCopyItem, kCutItem, kPasteItem}) {
    EXPECT_EQ(Run(item, u"abcd", 1, 2), u"abcd") << item;
  }
  EXPECT_EQ(Sys().clipboard, u"kept");
}

class SaveNote : public TextCommands {
 protected:
  void Save(const Text& content, std::optional<Text> name, bool ok = true) {
    Sys().saveDialog = [this, name, ok](Handle, platform::SaveChoice& choice) {
      seen_.push_back(choice);
      if (name) choice.fileName = *name;
      return ok;
    };
    Run(kSaveNoteToFileItem, content);
  }
  std::vector<platform::SaveChoice> seen_;
};

TEST_F(SaveNote, WritesAnsiWhenItCanAndUtf8WithAMarkOtherwise) {
  const Text path = u"C:\\Notes\\note.txt";
  for (const auto& [content, bytes] : {std::pair<Text, std::string>{u"Gr\u00FC\u00DFe\r\n\u20AC", "Gr\xFC\xDF" "e\r\n\x80"},
                                       {kMixed, "\xEF\xBB\xBF" + ToUtf8(kMixed)}, {u"", ""}}) {
    Save(content, path);
    EXPECT_EQ(Sys().files[path], bytes) << U8(content);
  }
  const platform::SaveChoice& shown = seen_.at(1);
  EXPECT_EQ(std::tuple(shown.fileName, shown.defaultExt, shown.filterName, shown.filterPattern, shown.flags),
            std::tuple(path, Text(u".txt"), Text(u".txt"), Text(u"*.txt"), platform::kSaveExplorer));
  // The colour dialog sets CancelError; a cancel still writes nothing, and
  // keeps the name; no active note writes nothing either.
  RunEntry(kColorItem);
  Save(u"second", u"C:\\Notes\\other.txt", false);
  RecordActive(0);
  Save(u"third", std::nullopt);
  EXPECT_EQ(seen_.back().fileName, path);
  EXPECT_EQ(Sys().files[path], "");
  EXPECT_FALSE(Sys().files.count(u"C:\\Notes\\other.txt"));
  EXPECT_TRUE(Sys().messageBoxes.empty());
}

TEST_F(SaveNote, AFailedWriteSaysWhyAndKeepsTextAndFile) {
  const Text path = u"C:\\Notes\\locked.txt";
  Sys().files[path] = "old content";
  Sys().writeFailures[path] = u"Access is denied.";
  Save(u"new text", path);
  ASSERT_EQ(Sys().messageBoxes.size(), 1u);
  const sim::MessageBoxRecord& box = Sys().messageBoxes[0];
  EXPECT_EQ(box.title, u"Save Note to File");
  EXPECT_EQ(box.prompt, u"The note could not be saved to\n" + path + u"\n\nAccess is denied.");
  EXPECT_EQ(std::pair(platform::GetText(text()), Sys().files[path]), std::pair(Text(u"new text"), std::string("old content")));
}

class StyleCommands : public TwoNotes {
 protected:
  // Answers the font dialog with `answer` or cancels it; notes what it showed.
  void AnswerFont(std::optional<platform::FontChoice> answer) {
    Sys().fontDialog = [this, answer](Handle, platform::FontChoice& choice) {
      shown_.push_back(choice);
      if (answer) choice = *answer;
      return answer.has_value();
    };
  }
  static auto Look(Handle note) {
    Handle text = TextAreaOf(note);
    return std::tuple(platform::GetFont(text), platform::GetForeColor(text), platform::GetBackColor(text),
                      platform::GetBackColor(note));
  }
  static Text StoredStyle() {
    Text values;
    for (auto key : {u"TextColor", u"Bold", u"Italic", u"Underline", u"Strikethru", u"Font", u"Size"}) {
      values += sim::Stored(key).value_or(u"-") + u" ";
    }
    return values;
  }
  std::vector<platform::FontChoice> shown_;
};

TEST_F(StyleCommands, TheFontStylesTheActiveNoteIsStoredAndOpensAtSixteenWithTheRestCarried) {
  AnswerFont(platform::FontChoice{{u"Times New Roman", 11.5f, true, false, false, true}, 0x000000FF, 0});
  RunEntry(kFontItem);
  const Font applied{u"Times New Roman", 12, true, false, false, true};
  EXPECT_EQ(Look(a_), std::tuple(applied, 0x000000FFu, kNoteYellow, kNoteYellow));
  EXPECT_EQ(StoredStyle(), u"255 True False False True Times New Roman 12 ");
  EXPECT_EQ(std::get<0>(Look(b_)), Font{});
  EXPECT_EQ(std::get<0>(Look(Note::Load()->window())), applied);
  AnswerFont(platform::FontChoice{{u"Segoe UI", 10.5f, false, true}, 0x00FF8040, 0});
  RunEntry(kFontItem);
  EXPECT_EQ(StoredStyle(), u"16744512 False True False False Segoe UI 10 ");
  AnswerFont(std::nullopt);
  RunEntry(kFontItem);
  Sys().colorDialog = [](Handle, platform::Color& color) { return color = 0x00336699, true; };
  RunEntry(kColorItem);
  RunEntry(kFontItem);
  ASSERT_EQ(shown_.size(), 4u);
  // The first opens at Arial 16; each later one at 16 with what the last returned.
  EXPECT_EQ(std::tuple(shown_[0].font, shown_[0].flags), std::tuple(Font{u"Arial", 16}, 0x103u));
  EXPECT_EQ(std::tuple(shown_[2].font, shown_[2].color), std::tuple(Font{u"Segoe UI", 16, false, true}, 0x00FF8040u));
  EXPECT_EQ(shown_[3].color, 0x00336699u);  // the colour dialog's, last
}

TEST_F(StyleCommands, TheColourGoesToTheActiveNoteOnlyAndACancelChangesNothing) {
  Sys().colorDialog = [](Handle, platform::Color& color) { return color = 0x00FFC0C0, true; };
  RunEntry(kColorItem);
  EXPECT_EQ(Look(a_), std::tuple(Font{}, platform::kWindowTextColor, 0x00FFC0C0u, 0x00FFC0C0u));
  EXPECT_EQ(std::get<3>(Look(b_)), kNoteYellow);
  EXPECT_EQ(std::get<3>(Look(Note::Load()->window())), kNoteYellow);
  RecordActive(b_);
  Sys().colorDialog = [](Handle, platform::Color& color) { return color = 0x00123456, false; };
  AnswerFont(std::nullopt);
  RunEntry(kColorItem);
  RunEntry(kFontItem);
  RecordActive(0);  // confirmed, but no note to take it
  AnswerFont(platform::FontChoice{{u"Courier New", 30, true}, 0x000000FF, 0});
  RunEntry(kFontItem);
  EXPECT_EQ(Look(b_), std::tuple(Font{}, platform::kWindowTextColor, kNoteYellow, kNoteYellow));
  EXPECT_EQ(StoredStyle(), u"- - - - - - - ");
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  for (auto [value, rounded] : {std::pair{10.5, 10}, {11.5, 12}, {0.5, 0}, {11.4, 11}, {-1.5, -2}, {-2.5, -2}}) {
    EXPECT_EQ(RoundHalfEven(value), rounded) << value;
  }
}

}  // namespace
