// The one standard-dialog component of the run (the start-up note's
// CommonDialog1), shared by the font, colour and save dialogs: whatever one
// dialog sets or returns is still there when the next one opens.
#pragma once

#include "platform/platform.h"

namespace pinaleaf {

class CommonDialog {
 public:
  platform::DialogOptions Flags;
  // Font dialog.
  float FontSize = 0;
  platform::Text FontName = u"Arial";  // a note's design face
  bool FontBold = false;
  bool FontItalic = false;
  bool FontUnderline = false;
  bool FontStrikethru = false;
  // Colour returned by either dialog; the font dialog's text colour.
  platform::Color Color = 0;
  // Save dialog.
  platform::Text DefaultExt;
  platform::Text Filter;  // shown as the filter's name, with its pattern
  platform::Text FilterPattern;
  platform::Text FileName;
  // A cancel counts as a plain cancel whether or not this is set.
  bool CancelError = false;

  // Each returns false when the user cancels, leaving the properties as
  // they were.
  bool ShowFont(platform::Form owner);
  bool ShowColor(platform::Form owner);
  bool ShowSave(platform::Form owner);
};

// The component, for the whole run.
CommonDialog& CommonDialog1();

class Note;

// The window that owns a dialog opened for `note`: that note while it is
// open, else the start-up note or any note, else none.
platform::Form DialogOwner(const Note* note);

}  // namespace pinaleaf
