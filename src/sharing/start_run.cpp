#include "sharing/start_run.h"

#include "notes/common_dialog.h"
#include "platform/platform.h"
#include "sharing/publisher.h"

namespace pinaleaf {

void ShellOpen(platform::Form owner, const platform::Text& target, const platform::Text& title) {
  using platform::ShellResult;
  using platform::Text;
  ShellResult result = platform::ShellOpen(owner, target);
  if (result.outcome == ShellResult::Opened || result.outcome == ShellResult::Cancelled)
    return;
  // A mail address may hold a note's whole text: it is never shown.
  bool mail = target.starts_with(u"mailto:");
  Text message;
  if (result.outcome == ShellResult::NoProgram && mail) {
    message =
        u"No e-mail program is set up on this computer.\n\n"
        u"Choose a default e-mail program in the system's settings, then try again.";
  } else if (result.outcome == ShellResult::NoProgram) {
    message = u"No web browser is set up on this computer to open\n" + target +
              u"\n\nChoose a default web browser in the system's settings, then try again.";
  } else if (mail) {
    message = u"The e-mail program could not be started.\n\n" + result.reason;
  } else {
    message = u"The web browser could not open\n" + target + u"\n\n" + result.reason;
  }
  platform::ShowError(owner, message, title);
}

// What these say when they fail stands over the start-up note, or any note
// once that one is closed.
void EmailAuthor() {
  ShellOpen(DialogOwner(nullptr), platform::Text(u"mailto:") + kSupportAddress, u"Pinaleaf");
}

void GotoWebSite() {
  ShellOpen(DialogOwner(nullptr), kWebsiteUrl, u"Pinaleaf");
}

}  // namespace pinaleaf
