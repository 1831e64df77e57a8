#include "commands/style_commands.h"

#include <cmath>

#include "notes/active_note.h"
#include "notes/common_dialog.h"
#include "notes/note.h"
#include "notes/settings.h"
#include "notes/values.h"
#include "platform/platform.h"

namespace pinaleaf {

// The font and colour dialogs restyle the note that was active when they
// opened, and nothing when it was closed meanwhile.
void ChooseNoteFont() {
  std::shared_ptr<Note> note = ActiveNote();
  CommonDialog& dialog = CommonDialog1();
  using platform::DialogOption;
  dialog.Flags = {DialogOption::ScreenFonts, DialogOption::PrinterFonts, DialogOption::FontEffects};
  dialog.FontSize = 16;
  if (!dialog.ShowFont(DialogOwner(note.get())) || !note || !note->IsOpen())
    return;
  int size = static_cast<int>(std::nearbyint(dialog.FontSize));  // halves to the even neighbour
  platform::Font font;
  font.bold = dialog.FontBold;
  font.italic = dialog.FontItalic;
  font.underline = dialog.FontUnderline;
  font.strikethrough = dialog.FontStrikethru;
  font.name = dialog.FontName;
  font.size = static_cast<float>(size);
  ApplyTextStyle(note->textArea(), dialog.Color, font);
  WriteSetting(keys::TextColor, dialog.Color);
  WriteSetting(keys::Bold, dialog.FontBold);
  WriteSetting(keys::Italic, dialog.FontItalic);
  WriteSetting(keys::Underline, dialog.FontUnderline);
  WriteSetting(keys::Strikethru, dialog.FontStrikethru);
  WriteSetting(keys::Font, dialog.FontName);
  WriteSetting(keys::Size, size);
}

void ChooseNoteColor() {
  std::shared_ptr<Note> note = ActiveNote();
  CommonDialog& dialog = CommonDialog1();
  dialog.CancelError = true;
  if (!dialog.ShowColor(DialogOwner(note.get())) || !note || !note->IsOpen())
    return;
  platform::SetBackColor(note->textArea(), dialog.Color);
  platform::SetBackColor(note->window(), dialog.Color);
}

}  // namespace pinaleaf
