// The reminder dialog and its alarm, on the virtual clock. While armed the
// dialog ticks every millisecond, so a whole alarm runs inside one Advance.
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "host_test.h"
#include "reminders/reminder_dialog.h"

namespace {

using namespace pinaleaf;
using platform::Color;
using platform::DateTime;
using platform::Rect;

const Text kAlarmText = u"Reminder!";

// A hidden form ticking every millisecond: it sees the notes between the
// alarm's waits, and acts there as the user would.
struct Watcher : platform::EventSink {
  std::function<void()> onTick;
  void OnTimer(Handle) override { onTick(); }
};
void Watch(std::function<void()> onTick) {
  auto sink = std::make_shared<Watcher>();
  sink->onTick = std::move(onTick);
  platform::FormSpec design;
  design.kind = platform::FormKind::Hidden;
  platform::SetTimer(platform::CreateForm(design, sink), 1);
}

class Reminders : public TwoNotes {
 protected:
  void SetUp() override {
    TwoNotes::SetUp();
    platform::SetText(a_->textArea(), u"Buy milk");
    platform::SetText(b_->textArea(), u"Call Ann");
  }
  static std::shared_ptr<ReminderDialog> Open() {
    ShowReminderDialog();
    return ReminderDialog::Current();
  }
  // Picks the moment as the user would and presses "Set Reminder".
  static std::shared_ptr<ReminderDialog> ArmFor(const DateTime& t) {
    auto dialog = Open();
    if (dialog->armed()) sim::PressButton(dialog->command1());
    sim::ChooseDate(dialog->calendar(), {t.year, t.month, t.day});
    sim::ChooseTime(dialog->picker(), {t.hour, t.minute, t.second});
    sim::PressButton(dialog->command1());
    return dialog;
  }
  static size_t Rings() { return sim::SoundsPlayed().size(); }
};

TEST_F(Reminders, TheLoadPlacesTheDialogNamesTheActiveNoteAndPresetsTenMinutesAhead) {
  // Centred on the 19200 x 15360-twip screen, 1000 twips above the middle;
  // on a small screen that would put the caption above the top edge.
  EXPECT_EQ(platform::GetRect(Open()->window()), (Rect{7440, 4245, 4320, 4860}));
  sim::Close(Open()->window());
  sim::SetDpi(288);
  const sim::Window* w = sim::Find(Open()->window());
  EXPECT_EQ(std::pair(w->leftPx, w->topPx), std::pair((1280 - w->widthPx) / 2, 0));
  sim::Close(w->handle);
  sim::SetDpi(96);
  auto captionFor = [](const std::function<void()>& arrange) {
    arrange();
    Handle window = Open()->window();
    Text caption = platform::GetCaption(window);
    sim::Close(window);
    return caption;
  };
  EXPECT_EQ(captionFor([] {}), u"Reminder [Buy milk]");
  EXPECT_EQ(captionFor([&] { platform::SetText(a_->textArea(), u""); }), u"Reminder [empty note]");
  EXPECT_EQ(captionFor([&] { RecordActive(a_->textArea()); }), u"Reminder");
  auto preset = [](const DateTime& now) {
    sim::SetNow(now);
    auto d = Open();
    auto date = platform::GetCalendarDate(d->calendar());
    auto time = platform::GetPickerTime(d->picker());
    // The label describes that default; it goes once the user picks a time.
    EXPECT_TRUE(platform::IsVisible(d->label4()));
    sim::ChooseTime(d->picker(), {9, 0, 0});
    EXPECT_FALSE(platform::IsVisible(d->label4()));
    sim::Close(d->window());
    return std::tuple(date.year, date.month, date.day, time.hour, time.minute, time.second);
  };
  EXPECT_EQ(preset({2026, 12, 31, 23, 55, 0}), std::tuple(2027, 1, 1, 0, 5, 0));
  EXPECT_EQ(preset({2028, 2, 28, 23, 59, 59}), std::tuple(2028, 2, 29, 0, 9, 59));
}

TEST_F(Reminders, ArmingStoresTheMomentAndHidingKeepsItArmed) {
  auto d = ArmFor({2026, 4, 3, 9, 5, 7});
  Handle window = d->window();
  const Texts keys = {u"ReminderYear", u"ReminderMonth", u"ReminderDay", u"ReminderHours", u"ReminderMinutes",
                      u"ReminderSeconds"};
  auto stored = [&] {
    Text all;
    for (const Text& key : keys) all += sim::Stored(key).value_or(u"-") + u" ";
    return all;
  };
  EXPECT_EQ(stored(), u"2026 4 3 9 5 7 ");
  EXPECT_EQ(platform::GetCaption(window), u"Reminder [Enabled]");
  // "Hide This Window", and the close box while armed, only hide it.
  for (bool closeBox : {false, true}) {
    closeBox ? sim::Close(window) : sim::PressButton(d->command2());
    EXPECT_FALSE(platform::IsVisible(window));
    EXPECT_EQ(Open(), d);
    EXPECT_TRUE(d->armed());
  }
  // Disarming leaves the stored moment; closed while disarmed it goes.
  sim::PressButton(d->command1());
  EXPECT_FALSE(d->armed());
  EXPECT_EQ(stored(), u"2026 4 3 9 5 7 ");
  sim::Close(window);
  EXPECT_FALSE(platform::IsLoaded(window));
}

TEST_F(Reminders, ItRingsOnceInItsSecondOrOnceAfterASecondMissed) {
  sim::SetNow({2025, 4, 3, 9, 5, 0});
  ArmFor({2026, 4, 3, 9, 5, 7});
  // Seconds agreeing in five fields of six, all before the moment.
  for (DateTime near : {DateTime{2025, 4, 3, 9, 5, 7}, DateTime{2026, 3, 3, 9, 5, 7}, DateTime{2026, 4, 2, 9, 5, 7},
                        DateTime{2026, 4, 3, 8, 5, 7}, DateTime{2026, 4, 3, 9, 4, 7}, DateTime{2026, 4, 3, 9, 5, 6}}) {
    sim::SetNow(near);
    sim::Advance(999);
  }
  EXPECT_EQ(Rings(), 0u);
  sim::Advance(1);  // the first tick of 09:05:07
  EXPECT_EQ(Rings(), 1u);
  sim::Advance(30000);
  EXPECT_EQ(Rings(), 1u);
  // No tick inside the second: the first one after it rings, once.
  sim::SetNow({2026, 4, 4, 9, 5, 0});
  ArmFor({2026, 4, 4, 9, 5, 7});
  sim::Advance(1000);
  sim::SetNow({2026, 4, 4, 9, 5, 12});  // the machine slept through it
  sim::Advance(1);
  EXPECT_EQ(Rings(), 2u);
  sim::Advance(10000);
  EXPECT_EQ(Rings(), 2u);
  // Armed for a moment already gone, or with a second that is no number: never.
  ArmFor({2026, 4, 4, 9, 5, 7});
  sim::Advance(3000);
  sim::SetNow({2026, 4, 5, 9, 5, 0});
  ArmFor({2026, 4, 5, 9, 5, 7});
  sim::Store(u"ReminderSeconds", u"99999999999999999999");
  sim::SetNow({2026, 4, 5, 9, 5, 6});
  sim::Advance(3000);
  EXPECT_EQ(Rings(), 2u);
}

TEST_F(Reminders, TheAlarmFlashesForThreeSecondsAcrossTheYearEndAndRestoresTheNote) {
  sim::SetProgramDirectory(u"D:\\Tools\\Pinaleaf");
  Handle window = a_->window(), text = a_->textArea();
  platform::SetBackColor(text, 0x00FFC0C0);  // unlike the window
  sim::SetNow({2026, 12, 31, 23, 59, 57});
  auto d = ArmFor({2026, 12, 31, 23, 59, 59});
  using Look = std::tuple<Color, Color, Text>;  // window, text area, text
  std::vector<Look> looks;
  std::vector<double> since;
  Watch([&] {
    Look now{platform::GetBackColor(window), platform::GetBackColor(text), platform::GetText(text)};
    if (looks.empty() || looks.back() != now) looks.push_back(now), since.push_back(platform::MonotonicSeconds());
  });
  sim::Advance(6000);
  // Ten rounds of white, black and the window's colour, then the text back
  // and both in the window's colour.
  std::vector<Look> expected = {{kNoteYellow, 0x00FFC0C0, u"Buy milk"}};
  for (int i = 0; i < 30; ++i) {
    Color shown = i % 3 == 0 ? 0xFFFFFF : i % 3 == 1 ? 0x000000 : kNoteYellow;
    expected.push_back({shown, shown, kAlarmText});
  }
  expected.push_back({kNoteYellow, kNoteYellow, u"Buy milk"});
  EXPECT_EQ(looks, expected);
  ASSERT_EQ(since.size(), expected.size());
  for (size_t i = 2; i < since.size(); ++i) EXPECT_NEAR(since[i] - since[i - 1], 0.1, 0.002) << i;
  EXPECT_EQ(sim::SoundsPlayed(), Texts{u"D:\\Tools\\Pinaleaf\\Reminder.wav"});
  EXPECT_TRUE(d->armed());  // the alarm does not disarm it
  // A bare wait across midnight lasts what it was asked for.
  sim::SetNow({2027, 1, 1, 23, 59, 59});
  sim::Advance(950);
  double start = platform::MonotonicSeconds();
  WaitSeconds(0.1);
  EXPECT_NEAR(platform::MonotonicSeconds() - start, 0.1, 0.0015);
  EXPECT_EQ(platform::Now().day, 2);
}

// One note rings: the note active when it fires, and no other though the
// pointer passes over it during the alarm.
TEST_F(Reminders, TheAlarmActsOnTheNoteActiveWhenItFiresOrOnNone) {
  Handle text = a_->textArea();
  RecordActive(b_->window());
  sim::SetNow({2026, 4, 3, 9, 5, 5});
  ArmFor({2026, 4, 3, 9, 5, 7});
  sim::MouseMove(text, 0, 0, 10, 10);
  bool otherRang = false, typed = false;
  Watch([&] {
    if (platform::GetText(b_->textArea()) == kAlarmText) otherRang = true;
    if (!typed && platform::GetText(text) == kAlarmText) {
      typed = true;
      platform::SetSelection(text, 9, 0);
      platform::ReplaceSelection(text, u" typed meanwhile");
      sim::MouseMove(b_->textArea(), 0, 0, 10, 10);
    }
  });
  sim::Advance(8000);
  EXPECT_EQ(Rings(), 1u);
  EXPECT_TRUE(typed);
  EXPECT_FALSE(otherRang);
  EXPECT_EQ(platform::GetText(text), u"Buy milk");  // what it showed before, whatever was typed
  // No note active when it is due, or the active one closed: nothing at all.
  sim::Store(u"ActivehWnd", u"");
  ArmFor({2026, 4, 3, 9, 5, 15});
  sim::Advance(6000);
  RecordActive(b_->window());
  sim::Close(b_->window());
  ArmFor({2026, 4, 3, 9, 5, 20});
  sim::Advance(6000);
  EXPECT_EQ(Rings(), 1u);
}

TEST_F(Reminders, ClosingTheNoteEndsItsAlarmAndTheSecondRingsNoMore) {
  Handle window = a_->window(), otherText = b_->textArea();
  sim::SetNow({2026, 4, 3, 9, 5, 6});
  ArmFor({2026, 4, 3, 9, 5, 7});
  int alarmTicks = 0;
  bool otherRang = false;
  Watch([&] {
    if (platform::GetText(otherText) == kAlarmText) otherRang = true;
    if (platform::IsLoaded(window) && platform::GetText(a_->textArea()) == kAlarmText && ++alarmTicks == 250) {
      sim::Close(window);
    }
  });
  Handles forms = platform::LoadedForms();
  std::erase(forms, window);
  sim::Advance(1000);  // its last tick starts the alarm
  ASSERT_EQ(alarmTicks, 250);
  EXPECT_EQ(platform::LoadedForms(), forms);  // nothing loaded anew
  EXPECT_EQ(platform::Now().second, 7);       // the alarm ended at once
  // The rest of that second, with another note active: no second alarm.
  sim::MouseMove(otherText, 0, 0, 10, 10);
  sim::Advance(3000);
  EXPECT_EQ(Rings(), 1u);
  EXPECT_FALSE(otherRang);
}

}  // namespace
