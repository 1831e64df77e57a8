// Z-order of the program's windows against the desktop's other windows
// (module StayOn), and the one "Always On Top" switch that all notes share.
#pragma once

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

// Flips the switch, applies it to every loaded window in load order and
// stores it.
void ToggleAlwaysOnTop();

}  // namespace pinaleaf
