#include "notes/settings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "notes/values.h"
#include "platform/platform.h"

namespace pinaleaf {
namespace {

const Text kApp = u"Pinaleaf";
const Text kSection = u"1.0";

// The moment's keys and the fields they hold, in the order they are written.
struct MomentField {
  const char16_t* MomentKey::*key;
  int platform::DateTime::*field;
};
constexpr MomentField kMomentFields[] = {
    {&MomentKey::day, &platform::DateTime::day},        {&MomentKey::month, &platform::DateTime::month},
    {&MomentKey::year, &platform::DateTime::year},      {&MomentKey::hours, &platform::DateTime::hour},
    {&MomentKey::minutes, &platform::DateTime::minute}, {&MomentKey::seconds, &platform::DateTime::second},
};

void Write(const char16_t* name, const Text& value) {
  platform::WriteStoredValue(kApp, kSection, name, value);
}

}  // namespace

Text StoredText(const char16_t* name) {
  return platform::ReadStoredValue(kApp, kSection, name);
}

Text ReadSetting(TextKey key) {
  return StoredText(key.name);
}

std::optional<bool> ReadSetting(FlagKey key) {
  return ParseBool(StoredText(key.name));
}

int ReadSetting(WholeKey key) {
  Text text = StoredText(key.name);
  if (key.reading == WholeKey::Nearest) {
    std::optional<double> number = ParseNumber(text);
    if (!number)
      return key.fallback;
    return static_cast<int>(std::clamp(std::nearbyint(*number), double(key.min), double(key.max)));  // halves to even
  }
  std::optional<std::int64_t> whole = ParseInteger(text, key.min, key.max);
  return whole ? static_cast<int>(*whole) : key.fallback;
}

std::optional<platform::Color> ReadSetting(ColorKey key) {
  std::optional<std::int64_t> value = ParseInteger(StoredText(key.name), INT32_MIN, INT32_MAX);
  if (!value)
    return std::nullopt;
  return static_cast<platform::Color>(static_cast<std::int32_t>(*value));
}

// As the single-precision size it becomes: above 0 there.
std::optional<float> ReadSetting(SizeKey key) {
  std::optional<double> points = ParseNumber(StoredText(key.name));
  if (!points || *points < 1.401298464324817e-45 || *points > 2048)
    return std::nullopt;
  return static_cast<float>(*points);
}

std::optional<double> ReadSetting(WindowKey key) {
  std::optional<double> number = ParseNumber(StoredText(key.name));
  if (number && !std::isfinite(*number))
    return std::nullopt;
  return number;
}

std::optional<platform::DateTime> ReadSetting(const MomentKey& key) {
  platform::DateTime moment;
  for (auto [name, field] : kMomentFields) {
    std::optional<std::int64_t> value = ParseInteger(StoredText(key.*name), 0, 9999);
    if (!value)
      return std::nullopt;
    moment.*field = static_cast<int>(*value);
  }
  return moment;
}

bool StoredAsWritten(const MomentKey& key, const platform::DateTime& moment) {
  return std::all_of(std::begin(kMomentFields), std::end(kMomentFields),
                     [&](MomentField part) { return StoredText(key.*part.key) == FormatInteger(moment.*part.field); });
}

void WriteSetting(TextKey key, const Text& value) {
  Write(key.name, value);
}

void WriteSetting(FlagKey key, bool value) {
  Write(key.name, FormatBool(value));
}

void WriteSetting(WholeKey key, int value) {
  Write(key.name, FormatInteger(value));
}

void WriteSetting(ColorKey key, platform::Color value) {
  Write(key.name, FormatInteger(static_cast<std::int32_t>(value)));
}

void WriteSetting(SizeKey key, int points) {
  Write(key.name, FormatInteger(points));
}

void WriteSetting(WindowKey key, platform::Window window) {
  Write(key.name, FormatInteger(window.number()));
}

void WriteSetting(const MomentKey& key, const platform::DateTime& moment) {
  for (auto [name, field] : kMomentFields)
    Write(key.*name, FormatInteger(moment.*field));
}

}  // namespace pinaleaf
