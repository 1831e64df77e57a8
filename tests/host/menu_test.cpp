// The shared popup menu: its entries, how a right press opens it and runs
// the choice, and the hook that keeps the text box's own menu away.
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/note_commands.h"
#include "host_test.h"
#include "menu/menu_form.h"
#include "notes/note.h"
#include "sharing/publisher.h"

namespace {

using namespace pinaleaf;
using platform::Handle;
using platform::Text;

class NotePopup : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    a_ = Note::Load();
    a_->Show();
    b_ = Note::Load();
    b_->Show();
    platform::SetRect(b_->window(), {6000, 3000, 1995, 2355});  // apart from a_
  }

  std::shared_ptr<Note> a_, b_;
};

TEST_F(NotePopup, EntriesAreTheTwentySevenInOrder) {
  struct Expected {
    int id;  // 0: a separator
    Text caption, shortcut;
  };
  const Expected expected[] = {
      {kCutItem, u"Cut", u"Ctrl+X"}, {kCopyItem, u"Copy", u"Ctrl+C"}, {kPasteItem, u"Paste", u"Ctrl+V"},
      {kSelectAllItem, u"Select All", u"Ctrl+A"}, {0, u"", u""},
      {kSetReminderItem, u"Set Reminder", u"Ctrl+R"}, {0, u"", u""},
      {kCreateNewNoteItem, u"Create New Note", u"Ctrl+N"},
      {kDeleteThisNoteItem, u"Delete This Note", u"Ctrl+D"}, {0, u"", u""},
      {kFontItem, u"Font...", u"Ctrl+F"}, {kColorItem, u"Color...", u"Ctrl+O"}, {0, u"", u""},
      {kEmailItem, u"Email Note", u"Ctrl+E"}, {kSaveNoteToFileItem, u"Save Note to File", u"Ctrl+S"},
      {0, u"", u""}, {kInsertDateItem, u"Insert Date", u"Ctrl+F1"},
      {kInsertTimeItem, u"Insert Time", u"Ctrl+F2"}, {0, u"", u""},
      {kDefaultTranslucencyItem, u"Defeault Translucency", u""},
      {kIncreaseTranslucencyItem, u"Increase Translucency", u""},
      {kDecreaseTranslucencyItem, u"Decrease Translucency", u""},
      {kAlwaysOnTopItem, u"Always On Top", u""}, {0, u"", u""},
      {kEmailAuthorItem, u"Email Author Suggestions / Bugs", u""},
      {kGotoWebSiteItem, Text(u"Goto ") + kWebsiteName, u""},
      {kQuitItem, u"Quit (Remove All Notes)", u"Ctrl+Q"},
  };
  const auto* entries = sim::MenuEntries(MenuForm::Get().popup());
  ASSERT_NE(entries, nullptr);
  ASSERT_EQ(entries->size(), std::size(expected));
  for (size_t i = 0; i < entries->size(); ++i) {
    const sim::MenuEntry& entry = (*entries)[i];
    const Expected& want = expected[i];
    SCOPED_TRACE("entry " + std::to_string(i + 1));
    EXPECT_EQ(entry.separator, want.id == 0);
    if (want.id == 0) continue;
    EXPECT_EQ(entry.id, want.id);
    EXPECT_EQ(ToUtf8(entry.caption), ToUtf8(want.caption));
    EXPECT_EQ(ToUtf8(entry.shortcut), ToUtf8(want.shortcut));
    EXPECT_EQ(entry.checked, want.id == kAlwaysOnTopItem);  // on by design, with nothing stored
  }

  // Ids that no entry has do nothing.
  auto forms = platform::LoadedForms();
  int writes = sim::StoreWrites();
  for (int item : {0, -1, 5, 28, 1000}) RunMenuCommand(item);
  EXPECT_EQ(platform::LoadedForms(), forms);
  EXPECT_EQ(sim::StoreWrites(), writes);
  EXPECT_TRUE(sim::MessageBoxes().empty());
}

TEST_F(NotePopup, ARightPressOpensItOnThePressedNoteAndRunsTheChoiceBeforeReturning) {
  Handle a = a_->window(), text = a_->textArea(), b = b_->window();
  struct Seen {
    Handle owner;
    platform::MenuId menu;
    std::optional<Text> record;
    bool textEnabled;
  };
  std::vector<Seen> seen;
  int choice = 0;
  sim::SetPopupHandler([&](platform::MenuId menu, Handle owner) {
    seen.push_back({owner, menu, sim::Stored(u"ActivehWnd"), platform::IsEnabled(text)});
    return choice;
  });
  auto forms = platform::LoadedForms();

  // The strip, dismissed: the note is recorded first; nothing runs.
  RecordActive(b);
  sim::MouseDown(a, platform::kRightButton, 0, 900, 100);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].owner, a);
  EXPECT_EQ(seen[0].menu, MenuForm::Get().popup());
  EXPECT_EQ(seen[0].record, FormatInteger(a));
  EXPECT_TRUE(seen[0].textEnabled);

  // The text area, dismissed: disabled while open, enabled afterwards.
  RecordActive(b);
  sim::MouseDown(text, platform::kRightButton, platform::kShift, 100, 100);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].owner, a);
  EXPECT_EQ(seen[1].record, FormatInteger(a));
  EXPECT_FALSE(seen[1].textEnabled);
  EXPECT_TRUE(platform::IsEnabled(text));
  EXPECT_EQ(platform::LoadedForms(), forms);
  EXPECT_TRUE(sim::MessageBoxes().empty());

  // Left and middle presses open nothing.
  for (Handle target : {a, text}) {
    sim::MouseDown(target, platform::kLeftButton, 0, 100, 100);
    sim::MouseDown(target, platform::kMiddleButton, 0, 100, 100);
  }
  EXPECT_EQ(sim::PopupCount(), 2);

  // A choice has run when the press returns, on the note pressed.
  choice = kCreateNewNoteItem;
  RecordActive(b);
  sim::MouseDown(text, platform::kRightButton, 0, 100, 100);
  auto now = platform::LoadedForms();
  ASSERT_EQ(now.size(), forms.size() + 1);
  EXPECT_EQ(sim::Find(now.back())->leftPx, sim::Find(a)->leftPx + 33);
  EXPECT_TRUE(platform::IsEnabled(text));

  // Enabled again before the command runs: Quit ends the process inside
  // the command and leaves the text area enabled.
  choice = kQuitItem;
  sim::MouseDown(text, platform::kRightButton, 0, 100, 100);
  EXPECT_TRUE(sim::ProcessEnded());
  EXPECT_TRUE(platform::IsEnabled(text));
}

TEST_F(NotePopup, DeletingANoteFromItsOwnPopupLeavesItClosed) {
  Handle aText = a_->textArea(), b = b_->window(), bText = b_->textArea();
  Handle menu = MenuForm::Get().window();
  ChooseFromPopup(kDeleteThisNoteItem);
  sim::MouseDown(aText, platform::kRightButton, 0, 100, 100);
  EXPECT_EQ(platform::LoadedForms(), (std::vector<Handle>{menu, b}));
  EXPECT_EQ(sim::Find(aText), nullptr);
  EXPECT_TRUE(sim::MessageBoxes().empty());

  // The only note asks; No keeps it, from the text area or the strip.
  sim::MouseDown(bText, platform::kRightButton, 0, 100, 100);
  sim::MouseDown(b, platform::kRightButton, 0, 100, 100);
  EXPECT_EQ(sim::MessageBoxes().size(), 2u);
  EXPECT_EQ(platform::LoadedForms(), (std::vector<Handle>{menu, b}));
  EXPECT_TRUE(platform::IsEnabled(bText));
  EXPECT_FALSE(sim::ProcessEnded());

  sim::QueueAnswer(platform::Answer::Yes);
  sim::MouseDown(bText, platform::kRightButton, 0, 100, 100);
  EXPECT_TRUE(sim::ProcessEnded());
  EXPECT_EQ(sim::PopupCount(), 4);
}

using ContextMenuHook = HostTest;

TEST_F(ContextMenuHook, EveryNoteIsHookedAndClosingOneLeavesTheOthersHooked) {
  Handle a = Note::Load()->window(), b = Note::Load()->window();
  RecordActive(a);
  RunCommand(CreateNewNote);
  Handle c = platform::LoadedForms().back();
  for (Handle note : {a, b, c}) EXPECT_TRUE(IsHooked(note)) << note;

  // The middle note by the command, then the first by Alt+F4.
  RecordActive(b);
  RunCommand(DeleteThisNote);
  EXPECT_TRUE(IsHooked(a));
  EXPECT_TRUE(IsHooked(c));
  sim::Close(a);
  EXPECT_FALSE(platform::IsLoaded(a));
  EXPECT_TRUE(IsHooked(c));
}

}  // namespace
