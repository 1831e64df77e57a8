// The reminder dialog and its alarm, on the virtual clock.
#include <functional>
#include <tuple>

#include "host_test.h"
#include "reminders/reminder_dialog.h"

namespace {

using namespace pinaleaf;
using platform::DateTime;
using platform::Rect;

// A hidden form ticking every millisecond: it looks at the notes between the
// alarm's waits, and acts there as the user would.
struct Watcher : platform::EventSink {
  std::function<void()> onTick;
  void OnTimer(Handle) override { onTick(); }
};
void Watch(std::function<void()> onTick) {
  auto sink = std::make_shared<Watcher>();
  sink->onTick = std::move(onTick);
  platform::SetTimer(platform::CreateForm({.kind = platform::FormKind::Hidden}, sink), 1);
}

class Reminders : public TwoNotes {
 protected:
  void SetUp() override {
    TwoNotes::SetUp();
    platform::SetText(TextAreaOf(a_), u"Buy milk");
    platform::SetText(TextAreaOf(b_), u"Call Ann");
  }
  static std::shared_ptr<ReminderDialog> Open() {
    sim::Run(ShowReminderDialog);
    return ReminderDialog::Current();
  }
  // Picks the moment as the user would and presses "Set Reminder".
  static std::shared_ptr<ReminderDialog> ArmFor(const DateTime& t) {
    auto dialog = Open();
    if (dialog->armed()) sim::PressButton(dialog->command1());
    platform::SetCalendarDate(dialog->calendar(), {t.year, t.month, t.day});
    platform::SetPickerTime(dialog->picker(), {t.hour, t.minute, t.second});
    sim::PressButton(dialog->command1());
    return dialog;
  }
  static size_t Rings() { return sim::Sys().sounds.size(); }
};

TEST_F(Reminders, TheLoadPlacesItNamesTheActiveNoteAndPresetsTenMinutesAhead) {
  // Centred across the 19200 x 15360-twip screen, 1000 twips above the middle.
  EXPECT_EQ(platform::GetRect(Open()->window()), (Rect{7440, 4245, 4320, 4860}));
  auto captionFor = [](const std::function<void()>& arrange) {
    sim::Close(Open()->window());
    arrange();
    return platform::GetCaption(Open()->window());
  };
  EXPECT_EQ(captionFor([] {}), u"Reminder [Buy milk]");
  EXPECT_EQ(captionFor([&] { platform::SetText(TextAreaOf(a_), u""); }), u"Reminder [empty note]");
  EXPECT_EQ(captionFor([&] { RecordActive(TextAreaOf(a_)); }), u"Reminder");
  auto preset = [](const DateTime& now) {
    sim::Close(Open()->window());
    sim::SetNow(now);
    auto d = Open();
    auto date = platform::GetCalendarDate(d->calendar());
    auto time = platform::GetPickerTime(d->picker());
    // The label tells of that default; it goes once the user picks a time.
    EXPECT_TRUE(platform::IsVisible(d->label4()));
    sim::Changed(d->picker());
    EXPECT_FALSE(platform::IsVisible(d->label4()));
    return std::tuple(date.year, date.month, date.day, time.hour, time.minute, time.second);
  };
  EXPECT_EQ(preset({2026, 12, 31, 23, 55, 0}), std::tuple(2027, 1, 1, 0, 5, 0));
  EXPECT_EQ(preset({2028, 2, 28, 23, 59, 59}), std::tuple(2028, 2, 29, 0, 9, 59));
  // On a small screen the caption stays reachable: inside the work area.
  sim::Close(Open()->window());
  sim::SetDpi(288);
  const sim::Window* w = sim::Find(Open()->window());
  EXPECT_EQ(std::pair(w->leftPx, w->topPx), std::pair((1280 - w->widthPx) / 2, 0));
}

TEST_F(Reminders, ArmingStoresAndShowsTheMomentThatWillRingAndHidingKeepsItArmed) {
  sim::SetNow({2026, 12, 31, 23, 55, 0});
  auto d = ArmFor({2027, 1, 1, 0, 5, 0});  // the picker's own date is still the day it loaded
  Handle window = d->window();
  Text stored;
  for (auto key : {u"ReminderYear", u"ReminderMonth", u"ReminderDay", u"ReminderHours", u"ReminderMinutes",
                   u"ReminderSeconds"}) {
    stored += sim::Stored(key).value_or(u"-") + u" ";
  }
  EXPECT_EQ(stored, u"2027 1 1 0 5 0 ");
  EXPECT_EQ(std::tuple(platform::GetCaption(window), platform::GetCaption(d->command1()), platform::GetCaption(d->label3())),
            std::tuple(Text(u"Reminder [Enabled]"), Text(u"Disable Reminder"), Text(u"1/1/2027 12:05:00 AM")));
  // "Hide This Window", and the close box while armed, only hide it.
  for (bool closeBox : {false, true}) {
    closeBox ? sim::Close(window) : sim::PressButton(d->command2());
    EXPECT_FALSE(platform::IsVisible(window));
    EXPECT_TRUE(Open() == d && d->armed());
  }
  // Disarming keeps the stored moment and clears the label; closed while
  // disarmed it goes.
  sim::PressButton(d->command1());
  EXPECT_EQ(std::tuple(d->armed(), platform::GetCaption(window), platform::GetCaption(d->label3()),
                       sim::Stored(u"ReminderYear")),
            std::tuple(false, Text(u"Reminder [Disabled]"), Text(), std::optional<Text>(u"2027")));
  sim::Close(window);
  EXPECT_FALSE(platform::IsLoaded(window));
}

TEST_F(Reminders, ItWakesOnceASecondAndRingsOnceInItsSecondOrOnceAfterItWasMissed) {
  sim::SetNow({2026, 4, 3, 9, 4, 0, 400});
  auto d = ArmFor({2026, 4, 3, 9, 5, 7});
  int ticks = sim::Find(d->window())->ticks;
  sim::Advance(60000);  // a minute of waiting: one look a second
  EXPECT_LE(sim::Find(d->window())->ticks - ticks, 61);
  EXPECT_EQ(Rings(), 0u);
  sim::Advance(7000);  // into 09:05:07, within its second
  EXPECT_EQ(Rings(), 1u);
  EXPECT_LT(platform::Now().second, 11);  // rung at 09:05:07, flashed for three seconds
  sim::Advance(30000);
  // Set back before the moment: it has rung, it rings no more.
  sim::SetNow({2026, 4, 3, 9, 5, 0});
  sim::Advance(10000);
  EXPECT_EQ(Rings(), 1u);
  // A clock set, or a machine woken, past a moment ahead: once, at once.
  ArmFor({2026, 4, 3, 9, 30, 0});
  sim::SetNow({2026, 4, 3, 9, 45, 0});
  sim::Advance(5);
  EXPECT_EQ(Rings(), 2u);
  sim::Advance(10000);
  // Armed for a moment gone, or with a second that is no number: never.
  ArmFor({2026, 4, 3, 9, 30, 0});
  ArmFor({2026, 4, 3, 9, 46, 0});
  sim::Sys().store[u"ReminderSeconds"] = u"99999999999999999999";
  sim::Advance(70000);
  EXPECT_EQ(Rings(), 2u);
}

TEST_F(Reminders, TheAlarmFlashesTheActiveNoteInSightForThreeSecondsAndGivesItsTextBack) {
  Sys().programDirectory = u"D:\\Tools\\Pinaleaf";
  Handle window = a_, text = TextAreaOf(a_);
  platform::SetBackColor(text, 0x00FFC0C0);  // unlike the window
  sim::Click(TextAreaOf(b_));                // the user types in the other note, above this one
  RecordActive(a_);
  sim::SetNow({2026, 12, 31, 23, 59, 57});
  auto d = ArmFor({2026, 12, 31, 23, 59, 59});
  sim::Click(TextAreaOf(b_));
  RecordActive(a_);
  using Look = std::tuple<platform::Color, platform::Color, Text>;  // window, text area, text
  std::vector<Look> looks;
  std::vector<double> since;
  bool typed = false;
  Watch([&] {
    Look now{platform::GetBackColor(window), platform::GetBackColor(text), platform::GetText(text)};
    if (looks.empty() || looks.back() != now) looks.push_back(now), since.push_back(platform::MonotonicSeconds());
    if (!typed && std::get<2>(now) == u"Reminder!") {
      typed = true;
      sim::Type(u"typing goes on");
      EXPECT_EQ(sim::ZOrder().front(), window);  // in sight, but not taking the keyboard
      EXPECT_EQ(sim::ActiveForm(), b_);
    }
  });
  sim::Advance(6000);
  std::vector<Look> expected = {{kNoteYellow, 0x00FFC0C0, u"Buy milk"}};
  for (int i = 0; i < 30; ++i) {
    platform::Color shown = i % 3 == 0 ? 0xFFFFFF : i % 3 == 1 ? 0x000000 : kNoteYellow;
    expected.push_back({shown, shown, u"Reminder!"});
  }
  expected.push_back({kNoteYellow, kNoteYellow, u"Buy milk"});
  EXPECT_EQ(looks, expected);
  ASSERT_EQ(since.size(), expected.size());
  for (size_t i = 2; i < since.size(); ++i) EXPECT_NEAR(since[i] - since[i - 1], 0.1, 0.002) << i;
  EXPECT_EQ(platform::GetText(TextAreaOf(b_)), u"typing goes onCall Ann");
  EXPECT_EQ(Sys().sounds, Texts{u"D:\\Tools\\Pinaleaf\\Reminder.wav"});
  EXPECT_TRUE(d->armed());  // the alarm does not disarm it
  // A bare wait across midnight lasts what it was asked for.
  double start = platform::MonotonicSeconds();
  WaitSeconds(0.1);
  EXPECT_NEAR(platform::MonotonicSeconds() - start, 0.1, 0.0015);
}

TEST_F(Reminders, OneNoteRingsAndClosingItEndsTheAlarm) {
  sim::SetNow({2026, 4, 3, 9, 5, 6});
  ArmFor({2026, 4, 3, 9, 5, 7});
  RecordActive(a_);
  bool otherRang = false, armedAgain = false;
  int alarmTicks = 0;
  Watch([&] {
    if (platform::GetText(TextAreaOf(b_)) == u"Reminder!") otherRang = true;
    if (!platform::IsLoaded(a_) || platform::GetText(TextAreaOf(a_)) != u"Reminder!") return;
    if (!armedAgain) {
      armedAgain = true;  // the pointer passes over the other note, the same moment is armed again
      sim::MouseMove(TextAreaOf(b_), 0, 0, 10, 10);
      ArmFor({2026, 4, 3, 9, 5, 7});
    }
    if (++alarmTicks == 250) sim::Close(a_);
  });
  Handles forms = platform::LoadedForms();
  std::erase(forms, a_);
  sim::Advance(1500);
  EXPECT_EQ(std::tuple(alarmTicks, otherRang, Rings()), std::tuple(250, false, size_t{1}));
  EXPECT_EQ(platform::LoadedForms(), forms);  // nothing loaded anew
  EXPECT_EQ(platform::Now().second, 7);      // the alarm ended at once
  // No note active when it is due, or the active one closed: nothing at all.
  sim::Sys().store[u"ActivehWnd"] = u"";
  ArmFor({2026, 4, 3, 9, 5, 15});
  sim::Advance(9000);
  EXPECT_EQ(Rings(), 1u);
}

}  // namespace
