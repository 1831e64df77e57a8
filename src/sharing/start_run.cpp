#include "sharing/start_run.h"

#include "commands/common_dialog.h"
#include "sharing/publisher.h"

namespace pinaleaf {

void ShellOpen(platform::Handle owner, const platform::Text& target) {
  platform::ShellOpen(owner, target, platform::ProgramDirectory());
}

// Owned by the start-up note, or by any note once that one is closed.
void EmailAuthor() { ShellOpen(DialogOwner(), platform::Text(u"mailto:") + kSupportAddress); }

void GotoWebSite() { ShellOpen(DialogOwner(), kWebsiteUrl); }

}  // namespace pinaleaf
