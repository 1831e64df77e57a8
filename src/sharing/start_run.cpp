#include "sharing/start_run.h"

#include "notes/note.h"
#include "sharing/publisher.h"

namespace pinaleaf {

void ShellOpen(platform::Form owner, const platform::Text& target, const platform::Text& title) {
  auto reason = platform::ShellOpen(owner, target);
  if (!reason) return;
  // A note's whole text may be in the address: the start of it is enough.
  constexpr size_t kShown = 200;
  platform::Text shown = target.substr(0, kShown);
  if (shown.size() < target.size()) {
    if (shown.back() >= 0xD800 && shown.back() <= 0xDBFF) shown.pop_back();  // half a character
    shown += u"\u2026";
  }
  platform::ShowError(owner, u"No program could open\n" + shown + u"\n\n" + *reason, title);
}

namespace {

// The start-up note, or any note once that one is closed.
platform::Form PublisherLinkOwner() {
  platform::Form startup = StartupNoteWindow();
  return startup ? startup : AnyNoteWindow();
}

}  // namespace

void EmailAuthor() { ShellOpen(PublisherLinkOwner(), platform::Text(u"mailto:") + kSupportAddress, u"Pinaleaf"); }

void GotoWebSite() { ShellOpen(PublisherLinkOwner(), kWebsiteUrl, u"Pinaleaf"); }

}  // namespace pinaleaf
