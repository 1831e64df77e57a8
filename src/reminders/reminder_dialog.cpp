#include "reminders/reminder_dialog.h"

#include <algorithm>

#include "notes/active_note.h"
#include "notes/note.h"
#include "notes/program.h"
#include "notes/settings.h"
#include "notes/stay_on.h"
#include "notes/values.h"
#include "platform/platform.h"

namespace pinaleaf {
namespace {

using platform::DateTime;
using platform::Form;
using platform::Rect;
using platform::TextBox;

platform::Font Arial(float size, bool bold = false) {
  platform::Font font;
  font.size = size;
  font.bold = bold;
  return font;
}

auto Tuple(const DateTime& t) {
  return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

// The next look at the clock: just after the next second has begun, so each
// second is looked at once and the program sleeps in between.
int MsToNextSecond(const DateTime& now) {
  constexpr int kMargin = 20;  // timers never come early, and rarely on the dot
  return 1000 - now.millisecond + kMargin;
}

// Flashes the note and shows "Reminder!" for about three seconds; then the
// note's own text and colour come back. Stops when the note is closed, or as
// soon as the user types or clicks in it: what they do goes into their own
// text.
void RunAlarm(Note& note) {
  bool& ringing = TheProgram().alarmRinging;
  struct Done {
    bool& ringing;
    ~Done() {
      ringing = false;
    }
  } done{ringing};
  ringing = true;

  Form window = note.window();
  TextBox text = note.textArea();
  platform::Color own = platform::GetBackColor(window);
  platform::ShowForm(window);
  // In sight, but typing elsewhere goes on.
  platform::SetZOrder(window, platform::ZOrder::Top, false);
  note.Cover(u"Reminder!");
  Playwav(platform::ProgramFile(u"Reminder.wav"));
  auto still = [&] { return note.IsOpen() && note.covered(); };
  for (int i = 0; i < 10; ++i) {
    platform::SetBackColor(text, 0xFFFFFF);
    platform::SetBackColor(window, 0xFFFFFF);
    WaitSeconds(0.1);
    if (!still())
      return;
    platform::SetBackColor(text, 0x000000);
    platform::SetBackColor(window, 0x000000);
    WaitSeconds(0.1);
    if (!still())
      return;
    platform::SetBackColor(window, own);
    platform::SetBackColor(text, own);
    WaitSeconds(0.1);
    if (!still())
      return;
  }
  note.Uncover();
}

}  // namespace

// Compared as text, as stored: "05" is not the fifth minute.
bool StoredMomentIsNow(const DateTime& now) {
  return StoredAsWritten(keys::Reminder, now);
}

std::shared_ptr<ReminderDialog> ReminderDialog::Current() {
  return LoadedOne<ReminderDialog>();
}

void ShowReminderDialog() {
  ShowSingle<ReminderDialog>();
}

void ReminderDialog::Load() {
  platform::FormSpec design;
  design.kind = platform::FormKind::Dialog;
  design.caption = u"Reminder";
  design.rect = {0, 0, 4320, 4860};
  window_ = platform::CreateForm(design, shared_from_this());
  // Created in tab order.
  label1_ = platform::CreateLabel(window_, {120, 120, 4095, 255}, u"Time for Reminder to Go Off:", Arial(9.75f, true));
  label2_ = platform::CreateLabel(window_, {120, 960, 4095, 255}, u"Date for Reminder to Go Off:", Arial(9.75f, true));
  calendar_ = platform::CreateMonthCalendar(window_, {120, 1200, 4095, 2775});
  picker_ = platform::CreateTimePicker(window_, {240, 480, 1575, 375}, Arial(9));
  command1_ = platform::CreateButton(window_, {120, 4320, 2055, 425}, u"Set Reminder", Arial(9), [this] {
    if (armed_) {
      Disarm();
    } else {
      Arm();
    }
  });
  label3_ = platform::CreateLabel(window_, {120, 3960, 4095, 275}, u"", Arial(9));
  command2_ = platform::CreateButton(window_, {2280, 4320, 1935, 425}, u"Hide This Window", Arial(9),
                                     [this] { platform::HideForm(window_); });
  label4_ = platform::CreateLabel(window_, {1920, 480, 2295, 255}, u"Default: 10 mins from now.", Arial(9));

  Place();
  ForEachActiveNote([&](Note& note) {
    Text text = note.text();
    platform::SetCaption(window_, text.empty() ? Text(u"Reminder [empty note]") : u"Reminder [" + text + u"]");
  });
  if (!armed_) {
    DateTime later = platform::AddSeconds(platform::Now(), 600);
    platform::SetCalendarDate(calendar_, {later.year, later.month, later.day});
    platform::SetPickerTime(picker_, {later.hour, later.minute, later.second});
  }
}

// Centred across, 1000 twips above the middle, and kept wholly inside the
// work area so that its caption can always be reached.
void ReminderDialog::Place() {
  Rect screen = platform::ScreenRect();
  Rect rect = platform::GetRect(window_);
  rect.left = (screen.width - rect.width) / 2;
  rect.top = (screen.height - rect.height) / 2 - 1000;
  Rect area = platform::WorkArea({});
  rect.left = std::max(area.left, std::min(rect.left, area.left + area.width - rect.width));
  rect.top = std::max(area.top, std::min(rect.top, area.top + area.height - rect.height));
  platform::SetRect(window_, rect);
}

void ReminderDialog::Arm() {
  armed_ = true;
  platform::SetCaption(command1_, u"Disable Reminder");
  platform::SetCaption(window_, u"Reminder [Enabled]");
  // The moment that will ring: the calendar's day at the picker's time.
  platform::TimeOfDay time = platform::GetPickerTime(picker_);
  platform::Date date = platform::GetCalendarDate(calendar_);
  DateTime moment = {date.year, date.month, date.day, time.hour, time.minute, time.second};
  platform::SetCaption(label3_, platform::FormatDateTime(moment));
  platform::SetTimer(window_, 1);  // a first look at once, then once a second
  WriteSetting(keys::Reminder, moment);
  armedAt_ = platform::Now();
  firedFor_.reset();
  lastTick_.reset();
  dueAfterAlarm_ = false;
}

void ReminderDialog::Disarm() {
  armed_ = false;
  platform::SetCaption(command1_, u"Set Reminder");
  platform::SetTimer(window_, 0);
  platform::SetCaption(window_, u"Reminder [Disabled]");
  platform::SetCaption(label3_, u"");
}

void ReminderDialog::OnChange(platform::Control control) {
  if (control == picker_)
    platform::SetControlVisible(label4_, false);
}

// Closing an armed dialog only hides it, so the reminder is never dropped
// unseen; a disarmed one is unloaded.
bool ReminderDialog::OnCloseRequest(Form) {
  if (!armed())
    return true;
  platform::HideForm(window_);
  return false;
}

// Due in the stored second, compared as text; or, when no tick fell inside
// that second, at the first tick after it, if it lay ahead when armed. Each
// moment rings once.
void ReminderDialog::OnTimer(Form) {
  DateTime now = platform::Now();
  platform::SetTimer(window_, MsToNextSecond(now));
  // The answer changes only with the second: the store is read once in each.
  if (lastTick_ && Tuple(*lastTick_) == Tuple(now))
    return;
  lastTick_ = now;
  bool exact = StoredMomentIsNow(now);
  auto moment = ReadSetting(keys::Reminder);
  bool missed = moment && Tuple(*moment) > Tuple(armedAt_) && Tuple(now) > Tuple(*moment);
  if (!exact && !missed)
    return;
  if (moment && firedFor_ && Tuple(*firedFor_) == Tuple(*moment))
    return;
  if (moment)
    firedFor_ = *moment;
  // One alarm at a time: a moment that comes due while one rings (armed
  // again meanwhile) rings as soon as that one ends.
  if (TheProgram().alarmRinging) {
    dueAfterAlarm_ = true;
    return;
  }
  do {
    dueAfterAlarm_ = false;
    // One note rings: the record may name another by the time the alarm ends.
    if (std::shared_ptr<Note> ringing = ActiveNote())
      RunAlarm(*ringing);
  } while (dueAfterAlarm_ && armed_);
}

// A clock set forward or back, or a machine woken from sleep: look again at
// once, and from there once a second.
void ReminderDialog::OnClockChanged(Form) {
  if (!armed())
    return;
  lastTick_.reset();
  platform::SetTimer(window_, 1);
}

void Playwav(const Text& path) {
  platform::PlaySoundAsync(path);
}

void WaitSeconds(double seconds) {
  double deadline = platform::MonotonicSeconds() + seconds;
  while (platform::MonotonicSeconds() < deadline)
    platform::WaitForMessagesUntil(deadline);
}

}  // namespace pinaleaf
