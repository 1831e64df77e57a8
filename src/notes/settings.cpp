#include "notes/settings.h"

#include <algorithm>
#include <cmath>

#include "notes/values.h"
#include "platform/platform.h"

namespace pinaleaf {
namespace {

const Text kApp = u"Pinaleaf";
const Text kSection = u"1.0";

constexpr bool TableInOrder() {
  for (int i = 0; i < static_cast<int>(std::size(kSettings)); ++i) {
    if (static_cast<int>(kSettings[i].setting) != i)
      return false;
  }
  return true;
}
static_assert(TableInOrder(), "kSettings lists every setting once, in the order of Setting");

std::optional<double> Read(const SettingInfo& info, const Text& text) {
  std::optional<double> value;
  switch (info.reading) {
    case Reading::Text:
      return std::nullopt;
    case Reading::Boolean:
      if (auto flag = ParseBool(text))
        value = *flag ? 1.0 : 0.0;
      return value;
    case Reading::Integer:
      if (auto whole = ParseInteger(text, static_cast<std::int64_t>(info.min), static_cast<std::int64_t>(info.max))) {
        value = static_cast<double>(*whole);
      }
      return value;
    case Reading::Number:
      value = ParseNumber(text);
      if (value && (*value < info.min || *value > info.max))
        value.reset();
      return value;
    case Reading::Byte:
      value = ParseNumber(text);
      if (value)
        value = std::clamp(std::nearbyint(*value), info.min, info.max);  // halves to even
      return value;
  }
  return value;
}

}  // namespace

Text ReadSetting(Setting setting) {
  return platform::ReadStoredValue(kApp, kSection, InfoOf(setting).key);
}

std::optional<double> ReadValue(Setting setting) {
  const SettingInfo& info = InfoOf(setting);
  auto value = Read(info, ReadSetting(setting));
  return value ? value : info.fallback;
}

void WriteSetting(Setting setting, const Text& value) {
  platform::WriteStoredValue(kApp, kSection, InfoOf(setting).key, value);
}

}  // namespace pinaleaf
