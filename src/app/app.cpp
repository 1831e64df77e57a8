#include "app/app.h"

#include "commands/note_commands.h"
#include "commands/style_commands.h"
#include "commands/text_commands.h"
#include "notes/note.h"
#include "notes/program.h"
#include "notes/stay_on.h"
#include "notes/translucency.h"
#include "platform/platform.h"
#include "reminders/reminder_dialog.h"
#include "sharing/email_form.h"
#include "sharing/publisher.h"
#include "sharing/start_run.h"

namespace pinaleaf {
namespace {

using Id = CommandId;
using platform::Key;

// The popup's order, captions and separators, and the text area's Ctrl
// shortcuts. Ctrl+X, C and V are the text box's own keys (its cut hands over
// to the program's: hooks.cut); Ctrl+Q does nothing.
constexpr Command kCommands[] = {
    {Id::Cut, u"Cut", LabelOnly(Key::X), CutText},
    {Id::Copy, u"Copy", LabelOnly(Key::C), CopyText},
    {Id::Paste, u"Paste", LabelOnly(Key::V), PasteText},
    {Id::SelectAll, u"Select All", Ctrl(Key::A), SelectAll},
    kSeparator,
    {Id::SetReminder, u"Set Reminder", Ctrl(Key::R), ShowReminderDialog},
    kSeparator,
    {Id::CreateNewNote, u"Create New Note", Ctrl(Key::N), CreateNewNote},
    {Id::DeleteThisNote, u"Delete This Note", Ctrl(Key::D), DeleteThisNote},
    kSeparator,
    {Id::Font, u"Font...", Ctrl(Key::F), ChooseNoteFont},
    {Id::Color, u"Color...", Ctrl(Key::O), ChooseNoteColor},
    kSeparator,
    {Id::Email, u"Email Note", Ctrl(Key::E), ShowEmailForm},
    {Id::SaveNoteToFile, u"Save Note to File", Ctrl(Key::S), SaveNoteToFile},
    kSeparator,
    {Id::InsertDate, u"Insert Date", Ctrl(Key::F1), InsertDate},
    {Id::InsertTime, u"Insert Time", Ctrl(Key::F2), InsertTime},
    kSeparator,
    {Id::DefaultTranslucency, u"Defeault Translucency", {}, SetDefaultTranslucency},
    {Id::IncreaseTranslucency, u"Increase Translucency", {}, IncreaseTranslucency},
    {Id::DecreaseTranslucency, u"Decrease Translucency", {}, DecreaseTranslucency},
    {Id::AlwaysOnTop, u"Always On Top", {}, ToggleAlwaysOnTop, AlwaysOnTop},
    kSeparator,
    {Id::EmailAuthor, u"Email Author Suggestions / Bugs", {}, EmailAuthor},
    {Id::GotoWebSite, u"Goto " PINALEAF_WEBSITE_NAME, {}, GotoWebSite},
    {Id::Quit, u"Quit (Remove All Notes)", LabelOnly(Key::Q), QuitProgram},
};
static_assert(KeysAndIdsAreUnique(kCommands), "each key and each id belongs to one entry");

}  // namespace

std::span<const Command> Commands() {
  return kCommands;
}

void RunMenuCommand(CommandId id) {
  RunCommand(kCommands, id);
}

void StartProgram() {
  NoteHooks& hooks = TheProgram().hooks;
  hooks.rightPress = ShowNotePopup;
  hooks.keyDown = [](Key key, int modifiers) { RunShortcut(kCommands, key, modifiers); };
  hooks.closeRequest = CloseNote;
  hooks.cut = CutNoteText;
  auto note = Note::Load();
  TheProgram().startupNote = note->window();
  // The host comes with the first note, as the first use of its check mark.
  MenuForm::Load(kCommands);
  note->Show();
}

}  // namespace pinaleaf
