#include "notes/common_dialog.h"

#include "notes/note.h"
#include "notes/program.h"
#include "platform/platform.h"

namespace pinaleaf {

CommonDialog& CommonDialog1() {
  return TheProgram().commonDialog;
}

bool CommonDialog::ShowFont(platform::Form owner) {
  OwnedDialog open(owner);
  platform::FontChoice choice{{FontName, FontSize, FontBold, FontItalic, FontUnderline, FontStrikethru}, Color, Flags};
  if (!platform::ChooseFontDialog(owner, choice))
    return false;
  FontName = choice.font.name;
  FontSize = choice.font.size;
  FontBold = choice.font.bold;
  FontItalic = choice.font.italic;
  FontUnderline = choice.font.underline;
  FontStrikethru = choice.font.strikethrough;
  Color = choice.color;
  return true;
}

bool CommonDialog::ShowColor(platform::Form owner) {
  OwnedDialog open(owner);
  platform::Color chosen = Color;
  if (!platform::ChooseColorDialog(owner, chosen))
    return false;
  Color = chosen;
  return true;
}

bool CommonDialog::ShowSave(platform::Form owner) {
  OwnedDialog open(owner);
  platform::SaveChoice choice{FileName, DefaultExt, Filter, FilterPattern, Flags};
  if (!platform::SaveFileDialog(owner, choice))
    return false;
  FileName = choice.fileName;
  return true;
}

platform::Form DialogOwner(const Note* note) {
  if (note && note->IsOpen())
    return note->window();
  platform::Form startup = StartupNoteWindow();
  return startup ? startup : AnyNoteWindow();
}

}  // namespace pinaleaf
