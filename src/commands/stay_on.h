// Z-order of a window relative to the desktop's other windows.
#pragma once

#include "platform/platform.h"

namespace pinaleaf {

void MakeTopmost(platform::Handle window);
void MakeNotTopmost(platform::Handle window);

}  // namespace pinaleaf
