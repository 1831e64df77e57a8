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

  platform::Form window() const {
    return window_;
  }
  platform::TimePicker picker() const {
    return picker_;
  }
  platform::Calendar calendar() const {
    return calendar_;
  }
  platform::Label label3() const {
    return label3_;
  }
  platform::Label label4() const {
    return label4_;
  }
  platform::Button command1() const {
    return command1_;
  }
  platform::Button command2() const {
    return command2_;
  }
  bool armed() const {
    return armed_;
  }

  void OnChange(platform::Control control) override;
  void OnTimer(platform::Form) override;
  void OnClockChanged(platform::Form) override;
  bool OnCloseRequest(platform::Form) override;

 private:
  template <class Form>
  friend std::shared_ptr<Form> ShowSingle();
  void Load();
  void Place();
  void Arm();
  void Disarm();

  platform::Form window_;
  platform::Label label1_, label2_, label3_, label4_;
  platform::TimePicker picker_;
  platform::Calendar calendar_;
  platform::Button command1_, command2_;
  bool armed_ = false;
  platform::DateTime armedAt_;                  // when the current moment was armed
  std::optional<platform::DateTime> firedFor_;  // the moment that has rung already
  std::optional<platform::DateTime> lastTick_;  // the second last looked at
  bool dueAfterAlarm_ = false;                  // came due while an alarm rang
};

// Shows the reminder dialog, loading it first when it is not loaded.
void ShowReminderDialog();

// Whether each stored key reads, as text, as the same field of `now` does.
bool StoredMomentIsNow(const platform::DateTime& now);

// Plays a wave file without waiting for it (module Playwav).
void Playwav(const platform::Text& path);

// Waits `seconds` while the user interface keeps running; measured on a
// clock that midnight does not reset, sleeping until a message or the end.
void WaitSeconds(double seconds);

}  // namespace pinaleaf
