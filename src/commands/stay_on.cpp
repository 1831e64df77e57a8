#include "commands/stay_on.h"

#include "menu/menu_form.h"
#include "notes/settings.h"
#include "notes/values.h"

namespace pinaleaf {

void MakeTopmost(platform::Handle window) { platform::SetTopmost(window, true); }

void MakeNotTopmost(platform::Handle window) { platform::SetTopmost(window, false); }

void ToggleAlwaysOnTop() {
  MenuForm& menu = MenuForm::Get();
  bool on = !menu.AlwaysOnTop();
  menu.SetAlwaysOnTop(on);
  for (platform::Handle window : platform::LoadedForms()) {
    if (on) {
      MakeTopmost(window);
    } else {
      MakeNotTopmost(window);
    }
  }
  WriteSetting(u"AlwaysOnTop", FormatBool(menu.AlwaysOnTop()));
}

}  // namespace pinaleaf
