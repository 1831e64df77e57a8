#include "app/app.h"

#include "commands/note_commands.h"
#include "commands/style_commands.h"
#include "commands/text_commands.h"
#include "notes/note.h"
#include "notes/stay_on.h"
#include "notes/translucency.h"
#include "reminders/reminder_dialog.h"
#include "sharing/email_form.h"
#include "sharing/publisher.h"
#include "sharing/start_run.h"

namespace pinaleaf {
namespace {

constexpr int kF1 = 0x70, kF2 = 0x71;

// The popup's order, captions and separators; the keys are the text area's
// Ctrl shortcuts. "Ctrl+X", "Ctrl+C", "Ctrl+V" and "Ctrl+Q" are labels only:
// the first three are the text box's own keys, the last does nothing.
constexpr Command kCommands[] = {
    {kCutItem, u"Cut", u"Ctrl+X", 0, CutText, nullptr},
    {kCopyItem, u"Copy", u"Ctrl+C", 0, CopyText, nullptr},
    {kPasteItem, u"Paste", u"Ctrl+V", 0, PasteText, nullptr},
    {kSelectAllItem, u"Select All", u"Ctrl+A", 'A', SelectAll, nullptr},
    {0, nullptr, nullptr, 0, nullptr, nullptr},
    {kSetReminderItem, u"Set Reminder", u"Ctrl+R", 'R', ShowReminderDialog, nullptr},
    {0, nullptr, nullptr, 0, nullptr, nullptr},
    {kCreateNewNoteItem, u"Create New Note", u"Ctrl+N", 'N', CreateNewNote, nullptr},
    {kDeleteThisNoteItem, u"Delete This Note", u"Ctrl+D", 'D', DeleteThisNote, nullptr},
    {0, nullptr, nullptr, 0, nullptr, nullptr},
    {kFontItem, u"Font...", u"Ctrl+F", 'F', ChooseNoteFont, nullptr},
    {kColorItem, u"Color...", u"Ctrl+O", 'O', ChooseNoteColor, nullptr},
    {0, nullptr, nullptr, 0, nullptr, nullptr},
    {kEmailItem, u"Email Note", u"Ctrl+E", 'E', ShowEmailForm, nullptr},
    {kSaveNoteToFileItem, u"Save Note to File", u"Ctrl+S", 'S', SaveNoteToFile, nullptr},
    {0, nullptr, nullptr, 0, nullptr, nullptr},
    {kInsertDateItem, u"Insert Date", u"Ctrl+F1", kF1, InsertDate, nullptr},
    {kInsertTimeItem, u"Insert Time", u"Ctrl+F2", kF2, InsertTime, nullptr},
    {0, nullptr, nullptr, 0, nullptr, nullptr},
    {kDefaultTranslucencyItem, u"Defeault Translucency", u"", 0, SetDefaultTranslucency, nullptr},
    {kIncreaseTranslucencyItem, u"Increase Translucency", u"", 0, IncreaseTranslucency, nullptr},
    {kDecreaseTranslucencyItem, u"Decrease Translucency", u"", 0, DecreaseTranslucency, nullptr},
    {kAlwaysOnTopItem, u"Always On Top", u"", 0, ToggleAlwaysOnTop, AlwaysOnTop},
    {0, nullptr, nullptr, 0, nullptr, nullptr},
    {kEmailAuthorItem, u"Email Author Suggestions / Bugs", u"", 0, EmailAuthor, nullptr},
    {kGotoWebSiteItem, u"Goto " PINALEAF_WEBSITE_NAME, u"", 0, GotoWebSite, nullptr},
    {kQuitItem, u"Quit (Remove All Notes)", u"Ctrl+Q", 0, QuitProgram, nullptr},
};

}  // namespace

std::span<const Command> Commands() { return kCommands; }

void RunMenuCommand(int id) { RunCommand(kCommands, id); }

void StartProgram() {
  NoteHooks& hooks = Hooks();
  hooks.rightPress = ShowNotePopup;
  hooks.keyDown = [](int keyCode, int modifiers) { RunShortcut(kCommands, keyCode, modifiers); };
  hooks.closeRequest = CloseNote;
  auto note = Note::Load();
  SetStartupNote(*note);
  // The host comes with the first note, as the first use of its check mark.
  MenuForm::Load(kCommands);
  note->Show();
}

}  // namespace pinaleaf
