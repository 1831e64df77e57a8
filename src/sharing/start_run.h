// Handing documents and addresses to the desktop (module StartRun), and the
// publisher's own mail and web entries.
#pragma once

#include "platform/platform.h"

namespace pinaleaf {

// Opens `target` (a "mailto:" or web address) with its default handler, from
// the program's folder. When nothing can open it, one message box over
// `owner`, titled `title`, says why; a prompt the user cancelled is left be.
void ShellOpen(platform::Form owner, const platform::Text& target, const platform::Text& title);

void EmailAuthor();
void GotoWebSite();

}  // namespace pinaleaf
