#include "notes/stay_on.h"

#include "notes/settings.h"
#include "notes/values.h"

namespace pinaleaf {
namespace {
bool g_alwaysOnTop = true;  // checked by design
}

void MakeTopmost(platform::Handle window) { platform::SetZOrder(window, platform::ZOrder::Topmost, false); }

void MakeNotTopmost(platform::Handle window) { platform::SetZOrder(window, platform::ZOrder::NotTopmost, false); }

bool AlwaysOnTop() { return g_alwaysOnTop; }

void SetAlwaysOnTop(bool on) { g_alwaysOnTop = on; }

void FollowAlwaysOnTop(platform::Handle window) {
  if (g_alwaysOnTop) {
    MakeTopmost(window);
  } else {
    MakeNotTopmost(window);
  }
}

void ToggleAlwaysOnTop() {
  g_alwaysOnTop = !g_alwaysOnTop;
  for (platform::Handle window : platform::LoadedForms()) FollowAlwaysOnTop(window);
  WriteSetting(u"AlwaysOnTop", FormatBool(g_alwaysOnTop));
}

}  // namespace pinaleaf
