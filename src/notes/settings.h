// The per-user settings of Pinaleaf: text values under "Pinaleaf", "1.0".
// Missing keys read as the empty text; writes go to the store at once.
#pragma once

#include "platform/platform.h"

namespace pinaleaf {

using platform::Text;

Text ReadSetting(const Text& key);
void WriteSetting(const Text& key, const Text& value);

}  // namespace pinaleaf
