// The hidden window that hosts the popup menu all notes share. It is loaded
// the first time anything touches the menu and stays loaded, counted among
// the program's windows, until the process ends.
#pragma once

#include "platform/platform.h"

namespace pinaleaf {

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

// Menu item ids.
enum MenuItem : int {
  kAlwaysOnTopItem = 23,
};

}  // namespace pinaleaf
