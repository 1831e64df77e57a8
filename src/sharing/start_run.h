// Handing documents and addresses to the desktop (module StartRun), and the
// publisher's own mail and web entries.
#pragma once

#include "platform/platform.h"

namespace pinaleaf {

// Opens `target` with its default handler, from the program's folder. When
// nothing can open it, a message box over `owner`, titled `title`, says why.
void ShellOpen(platform::Form owner, const platform::Text& target, const platform::Text& title);

void EmailAuthor();
void GotoWebSite();

}  // namespace pinaleaf
