// Creating and deleting notes, the last-note question, and the always-on-top
// switch.
#include "commands/note_commands.h"
#include "notes/stay_on.h"
#include "host_test.h"
#include "app/app.h"

namespace {

using namespace pinaleaf;
using platform::Font;
using platform::Rect;

class NoteCommands : public TwoNotes {
 protected:
  // The window CreateNewNote made from `active`; 0 when it made none.
  static Handle CreateFrom(Handle active) {
    RecordActive(active);
    size_t before = platform::LoadedForms().size();
    RunCommand(CreateNewNote);
    auto after = platform::LoadedForms();
    return after.size() > before ? after.back() : 0;
  }
};

TEST_F(NoteCommands, NewNotesCascadeFromTheActiveNoteWithoutBecomingActive) {
  Handle a = a_->window();
  // 500 twips are 33 pixels at 96 dpi; three from one active note stack.
  Handles made = {CreateFrom(a), CreateFrom(a), CreateFrom(a)};
  for (Handle note : made) {
    ASSERT_TRUE(Note::FromHandle(note));
    EXPECT_EQ(std::pair(LeftPx(note), TopPx(note)), std::pair(LeftPx(a) + 33, TopPx(a) + 33));
    EXPECT_TRUE(platform::IsVisible(note));
  }
  EXPECT_EQ(sim::StoreWrites(), 0);
  Handle next = CreateFrom(made[2]);
  EXPECT_EQ(std::pair(LeftPx(next), TopPx(next)), std::pair(LeftPx(made[2]) + 33, TopPx(made[2]) + 33));
  EXPECT_EQ(CreateFrom(b_->textArea()), 0);
  sim::Store(u"ActivehWnd", u"not a number");
  RunCommand(CreateNewNote);
  EXPECT_EQ(Note::Count(), 6);
}

TEST_F(NoteCommands, ANewNoteCopiesTheTextStyleAndTakesItsZOrderFromTheCheck) {
  Handle a = a_->window(), aText = a_->textArea(), b = b_->window();
  const Font style{.name = u"Courier New", .size = 14, .italic = true, .strikethrough = true};
  platform::SetFont(aText, style);
  platform::SetForeColor(aText, 0x000000FF);
  sim::Resize(a, 3000, 2400);  // a wider text area
  platform::SetText(aText, u"not copied");
  platform::SetBackColor(a, 0x00FFC0C0);
  sim::Store(u"Font", u"Times");  // the note's style wins over the stored one
  sim::Store(u"Bold", u"True");
  platform::SetTopmost(b, false);
  Handle made = CreateFrom(a), text = TextAreaOf(made);
  EXPECT_EQ(platform::GetFont(text), style);
  EXPECT_EQ(platform::GetForeColor(text), 0x000000FFu);
  EXPECT_EQ(platform::GetRect(text).width, 3000);
  EXPECT_EQ(platform::GetRect(made), (Rect{2520, 2550, 1995, 2355}));
  EXPECT_EQ(platform::GetBackColor(made), kNoteYellow);
  EXPECT_EQ(platform::GetText(text), u"");
  EXPECT_TRUE(platform::IsTopmost(made));
  EXPECT_EQ(platform::GetFont(b_->textArea()), Font{});
  EXPECT_FALSE(platform::IsTopmost(b));
  // The check decides, not the note it came from.
  RunCommand(ToggleAlwaysOnTop);
  platform::SetTopmost(a, true);
  EXPECT_FALSE(platform::IsTopmost(CreateFrom(a)));
  RunCommand(ToggleAlwaysOnTop);
  platform::SetTopmost(b, false);
  EXPECT_TRUE(platform::IsTopmost(CreateFrom(b)));
}

TEST_F(NoteCommands, ANewNoteStaysWhollyInsideTheWorkArea) {
  // 1280 x 984 pixels (19200 x 14760 twips); a note is 1995 x 2355 twips.
  struct Case {
    Rect from;
    bool wrapLeft, wrapTop;
  };
  for (Case c : {Case{{17400, 2055, 1995, 2355}, true, false},
                 Case{{2025, 12000, 1995, 2355}, false, true},  // too low, though not too wide
                 Case{{-3000, -1000, 1995, 2355}, true, true},
                 Case{{2147483000, 2147483000, 1995, 2355}, true, true}}) {
    Handle a = a_->window();
    platform::SetRect(a, c.from);
    Handle made = CreateFrom(a);
    SCOPED_TRACE(testing::Message() << "from " << c.from.left << ", " << c.from.top);
    EXPECT_EQ(LeftPx(made), c.wrapLeft ? 0 : LeftPx(a) + 33);
    EXPECT_EQ(TopPx(made), c.wrapTop ? 0 : TopPx(a) + 33);
  }
  // Ending exactly on the far edges is inside (at 288 dpi: 6400 x 4920 twips).
  sim::SetDpi(288);
  platform::SetRect(a_->window(), {3905, 2065, 1995, 2355});
  EXPECT_EQ(platform::GetRect(CreateFrom(a_->window())), (Rect{4405, 2565, 1995, 2355}));
}

TEST_F(NoteCommands, DeleteClosesTheRecordedNoteOfSeveralWithoutAsking) {
  Handle a = a_->window(), b = b_->window();
  Handle c = CreateFrom(a);
  sim::Click(a_->textArea());  // the focus in one note, the record naming another
  RecordActive(b);
  RunCommand(DeleteThisNote);
  EXPECT_EQ(platform::LoadedForms(), (Handles{a, (*MenuForm::Current()).window(), c}));
  EXPECT_TRUE(sim::MessageBoxes().empty());
  EXPECT_TRUE(IsHooked(a) && IsHooked(c));
  RecordActive(a_->textArea());
  RunCommand(DeleteThisNote);
  sim::Store(u"ActivehWnd", u"");
  RunCommand(DeleteThisNote);
  EXPECT_EQ(Note::Count(), 2);
  EXPECT_TRUE(sim::MessageBoxes().empty());
}

// The close box closes a note as the command does. The only note is asked
// about whatever the record says and whatever other windows are loaded.
TEST_F(NoteCommands, ClosingTheOnlyNoteAsksWhetherToQuit) {
  Handle a = a_->window(), menu = (*MenuForm::Current()).window();
  sim::Close(b_->window());
  sim::Close(menu);  // the menu host refuses
  LoadOtherForm(platform::FormKind::Hidden);
  auto forms = platform::LoadedForms();
  ASSERT_EQ(forms.size(), 3u);
  EXPECT_TRUE(sim::MessageBoxes().empty());
  RecordActive(0);
  RunCommand(DeleteThisNote);  // No
  sim::Close(a);
  ASSERT_EQ(sim::MessageBoxes().size(), 2u);
  EXPECT_EQ(sim::MessageBoxes()[0].prompt, u"This is the last note. Would you like to quit?");
  EXPECT_EQ(sim::MessageBoxes()[1].title, u"Quit?");
  EXPECT_TRUE(sim::MessageBoxes()[1].question);
  EXPECT_EQ(platform::LoadedForms(), forms);
  EXPECT_TRUE(IsHooked(a));
  sim::QueueAnswer(platform::Answer::Yes);
  sim::Close(a);
  EXPECT_TRUE(sim::ProcessEnded());
  EXPECT_EQ(sim::StoreWrites(), 0);
}

TEST_F(NoteCommands, AlwaysOnTopActsOnEveryLoadedWindowAndIsStored) {
  Handles all = {a_->window(), (*MenuForm::Current()).window(), b_->window(), LoadOtherForm()};
  ASSERT_EQ(platform::LoadedForms(), all);
  for (Handle window : all) platform::SetTopmost(window, true);
  for (bool on : {false, true}) {
    ChooseFromPopup(kAlwaysOnTopItem);
    RightPress(a_->window());
    for (Handle window : all) EXPECT_EQ(platform::IsTopmost(window), on) << window;
    EXPECT_EQ(sim::Stored(u"AlwaysOnTop"), on ? u"True" : u"False");
    EXPECT_EQ(AlwaysOnTop(), on);
  }
  EXPECT_FALSE(platform::IsTopmost(LoadOtherForm()));  // loaded later: left alone
}

}  // namespace
