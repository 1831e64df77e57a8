// The notes' translucency: one alpha for all notes, stored as "Translucency",
// applied to a note by its timer's tick through a new controller each time.
#pragma once

namespace pinaleaf {

class Note;

constexpr int kDefaultTranslucency = 200;

// The note's timer tick: binds a controller in the next slot to the note,
// applies the stored alpha and stops the timer.
void RunTranslucencyStep(Note& note);

void SetDefaultTranslucency();
// More transparent by 20, down to 80.
void IncreaseTranslucency();
// More opaque by 20, up to 254.
void DecreaseTranslucency();

}  // namespace pinaleaf
