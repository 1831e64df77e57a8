// The hidden window that hosts the popup menu all notes share. It is loaded
// the first time anything touches the menu and stays loaded, counted among
// the program's windows, until the process ends.
#pragma once

#include "platform/platform.h"

namespace pinaleaf {

class Note;

// The entries of the popup, numbered in their order on the menu.
enum MenuItem : int {
  kCutItem = 1,
  kCopyItem = 2,
  kPasteItem = 3,
  kSelectAllItem = 4,
  kSetReminderItem = 6,
  kCreateNewNoteItem = 8,
  kDeleteThisNoteItem = 9,
  kFontItem = 11,
  kColorItem = 12,
  kEmailItem = 14,
  kSaveNoteToFileItem = 15,
  kInsertDateItem = 17,
  kInsertTimeItem = 18,
  kDefaultTranslucencyItem = 20,
  kIncreaseTranslucencyItem = 21,
  kDecreaseTranslucencyItem = 22,
  kAlwaysOnTopItem = 23,
  kEmailAuthorItem = 25,
  kGotoWebSiteItem = 26,
  kQuitItem = 27,
};

class MenuForm : public platform::EventSink {
 public:
  static MenuForm& Get();

  platform::Handle window() const { return window_; }
  platform::MenuId popup() const { return popup_; }

  bool AlwaysOnTop() const;
  void SetAlwaysOnTop(bool checked);

  // Never closed by the user: it has no frame to close.
  bool OnCloseRequest(platform::Handle) override { return false; }

 private:
  void Load();

  platform::Handle window_ = 0;
  platform::MenuId popup_ = 0;
};

// Shows the shared popup at the pointer, owned by `note`, and runs the
// chosen entry's command before it returns. A popup opened from the text
// area keeps that text area disabled while the menu is open.
void ShowNotePopup(Note& note, bool fromTextArea);

// Runs the command behind a popup entry.
void RunMenuCommand(int item);

}  // namespace pinaleaf
