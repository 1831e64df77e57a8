// The program on the simulated platform, for what only it can show: a clock
// that the test turns, a second monitor at another scale (Wine has one DPI
// for all monitors), and the user acting while a dialog or an alarm runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "app/app.h"
#include "notes/note.h"
#include "notes/program.h"
#include "platform/sim/sim.h"
#include "reminders/reminder_dialog.h"

namespace {

using namespace std;
using namespace pinaleaf;
using namespace sim;

struct Running : testing::Test {
  // A new process, its first note clicked, so it is the active one.
  void SetUp() override {
    Reset();
    program_.emplace();
    sim::Run(StartProgram);
    Click(Note::FromWindow(StartupNoteWindow())->textArea());
  }
  optional<Program> program_;
};

// A new note stands 500 twips (33 pixels) right of and below the active
// one, or at the work area's near edge where it would leave the work area
// (1280 by 984 pixels). On a laptop's external screen at 150 %, from 1280
// pixels, a note keeps its size, and its new notes open there.
TEST_F(Running, ANewNoteOpensBesideTheActiveOneOnItsWorkArea) {
  Form first = ActiveForm();
  for (auto [left, top, newLeft, newTop] :
       {tuple{135, 137, 168, 170}, {1140, 137, 0, 170}, {135, 820, 168, 0}, {-40, -40, 0, 0}}) {
    SetRect(first, {left * 15, top * 15, 1995, 2355});
    Click(Note::FromWindow(first)->textArea());
    KeyDown(Key::N, kCtrl);
    auto made = Find(ActiveForm());
    EXPECT_EQ(pair(made->leftPx, made->topPx), pair(newLeft, newTop));
  }
  Sys().dragX = 1440;                          // from -40 pixels to 1400
  MouseDown(first, kLeftButton, 0, 600, 100);  // on the strip
  KeyDown(Key::N, kCtrl);
  Form made = ActiveForm();
  ASSERT_NE(made, first);
  for (Form form : {first, made}) {
    EXPECT_GE(Find(form)->leftPx, 1400);
    EXPECT_NEAR(GetRect(form).width, 1995, 15);
    EXPECT_NEAR(GetRect(form).height, 2355, 15);
  }
  EXPECT_NEAR(Find(first)->widthPx, 200, 1);  // ten twips a pixel at 144 dpi
}

// Closed from outside while its save dialog is open, a note stays and is saved.
TEST_F(Running, ANoteClosedWhileItsSaveDialogIsOpenIsSaved) {
  Form a = ActiveForm();
  Type(u"keep me");
  KeyDown(Key::N, kCtrl);
  Click(Note::FromWindow(a)->textArea());
  Sys().saveDialog = [&](auto, SaveChoice& choice) {
    Close(a);
    choice.fileName = u"a";
    return true;
  };
  KeyDown(Key::S, kCtrl);
  EXPECT_EQ(Sys().files[u"a"], "keep me");
}

struct Reminders : Running {
  // Picks the time in the dialog (its day is today's) and presses "Set Reminder".
  static auto ArmFor(TimeOfDay time) {
    KeyDown(Key::R, kCtrl);
    auto dialog = ReminderDialog::Current();
    if (dialog->armed())
      Click(dialog->command1());
    SetPickerTime(dialog->picker(), time);
    Click(dialog->command1());
    return dialog;
  }
  static size_t Rings() {
    return Sys().sounds.size();
  }
};

TEST_F(Reminders, ItLooksOnceASecondAndRingsOnceInItsSecondOrOnceAfterItWasMissed) {
  SetNow({2026, 4, 3, 9, 4, 0, 400});
  auto d = ArmFor({9, 5, 7});
  EXPECT_TRUE(ranges::any_of(ControlsOf(d->window()),  // the moment, as armed
                             [](auto c) { return Find(c)->text == u"4/3/2026 9:05:07 AM"; }));
  Advance(60000);  // a minute of waiting: one look a second
  EXPECT_LE(Find(d->window())->ticks, 61);
  EXPECT_EQ(Rings(), 0u);
  Advance(7000);  // into 09:05:07, within its second; it flashes for three seconds
  EXPECT_EQ(Rings(), 1u);
  EXPECT_EQ(Now().second, 10);
  SetNow({2026, 4, 3, 9, 5, 0});  // set back before the moment: it has rung
  Advance(10000);
  ArmFor({9, 30, 0});  // a clock set, or a machine woken, past a moment ahead: once, at once
  SetNow({2026, 4, 3, 9, 45, 0});
  Advance(5);
  EXPECT_EQ(Rings(), 2u);
  // Armed for a moment gone, or stored with a leading zero or a second that is no number: never.
  ArmFor({9, 30, 0});
  Advance(5000);
  for (auto [minute, key, value] :
       {tuple{46, u"ReminderSeconds", u"99999999999999999999"}, {48, u"ReminderMinutes", u"048"}}) {
    ArmFor({9, minute, 0});
    Sys().store[key] = value;
    Advance(70000);
  }
  EXPECT_EQ(Rings(), 2u);
}

// Armed again while it rings, for a moment inside the alarm: that one rings
// as soon as the first has ended.
TEST_F(Reminders, AMomentInsideARingingAlarmRingsWhenItEnds) {
  ArmFor({14, 55, 32});
  struct User : EventSink {
    void OnTimer(Form form) override {  // a second into the alarm, at the dialog: 14:55:34 armed
      SetTimer(form, 0);
      auto d = ReminderDialog::Current();
      SetPickerTime(d->picker(), {14, 55, 34});
      Click(d->command1());
      Click(d->command1());
    }
  };
  SetTimer(CreateForm({}, make_shared<User>()), 3000);
  Advance(9000);
  EXPECT_EQ(Rings(), 2u);
}

}  // namespace
