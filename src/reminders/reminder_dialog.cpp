#include "reminders/reminder_dialog.h"

#include <algorithm>
#include <set>

#include "notes/active_note.h"
#include "notes/note.h"
#include "notes/settings.h"
#include "notes/values.h"

namespace pinaleaf {
namespace {

using platform::DateTime;
using platform::Handle;
using platform::Rect;

std::shared_ptr<ReminderDialog>& Instance() {
  static std::shared_ptr<ReminderDialog> instance;
  return instance;
}

platform::Font Arial(float size, bool bold = false) {
  platform::Font font;
  font.size = size;
  font.bold = bold;
  return font;
}

// Text forms of a date-time field, as the stored values are written: no
// leading zeros, four-digit year.
Text Field(int value) { return FormatInteger(value); }

const Text kKeys[6] = {u"ReminderSeconds", u"ReminderYear", u"ReminderMinutes",
                       u"ReminderMonth",   u"ReminderHours", u"ReminderDay"};

// Current fields in the order of kKeys.
void FieldsOf(const DateTime& t, Text out[6]) {
  out[0] = Field(t.second);
  out[1] = Field(t.year);
  out[2] = Field(t.minute);
  out[3] = Field(t.month);
  out[4] = Field(t.hour);
  out[5] = Field(t.day);
}

auto Tuple(const DateTime& t) { return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second); }

// The stored moment, when all six keys hold whole numbers.
std::optional<DateTime> StoredMoment(const Text stored[6]) {
  int values[6];
  for (int i = 0; i < 6; ++i) {
    auto value = ParseInteger(stored[i], 0, 9999);
    if (!value) return std::nullopt;
    values[i] = static_cast<int>(*value);
  }
  return DateTime{values[1], values[3], values[5], values[4], values[2], values[0]};
}

DateTime AddSeconds(DateTime t, int seconds) {
  // Whole days from the civil date (proleptic Gregorian), then back.
  auto daysFromCivil = [](long y, long m, long d) {
    y -= m <= 2;
    long era = (y >= 0 ? y : y - 399) / 400;
    long yoe = y - era * 400;
    long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
  };
  long total = t.hour * 3600L + t.minute * 60L + t.second + seconds;
  long days = daysFromCivil(t.year, t.month, t.day) + (total >= 0 ? total / 86400 : (total - 86399) / 86400);
  total -= (total >= 0 ? total / 86400 : (total - 86399) / 86400) * 86400;
  long z = days + 719468;
  long era = (z >= 0 ? z : z - 146096) / 146097;
  long doe = z - era * 146097;
  long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long mp = (5 * doy + 2) / 153;
  DateTime out;
  out.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  out.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  out.year = static_cast<int>(yoe + era * 400 + (out.month <= 2));
  out.hour = static_cast<int>(total / 3600);
  out.minute = static_cast<int>(total / 60 % 60);
  out.second = static_cast<int>(total % 60);
  return out;
}

// Notes with an alarm running: no second alarm starts on them meanwhile.
std::set<Handle>& Ringing() {
  static std::set<Handle> ringing;
  return ringing;
}

// Flashes the note and shows "Reminder!" for about three seconds. Stops at
// once when the note is closed meanwhile.
void RunAlarm(Handle window, Handle text) {
  if (!Ringing().insert(window).second) return;
  struct Done {
    Handle window;
    ~Done() { Ringing().erase(window); }
  } done{window};

  platform::Color savedColor = platform::GetBackColor(window);
  Text savedText = platform::GetText(text);
  platform::ShowForm(window);
  platform::SetText(text, u"Reminder!");
  Playwav(platform::ProgramDirectory() + u"\\Reminder.wav");
  auto wait = [&] {
    WaitSeconds(0.1);
    return platform::IsLoaded(window);
  };
  for (int i = 0; i < 10; ++i) {
    platform::SetBackColor(text, 0xFFFFFF);
    platform::SetBackColor(window, 0xFFFFFF);
    if (!wait()) return;
    platform::SetBackColor(text, 0x000000);
    platform::SetBackColor(window, 0x000000);
    if (!wait()) return;
    platform::SetBackColor(window, savedColor);
    platform::SetBackColor(text, savedColor);
    if (!wait()) return;
  }
  platform::SetText(text, savedText);
}

}  // namespace

std::shared_ptr<ReminderDialog> ReminderDialog::Current() {
  auto& instance = Instance();
  if (instance && !platform::IsLoaded(instance->window_)) instance.reset();
  return instance;
}

void ShowReminderDialog() {
  auto dialog = ReminderDialog::Current();
  if (!dialog) {
    dialog = std::make_shared<ReminderDialog>();
    Instance() = dialog;
    dialog->Load();
  }
  platform::ShowForm(dialog->window_);
}

bool ReminderDialog::armed() const { return platform::GetTimer(window_) != 0; }

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
  command1_ = platform::CreateButton(window_, {120, 4320, 2055, 425}, u"Set Reminder", Arial(9));
  label3_ = platform::CreateLabel(window_, {120, 3960, 4095, 275}, u"", Arial(9));
  command2_ = platform::CreateButton(window_, {2280, 4320, 1935, 425}, u"Hide This Window", Arial(9));
  label4_ = platform::CreateLabel(window_, {1920, 480, 2295, 255}, u"Default: 10 mins from now.", Arial(9));

  Place();
  ForEachActiveNote([&](Note& note) {
    Text text = platform::GetText(note.textArea());
    platform::SetCaption(window_, text.empty() ? Text(u"Reminder [empty note]") : u"Reminder [" + text + u"]");
  });
  DateTime now = platform::Now();
  pickerDate_ = {now.year, now.month, now.day};
  if (platform::GetTimer(window_) == 0) {
    DateTime later = AddSeconds(now, 600);
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
  Rect area = platform::WorkArea(0);
  rect.left = std::max(area.left, std::min(rect.left, area.left + area.width - rect.width));
  rect.top = std::max(area.top, std::min(rect.top, area.top + area.height - rect.height));
  platform::SetRect(window_, rect);
}

void ReminderDialog::Arm() {
  platform::SetCaption(command1_, u"Disable Reminder");
  platform::SetCaption(window_, u"Reminder [Enabled]");
  platform::TimeOfDay time = platform::GetPickerTime(picker_);
  platform::SetCaption(label3_, platform::FormatDateTime({pickerDate_.year, pickerDate_.month, pickerDate_.day,
                                                          time.hour, time.minute, time.second}));
  platform::SetTimer(window_, 1);
  platform::Date date = platform::GetCalendarDate(calendar_);
  WriteSetting(u"ReminderDay", FormatInteger(date.day));
  WriteSetting(u"ReminderMonth", FormatInteger(date.month));
  WriteSetting(u"ReminderYear", FormatInteger(date.year));
  WriteSetting(u"ReminderHours", FormatInteger(time.hour));
  WriteSetting(u"ReminderMinutes", FormatInteger(time.minute));
  WriteSetting(u"ReminderSeconds", FormatInteger(time.second));
  armedAt_ = platform::Now();
  firedFor_.reset();
  lastTick_.reset();
}

void ReminderDialog::Disarm() {
  platform::SetCaption(command1_, u"Set Reminder");
  platform::SetTimer(window_, 0);
  platform::SetCaption(window_, u"Reminder [Disabled]");
  platform::SetCaption(label3_, u"");
}

void ReminderDialog::OnCommand(Handle button) {
  if (button == command1_) {
    if (platform::GetCaption(command1_) == u"Set Reminder") {
      Arm();
    } else {
      Disarm();
    }
  } else if (button == command2_) {
    platform::HideForm(window_);
  }
}

void ReminderDialog::OnChange(Handle control) {
  if (control == picker_) platform::SetControlVisible(label4_, false);
}

// Closing an armed dialog only hides it, so the reminder is never dropped
// unseen; a disarmed one is unloaded.
bool ReminderDialog::OnCloseRequest(Handle) {
  if (!armed()) return true;
  platform::HideForm(window_);
  return false;
}

// Due in the stored second, compared as text; or, when no tick fell inside
// that second, at the first tick after it, if it lay ahead when armed. Each
// moment rings once.
void ReminderDialog::OnTimer(Handle) {
  DateTime now = platform::Now();
  // The answer changes only with the second: the store is read once in each.
  if (lastTick_ && Tuple(*lastTick_) == Tuple(now)) return;
  lastTick_ = now;
  Text stored[6], current[6];
  for (int i = 0; i < 6; ++i) stored[i] = ReadSetting(kKeys[i]);
  FieldsOf(now, current);
  bool exact = std::equal(stored, stored + 6, current);
  auto moment = StoredMoment(stored);
  bool missed = moment && Tuple(*moment) > Tuple(armedAt_) && Tuple(now) > Tuple(*moment);
  if (!exact && !missed) return;
  if (moment && firedFor_ && Tuple(*firedFor_) == Tuple(*moment)) return;
  if (moment) firedFor_ = *moment;
  // One note rings: the record may name another by the time the alarm ends.
  Handle window = 0, text = 0;
  ForEachActiveNote([&](Note& note) {
    if (window == 0) window = note.window(), text = note.textArea();
  });
  if (window != 0) RunAlarm(window, text);
}

void Playwav(const Text& path) { platform::PlaySoundAsync(path); }

void WaitSeconds(double seconds) {
  double deadline = platform::MonotonicSeconds() + seconds;
  while (platform::MonotonicSeconds() < deadline) platform::WaitForMessagesUntil(deadline);
}

}  // namespace pinaleaf
