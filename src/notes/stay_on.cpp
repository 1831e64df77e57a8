#include "notes/stay_on.h"

#include "notes/program.h"
#include "notes/settings.h"
#include "notes/values.h"
#include "platform/platform.h"

namespace pinaleaf {

void MakeTopmost(platform::Form window) {
  platform::SetZOrder(window, platform::ZOrder::Topmost, false);
}

void MakeNotTopmost(platform::Form window) {
  platform::SetZOrder(window, platform::ZOrder::NotTopmost, false);
}

bool AlwaysOnTop() {
  return TheProgram().alwaysOnTop;
}

void SetAlwaysOnTop(bool on) {
  TheProgram().alwaysOnTop = on;
}

void FollowAlwaysOnTop(platform::Form window) {
  if (AlwaysOnTop()) {
    MakeTopmost(window);
  } else {
    MakeNotTopmost(window);
  }
}

void ShowInFront(platform::Form form) {
  platform::ShowForm(form);
  FollowAlwaysOnTop(form);
  platform::SetZOrder(form, platform::ZOrder::Top, true);
}

void ToggleAlwaysOnTop() {
  SetAlwaysOnTop(!AlwaysOnTop());
  for (platform::Form window : platform::LoadedForms())
    FollowAlwaysOnTop(window);
  WriteSetting(keys::AlwaysOnTop, AlwaysOnTop());
}

}  // namespace pinaleaf
