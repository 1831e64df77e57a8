// The note commands: new and deleted notes, always on top, the text
// commands and saving, font and colour.
#include "host_test.h"
#include "notes/common_dialog.h"
#include "notes/stay_on.h"

class Commands : public TwoNotes {
 protected:
  // Runs an entry on the active note holding `content` and a selection.
  Text Run(Id id, const Text& content, int start = 0, int length = 0) {
    SetText(TextAreaOf(a_), content);
    SetSelection(TextAreaOf(a_), start, length);
    RunEntry(id);
    return GetText(TextAreaOf(a_));
  }
  std::pair<int, Text> Selection() const { return {GetSelStart(TextAreaOf(a_)), GetSelectedText(TextAreaOf(a_))}; }
};

// The note CreateNewNote made from `active`.
Form CreateFrom(Form active) {
  RecordActive(active);
  RunEntry(Id::CreateNewNote);
  return LoadedForms().back();
}

TEST_F(Commands, NewNotesCascadeFromTheActiveNoteInItsStyleInsideTheWorkArea) {
  const Font style{u"Courier New", 14, false, true, false, true};
  ApplyTextStyle(TextAreaOf(a_), 0x000000FF, style);
  SetRect(a_, {2025, 2055, 3000, 2400});  // a wider text area
  SetText(TextAreaOf(a_), u"not copied");
  SetBackColor(a_, 0x00FFC0C0);
  // 500 twips are 33 pixels at 96 dpi: notes made from one active note stack.
  Form made = CreateFrom(a_), again = CreateFrom(a_);
  TextBox text = TextAreaOf(made);
  EXPECT_EQ(std::tuple(GetRect(made), GetRect(again), GetBackColor(made), GetText(text), Recorded()),
            std::tuple(Rect{2520, 2550, 1995, 2355}, GetRect(made), 0x00C0FFFFu, Text(), FormatInteger(a_.number())));
  EXPECT_EQ(std::tuple(GetFont(text), GetForeColor(text), GetRect(text).width), std::tuple(style, 0x000000FFu, 3000));
  // Beyond the work area (1280 x 1024 pixels) a coordinate starts again at its near edge.
  auto madeFrom = [&](const Rect& rect) {
    SetRect(a_, rect);
    const sim::Record* made = sim::Find(CreateFrom(a_));
    return std::pair(made->leftPx, made->topPx);
  };
  EXPECT_EQ(madeFrom({17400, 2055, 1995, 2355}), std::pair(0, 170));
  EXPECT_EQ(madeFrom({2025, 12700, 1995, 2355}), std::pair(168, 0));  // 2355 high, it would reach past 15360
  EXPECT_EQ(madeFrom({2147483000, -1000, 1995, 2355}), std::pair(0, 0));
}

TEST_F(Commands, DeleteClosesTheActiveNoteAndAsksOnlyAboutTheLastOneAndQuitWritesNothing) {
  Form c = CreateFrom(a_);
  RecordActive(b_);  // the keyboard in one note, the record naming another
  RunEntry(Id::DeleteThisNote);
  Sys().store[u"ActivehWnd"] = u"junk";
  RunEntry(Id::DeleteThisNote);
  Choose(Id::DeleteThisNote);
  RightPress(TextAreaOf(c));  // from its own popup, while its text area is disabled
  EXPECT_EQ(std::pair(LoadedForms().size(), Sys().messageBoxes.size()), std::pair(size_t{2}, size_t{0}));
  // The only note is asked about, whatever the record and other windows say;
  // the close box asks as the command does. No keeps it.
  CreateForm({.kind = FormKind::Hidden}, nullptr);
  RecordActive(Window());
  RunEntry(Id::DeleteThisNote);
  sim::Close(a_);
  const sim::MessageBoxRecord& box = Sys().messageBoxes.at(1);
  EXPECT_EQ(std::tuple(Sys().messageBoxes.size(), box.prompt, box.title, sim::Find(TextAreaOf(a_))->contextMenuBlocked),
            std::tuple(2u, Text(u"This is the last note. Would you like to quit?"), Text(u"Quit?"), true));
  auto stored = Sys().store;
  Sys().answers.push_back(Answer::Yes);
  sim::Close(a_);
  EXPECT_EQ(std::pair(sim::ProcessEnded(), Sys().store), std::pair(true, stored));  // nothing written on the way out
}

TEST_F(Commands, AlwaysOnTopActsOnEveryLoadedWindowKeepsTheKeyboardAndDecidesNewNotes) {
  CreateForm({.kind = FormKind::Dialog}, nullptr);
  for (bool on : {false, true}) {
    Choose(Id::AlwaysOnTop);
    RightPress(TextAreaOf(b_));
    EXPECT_EQ(std::tuple(GetFocus(), sim::Stored(u"AlwaysOnTop")), std::tuple(Window(TextAreaOf(b_)), FormatBool(on)));
    for (Form window : LoadedForms()) EXPECT_EQ(sim::Find(window)->topmost, on);
    bool shown = !on;  // the check in another note's popup
    Sys().popup = [&](MenuId menu, Form) { return shown = sim::IsChecked(menu, 22), 0; };
    RightPress(TextAreaOf(a_));
    // The switch decides, not the note the new one came from.
    SetZOrder(a_, on ? ZOrder::NotTopmost : ZOrder::Topmost, false);
    EXPECT_EQ(std::pair(shown, sim::Find(CreateFrom(a_))->topmost), std::pair(on, on));
  }
}

// 13 UTF-16 units, the last two one character.
const Text kMixed = u"Gr\u00FC\u00DFe, \u65E5\u672C\u8A9E \U0001F600";

TEST_F(Commands, TextCommandsCountUtf16UnitsLoseNothingWhenTheClipboardIsHeldAndSaveWritesAnsiOrUtf8WithAMark) {
  Run(Id::SelectAll, kMixed, 6, 1);
  EXPECT_EQ(Selection(), std::pair(0, kMixed));
  // The whole text is set, which leaves the caret at the start.
  EXPECT_EQ(Run(Id::InsertDate, u"abcdef", 1, 3), u"a3/5/2026bcdef");  // the selection stays, after it
  EXPECT_EQ(Selection(), std::pair(0, Text()));
  EXPECT_EQ(Run(Id::InsertTime, kMixed, 11, 2), kMixed.substr(0, 11) + u"2:55:30 PM" + kMixed.substr(11));
  RecordActive(b_);  // the record names the other note; the focus decides what the clipboard takes
  EXPECT_EQ(Run(Id::Copy, u"abcd", 1, 2), u"abcd");
  EXPECT_EQ(std::pair(*Sys().clipboard, Selection()), std::pair(Text(u"bc"), std::pair(1, Text(u"bc"))));
  Run(Id::Copy, u"abcd", 2, 0);
  EXPECT_EQ(Sys().clipboard, u"");  // what it held is gone
  EXPECT_EQ(Run(Id::Cut, kMixed, 11, 2), kMixed.substr(0, 11));
  EXPECT_EQ(Run(Id::Paste, u"abcd", 1, 1), u"a\U0001F600cd");
  EXPECT_EQ(Selection(), std::pair(3, Text()));  // the caret after what was pasted
  Sys().clipboard.reset();
  EXPECT_EQ(Run(Id::Paste, u"abcd", 1, 2), u"ad");  // no text on it: the selection goes
  // Another program holds it, or no note is active: nothing is lost, nothing is put.
  Sys().clipboard = u"kept";
  for (auto [held, id] : {std::pair{true, Id::Copy}, {true, Id::Cut}, {true, Id::Paste}, {false, Id::Copy},
                          {false, Id::Cut}, {false, Id::Paste}}) {
    Sys().clipboardHeld = held;
    if (!held) RecordActive(TextAreaOf(a_));
    EXPECT_EQ(Run(id, u"abcd", 1, 2), u"abcd");
    EXPECT_EQ(std::pair(Selection(), *Sys().clipboard), std::pair(std::pair(1, Text(u"bc")), Text(u"kept")));
  }
  // Saving writes ANSI when it can and UTF-8 with a mark otherwise.
  RecordActive(a_);
  const Text path = u"C:\\Notes\\note.txt", locked = u"C:\\Notes\\locked.txt";
  Text name = path;
  bool ok = true;
  std::vector<SaveChoice> seen;
  Sys().saveDialog = [&](Form, SaveChoice& choice) {
    seen.push_back(choice);
    choice.fileName = name;
    return ok;
  };
  for (const auto& [content, bytes] : {std::pair<Text, std::string>{u"\u00FC\r\n\u20AC", "\xFC\r\n\x80"},
                                       {kMixed, "\xEF\xBB\xBF" + ToUtf8(kMixed)}, {u"", ""}}) {
    Run(Id::SaveNoteToFile, content);
    EXPECT_EQ(Sys().files[path], bytes) << ToUtf8(content);
  }
  EXPECT_EQ(std::tuple(seen.at(1).defaultExt, seen[1].filterName, seen[1].filterPattern),
            std::tuple(Text(u".txt"), Text(u".txt"), Text(u"*.txt")));
  // The colour dialog sets CancelError; a cancel still writes nothing and
  // keeps the name. A failed write says why and keeps the file.
  RunEntry(Id::Color);
  name = locked;
  Sys().files[locked] = "old content";
  ok = false;
  RunEntry(Id::SaveNoteToFile);
  Sys().writeFailures[locked] = u"Access is denied.";
  ok = true;
  RunEntry(Id::SaveNoteToFile);
  EXPECT_EQ(std::tuple(Sys().messageBoxes.size(), seen.at(4).fileName, Sys().files[locked]),
            std::tuple(1u, path, std::string("old content")));
  EXPECT_EQ(Sys().messageBoxes.at(0).prompt, u"The note could not be saved to\n" + locked + u"\n\nAccess is denied.");
}

// What the style commands change, on screen and in the store.
auto Look(Form note) {
  return std::tuple(GetFont(TextAreaOf(note)), GetForeColor(TextAreaOf(note)), GetBackColor(TextAreaOf(note)),
                    GetBackColor(note));
}
Text StoredStyle() {
  Text values;
  for (auto key : {u"TextColor", u"Bold", u"Italic", u"Underline", u"Strikethru", u"Font", u"Size"}) {
    values += sim::Stored(key).value_or(u"-") + u" ";
  }
  return values;
}

TEST_F(Commands, FontAndColourStyleTheActiveNoteOnlyTheFontIsStoredAndOpensAtSixteenWithTheRestCarried) {
  std::vector<FontChoice> shown;
  std::optional<FontChoice> answer = FontChoice{{u"Times New Roman", 11.5f, true, false, false, true}, 0x000000FF, 0};
  Sys().fontDialog = [&](Form, FontChoice& state) {
    shown.push_back(state);
    if (answer) state = *answer;
    return answer.has_value();
  };
  RunEntry(Id::Font);  // halves go to the even size: 12 here, 10 next
  EXPECT_EQ(StoredStyle(), u"255 True False False True Times New Roman 12 ");
  answer = FontChoice{{u"Segoe UI", 10.5f, false, true}, 0x00FF8040, 0};
  RunEntry(Id::Font);
  const Font applied{u"Segoe UI", 10, false, true};
  const Text stored = u"16744512 False True False False Segoe UI 10 ";
  // The colour goes to the window and the text area, and is not stored.
  Sys().colorDialog = [](Form, Color& color) { return color = 0x00336699, true; };
  RunEntry(Id::Color);
  const auto design = std::tuple(Font{}, kWindowTextColor, 0x00C0FFFFu, 0x00C0FFFFu);
  EXPECT_EQ(std::tuple(Look(a_), StoredStyle(), Look(b_), Look(Note::Load()->window())),
            std::tuple(std::tuple(applied, 0x00FF8040u, 0x00336699u, 0x00336699u), stored, design,
                       std::tuple(applied, 0x00FF8040u, 0x00C0FFFFu, 0x00C0FFFFu)));
  // Cancelled, or confirmed with no note active: nothing changes. The font
  // dialog opens at Arial 16 first, later at 16 with the rest as last
  // returned and the colour dialog's colour.
  RecordActive(b_);
  answer.reset();
  RunEntry(Id::Font);
  Sys().colorDialog = [](Form, Color& color) { return color = 0x00123456, false; };
  RunEntry(Id::Color);
  RecordActive(Window());
  answer = FontChoice{{u"Courier New", 30, true}, 0x000000FF, 0};
  RunEntry(Id::Font);
  EXPECT_EQ(std::tuple(Look(b_), StoredStyle()), std::tuple(design, stored));
  EXPECT_EQ(std::tuple(shown.at(0).font, shown.at(2).font, shown.at(2).color),
            std::tuple(Font{u"Arial", 16}, Font{u"Segoe UI", 16, false, true}, 0x00336699u));
}
