// The ways to a command: the popup a right press opens, the Ctrl shortcuts,
// and where the keyboard goes afterwards.
#include <set>
#include <string>

#include "host_test.h"
#include "reminders/reminder_dialog.h"
#include "sharing/email_form.h"

namespace {

using namespace pinaleaf;
using platform::kCtrl;

constexpr int kTab = 0x09, kSpace = 0x20;

using Popup = TwoNotes;

TEST_F(Popup, ARightPressOpensItOnThePressedNoteAndTheKeyboardStaysThere) {
  Handle text = TextAreaOf(b_);
  std::vector<std::tuple<Handle, Text, bool>> seen;  // owner, record, text area enabled
  Sys().popup = [&](platform::MenuId, Handle owner) {
    seen.emplace_back(owner, sim::Stored(u"ActivehWnd").value_or(u""), platform::IsEnabled(text));
    return 0;
  };
  RightPress(b_);  // the strip, then the text area, which is disabled while it is open
  RecordActive(a_);
  RightPress(text);
  Text b = FormatInteger(b_);
  EXPECT_EQ(seen, (std::vector<std::tuple<Handle, Text, bool>>{{b_, b, true}, {b_, b, false}}));
  for (int button : {platform::kLeftButton, platform::kMiddleButton}) sim::MouseDown(b_, button, 0, 100, 100);
  EXPECT_EQ(seen.size(), 2u);
  // Dismissed, or an entry chosen: the keys typed next arrive in the note.
  EXPECT_EQ(std::pair(platform::IsEnabled(text), platform::GetFocus()), std::pair(true, text));
  sim::Type(u"ab");
  Choose(kInsertDateItem);
  RightPress(text);
  sim::Type(u">");
  EXPECT_EQ(platform::GetText(text), u">ab3/5/2026");  // the date set the caret to the start
  // Choosing "Create New Note" moves the keyboard to the new note.
  Choose(kCreateNewNoteItem);
  RightPress(text);
  EXPECT_EQ(platform::GetFocus(), TextAreaOf(platform::LoadedForms().back()));
}

TEST_F(Popup, DeletingANoteFromItsOwnPopupLeavesItClosedAndQuitWritesNothing) {
  Choose(kDeleteThisNoteItem);
  RightPress(TextAreaOf(a_));
  EXPECT_EQ(platform::LoadedForms(), (Handles{MenuForm::Current()->window(), b_}));
  RightPress(TextAreaOf(b_));  // the only note asks; No keeps it
  EXPECT_EQ(Sys().messageBoxes.size(), 1u);
  EXPECT_TRUE(platform::IsLoaded(b_) && platform::IsEnabled(TextAreaOf(b_)));
  // Quit: the press wrote its record, the choice nothing more; no question.
  auto stored = Sys().store;
  Sys().popup = [&](platform::MenuId, Handle) { return stored = Sys().store, kQuitItem; };
  RightPress(b_);
  EXPECT_TRUE(sim::ProcessEnded());
  EXPECT_EQ(Sys().store, stored);
  EXPECT_EQ(Sys().messageBoxes.size(), 1u);
}

class Shortcuts : public TwoNotes {
 protected:
  void SetUp() override {
    TwoNotes::SetUp();
    platform::SetText(TextAreaOf(b_), u"beta note");
    Sys().fontDialog = [](Handle, platform::FontChoice& choice) { return choice.font.name = u"Courier New", true; };
    Sys().colorDialog = [](Handle, platform::Color& color) { return color = 0x00112233, true; };
    Sys().saveDialog = [](Handle, platform::SaveChoice& choice) { return choice.fileName = u"C:\\saved.txt", true; };
    // The keys go to the start-up note; the pointer last passed over the other.
    sim::MouseMove(TextAreaOf(b_), 0, 0, 10, 10);
  }
  // What the commands change, as seen from outside.
  std::string Snapshot() const {
    Handle text = platform::IsLoaded(b_) ? TextAreaOf(b_) : 0;
    std::string out = U8(platform::GetText(text) + u"|" + platform::GetFont(text).name + u"|" +
                         platform::GetCaption(platform::LoadedForms().back()) + u"|" + platform::GetSelectedText(text));
    for (size_t n : {platform::LoadedForms().size(), Sys().shellCalls.size(), Sys().files.size(),
                     size_t(platform::GetBackColor(b_))}) {
      out += "|" + std::to_string(n);
    }
    return out;
  }
};

TEST_F(Shortcuts, EachCtrlKeyRunsItsEntrysCommandOnTheNoteUnderThePointerAndNothingElseDoes) {
  const std::pair<int, int> keys[] = {{'A', kSelectAllItem}, {'D', kDeleteThisNoteItem}, {'E', kEmailItem},
                                      {'F', kFontItem},      {'N', kCreateNewNoteItem},  {'O', kColorItem},
                                      {'R', kSetReminderItem}, {'S', kSaveNoteToFileItem}, {0x70, kInsertDateItem},
                                      {0x71, kInsertTimeItem}};
  const std::string before = Snapshot();
  std::set<std::string> seen = {before};
  for (auto [key, item] : keys) {
    SetUp();
    sim::Key(key, kCtrl);
    std::string byKey = Snapshot();
    SetUp();
    RunEntry(item);
    EXPECT_EQ(byKey, Snapshot()) << std::hex << "Ctrl+" << key;
    seen.insert(byKey);
  }
  EXPECT_EQ(seen.size(), std::size(keys) + 1);  // each key does something of its own
  SetUp();
  for (auto [key, item] : keys) {
    for (int modifiers : {0, +platform::kShift, +platform::kAlt, kCtrl | platform::kShift, kCtrl | platform::kAlt}) {
      sim::Key(key, modifiers);
    }
  }
  // Ctrl+Q, Ctrl+F3, the text box's own keys, and codes next to the table's.
  for (int key : {0x51, 0x72, 0x43, 0x56, 0x58, 0x42, 0x6F}) sim::Key(key, kCtrl);
  EXPECT_EQ(Snapshot(), before);
}

using FormsByKeyboard = TwoNotes;

TEST_F(FormsByKeyboard, TheEmailFormTakesTheAddressTabAndSpaceSendIt) {
  for (Handle note : {a_, b_}) platform::SetZOrder(note, platform::ZOrder::NotTopmost, false);
  sim::Key('E', kCtrl);
  auto form = EmailForm::Current();
  ASSERT_TRUE(form);
  EXPECT_EQ(std::pair(sim::ActiveForm(), platform::GetFocus()), std::pair(form->window(), form->combo()));
  sim::Type(u"anna@example.com");
  sim::Key(kTab);
  EXPECT_EQ(platform::GetFocus(), form->sendButton());
  sim::Key(0x0D);  // Enter presses nothing: there is no default button
  EXPECT_TRUE(Sys().shellCalls.empty());
  sim::Key(kSpace);
  ASSERT_EQ(Sys().shellCalls.size(), 1u);
  EXPECT_EQ(Sys().shellCalls[0].target.rfind(u"mailto:anna@example.com?Subject=", 0), 0u);
  // Back in a note, asked for again: in front, active, the keyboard on Send.
  sim::Click(TextAreaOf(b_));
  sim::Key('E', kCtrl);
  EXPECT_EQ(std::tuple(sim::ZOrder().front(), sim::ActiveForm(), platform::GetFocus()),
            std::tuple(form->window(), form->window(), form->sendButton()));
  sim::Key(kTab, platform::kShift);
  EXPECT_EQ(platform::GetFocus(), form->combo());
}

TEST_F(FormsByKeyboard, TheReminderDialogArmsWithTabTabSpace) {
  sim::Key('R', kCtrl);
  auto dialog = ReminderDialog::Current();
  ASSERT_TRUE(dialog);
  EXPECT_EQ(platform::GetFocus(), dialog->calendar());
  sim::Key(kTab);
  sim::Key(kTab);
  sim::Key(kSpace);
  EXPECT_EQ(platform::GetCaption(dialog->window()), u"Reminder [Enabled]");
  // Hidden and shown again: the keyboard where it was.
  sim::Key(kTab);
  sim::Key(kSpace);  // "Hide This Window"
  EXPECT_FALSE(platform::IsVisible(dialog->window()));
  EXPECT_EQ(sim::ActiveForm(), a_);  // the next window down takes over
  Choose(kSetReminderItem);
  RightPress(TextAreaOf(a_));
  EXPECT_EQ(std::pair(sim::ActiveForm(), platform::GetFocus()), std::pair(dialog->window(), dialog->command2()));
}

}  // namespace
