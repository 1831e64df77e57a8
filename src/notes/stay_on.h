// Z-order of the program's windows against the desktop's other windows
// (module StayOn), and the one "Always On Top" switch that all notes share.
#pragma once

#include <memory>

#include "notes/program.h"
#include "platform/platform.h"

namespace pinaleaf {

// Neither activates the window: the focus stays where the user was typing.
void MakeTopmost(platform::Form window);
void MakeNotTopmost(platform::Form window);

// The switch the popup shows as its "Always On Top" check mark: on until a
// note's load sets it from the store.
bool AlwaysOnTop();
void SetAlwaysOnTop(bool on);

// Makes the window topmost, or not, as the switch says.
void FollowAlwaysOnTop(platform::Form window);

// Shows one of the program's forms in front, with the keyboard, in the band
// the switch keeps the notes in: no note covers it.
void ShowInFront(platform::Form form);

// The one way to open a form the program has one of (the e-mail form, the
// reminder dialog): the loaded one, or else a new one loaded, shown in front.
// `Form` has a Load() and a window() its friend ShowSingle may call.
template <class Form>
std::shared_ptr<Form> ShowSingle() {
  auto form = LoadedOne<Form>();
  if (!form) {
    form = std::make_shared<Form>();
    form->Load();
  }
  ShowInFront(form->window());
  return form;
}

// Flips the switch, applies it to every loaded window in load order and
// stores it.
void ToggleAlwaysOnTop();

}  // namespace pinaleaf
