// The program on the simulated platform, for what only it can show: a clock
// that the test turns, a second monitor at another scale (Wine has one DPI
// for all monitors), and the user acting while a dialog or an alarm runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

#include "app/app.h"
#include "notes/note.h"
#include "notes/program.h"
#include "platform/sim/sim.h"
#include "reminders/reminder_dialog.h"

namespace {

using namespace pinaleaf;
using platform::DateTime;
using platform::Key;

class Running : public ::testing::Test {
 protected:
  // A new process, its first note clicked, so it is the active one.
  void SetUp() override {
    sim::Reset();
    program_.emplace();
    sim::Run(StartProgram);
    sim::Click(Note::FromWindow(StartupNoteWindow())->textArea());
  }
  std::optional<Program> program_;
};

// A laptop with an external screen at 150 %, which begins at 1280 pixels.
TEST_F(Running, ANoteDraggedToTheOtherScreenKeepsItsSizeAndItsNewNotesOpenThere) {
  platform::Form first = StartupNoteWindow();
  platform::Rect size = platform::GetRect(first);
  sim::Sys().dragX = 1400 - sim::Find(first)->leftPx;
  sim::MouseDown(first, platform::kLeftButton, 0, 600, 100);  // on the strip
  sim::KeyDown(platform::Key::N, platform::kCtrl);
  platform::Form made = sim::ActiveForm();
  ASSERT_NE(made, first);
  for (platform::Form form : {first, made}) {
    EXPECT_GE(sim::Find(form)->leftPx, 1400);
    EXPECT_NEAR(platform::GetRect(form).width, size.width, 15);
    EXPECT_NEAR(platform::GetRect(form).height, size.height, 15);
  }
  EXPECT_NEAR(sim::Find(first)->widthPx, size.width / 10.0, 1);  // ten twips a pixel at 144 dpi
}

// Closed from outside while its save dialog is open, a note stays and is saved.
TEST_F(Running, ANoteClosedWhileItsSaveDialogIsOpenIsSaved) {
  platform::Form a = StartupNoteWindow();
  sim::Type(u"keep me");
  sim::KeyDown(Key::N, platform::kCtrl);
  sim::Click(Note::FromWindow(a)->textArea());
  sim::Sys().saveDialog = [&](auto, platform::SaveChoice& choice) {
    sim::Close(a);
    choice.fileName = u"a";
    return true;
  };
  sim::KeyDown(Key::S, platform::kCtrl);
  EXPECT_EQ(sim::Sys().files[u"a"], "keep me");
}

class Reminders : public Running {
 protected:
  // Picks the moment in the dialog and presses "Set Reminder".
  std::shared_ptr<ReminderDialog> ArmFor(const DateTime& t) {
    sim::KeyDown(platform::Key::R, platform::kCtrl);
    auto dialog = ReminderDialog::Current();
    if (dialog->armed())
      sim::Click(dialog->command1());
    platform::SetCalendarDate(dialog->calendar(), {t.year, t.month, t.day});
    platform::SetPickerTime(dialog->picker(), {t.hour, t.minute, t.second});
    sim::Click(dialog->command1());
    return dialog;
  }
  static size_t Rings() {
    return sim::Sys().sounds.size();
  }
};

TEST_F(Reminders, ItLooksOnceASecondAndRingsOnceInItsSecondOrOnceAfterItWasMissed) {
  sim::SetNow({2026, 4, 3, 9, 4, 0, 400});
  auto d = ArmFor({2026, 4, 3, 9, 5, 7});
  std::vector<platform::Control> shown = sim::ControlsOf(d->window());  // the moment, as armed
  EXPECT_TRUE(std::ranges::any_of(shown, [](auto c) { return sim::Find(c)->text == u"4/3/2026 9:05:07 AM"; }));
  sim::Advance(60000);  // a minute of waiting: one look a second
  EXPECT_EQ(std::pair(sim::Find(d->window())->ticks <= 61, Rings()), std::pair(true, size_t{0}));
  sim::Advance(7000);  // into 09:05:07, within its second; it flashes for three seconds
  EXPECT_EQ(std::pair(Rings(), platform::Now().second), std::pair(size_t{1}, 10));
  sim::SetNow({2026, 4, 3, 9, 5, 0});  // set back before the moment: it has rung
  sim::Advance(10000);
  ArmFor({2026, 4, 3, 9, 30, 0});  // a clock set, or a machine woken, past a moment ahead: once, at once
  sim::SetNow({2026, 4, 3, 9, 45, 0});
  sim::Advance(5);
  EXPECT_EQ(Rings(), 2u);
  // Armed for a moment gone, or stored with a leading zero or a second that is no number: never.
  ArmFor({2026, 4, 3, 9, 30, 0});
  sim::Advance(5000);
  for (auto [minute, key, value] :
       {std::tuple{46, u"ReminderSeconds", u"99999999999999999999"}, {48, u"ReminderMinutes", u"048"}}) {
    ArmFor({2026, 4, 3, 9, minute, 0});
    sim::Sys().store[key] = value;
    sim::Advance(70000);
  }
  EXPECT_EQ(Rings(), 2u);
}

// Armed again while it rings, for a moment inside the alarm: that one rings
// as soon as the first has ended.
TEST_F(Reminders, AMomentInsideARingingAlarmRingsWhenItEnds) {
  auto d = ArmFor({2026, 3, 5, 14, 55, 32});
  struct User : platform::EventSink {
    std::function<void()> act;
    void OnTimer(platform::Form form) override {
      platform::SetTimer(form, 0);
      act();
    }
  };
  auto user = std::make_shared<User>();
  user->act = [&] {  // a second into the alarm, at the dialog: 14:55:34 armed
    platform::SetPickerTime(d->picker(), {14, 55, 34});
    sim::Click(d->command1());
    sim::Click(d->command1());
  };
  platform::SetTimer(platform::CreateForm({}, user), 3000);
  sim::Advance(9000);
  EXPECT_EQ(Rings(), 2u);
}

}  // namespace
