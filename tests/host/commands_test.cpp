// The note commands' own logic: the cascade, a font size's rounding, and what
// the user is told when no program opens a link.
#include "commands/style_commands.h"
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
  // Beyond the work area (1280 x 984 pixels) a coordinate starts again at its near edge.
  for (auto [from, left, top] : {std::tuple{Rect{17400, 2055, 1995, 2355}, 0, 170}, {{2025, 12700, 1995, 2355}, 168, 0},
                                 {{2147483000, -1000, 1995, 2355}, 0, 0}}) {
    SetRect(a_, from);
    const sim::Record* note = sim::Find(CreateFrom(a_));
    EXPECT_EQ(std::pair(note->leftPx, note->topPx), std::pair(left, top));
  }
  SetRect(TextAreaOf(a_), {0, 360, 15, 1995});  // out of reach: a new note does not copy that
  EXPECT_EQ(GetRect(TextAreaOf(CreateFrom(a_))).width, 1440);
}

TEST_F(NoteCommands, FontSizesRoundHalvesToEvenAndAFailedLinkSaysWhy) {
  EXPECT_EQ(std::pair(RoundHalfEven(10.5), RoundHalfEven(11.5)), std::pair(10, 12));
  Sys().shellFailure = u"No application is associated.";
  RunEntry(Id::GotoWebSite);
  EXPECT_EQ(Sys().messageBoxes.at(0).prompt,
            u"No program could open\nhttps://www.pinaleaf.example/\n\nNo application is associated.");
}
