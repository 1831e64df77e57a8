// The per-user settings of Pinaleaf: text values under "Pinaleaf", "1.0".
// Each key is a constant of the type of what it holds (text, a flag, a whole
// number, a colour, a font size, a window, a moment), which says how its
// stored text reads and what it reads as when it is missing or does not
// read; ReadSetting gives the value itself. Writes go to the store at once.
#pragma once

#include <optional>

#include "platform/platform.h"

namespace pinaleaf {

using platform::Text;

// Text as it stands.
struct TextKey {
  const char16_t* name;
};
// "True" or "False" in any letter case, or a number: 0 is false. Missing
// or unreadable: none.
struct FlagKey {
  const char16_t* name;
};
// A whole number within min..max; `fallback` when missing or unreadable.
// Exact: a whole decimal number in range. Nearest: any decimal number,
// rounded (halves to even) to the nearest of min..max.
struct WholeKey {
  enum Reading { Exact, Nearest };
  const char16_t* name;
  int min, max, fallback;
  Reading reading = Exact;
};
// A colour (0x00BBGGRR, or a scheme colour) as a signed 32-bit decimal.
struct ColorKey {
  const char16_t* name;
};
// A font size in points: a decimal number above 0, at most 2048.
struct SizeKey {
  const char16_t* name;
};
// A window's number as a decimal number.
struct WindowKey {
  const char16_t* name;
};
// A date and a second of the day in six keys, each a whole decimal number
// up to 9999; none when any of them does not read.
struct MomentKey {
  const char16_t *day, *month, *year, *hours, *minutes, *seconds;
};

namespace keys {
inline constexpr WindowKey ActivehWnd{u"ActivehWnd"};
inline constexpr ColorKey TextColor{u"TextColor"};
inline constexpr FlagKey Bold{u"Bold"};
inline constexpr FlagKey Italic{u"Italic"};
inline constexpr FlagKey Underline{u"Underline"};
inline constexpr FlagKey Strikethru{u"Strikethru"};
inline constexpr TextKey Font{u"Font"};
inline constexpr SizeKey Size{u"Size"};
inline constexpr FlagKey AlwaysOnTop{u"AlwaysOnTop"};
// An alpha the commands can reach: a hand-edited 0 would hide every note.
inline constexpr WholeKey Translucency{u"Translucency", 80, 254, 200, WholeKey::Nearest};
// The next translucency slot: a 16-bit counter.
inline constexpr WholeKey TransCount{u"TransCount", 1, 32767, 1};
inline constexpr TextKey EmailAddresses{u"EmailAddresses"};
inline constexpr MomentKey Reminder{u"ReminderDay",   u"ReminderMonth",   u"ReminderYear",
                                    u"ReminderHours", u"ReminderMinutes", u"ReminderSeconds"};
}  // namespace keys

// Every key's name, for what reads them all.
inline constexpr const char16_t* kSettingNames[] = {
    u"ActivehWnd",  u"TextColor",     u"Bold",         u"Italic",        u"Underline",       u"Strikethru",
    u"Font",        u"Size",          u"AlwaysOnTop",  u"Translucency",  u"TransCount",      u"EmailAddresses",
    u"ReminderDay", u"ReminderMonth", u"ReminderYear", u"ReminderHours", u"ReminderMinutes", u"ReminderSeconds",
};

// The stored text itself, empty when the key was never written.
Text StoredText(const char16_t* name);

Text ReadSetting(TextKey key);
std::optional<bool> ReadSetting(FlagKey key);
int ReadSetting(WholeKey key);
std::optional<platform::Color> ReadSetting(ColorKey key);
std::optional<float> ReadSetting(SizeKey key);
std::optional<double> ReadSetting(WindowKey key);
std::optional<platform::DateTime> ReadSetting(const MomentKey& key);

// Whether each of the moment's keys holds exactly the text that writing
// `moment` would store.
bool StoredAsWritten(const MomentKey& key, const platform::DateTime& moment);

void WriteSetting(TextKey key, const Text& value);
void WriteSetting(FlagKey key, bool value);
void WriteSetting(WholeKey key, int value);
void WriteSetting(ColorKey key, platform::Color value);
void WriteSetting(SizeKey key, int points);
void WriteSetting(WindowKey key, platform::Window window);
void WriteSetting(const MomentKey& key, const platform::DateTime& moment);

}  // namespace pinaleaf
