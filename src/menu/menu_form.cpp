#include "menu/menu_form.h"

#include <memory>

namespace pinaleaf {

MenuForm& MenuForm::Get() {
  static std::shared_ptr<MenuForm> instance;
  if (!instance || !platform::IsLoaded(instance->window_)) {
    instance = std::make_shared<MenuForm>();
    platform::FormSpec spec;
    spec.kind = platform::FormKind::Hidden;
    spec.caption = u"MenuForm";
    instance->window_ = platform::CreateForm(spec, instance);
    instance->Load();
  }
  return *instance;
}

void MenuForm::Load() {
  popup_ = platform::CreatePopupMenu();
  platform::AppendMenuItem(popup_, kAlwaysOnTopItem, u"Always On Top", u"");
  platform::SetMenuChecked(popup_, kAlwaysOnTopItem, true);  // checked by design
}

bool MenuForm::AlwaysOnTop() const { return platform::IsMenuChecked(popup_, kAlwaysOnTopItem); }

void MenuForm::SetAlwaysOnTop(bool checked) {
  platform::SetMenuChecked(popup_, kAlwaysOnTopItem, checked);
}

}  // namespace pinaleaf
