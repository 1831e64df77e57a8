// Moving and resizing a note that has no frame: presses are handed to the
// system's own move and size loops.
#pragma once

#include "platform/platform.h"

namespace pinaleaf {

// Starts the system's move loop for the window (module MoveFormEvent).
void DragNoteWindow(platform::Form window);

// The right and bottom 5% bands of a text area of width w and height h,
// edges excluded.
bool InResizeZone(double x, double y, double w, double h);
// Where both bands meet.
bool InCornerZone(double x, double y, double w, double h);

// The edge a press at (x, y) in the resize zone of a text area w by h twips
// takes hold of (module BorderlessResize): within 90 twips of the top or left
// edge the top or left ones, in the far bands the right and bottom ones.
platform::DragEdge ResizeHitTest(int x, int y, double w, double h);

}  // namespace pinaleaf
