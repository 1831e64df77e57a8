// The ways to a command: the popup a right press opens, the Ctrl shortcuts,
// and where the keyboard goes afterwards.
#include "host_test.h"
#include "reminders/reminder_dialog.h"
#include "sharing/email_form.h"

using Menu = TwoNotes;

constexpr int kTab = 0x09, kSpace = 0x20;

// What the commands change, as seen from outside.
auto Effects(Handle note) {
  Handle text = IsLoaded(note) ? TextAreaOf(note) : 0;
  return std::tuple(GetText(text), GetSelectedText(text), GetFont(text).name, GetBackColor(note), Sys().files.size(),
                    LoadedForms().size(), GetCaption(LoadedForms().back()));
}

TEST_F(Menu, ARightPressOpensThePopupOnThePressedNoteAndEachCtrlKeyRunsItsEntrysCommandOnTheNoteUnderThePointer) {
  Handle text = TextAreaOf(b_);
  std::vector<std::tuple<Handle, Text, bool>> seen;  // owner, record, text area enabled
  Sys().popup = [&](MenuId, Handle owner) { return seen.emplace_back(owner, Recorded(), IsEnabled(text)), 0; };
  RightPress(b_);  // the strip, then the text area, which is disabled while it is open
  RecordActive(a_);
  RightPress(text);
  for (int button : {kLeftButton, kMiddleButton}) sim::MouseDown(b_, button, 0, 100, 100);
  const Text b = FormatInteger(b_);
  EXPECT_EQ(seen, (std::vector<std::tuple<Handle, Text, bool>>{{b_, b, true}, {b_, b, false}}));
  // Dismissed, the keyboard is back in the note.
  EXPECT_EQ(std::pair(IsEnabled(text), GetFocus()), std::pair(true, text));
  // Choosing "Create New Note" moves the keyboard to the new note.
  Choose(kCreateNewNoteItem);
  RightPress(text);
  EXPECT_EQ(GetFocus(), TextAreaOf(LoadedForms().back()));
  // Each Ctrl key runs its entry's command on the note under the pointer.
  auto start = [this] {
    SetUp();
    SetText(TextAreaOf(b_), u"beta note");
    Sys().fontDialog = [](Handle, FontChoice& choice) { return choice.font.name = u"Courier New", true; };
    Sys().colorDialog = [](Handle, Color& color) { return color = 0x00112233, true; };
    Sys().saveDialog = [](Handle, SaveChoice& choice) { return choice.fileName = u"C:\\saved.txt", true; };
    // The keys go to the start-up note; the pointer last passed over the other.
    sim::MouseMove(TextAreaOf(b_), 0, 0, 10, 10);
  };
  for (auto [key, item] : {std::pair{'A', +kSelectAllItem}, {'D', +kDeleteThisNoteItem}, {'E', +kEmailItem},
                           {'F', +kFontItem}, {'N', +kCreateNewNoteItem}, {'O', +kColorItem}, {'R', +kSetReminderItem},
                           {'S', +kSaveNoteToFileItem}, {0x70, +kInsertDateItem}, {0x71, +kInsertTimeItem}}) {
    start();
    // Only Ctrl alone counts: the same key with other modifiers adds nothing.
    for (int modifiers : {0, +kShift, +kAlt, kCtrl | kShift, kCtrl | kAlt, +kCtrl}) sim::Key(key, modifiers);
    auto byKey = Effects(b_);
    start();
    RunEntry(item);
    EXPECT_EQ(byKey, Effects(b_)) << "Ctrl+" << key;
  }
}

TEST_F(Menu, FormsOpenedByKeyTakeTabAndSpaceAndComeForwardWithTheKeyboardWhereItWasWhenAskedAgain) {
  sim::Key('E', kCtrl);
  auto form = EmailForm::Current();
  EXPECT_EQ(std::pair(sim::ActiveForm(), GetFocus()), std::pair(form->window(), form->combo()));
  sim::Type(u"anna@example.com");
  for (int key : {kTab, 0x0D}) sim::Key(key);  // Enter presses nothing: there is no default button
  EXPECT_EQ(std::pair(GetFocus(), Sys().shellCalls.size()), std::pair(form->sendButton(), size_t{0}));
  sim::Key(kSpace);
  EXPECT_EQ(Sys().shellCalls.at(0).target.rfind(u"mailto:anna@example.com?Subject=", 0), 0u);
  sim::Click(TextAreaOf(b_));
  sim::Key('E', kCtrl);
  EXPECT_EQ(std::pair(sim::ActiveForm(), GetFocus()), std::pair(form->window(), form->sendButton()));
  // The reminder dialog arms with Tab, Tab, Space, for ten minutes ahead.
  sim::Click(TextAreaOf(a_));
  sim::SetNow({2026, 12, 31, 23, 55, 0});
  sim::Key('R', kCtrl);
  auto dialog = ReminderDialog::Current();
  EXPECT_EQ(GetFocus(), dialog->calendar());
  for (int key : {kTab, kTab, kSpace}) sim::Key(key);
  EXPECT_EQ(std::pair(GetCaption(dialog->window()), GetCaption(dialog->label3())),
            std::pair(Text(u"Reminder [Enabled]"), Text(u"1/1/2027 12:05:00 AM")));
  for (int key : {kTab, kSpace}) sim::Key(key);  // "Hide This Window"
  EXPECT_FALSE(IsVisible(dialog->window()));
  for (int time = 0; time < 2; ++time) {  // hidden, then shown behind a note
    sim::Click(TextAreaOf(a_));
    sim::Key('R', kCtrl);
    EXPECT_EQ(std::pair(sim::ActiveForm(), GetFocus()), std::pair(dialog->window(), dialog->command2()));
  }
}
