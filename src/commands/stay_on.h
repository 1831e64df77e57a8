// Z-order of the program's windows relative to the desktop's other windows.
#pragma once

#include "platform/platform.h"

namespace pinaleaf {

void MakeTopmost(platform::Handle window);
void MakeNotTopmost(platform::Handle window);
// Flips the popup's "Always On Top" check mark, applies it to every loaded
// window in load order and stores it.
void ToggleAlwaysOnTop();

}  // namespace pinaleaf
