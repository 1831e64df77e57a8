// The reminder dialog and its alarm, on the virtual clock.
#include "host_test.h"
#include "reminders/reminder_dialog.h"

// A hidden form ticking every millisecond: it looks at the notes between the
// alarm's waits, and acts there as the user would.
struct Watcher : EventSink {
  explicit Watcher(std::function<void()> tick) : onTick(std::move(tick)) {}
  void OnTimer(Form) override { onTick(); }
  std::function<void()> onTick;
};
void Watch(std::function<void()> onTick) {
  SetTimer(CreateForm({.kind = FormKind::Hidden}, std::make_shared<Watcher>(std::move(onTick))), 1);
}

std::shared_ptr<ReminderDialog> OpenReminder() {
  sim::Run(ShowReminderDialog);
  return ReminderDialog::Current();
}
// Picks the moment and presses "Set Reminder".
std::shared_ptr<ReminderDialog> ArmFor(const DateTime& t) {
  auto dialog = OpenReminder();
  if (dialog->armed()) sim::Click(dialog->command1());
  SetCalendarDate(dialog->calendar(), {t.year, t.month, t.day});
  SetPickerTime(dialog->picker(), {t.hour, t.minute, t.second});
  sim::Click(dialog->command1());
  return dialog;
}
size_t Rings() { return Sys().sounds.size(); }

using Reminders = TwoNotes;

TEST_F(Reminders, TheDialogSitsAboveTheMiddlePresetsTenMinutesAheadAndStoresTheArmedMoment) {
  // Centred across the 19200 x 15360-twip screen, 1000 twips above the middle.
  sim::SetNow({2026, 12, 31, 23, 55, 0});
  auto d = OpenReminder();
  EXPECT_EQ(GetRect(d->window()), (Rect{7440, 4245, 4320, 4860}));
  for (Key key : {Key::Tab, Key::Tab, Key::Space}) sim::KeyDown(key);  // from the calendar to "Set Reminder"
  EXPECT_EQ(std::pair(GetCaption(d->window()), GetCaption(d->label3())),
            std::pair(Text(u"Reminder [Enabled]"), Text(u"1/1/2027 12:05:00 AM")));
  sim::Click(d->command1());
  // On a small screen the caption stays reachable: inside the work area.
  sim::Close(d->window());
  sim::SetDpi(288);
  const sim::Record* w = sim::Find(OpenReminder()->window());
  EXPECT_EQ(std::pair(w->leftPx, w->topPx), std::pair((1280 - w->widthPx) / 2, 0));
  // Arming stores and shows the moment that will ring; disarming keeps it.
  d = ArmFor({2027, 1, 2, 0, 5, 0});  // neither today nor the preset's day
  EXPECT_EQ(StoredReminderMoment(), (std::optional<DateTime>(DateTime{2027, 1, 2, 0, 5, 0})));
  for (auto [key, value] : {std::pair{u"ReminderYear", u"2027"}, {u"ReminderMonth", u"1"}, {u"ReminderDay", u"2"},
                            {u"ReminderHours", u"0"}, {u"ReminderMinutes", u"5"}, {u"ReminderSeconds", u"0"}}) {
    EXPECT_EQ(sim::Stored(key), value);
  }
  // The close box while armed only hides it.
  sim::Close(d->window());
  EXPECT_TRUE(!IsVisible(d->window()) && OpenReminder() == d && d->armed());
  sim::Click(d->command1());
  EXPECT_EQ(std::tuple(d->armed(), GetCaption(d->window()), GetCaption(d->label3()), sim::Stored(u"ReminderYear")),
            std::tuple(false, Text(u"Reminder [Disabled]"), Text(), std::optional<Text>(u"2027")));
}

TEST_F(Reminders, ItLooksOnceASecondAndRingsOnceInItsSecondOrOnceAfterItWasMissed) {
  sim::SetNow({2026, 4, 3, 9, 4, 0, 400});
  auto d = ArmFor({2026, 4, 3, 9, 5, 7});
  sim::Advance(60000);  // a minute of waiting: one look a second
  EXPECT_EQ(std::pair(sim::Find(d->window())->ticks <= 61, Rings()), std::pair(true, size_t{0}));
  sim::Advance(7000);  // into 09:05:07, within its second; it flashes for three seconds
  EXPECT_EQ(std::pair(Rings(), Now().second), std::pair(size_t{1}, 10));
  // Set back before the moment: it has rung, it rings no more.
  sim::SetNow({2026, 4, 3, 9, 5, 0});
  sim::Advance(10000);
  EXPECT_EQ(Rings(), 1u);
  // A clock set, or a machine woken, past a moment ahead: once, at once.
  ArmFor({2026, 4, 3, 9, 30, 0});
  sim::SetNow({2026, 4, 3, 9, 45, 0});
  sim::Advance(5);
  EXPECT_EQ(Rings(), 2u);
  // Armed for a moment gone, or stored with a leading zero or a second that
  // is no number: never.
  ArmFor({2026, 4, 3, 9, 30, 0});
  sim::Advance(5000);
  ArmFor({2026, 4, 3, 9, 46, 0});
  Sys().store[u"ReminderSeconds"] = u"99999999999999999999";
  sim::Advance(70000);
  ArmFor({2026, 4, 3, 9, 48, 0});
  Sys().store[u"ReminderMinutes"] = u"048";
  sim::Advance(70000);
  EXPECT_EQ(Rings(), 2u);
}

TEST_F(Reminders, TheAlarmFlashesTheActiveNoteInSightWithoutTheKeyboardOnceAndClosingTheNoteEndsIt) {
  Form window = a_;
  TextBox text = TextAreaOf(a_);
  SetText(text, u"Buy milk");
  SetBackColor(text, 0x00FFC0C0);  // unlike the window
  sim::SetNow({2026, 12, 31, 23, 59, 57});
  auto d = ArmFor({2026, 12, 31, 23, 59, 59});
  sim::Click(TextAreaOf(b_));  // the user types in the other note, above this one
  RecordActive(a_);
  using Look = std::tuple<Color, Color, Text>;  // window, text area, text
  std::vector<Look> looks, expected = {{0x00C0FFFF, 0x00FFC0C0, u"Buy milk"}};
  std::vector<double> since;
  bool acted = false, closing = false;
  Watch([&] {
    if (closing && GetText(text) == u"Reminder!") return sim::Close(window);
    Look now{GetBackColor(window), GetBackColor(text), GetText(text)};
    if (looks.empty() || looks.back() != now) looks.push_back(now), since.push_back(MonotonicSeconds());
    if (std::get<2>(now) != u"Reminder!" || std::exchange(acted, true)) return;
    sim::Type(u"typing goes on");
    EXPECT_EQ(std::pair(sim::ZOrder().front(), sim::ActiveForm()), std::pair(window, b_));
    // The pointer passes over the other note and the same moment is armed again: no second alarm.
    sim::MouseMove(TextAreaOf(b_), 0, 0, 10, 10);
    ArmFor({2026, 12, 31, 23, 59, 59});
  });
  sim::Advance(6000);
  for (int i = 0; i < 10; ++i) {
    for (Color shown : {0xFFFFFFu, 0x000000u, 0x00C0FFFFu}) expected.push_back({shown, shown, u"Reminder!"});
  }
  expected.push_back({0x00C0FFFF, 0x00C0FFFF, u"Buy milk"});
  EXPECT_EQ(looks, expected);
  for (size_t i = 2; i < since.size(); ++i) EXPECT_NEAR(since[i] - since[i - 1], 0.1, 0.002) << i;
  EXPECT_EQ(std::tuple(GetText(TextAreaOf(b_)), Sys().sounds, d->armed()),
            std::tuple(Text(u"typing goes on"), std::vector<Text>{Sys().programDirectory + u"\\Reminder.wav"}, true));
  // Closed while it flashes, the note ends the alarm at once.
  closing = true;
  RecordActive(a_);
  sim::SetNow({2027, 1, 1, 0, 0, 29});
  ArmFor({2027, 1, 1, 0, 0, 30});
  sim::Advance(1500);
  EXPECT_EQ(std::tuple(Rings(), IsLoaded(window), Now().second), std::tuple(2u, false, 30));
}
