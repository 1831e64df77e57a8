// The per-user settings of Pinaleaf: text values under "Pinaleaf", "1.0".
// One table names every key, says how its stored text is read and what it
// reads as when it is missing or does not read; every reader and writer goes
// through it. Missing keys read as the empty text; writes go to the store at
// once.
#pragma once

#include <optional>

#include "platform/platform.h"

namespace pinaleaf {

using platform::Text;

enum class Setting {
  ActivehWnd,
  TextColor,
  Bold,
  Italic,
  Underline,
  Strikethru,
  Font,
  Size,
  AlwaysOnTop,
  Translucency,
  TransCount,
  EmailAddresses,
  ReminderDay,
  ReminderMonth,
  ReminderYear,
  ReminderHours,
  ReminderMinutes,
  ReminderSeconds,
};

// How a stored text is read (values.h has the conversions).
enum class Reading {
  Text,     // as it stands
  Boolean,  // "True" or "False" in any letter case, or a number: 0 is false
  Integer,  // a whole decimal number within min..max
  Number,   // a decimal number within min..max
  Byte,     // a decimal number rounded to a whole one (halves to even), the nearest of min..max
};

struct SettingInfo {
  Setting setting;
  const char16_t* key;
  Reading reading;
  double min = 0, max = 0;
  std::optional<double> fallback = std::nullopt;  // what a missing or unreadable value reads as
};

inline constexpr double kHuge = 1.7976931348623157e308;

inline constexpr SettingInfo kSettings[] = {
    {Setting::ActivehWnd, u"ActivehWnd", Reading::Number, -kHuge, kHuge},
    {Setting::TextColor, u"TextColor", Reading::Integer, -2147483648.0, 2147483647.0},
    {Setting::Bold, u"Bold", Reading::Boolean},
    {Setting::Italic, u"Italic", Reading::Boolean},
    {Setting::Underline, u"Underline", Reading::Boolean},
    {Setting::Strikethru, u"Strikethru", Reading::Boolean},
    {Setting::Font, u"Font", Reading::Text},
    // Points, as the single-precision size they become: above 0 there.
    {Setting::Size, u"Size", Reading::Number, 1.401298464324817e-45, 2048},
    {Setting::AlwaysOnTop, u"AlwaysOnTop", Reading::Boolean},
    // An alpha the commands can reach: a hand-edited 0 would hide every note.
    {Setting::Translucency, u"Translucency", Reading::Byte, 80, 254, 200},
    // The next translucency slot: a 16-bit counter.
    {Setting::TransCount, u"TransCount", Reading::Integer, 1, 32767, 1},
    {Setting::EmailAddresses, u"EmailAddresses", Reading::Text},
    {Setting::ReminderDay, u"ReminderDay", Reading::Integer, 0, 9999},
    {Setting::ReminderMonth, u"ReminderMonth", Reading::Integer, 0, 9999},
    {Setting::ReminderYear, u"ReminderYear", Reading::Integer, 0, 9999},
    {Setting::ReminderHours, u"ReminderHours", Reading::Integer, 0, 9999},
    {Setting::ReminderMinutes, u"ReminderMinutes", Reading::Integer, 0, 9999},
    {Setting::ReminderSeconds, u"ReminderSeconds", Reading::Integer, 0, 9999},
};

constexpr const SettingInfo& InfoOf(Setting setting) {
  return kSettings[static_cast<int>(setting)];
}

// The stored text, empty when the key was never written.
Text ReadSetting(Setting setting);
// The stored text read as the table says; its fallback when it does not read.
std::optional<double> ReadValue(Setting setting);
void WriteSetting(Setting setting, const Text& value);

}  // namespace pinaleaf
