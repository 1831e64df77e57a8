// The reminder dialog and its alarm, on the virtual clock. While armed the
// dialog ticks every millisecond, so a whole alarm runs inside one Advance.
#include <functional>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "host_test.h"
#include "notes/note.h"
#include "reminders/reminder_dialog.h"

namespace {

using namespace pinaleaf;
using platform::Color;
using platform::DateTime;
using platform::Font;
using platform::Handle;
using platform::Rect;
using Handles = std::vector<Handle>;

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
  platform::FormSpec spec;
  spec.kind = platform::FormKind::Hidden;
  platform::SetTimer(platform::CreateForm(spec, sink), 1);
}

auto Fields(const platform::Date& d) { return std::tuple(d.year, d.month, d.day); }
auto Fields(const platform::TimeOfDay& t) { return std::tuple(t.hour, t.minute, t.second); }

class Reminders : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    note_ = AddNote(u"Buy milk");
    RecordActive(note_->window());
  }

  static std::shared_ptr<Note> AddNote(const Text& text) {
    auto note = Note::Load();
    note->Show();
    platform::SetText(note->textArea(), text);
    return note;
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
  static double Clock() { return platform::MonotonicSeconds(); }

  std::shared_ptr<Note> note_;
};

TEST_F(Reminders, TheDialogHasItsDesignControlsAndStaysInsideTheWorkArea) {
  auto d = Open();
  const Font bold{.size = 9.75f, .bold = true}, plain{.size = 9};
  struct Control {
    Handle handle;
    Text text;
    Rect rect;  // as read back at 96 dpi
    Font font;
  };
  const Control controls[] = {  // in tab order
      {d->label1(), u"Time for Reminder to Go Off:", {120, 120, 4095, 255}, bold},
      {d->label2(), u"Date for Reminder to Go Off:", {120, 960, 4095, 255}, bold},
      {d->calendar(), u"", {120, 1200, 4095, 2775}, Font{}},
      {d->picker(), u"", {240, 480, 1575, 375}, plain},
      {d->command1(), u"Set Reminder", {120, 4320, 2055, 420}, plain},
      {d->label3(), u"", {120, 3960, 4095, 270}, plain},
      {d->command2(), u"Hide This Window", {2280, 4320, 1935, 420}, plain},
      {d->label4(), u"Default: 10 mins from now.", {1920, 480, 2295, 255}, plain},
  };
  Handles order;
  for (const Control& c : controls) {
    order.push_back(c.handle);
    EXPECT_EQ(platform::GetCaption(c.handle), c.text);
    EXPECT_EQ(platform::GetRect(c.handle), c.rect) << ToUtf8(c.text);
    if (c.handle != d->calendar()) {
      EXPECT_EQ(platform::GetFont(c.handle), c.font) << ToUtf8(c.text);
    }
  }
  EXPECT_EQ(sim::ControlsOf(d->window()), order);
  EXPECT_EQ(sim::Find(d->window())->formKind, platform::FormKind::Dialog);
  // Centred on the 19200 x 15360-twip screen, 1000 twips above the middle.
  EXPECT_EQ(platform::GetRect(d->window()), (Rect{7440, 4245, 4320, 4860}));

  // On a small screen that would put the caption above the top edge.
  sim::Close(d->window());
  sim::SetDpi(288);
  const sim::Window* w = sim::Find(Open()->window());
  EXPECT_EQ(w->leftPx, (1280 - w->widthPx) / 2);
  EXPECT_EQ(w->topPx, 0);
  EXPECT_LE(w->topPx + w->heightPx, 1024 - 40);  // above the taskbar
}

TEST_F(Reminders, TheLoadNamesTheActiveNoteAndPresetsTenMinutesAhead) {
  const Text longText = u"First line\r\nsecond line " + Text(600, u'x');
  const std::pair<std::function<void(Note&)>, Text> captions[] = {
      {[&](Note& n) { platform::SetText(n.textArea(), longText); }, u"Reminder [" + longText + u"]"},
      {[](Note& n) { platform::SetText(n.textArea(), u""); }, u"Reminder [empty note]"},
      {[](Note&) { RecordActive(0); }, u"Reminder"},
      {[](Note& n) { RecordActive(n.textArea()); }, u"Reminder"},
  };
  for (const auto& [arrange, caption] : captions) {
    SetUp();
    arrange(*note_);
    EXPECT_EQ(platform::GetCaption(Open()->window()), caption);
  }

  struct Case {
    DateTime now;
    platform::Date date;
    platform::TimeOfDay time;
  };
  for (const Case& c : {Case{{2026, 3, 5, 14, 55, 30}, {2026, 3, 5}, {15, 5, 30}},
                        Case{{2026, 12, 31, 23, 55, 0}, {2027, 1, 1}, {0, 5, 0}},
                        Case{{2028, 2, 28, 23, 59, 59}, {2028, 2, 29}, {0, 9, 59}}}) {
    SetUp();
    sim::SetNow(c.now);
    auto d = Open();
    EXPECT_EQ(Fields(platform::GetCalendarDate(d->calendar())), Fields(c.date)) << c.now.year;
    EXPECT_EQ(Fields(platform::GetPickerTime(d->picker())), Fields(c.time)) << c.now.year;
    // The label describes that default; it goes once the user picks a time.
    EXPECT_TRUE(platform::IsVisible(d->label4()));
    sim::ChooseTime(d->picker(), {9, 0, 0});
    EXPECT_FALSE(platform::IsVisible(d->label4()));
  }
}

TEST_F(Reminders, ArmingStoresTheMomentAndHidingKeepsItArmed) {
  auto d = ArmFor({2026, 4, 3, 9, 5, 7});
  Handle window = d->window();
  auto expectStored = [] {
    for (auto [key, value] : {std::pair{u"ReminderDay", u"3"}, {u"ReminderMonth", u"4"}, {u"ReminderYear", u"2026"},
                              {u"ReminderHours", u"9"}, {u"ReminderMinutes", u"5"}, {u"ReminderSeconds", u"7"}}) {
      EXPECT_EQ(sim::Stored(key), Text(value)) << ToUtf8(key);
    }
  };
  auto expectArmed = [&] {
    EXPECT_TRUE(d->armed());
    EXPECT_EQ(platform::GetCaption(d->command1()), u"Disable Reminder");
    EXPECT_EQ(platform::GetCaption(window), u"Reminder [Enabled]");
    EXPECT_NE(platform::GetCaption(d->label3()), u"");
    EXPECT_EQ(Fields(platform::GetPickerTime(d->picker())), std::tuple(9, 5, 7));
    EXPECT_EQ(Fields(platform::GetCalendarDate(d->calendar())), std::tuple(2026, 4, 3));
  };
  expectStored();
  expectArmed();

  // "Hide This Window", and the close box while armed, only hide it.
  for (const std::function<void()>& hide : {std::function<void()>([&] { sim::PressButton(d->command2()); }),
                                            std::function<void()>([&] { sim::Close(window); })}) {
    hide();
    EXPECT_FALSE(platform::IsVisible(window));
    ShowReminderDialog();
    EXPECT_EQ(ReminderDialog::Current(), d);
    EXPECT_TRUE(platform::IsVisible(window));
    expectArmed();
  }

  // Disarming leaves the stored moment as it was.
  sim::PressButton(d->command1());
  EXPECT_FALSE(d->armed());
  EXPECT_EQ(platform::GetCaption(d->command1()), u"Set Reminder");
  EXPECT_EQ(platform::GetCaption(window), u"Reminder [Disabled]");
  EXPECT_EQ(platform::GetCaption(d->label3()), u"");
  expectStored();

  // Closed while disarmed it goes; the next one is loaded afresh.
  sim::Close(window);
  EXPECT_FALSE(platform::IsLoaded(window));
  auto fresh = Open();
  EXPECT_NE(fresh->window(), window);
  EXPECT_EQ(platform::GetCaption(fresh->window()), u"Reminder [Buy milk]");
  EXPECT_EQ(platform::GetCaption(fresh->command1()), u"Set Reminder");
}

TEST_F(Reminders, ItRingsOnceInItsSecondOrOnceAfterASecondMissed) {
  sim::SetNow({2025, 4, 3, 9, 5, 0});
  ArmFor({2026, 4, 3, 9, 5, 7});
  // Whole seconds agreeing in five fields of six, all before the moment.
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
  EXPECT_EQ(platform::GetText(note_->textArea()), u"Buy milk");
  sim::Advance(10000);
  EXPECT_EQ(Rings(), 2u);

  // Armed for a moment already gone, or with a second that is no number: never.
  ArmFor({2026, 4, 4, 9, 5, 7});
  sim::Advance(3000);
  for (const char16_t* bad : {u"", u"seven", u"-7", u"99999999999999999999"}) {
    sim::SetNow({2026, 4, 5, 9, 5, 0});
    ArmFor({2026, 4, 5, 9, 5, 7});
    sim::Store(u"ReminderSeconds", bad);
    sim::SetNow({2026, 4, 5, 9, 5, 6});
    sim::Advance(3000);
  }
  EXPECT_EQ(Rings(), 2u);
}

TEST_F(Reminders, TheAlarmFlashesForThreeSecondsAcrossTheYearEnd) {
  sim::SetProgramDirectory(u"D:\\Tools\\Pinaleaf");
  Handle window = note_->window(), text = note_->textArea();
  platform::SetBackColor(text, 0x00FFC0C0);  // unlike the window
  sim::SetNow({2026, 12, 31, 23, 59, 57});
  auto d = ArmFor({2026, 12, 31, 23, 59, 59});
  using Look = std::tuple<Color, Color, Text>;  // window, text area, text
  std::vector<Look> looks;
  std::vector<double> since;
  Watch([&] {
    Look now{platform::GetBackColor(window), platform::GetBackColor(text), platform::GetText(text)};
    if (looks.empty() || looks.back() != now) {
      looks.push_back(now);
      since.push_back(Clock());
    }
  });
  sim::Advance(6000);

  std::vector<Look> expected = {{kNoteYellow, 0x00FFC0C0, u"Buy milk"}};
  for (int i = 0; i < 10; ++i) {
    expected.insert(expected.end(), {{0xFFFFFF, 0xFFFFFF, kAlarmText},
                                     {0x000000, 0x000000, kAlarmText},
                                     {kNoteYellow, kNoteYellow, kAlarmText}});
  }
  expected.push_back({kNoteYellow, kNoteYellow, u"Buy milk"});  // both in the window's colour
  EXPECT_EQ(looks, expected);
  ASSERT_EQ(since.size(), expected.size());
  for (size_t i = 2; i < since.size(); ++i) EXPECT_NEAR(since[i] - since[i - 1], 0.1, 0.002) << i;
  EXPECT_EQ(sim::SoundsPlayed(), std::vector<Text>{u"D:\\Tools\\Pinaleaf\\Reminder.wav"});
  EXPECT_EQ(platform::Now().year, 2027);
  EXPECT_TRUE(d->armed());  // the alarm does not disarm it
  EXPECT_EQ(platform::GetCaption(d->window()), u"Reminder [Enabled]");

  // A bare wait across midnight lasts what it was asked for.
  sim::SetNow({2027, 1, 1, 23, 59, 59});
  sim::Advance(950);
  double start = Clock();
  WaitSeconds(0.1);
  EXPECT_NEAR(Clock() - start, 0.1, 0.0015);
  EXPECT_EQ(platform::Now().day, 2);
}

TEST_F(Reminders, TheAlarmActsOnTheNoteActiveWhenItFiresOrOnNone) {
  auto other = AddNote(u"Call Ann");
  Handle otherText = other->textArea();
  sim::SetNow({2026, 4, 3, 9, 5, 5});
  EXPECT_EQ(platform::GetCaption(Open()->window()), u"Reminder [Buy milk]");
  auto d = ArmFor({2026, 4, 3, 9, 5, 7});
  sim::MouseMove(otherText, 0, 0, 10, 10);  // the pointer passes over the other note
  bool firstRang = false, typed = false;
  Watch([&] {
    if (platform::GetText(note_->textArea()) == kAlarmText) firstRang = true;
    if (!typed && platform::GetText(otherText) == kAlarmText) {
      typed = true;
      platform::SetSelection(otherText, 9, 0);
      platform::ReplaceSelection(otherText, u" typed meanwhile");
    }
  });
  sim::Advance(6000);
  EXPECT_EQ(Rings(), 1u);
  EXPECT_TRUE(typed);
  EXPECT_FALSE(firstRang);
  EXPECT_EQ(platform::GetText(otherText), u"Call Ann");

  // No note active when it is due: nothing at all.
  sim::Store(u"ActivehWnd", u"");
  ArmFor({2026, 4, 3, 9, 5, 15});
  sim::Advance(6000);
  RecordActive(other->window());
  sim::Close(other->window());  // the last active note is gone
  ArmFor({2026, 4, 3, 9, 5, 20});
  sim::Advance(6000);
  EXPECT_EQ(Rings(), 1u);
  EXPECT_FALSE(firstRang);
  EXPECT_EQ(platform::GetText(note_->textArea()), u"Buy milk");
}

TEST_F(Reminders, ClosingTheNoteEndsItsAlarmAndTheSecondRingsNoMore) {
  auto other = AddNote(u"Call Ann");
  Handle window = note_->window(), otherText = other->textArea();
  sim::SetNow({2026, 4, 3, 9, 5, 6});
  ArmFor({2026, 4, 3, 9, 5, 7});
  int alarmTicks = 0;
  bool otherRang = false;
  Watch([&] {
    if (platform::GetText(otherText) == kAlarmText) otherRang = true;
    if (platform::IsLoaded(window) && platform::GetText(note_->textArea()) == kAlarmText && ++alarmTicks == 250) {
      sim::Close(window);
    }
  });
  Handles forms = platform::LoadedForms();
  std::erase(forms, window);
  sim::Advance(1000);  // its last tick starts the alarm
  ASSERT_EQ(alarmTicks, 250);
  EXPECT_EQ(platform::LoadedForms(), forms);  // nothing loaded anew
  ASSERT_EQ(platform::Now().second, 7);       // the alarm ended at once

  // The rest of that second, with another note active: no second alarm.
  sim::MouseMove(otherText, 0, 0, 10, 10);
  sim::Advance(3000);
  EXPECT_EQ(Rings(), 1u);
  EXPECT_FALSE(otherRang);
  EXPECT_EQ(platform::GetBackColor(other->window()), kNoteYellow);
}

// The record read again during the alarm must not ring a second note.
TEST_F(Reminders, TheNotePassedOverDuringAnAlarmDoesNotRingAfterIt) {
  auto other = AddNote(u"Call Ann");
  sim::SetNow({2026, 4, 3, 9, 5, 6});
  ArmFor({2026, 4, 3, 9, 5, 7});
  bool moved = false;
  Watch([&] {
    if (!moved && platform::GetText(note_->textArea()) == kAlarmText) {
      moved = true;
      sim::MouseMove(other->textArea(), 0, 0, 10, 10);
    }
  });
  sim::Advance(8000);
  EXPECT_TRUE(moved);
  EXPECT_EQ(Rings(), 1u);
}

}  // namespace
