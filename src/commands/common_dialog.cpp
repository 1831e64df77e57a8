#include "commands/common_dialog.h"

#include "notes/active_note.h"
#include "notes/note.h"

namespace pinaleaf {

CommonDialog& CommonDialog1() {
  static CommonDialog dialog;
  return dialog;
}

bool CommonDialog::ShowFont(platform::Handle owner) {
  platform::FontChoice choice;
  choice.flags = Flags;
  choice.font.name = FontName;
  choice.font.size = FontSize;
  choice.font.bold = FontBold;
  choice.font.italic = FontItalic;
  choice.font.underline = FontUnderline;
  choice.font.strikethrough = FontStrikethru;
  choice.color = Color;
  if (!platform::ChooseFontDialog(owner, choice)) return false;
  FontName = choice.font.name;
  FontSize = choice.font.size;
  FontBold = choice.font.bold;
  FontItalic = choice.font.italic;
  FontUnderline = choice.font.underline;
  FontStrikethru = choice.font.strikethrough;
  Color = choice.color;
  return true;
}

bool CommonDialog::ShowColor(platform::Handle owner) {
  platform::Color chosen = Color;
  if (!platform::ChooseColorDialog(owner, chosen)) return false;
  Color = chosen;
  return true;
}

bool CommonDialog::ShowSave(platform::Handle owner) {
  platform::SaveChoice choice;
  choice.fileName = FileName;
  choice.defaultExt = DefaultExt;
  choice.filterName = Filter;
  choice.filterPattern = FilterPattern;
  choice.flags = Flags;
  if (!platform::SaveFileDialog(owner, choice)) return false;
  FileName = choice.fileName;
  return true;
}

platform::Handle DialogOwner() {
  platform::Handle owner = 0;
  ForEachActiveNote([&](Note& note) { owner = note.window(); });
  if (owner == 0) owner = StartupNoteWindow();
  if (owner == 0) {
    for (platform::Handle window : platform::LoadedForms()) {
      if (Note::FromHandle(window)) return window;
    }
  }
  return owner;
}

}  // namespace pinaleaf
