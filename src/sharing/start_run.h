// Handing documents and addresses to the desktop (module StartRun), and the
// publisher's own mail and web entries.
#pragma once

#include "platform/platform.h"

namespace pinaleaf {

// Opens `target` with its default handler, from the program's folder. The
// result is not looked at: a missing handler shows nothing of ours.
void ShellOpen(platform::Handle owner, const platform::Text& target);

void EmailAuthor();
void GotoWebSite();

}  // namespace pinaleaf
