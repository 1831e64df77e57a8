#include "commands/stay_on.h"

namespace pinaleaf {

void MakeTopmost(platform::Handle window) { platform::SetTopmost(window, true); }

void MakeNotTopmost(platform::Handle window) { platform::SetTopmost(window, false); }

}  // namespace pinaleaf
