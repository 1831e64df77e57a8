// The one reminder of the program: a dialog to pick its moment and arm it,
// and the alarm that its timer runs.
#pragma once

#include <memory>
#include <optional>

#include "platform/platform.h"

namespace pinaleaf {

class ReminderDialog : public platform::EventSink, public std::enable_shared_from_this<ReminderDialog> {
 public:
  // The dialog while it is loaded; null otherwise.
  static std::shared_ptr<ReminderDialog> Current();

  platform::Handle window() const { return window_; }
  platform::Handle label1() const { return label1_; }
  platform::Handle picker() const { return picker_; }
  platform::Handle label4() const { return label4_; }
  platform::Handle label2() const { return label2_; }
  platform::Handle calendar() const { return calendar_; }
  platform::Handle label3() const { return label3_; }
  platform::Handle command1() const { return command1_; }
  platform::Handle command2() const { return command2_; }
  bool armed() const;

  void OnCommand(platform::Handle button) override;
  void OnChange(platform::Handle control) override;
  void OnTimer(platform::Handle form) override;
  void OnClockChanged(platform::Handle form) override;
  bool OnCloseRequest(platform::Handle form) override;

 private:
  friend void ShowReminderDialog();
  void Load();
  void Place();
  void Arm();
  void Disarm();

  platform::Handle window_ = 0;
  platform::Handle label1_ = 0, picker_ = 0, label4_ = 0, label2_ = 0, calendar_ = 0, label3_ = 0;
  platform::Handle command1_ = 0, command2_ = 0;
  platform::DateTime armedAt_;    // when the current moment was armed
  std::optional<platform::DateTime> firedFor_;  // the moment that has rung already
  std::optional<platform::DateTime> lastTick_;  // the second last looked at
};

// Shows the reminder dialog, loading it first when it is not loaded.
void ShowReminderDialog();

// Plays a wave file without waiting for it (module Playwav).
void Playwav(const platform::Text& path);

// Waits `seconds` while the user interface keeps running; measured on a
// clock that midnight does not reset, sleeping until a message or the end.
void WaitSeconds(double seconds);

}  // namespace pinaleaf
