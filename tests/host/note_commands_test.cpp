// Creating, deleting and quitting, and the always-on-top switch.
#include <memory>
#include <optional>
#include <vector>

#include "commands/note_commands.h"
#include "commands/stay_on.h"
#include "host_test.h"
#include "menu/menu_form.h"
#include "notes/note.h"
#include "notes/program.h"

namespace {

using namespace pinaleaf;
using platform::Font;
using platform::Handle;
using platform::Rect;
using Handles = std::vector<Handle>;

const char16_t kLastNotePrompt[] = u"This is the last note. Would you like to quit?";

class NoteCommands : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    a_ = Note::Load();
    a_->Show();
    b_ = Note::Load();
    b_->Show();
    platform::SetRect(b_->window(), {6000, 3000, 1995, 2355});
  }

  // The window CreateNewNote made from `active`; 0 when it made none.
  Handle CreateFrom(Handle active) {
    RecordActive(active);
    auto before = platform::LoadedForms();
    RunCommand(CreateNewNote);
    auto after = platform::LoadedForms();
    return after.size() > before.size() ? after.back() : 0;
  }

  static int LeftPx(Handle window) { return sim::Find(window) ? sim::Find(window)->leftPx : -1; }
  static int TopPx(Handle window) { return sim::Find(window) ? sim::Find(window)->topPx : -1; }

  std::shared_ptr<Note> a_, b_;
};

using CreateNewNoteTest = NoteCommands;

TEST_F(CreateNewNoteTest, CascadesFromTheActiveNote) {
  Handle a = a_->window();
  int writes = sim::StoreWrites();
  // 500 twips are 33 pixels at 96 dpi; three from one active note stack.
  Handles made = {CreateFrom(a), CreateFrom(a), CreateFrom(a)};
  for (Handle note : made) {
    ASSERT_TRUE(Note::FromHandle(note));
    EXPECT_EQ(LeftPx(note), LeftPx(a) + 33);
    EXPECT_EQ(TopPx(note), TopPx(a) + 33);
    EXPECT_TRUE(platform::IsVisible(note));
  }
  EXPECT_EQ(sim::StoreWrites(), writes);  // the new note is not made active
  EXPECT_EQ(sim::Stored(u"ActivehWnd"), FormatInteger(a));

  // Touching the newest cascades from it.
  Handle next = CreateFrom(made[2]);
  EXPECT_EQ(LeftPx(next), LeftPx(made[2]) + 33);
  EXPECT_EQ(TopPx(next), TopPx(made[2]) + 33);

  // No active note: nothing is created.
  a_->Unload();
  for (Handle record : {a, MenuForm::Get().window(), b_->textArea(), 0}) {
    EXPECT_EQ(CreateFrom(record), 0) << record;
  }
  sim::Store(u"ActivehWnd", u"not a number");
  RunCommand(CreateNewNote);
  EXPECT_EQ(Note::Count(), 5);
}

TEST_F(CreateNewNoteTest, CopiesTheTextStyleAndTakesItsZOrderFromTheCheck) {
  Handle a = a_->window(), aText = a_->textArea(), b = b_->window();
  const Font style{.name = u"Courier New", .size = 14, .bold = true, .underline = true};
  platform::SetFont(aText, style);
  platform::SetForeColor(aText, 0x000000FF);
  RecordActive(a);
  sim::Resize(a, 3000, 2400);  // a wider text area
  platform::SetText(aText, u"not copied");
  platform::SetBackColor(a, 0x00FFC0C0);
  for (auto [key, value] : {std::pair{u"TextColor", u"65280"}, {u"Bold", u"False"}, {u"Italic", u"True"},
                            {u"Underline", u"False"}, {u"Strikethru", u"True"}, {u"Font", u"Times"},
                            {u"Size", u"20"}}) {
    sim::Store(key, value);
  }
  platform::SetTopmost(b, false);

  Handle made = CreateFrom(a);
  Handle text = TextAreaOf(made);
  EXPECT_EQ(platform::GetFont(text), style);
  EXPECT_EQ(platform::GetForeColor(text), 0x000000FFu);
  EXPECT_EQ(platform::GetRect(text).width, 3000);
  EXPECT_EQ(platform::GetRect(made), (Rect{2520, 2550, 1995, 2355}));  // the design size
  EXPECT_EQ(platform::GetBackColor(made), kNoteYellow);
  EXPECT_EQ(platform::GetText(text), u"");
  EXPECT_TRUE(platform::IsTopmost(made));

  // Open notes keep their style and z-order.
  EXPECT_EQ(platform::GetFont(aText), style);
  EXPECT_EQ(platform::GetFont(b_->textArea()), Font{});
  EXPECT_EQ(platform::GetForeColor(b_->textArea()), platform::kWindowTextColor);
  EXPECT_TRUE(platform::IsTopmost(a));
  EXPECT_FALSE(platform::IsTopmost(b));

  // The check decides, not the note it came from.
  RunCommand(ToggleAlwaysOnTop);
  platform::SetTopmost(a, true);
  EXPECT_FALSE(platform::IsTopmost(CreateFrom(a)));
  RunCommand(ToggleAlwaysOnTop);
  platform::SetTopmost(b, false);
  EXPECT_TRUE(platform::IsTopmost(CreateFrom(b)));
}

TEST_F(CreateNewNoteTest, KeepsTheNewNoteInsideTheWorkArea) {
  // The work area is 1280 x 984 pixels; a note is 133 x 157.
  struct Case {
    Rect from;
    bool wrapLeft, wrapTop;
  };
  for (Case c : {Case{{16695, 2055, 1995, 2355}, false, false},  // ends at pixel 1279
                 Case{{17400, 2055, 1995, 2355}, true, false},
                 Case{{2025, 11895, 1995, 2355}, false, false},  // ends at pixel 983
                 Case{{2025, 12600, 1995, 2355}, false, true},
                 Case{{18000, 14000, 3000, 3000}, true, true},
                 Case{{-3000, -1000, 1995, 2355}, true, true}}) {
    Handle a = a_->window();
    platform::SetRect(a, c.from);
    Handle made = CreateFrom(a);
    ASSERT_NE(made, 0);
    SCOPED_TRACE(testing::Message() << "from " << c.from.left << ", " << c.from.top);
    EXPECT_EQ(LeftPx(made), c.wrapLeft ? 0 : LeftPx(a) + 33);
    EXPECT_EQ(TopPx(made), c.wrapTop ? 0 : TopPx(a) + 33);
    const sim::Window* w = sim::Find(made);
    EXPECT_LE(w->leftPx + w->widthPx, 1280);
    EXPECT_LE(w->topPx + w->heightPx, 984);
  }
}

// A note can stand anywhere: the cascade must not overflow on the way there.
TEST_F(CreateNewNoteTest, ANoteFarOutStillGivesANoteInsideTheWorkArea) {
  platform::SetRect(a_->window(), {2147483000, 2147483000, 1995, 2355});
  Handle made = CreateFrom(a_->window());
  EXPECT_EQ(LeftPx(made), 0);
  EXPECT_EQ(TopPx(made), 0);
}

using DeleteThisNoteTest = NoteCommands;

TEST_F(DeleteThisNoteTest, ClosesTheActiveNoteOfSeveralWithoutAsking) {
  // The focus in one note, the record naming the other: the record decides.
  for (bool deleteA : {true, false}) {
    SetUp();
    Handle a = a_->window(), b = b_->window(), menu = MenuForm::Get().window();
    sim::Click(deleteA ? b_->textArea() : a_->textArea());
    sim::MouseMove(deleteA ? a_->textArea() : b_->textArea(), 0, 0, 10, 10);
    RunCommand(DeleteThisNote);
    EXPECT_EQ(platform::LoadedForms(), deleteA ? (Handles{menu, b}) : (Handles{a, menu}));
    EXPECT_TRUE(sim::MessageBoxes().empty());
  }

  // A record naming no open note closes nothing.
  SetUp();
  auto forms = platform::LoadedForms();
  for (Handle record : {Handle{0x7FFF0000}, MenuForm::Get().window(), a_->textArea()}) {
    RecordActive(record);
    RunCommand(DeleteThisNote);
  }
  sim::Store(u"ActivehWnd", u"");
  RunCommand(DeleteThisNote);
  EXPECT_EQ(platform::LoadedForms(), forms);
  EXPECT_TRUE(sim::MessageBoxes().empty());
}

TEST_F(DeleteThisNoteTest, TheOnlyNoteAsksWhateverElseIsLoaded) {
  for (bool otherForm : {false, true}) {
    SetUp();
    b_->Unload();
    if (otherForm) LoadOtherForm(platform::FormKind::Hidden);
    auto forms = platform::LoadedForms();
    RecordActive(0);  // asked about even with no active note
    int writes = sim::StoreWrites();

    RunCommand(DeleteThisNote);  // No
    ASSERT_EQ(sim::MessageBoxes().size(), 1u);
    const sim::MessageBoxRecord& box = sim::MessageBoxes()[0];
    EXPECT_EQ(box.prompt, kLastNotePrompt);
    EXPECT_EQ(box.title, u"Quit?");
    EXPECT_TRUE(box.question);
    EXPECT_EQ(platform::LoadedForms(), forms);
    EXPECT_TRUE(IsHooked(a_->window()));
    EXPECT_FALSE(sim::ProcessEnded());

    sim::QueueAnswer(platform::Answer::Yes);
    RunCommand(DeleteThisNote);
    EXPECT_EQ(sim::MessageBoxes().size(), 2u);
    EXPECT_TRUE(sim::ProcessEnded());
    EXPECT_EQ(sim::StoreWrites(), writes);
  }
}

using QuitTest = NoteCommands;

TEST_F(QuitTest, EndsAtOnceWithoutAskingOrWriting) {
  Handles notes = {a_->window(), b_->window(), Note::Load()->window()};
  int writes = -1;
  sim::SetPopupHandler([&](platform::MenuId, Handle) {
    writes = sim::StoreWrites();
    return kQuitItem;
  });
  sim::MouseDown(b_->window(), platform::kRightButton, 0, 100, 100);
  EXPECT_TRUE(sim::ProcessEnded());
  EXPECT_EQ(sim::StoreWrites(), writes);
  EXPECT_TRUE(sim::MessageBoxes().empty());
  for (Handle note : notes) EXPECT_TRUE(IsHooked(note)) << "no unload handling runs";
}

using AlwaysOnTop = NoteCommands;

// Whether the popup that a right press on `target` opens shows the check.
bool CheckShownBy(Handle target) {
  std::optional<bool> checked;
  sim::SetPopupHandler([&](platform::MenuId popup, Handle) {
    for (const sim::MenuEntry& entry : *sim::MenuEntries(popup)) {
      if (entry.id == kAlwaysOnTopItem) checked = entry.checked;
    }
    return 0;
  });
  sim::MouseDown(target, platform::kRightButton, 0, 100, 100);
  sim::SetPopupHandler(nullptr);
  EXPECT_TRUE(checked.has_value()) << "no popup";
  return checked.value_or(false);
}

TEST_F(AlwaysOnTop, TheToggleActsOnEveryLoadedWindowAndIsStored) {
  Handle a = a_->window(), b = b_->window(), menu = MenuForm::Get().window();
  Handle dialog = LoadOtherForm();
  Handles all = {a, menu, b, dialog};
  ASSERT_EQ(platform::LoadedForms(), all);
  for (Handle window : all) platform::SetTopmost(window, true);

  std::vector<platform::Text> stored;
  for (bool on : {false, true}) {
    ChooseFromPopup(kAlwaysOnTopItem);
    sim::MouseDown(a, platform::kRightButton, 0, 100, 100);
    for (Handle window : all) EXPECT_EQ(platform::IsTopmost(window), on) << window;
    stored.push_back(sim::Stored(u"AlwaysOnTop").value_or(u"missing"));
    EXPECT_EQ(CheckShownBy(b_->textArea()), on);  // the other note's popup
  }
  EXPECT_EQ(stored, (std::vector<platform::Text>{u"False", u"True"}));
  EXPECT_FALSE(platform::IsTopmost(LoadOtherForm()));  // loaded later: left alone

  // A restart shows what was stored, in every note.
  for (const platform::Text& value : stored) {
    sim::Reset();
    sim::Store(u"AlwaysOnTop", value);
    StartProgram();
    auto second = Note::Load();
    second->Show();
    bool on = value == u"True";
    SCOPED_TRACE(ToUtf8(value));
    EXPECT_EQ(platform::IsTopmost(StartupNoteWindow()), on);
    EXPECT_EQ(platform::IsTopmost(second->window()), on);
    EXPECT_EQ(CheckShownBy(StartupNoteWindow()), on);
    EXPECT_EQ(CheckShownBy(second->textArea()), on);
  }
}

}  // namespace
