#include "menu/menu_form.h"

#include <memory>

#include "commands/note_commands.h"
#include "commands/stay_on.h"
#include "commands/style_commands.h"
#include "commands/text_commands.h"
#include "notes/note.h"
#include "notes/translucency.h"
#include "reminders/reminder_dialog.h"
#include "sharing/email_form.h"
#include "sharing/start_run.h"
#include "sharing/publisher.h"

namespace pinaleaf {
namespace {

struct Entry {
  int item;  // 0: a separator
  const char16_t* caption;
  const char16_t* shortcut;
};

// Entry 26 takes its caption from the publisher's web-site name.
const Entry kEntries[] = {
    {kCutItem, u"Cut", u"Ctrl+X"},
    {kCopyItem, u"Copy", u"Ctrl+C"},
    {kPasteItem, u"Paste", u"Ctrl+V"},
    {kSelectAllItem, u"Select All", u"Ctrl+A"},
    {0, nullptr, nullptr},
    {kSetReminderItem, u"Set Reminder", u"Ctrl+R"},
    {0, nullptr, nullptr},
    {kCreateNewNoteItem, u"Create New Note", u"Ctrl+N"},
    {kDeleteThisNoteItem, u"Delete This Note", u"Ctrl+D"},
    {0, nullptr, nullptr},
    {kFontItem, u"Font...", u"Ctrl+F"},
    {kColorItem, u"Color...", u"Ctrl+O"},
    {0, nullptr, nullptr},
    {kEmailItem, u"Email Note", u"Ctrl+E"},
    {kSaveNoteToFileItem, u"Save Note to File", u"Ctrl+S"},
    {0, nullptr, nullptr},
    {kInsertDateItem, u"Insert Date", u"Ctrl+F1"},
    {kInsertTimeItem, u"Insert Time", u"Ctrl+F2"},
    {0, nullptr, nullptr},
    {kDefaultTranslucencyItem, u"Defeault Translucency", u""},
    {kIncreaseTranslucencyItem, u"Increase Translucency", u""},
    {kDecreaseTranslucencyItem, u"Decrease Translucency", u""},
    {kAlwaysOnTopItem, u"Always On Top", u""},
    {0, nullptr, nullptr},
    {kEmailAuthorItem, u"Email Author Suggestions / Bugs", u""},
    {kGotoWebSiteItem, nullptr, u""},
    {kQuitItem, u"Quit (Remove All Notes)", u"Ctrl+Q"},
};

}  // namespace

MenuForm& MenuForm::Get() {
  static std::shared_ptr<MenuForm> instance;
  if (!instance || !platform::IsLoaded(instance->window_)) {
    instance = std::make_shared<MenuForm>();
    platform::FormSpec design;
    design.kind = platform::FormKind::Hidden;
    design.caption = u"MenuForm";
    instance->window_ = platform::CreateForm(design, instance);
    instance->Load();
  }
  return *instance;
}

void MenuForm::Load() {
  popup_ = platform::CreatePopupMenu();
  for (const Entry& entry : kEntries) {
    if (entry.item == 0) {
      platform::AppendMenuSeparator(popup_);
    } else {
      Text caption = entry.caption ? Text(entry.caption) : Text(u"Goto ") + kWebsiteName;
      platform::AppendMenuItem(popup_, entry.item, caption, entry.shortcut);
    }
  }
  platform::SetMenuChecked(popup_, kAlwaysOnTopItem, true);  // checked by design
}

bool MenuForm::AlwaysOnTop() const { return platform::IsMenuChecked(popup_, kAlwaysOnTopItem); }

void MenuForm::SetAlwaysOnTop(bool checked) {
  platform::SetMenuChecked(popup_, kAlwaysOnTopItem, checked);
}

void ShowNotePopup(Note& note, bool fromTextArea) {
  Handle window = note.window();
  Handle text = note.textArea();
  if (fromTextArea) platform::SetEnabled(text, false);
  int chosen = platform::TrackPopupMenu(MenuForm::Get().popup(), window);
  // Enabled again before the command runs, so that a command can give the
  // text area the focus; a note closed meanwhile is left alone.
  if (fromTextArea && platform::IsLoaded(window)) platform::SetEnabled(text, true);
  if (chosen != 0) RunMenuCommand(chosen);
}

void RunMenuCommand(int item) {
  switch (item) {
    case kCutItem: CutText(); break;
    case kCopyItem: CopyText(); break;
    case kPasteItem: PasteText(); break;
    case kSelectAllItem: SelectAll(); break;
    case kSetReminderItem: ShowReminderDialog(); break;
    case kCreateNewNoteItem: CreateNewNote(); break;
    case kDeleteThisNoteItem: DeleteThisNote(); break;
    case kFontItem: ChooseNoteFont(); break;
    case kColorItem: ChooseNoteColor(); break;
    case kEmailItem: ShowEmailForm(); break;
    case kSaveNoteToFileItem: SaveNoteToFile(); break;
    case kInsertDateItem: InsertDate(); break;
    case kInsertTimeItem: InsertTime(); break;
    case kDefaultTranslucencyItem: SetDefaultTranslucency(); break;
    case kIncreaseTranslucencyItem: IncreaseTranslucency(); break;
    case kDecreaseTranslucencyItem: DecreaseTranslucency(); break;
    case kAlwaysOnTopItem: ToggleAlwaysOnTop(); break;
    case kEmailAuthorItem: EmailAuthor(); break;
    case kGotoWebSiteItem: GotoWebSite(); break;
    case kQuitItem: QuitProgram(); break;
    default: break;
  }
}

}  // namespace pinaleaf
