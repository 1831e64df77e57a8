// The two ways to a command: the shared popup menu, opened by a right
// press, and the Ctrl shortcuts of a note's text area.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "host_test.h"
#include "app/app.h"

namespace {

using namespace pinaleaf;
using platform::kCtrl;

using NotePopup = TwoNotes;

TEST_F(NotePopup, EntriesAreNumberedInTheirOrderOnTheMenu) {
  const auto& entries = *sim::MenuEntries((*MenuForm::Current()).popup());
  Text shown;
  for (size_t i = 0; i < entries.size(); ++i) {
    const sim::MenuEntry& e = entries[i];
    EXPECT_EQ(e.id, e.separator ? 0 : static_cast<int>(i) + 1) << ToUtf8(e.caption);
    shown += e.separator ? u"-|" : e.caption + (e.shortcut.empty() ? u"" : u" " + e.shortcut) + u"|";
  }
  EXPECT_EQ(ToUtf8(shown),
            "Cut Ctrl+X|Copy Ctrl+C|Paste Ctrl+V|Select All Ctrl+A|-|Set Reminder Ctrl+R|-|"
            "Create New Note Ctrl+N|Delete This Note Ctrl+D|-|Font... Ctrl+F|Color... Ctrl+O|-|"
            "Email Note Ctrl+E|Save Note to File Ctrl+S|-|Insert Date Ctrl+F1|Insert Time Ctrl+F2|-|"
            "Defeault Translucency|Increase Translucency|Decrease Translucency|Always On Top|-|"
            "Email Author Suggestions / Bugs|Goto " PINALEAF_WEBSITE_NAME "|Quit (Remove All Notes) Ctrl+Q|");
}

TEST_F(NotePopup, ARightPressOpensItOnThePressedNoteAndRunsTheChoiceBeforeReturning) {
  Handle b = b_->window(), text = b_->textArea();
  struct Seen {
    Handle owner;
    std::optional<Text> record;
    bool textEnabled;
    int writes;
  };
  std::vector<Seen> seen;
  int choice = 0;
  sim::SetPopupHandler([&](platform::MenuId menu, Handle owner) {
    EXPECT_EQ(menu, (*MenuForm::Current()).popup());
    seen.push_back({owner, sim::Stored(u"ActivehWnd"), platform::IsEnabled(text), sim::StoreWrites()});
    return choice;
  });
  // The strip, then the text area, whose popup keeps it disabled while open.
  RightPress(b);
  RecordActive(a_->window());
  sim::MouseDown(text, platform::kRightButton, platform::kShift, 100, 100);
  ASSERT_EQ(seen.size(), 2u);
  for (const Seen& s : seen) EXPECT_EQ(std::pair(s.owner, s.record), std::pair(b, std::optional(FormatInteger(b))));
  EXPECT_TRUE(seen[0].textEnabled);
  EXPECT_FALSE(seen[1].textEnabled);
  EXPECT_TRUE(platform::IsEnabled(text));
  for (Handle target : {b, text}) {
    sim::MouseDown(target, platform::kLeftButton, 0, 100, 100);
    sim::MouseDown(target, platform::kMiddleButton, 0, 100, 100);
  }
  EXPECT_EQ(sim::PopupCount(), 2);
  choice = kCreateNewNoteItem;
  RecordActive(a_->window());
  RightPress(text);
  ASSERT_EQ(Note::Count(), 3);
  EXPECT_EQ(LeftPx(platform::LoadedForms().back()), LeftPx(b) + 33);
  // Enabled again before the command runs: Quit never returns to do it. It
  // ends the program at once, without a question, a write or unload handling.
  choice = kQuitItem;
  RightPress(text);
  EXPECT_TRUE(sim::ProcessEnded());
  EXPECT_TRUE(platform::IsEnabled(text));
  EXPECT_EQ(sim::StoreWrites(), seen.back().writes);
  EXPECT_TRUE(sim::MessageBoxes().empty() && IsHooked(a_->window()) && IsHooked(b));
}

TEST_F(NotePopup, DeletingANoteFromItsOwnPopupLeavesItClosed) {
  Handle aText = a_->textArea(), b = b_->window(), bText = b_->textArea();
  ChooseFromPopup(kDeleteThisNoteItem);
  RightPress(aText);
  EXPECT_EQ(platform::LoadedForms(), (Handles{(*MenuForm::Current()).window(), b}));
  EXPECT_TRUE(sim::MessageBoxes().empty());
  // The only note asks; No keeps it, from the text area or the strip.
  RightPress(bText);
  RightPress(b);
  EXPECT_EQ(sim::MessageBoxes().size(), 2u);
  EXPECT_TRUE(platform::IsLoaded(b) && platform::IsEnabled(bText));
}

const Text kSavedFile = u"C:\\notes\\saved.txt";

class Shortcuts : public TwoNotes {
 protected:
  void SetUp() override {
    TwoNotes::SetUp();
    platform::SetText(b_->textArea(), u"beta note");
    sim::SetFontDialogHandler([](platform::FontChoice& choice) { return choice.font.name = u"Courier New", true; });
    sim::SetColorDialogHandler([](platform::Color& color) { return color = 0x00112233, true; });
    sim::SetSaveDialogHandler([](platform::SaveChoice& choice) { return choice.fileName = kSavedFile, true; });
    // The keys go to the start-up note; the pointer last passed over the other.
    sim::Click(a_->textArea());
    sim::MouseMove(b_->textArea(), 0, 0, 10, 10);
  }
  void Press(int key, int modifiers = kCtrl) { sim::KeyDown(a_->textArea(), key, modifiers); }
  // What the commands change, as seen from outside.
  std::string Snapshot() const {
    Handle note = b_->window(), text = b_->textArea();
    std::string out = ToUtf8(platform::GetText(text) + u"|" + platform::GetFont(text).name + u"|" +
                             platform::GetCaption(platform::LoadedForms().back()));
    for (std::size_t n : {platform::LoadedForms().size(), sim::Dialogs().size(), sim::ShellCalls().size(),
                          sim::FileContents(kSavedFile).value_or("").size(), std::size_t(platform::GetSelLength(text)),
                          std::size_t(platform::GetBackColor(note))}) {
      out += "|" + std::to_string(n);
    }
    return out;
  }
};

TEST_F(Shortcuts, EachKeyRunsItsMenuEntrysCommandOnTheNoteUnderThePointer) {
  const std::pair<int, int> keys[] = {
      {0x41, kSelectAllItem}, {0x44, kDeleteThisNoteItem}, {0x45, kEmailItem},          {0x46, kFontItem},
      {0x4E, kCreateNewNoteItem}, {0x4F, kColorItem},      {0x52, kSetReminderItem},    {0x53, kSaveNoteToFileItem},
      {0x70, kInsertDateItem},    {0x71, kInsertTimeItem}};
  std::set<std::string> seen = {Snapshot()};
  for (auto [key, item] : keys) {
    SetUp();
    Press(key);
    std::string byKey = Snapshot();
    for (const sim::DialogRecord& dialog : sim::Dialogs()) EXPECT_EQ(dialog.owner, b_->window());
    SetUp();
    RunMenuCommand(item);
    EXPECT_EQ(byKey, Snapshot()) << std::hex << "Ctrl+" << key;
    seen.insert(byKey);
  }
  EXPECT_EQ(seen.size(), std::size(keys) + 1);  // each key does something of its own
}

TEST_F(Shortcuts, OnlyCtrlAloneWithAKeyOfTheTableDoesAnything) {
  const std::string before = Snapshot();
  for (int key : {0x41, 0x44, 0x45, 0x46, 0x4E, 0x4F, 0x52, 0x53, 0x70, 0x71}) {
    for (int modifiers : {0, +platform::kShift, +platform::kAlt, kCtrl | platform::kShift, kCtrl | platform::kAlt}) {
      Press(key, modifiers);
      EXPECT_EQ(Snapshot(), before) << std::hex << "key " << key << " modifiers " << modifiers;
    }
  }
  // Ctrl+Q, Ctrl+F3, the edit control's own keys, and codes next to the table's.
  for (int key : {0x51, 0x72, 0x43, 0x56, 0x58, 0x42, 0x6F}) {
    Press(key);
    EXPECT_EQ(Snapshot(), before) << std::hex << "Ctrl+" << key;
  }
}

}  // namespace
