#include "notes/settings.h"

namespace pinaleaf {
namespace {
const Text kApp = u"Pinaleaf";
const Text kSection = u"1.0";
}  // namespace

Text ReadSetting(const Text& key) { return platform::ReadStoredValue(kApp, kSection, key); }

void WriteSetting(const Text& key, const Text& value) {
  platform::WriteStoredValue(kApp, kSection, key, value);
}

}  // namespace pinaleaf
