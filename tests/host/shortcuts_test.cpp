// The Ctrl shortcuts of a note's text area.
#include <functional>
#include <memory>
#include <vector>

#include "host_test.h"
#include "notes/note.h"
#include "reminders/reminder_dialog.h"
#include "sharing/email_form.h"

namespace {

using namespace pinaleaf;
using platform::Color;
using platform::Handle;
using platform::kAlt;
using platform::kCtrl;
using platform::kShift;
using Handles = std::vector<Handle>;

const Text kSavedFile = u"C:\\notes\\saved.txt";

class Shortcuts : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    a_ = Note::Load();
    a_->Show();
    platform::SetText(a_->textArea(), u"alpha");
    b_ = Note::Load();
    b_->Show();
    platform::SetRect(b_->window(), {6000, 3000, 1995, 2355});
    platform::SetText(b_->textArea(), u"beta note");
    sim::SetFontDialogHandler([](platform::FontChoice& choice) { return choice.font.name = u"Courier New", true; });
    sim::SetColorDialogHandler([](Color& color) { return color = 0x00112233, true; });
    sim::SetSaveDialogHandler([](platform::SaveChoice& choice) { return choice.fileName = kSavedFile, true; });
    // The keys go to a; the pointer last passed over b.
    sim::Click(a_->textArea());
    sim::MouseMove(b_->textArea(), 0, 0, 10, 10);
  }

  void Press(int key, int modifiers = kCtrl) { sim::KeyDown(a_->textArea(), key, modifiers); }

  // The one standard dialog opened, and its owner.
  static std::pair<Text, Handle> Dialog() {
    if (sim::Dialogs().size() != 1) return {u"not one", 0};
    return {sim::Dialogs()[0].kind, sim::Dialogs()[0].owner};
  }

  static int LeftPx(Handle window) { return sim::Find(window)->leftPx; }
  static int TopPx(Handle window) { return sim::Find(window)->topPx; }

  std::shared_ptr<Note> a_, b_;
};

TEST_F(Shortcuts, EachKeyRunsItsCommandOnTheNoteUnderThePointer) {
  auto text = [](const std::shared_ptr<Note>& note) { return platform::GetText(note->textArea()); };
  const std::pair<int, std::function<void()>> cases[] = {
      {0x41, [&] { EXPECT_EQ(platform::GetSelLength(b_->textArea()), 9); }},
      {0x44, [&] { EXPECT_TRUE(!platform::IsLoaded(b_->window()) && sim::MessageBoxes().empty()); }},
      {0x45, [] { EXPECT_TRUE(EmailForm::Current() && platform::IsVisible(EmailForm::Current()->window())); }},
      {0x46,
       [&] {
         EXPECT_EQ(Dialog(), std::pair(Text(u"font"), b_->window()));
         EXPECT_EQ(platform::GetFont(b_->textArea()).name, u"Courier New");
       }},
      {0x4E,
       [&] {
         Handle made = platform::LoadedForms().back();
         EXPECT_EQ(Note::Count(), 3);
         EXPECT_EQ(LeftPx(made), LeftPx(b_->window()) + 33);
         EXPECT_EQ(TopPx(made), TopPx(b_->window()) + 33);
       }},
      {0x4F,
       [&] {
         EXPECT_EQ(Dialog(), std::pair(Text(u"color"), b_->window()));
         EXPECT_EQ(platform::GetBackColor(b_->window()), 0x00112233u);
       }},
      {0x52,
       [] {
         auto dialog = ReminderDialog::Current();
         ASSERT_TRUE(dialog && platform::IsVisible(dialog->window()));
         EXPECT_EQ(platform::GetCaption(dialog->window()), u"Reminder [beta note]");
       }},
      {0x53,
       [&] {
         EXPECT_EQ(Dialog(), std::pair(Text(u"save"), b_->window()));
         EXPECT_EQ(sim::FileContents(kSavedFile), "beta note");
       }},
      {0x70, [&] { EXPECT_EQ(text(b_), platform::FormatShortDate(platform::Now()) + u"beta note"); }},
      {0x71, [&] { EXPECT_EQ(text(b_), platform::FormatTime(platform::Now()) + u"beta note"); }},
  };
  for (const auto& [key, check] : cases) {
    SetUp();
    SCOPED_TRACE(testing::Message() << "Ctrl+" << std::hex << key);
    Press(key);
    check();
    // The note with the key is never the one acted on.
    EXPECT_EQ(text(a_), u"alpha");
    EXPECT_EQ(platform::GetSelLength(a_->textArea()), 0);
    EXPECT_EQ(platform::GetFont(a_->textArea()), platform::Font{});
    EXPECT_EQ(platform::GetBackColor(a_->window()), kNoteYellow);
  }
}

// Everything a shortcut could change.
auto Snapshot() {
  std::vector<Text> texts;
  std::vector<int> numbers;
  for (Handle form : platform::LoadedForms()) {
    numbers.push_back(form);
    numbers.push_back(static_cast<int>(platform::GetBackColor(form)));
    if (auto note = Note::FromHandle(form)) {
      Handle text = note->textArea();
      texts.push_back(platform::GetText(text));
      texts.push_back(platform::GetFont(text).name);
      numbers.insert(numbers.end(), {platform::GetSelStart(text), platform::GetSelLength(text),
                                     static_cast<int>(platform::GetBackColor(text))});
    }
  }
  numbers.insert(numbers.end(), {static_cast<int>(sim::Dialogs().size()), static_cast<int>(sim::MessageBoxes().size()),
                                 static_cast<int>(sim::ShellCalls().size()), sim::StoreWrites()});
  return std::pair(texts, numbers);
}

TEST_F(Shortcuts, OnlyCtrlAloneWithAKeyOfTheTableDoesAnything) {
  platform::SetSelection(b_->textArea(), 2, 3);
  const auto before = Snapshot();
  for (int key : {0x41, 0x44, 0x45, 0x46, 0x4E, 0x4F, 0x52, 0x53, 0x70, 0x71}) {
    for (int modifiers : {0, +kShift, +kAlt, kShift | kAlt, kCtrl | kShift, kCtrl | kAlt, kCtrl | kShift | kAlt}) {
      Press(key, modifiers);
      EXPECT_TRUE(Snapshot() == before) << std::hex << "key " << key << " modifiers " << modifiers;
    }
  }
  // Ctrl+Q, Ctrl+F3, the edit control's own keys, and codes next to the table's.
  for (int key : {0x51, 0x72, 0x43, 0x56, 0x58, 0x5A, 0x42, 0x61, 0x6E, 0x00, 0xFFFF}) {
    Press(key);
    EXPECT_TRUE(Snapshot() == before) << std::hex << "Ctrl+" << key;
  }
}

TEST_F(Shortcuts, RepeatedCtrlNStacksOnOneSpotAndCtrlDOnTheLastNoteAsks) {
  sim::MouseMove(a_->textArea(), 0, 0, 10, 10);
  Handles before = platform::LoadedForms();
  for (int i = 0; i < 3; ++i) Press(0x4E);
  Handles after = platform::LoadedForms();
  ASSERT_EQ(after.size(), before.size() + 3);
  for (size_t i = before.size(); i < after.size(); ++i) {
    EXPECT_EQ(LeftPx(after[i]), LeftPx(a_->window()) + 33);
    EXPECT_EQ(TopPx(after[i]), TopPx(a_->window()) + 33);
  }

  SetUp();
  b_->Unload();
  Press(0x44);
  ASSERT_EQ(sim::MessageBoxes().size(), 1u);
  EXPECT_EQ(sim::MessageBoxes()[0].prompt, u"This is the last note. Would you like to quit?");
  EXPECT_TRUE(platform::IsLoaded(a_->window()));  // the answer was No
  EXPECT_FALSE(sim::ProcessEnded());
}

}  // namespace
