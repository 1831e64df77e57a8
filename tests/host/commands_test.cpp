// The note commands' own logic: the cascade, and what the font and colour
// dialogs carry from one use to the next.
#include "host_test.h"

using NoteCommands = Process;

Form CreateFrom(Form active) {
  RecordActive(active);
  RunEntry(Id::CreateNewNote);
  return LoadedForms().back();
}

TEST_F(NoteCommands, NewNotesCascadeFromTheActiveNoteInItsStyleInsideTheWorkArea) {
  const Font style{u"Courier New", 14, false, true, false, true};
  ApplyTextStyle(TextAreaOf(a_), 0x000000FF, style);
  SetRect(a_, {2025, 2055, 3000, 2400});  // a wider text area
  Form made = CreateFrom(a_);
  TextBox text = TextAreaOf(made);
  EXPECT_EQ(std::tuple(GetRect(made), GetFont(text), GetForeColor(text), GetRect(text).width),
            std::tuple(Rect{2520, 2550, 1995, 2355}, style, 0x000000FFu, 3000));
  // Beyond the work area (1280 x 1024 pixels) a coordinate starts again at its near edge.
  for (auto [from, left, top] : {std::tuple{Rect{17400, 2055, 1995, 2355}, 0, 170}, {{2025, 12700, 1995, 2355}, 168, 0},
                                 {{2147483000, -1000, 1995, 2355}, 0, 0}}) {
    SetRect(a_, from);
    const sim::Record* note = sim::Find(CreateFrom(a_));
    EXPECT_EQ(std::pair(note->leftPx, note->topPx), std::pair(left, top));
  }
}

TEST_F(NoteCommands, FontAndColourStyleTheActiveNoteOnlyTheFontIsStoredAndOpensAtSixteenWithTheRestCarried) {
  std::vector<FontChoice> shown;
  std::optional<FontChoice> answer = FontChoice{{u"Segoe UI", 10.5f, false, true, false, true}, 0x00FF8040};
  Sys().fontDialog = [&](Form, FontChoice& state) { return shown.push_back(state), answer && (state = *answer, true); };
  Sys().colorDialog = [](Form, Color& color) { return color = 0x00336699, true; };
  RunEntry(Id::Color);
  RunEntry(Id::Font);  // halves go to the even size
  Text stored;
  for (auto key : {u"TextColor", u"Bold", u"Italic", u"Underline", u"Strikethru", u"Font", u"Size"}) {
    stored += sim::Stored(key).value_or(u"-") + u" ";
  }
  EXPECT_EQ(stored, u"16744512 False True False True Segoe UI 10 ");
  EXPECT_EQ(std::tuple(GetFont(TextAreaOf(a_)), GetForeColor(TextAreaOf(a_)), GetBackColor(a_)),
            std::tuple(Font{u"Segoe UI", 10, false, true, false, true}, 0x00FF8040u, 0x00336699u));
  // The next time: at 16, the rest as last returned; cancelled, nothing changes.
  answer.reset();
  RunEntry(Id::Font);
  EXPECT_EQ(std::tuple(shown.at(0).font, shown.at(0).color, shown.at(1).font, GetFont(TextAreaOf(a_)).size),
            std::tuple(Font{u"Arial", 16}, 0x00336699u, Font{u"Segoe UI", 16, false, true, false, true}, 10.0f));
}
