#include "sharing/start_run.h"

#include "notes/note.h"
#include "sharing/publisher.h"

namespace pinaleaf {

void ShellOpen(platform::Handle owner, const platform::Text& target) {
  platform::ShellOpen(owner, target, platform::ProgramDirectory());
}

namespace {

// The start-up note, or any note once that one is closed.
platform::Handle PublisherLinkOwner() {
  if (platform::Handle startup = StartupNoteWindow()) return startup;
  for (platform::Handle window : platform::LoadedForms()) {
    if (Note::FromHandle(window)) return window;
  }
  return 0;
}

}  // namespace

void EmailAuthor() { ShellOpen(PublisherLinkOwner(), platform::Text(u"mailto:") + kSupportAddress); }

void GotoWebSite() { ShellOpen(PublisherLinkOwner(), kWebsiteUrl); }

}  // namespace pinaleaf
