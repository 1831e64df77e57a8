// Fuzzes everything that reads stored text: the value conversions, the
// recipient list, the mailto builder, and the whole program started on the
// simulated platform with one stored setting set to the input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/app.h"
#include "notes/program.h"
#include "notes/settings.h"
#include "notes/values.h"
#include "platform/sim/sim.h"
#include "reminders/reminder_dialog.h"
#include "sharing/email_form.h"

namespace {

void ReadersAlone(const pinaleaf::Text& text) {
  pinaleaf::ParseNumber(text);
  pinaleaf::ParseInteger(text, INT16_MIN, INT16_MAX);
  pinaleaf::ParseBool(text);
  pinaleaf::ToUtf8(text);
  pinaleaf::SplitRecipients(text);
  size_t cut = text.size() / 3;
  pinaleaf::BuildMailto(text.substr(0, cut), text.substr(cut), text.size() / 2);
}

void ProgramWith(const char16_t* key, const pinaleaf::Text& value) {
  sim::Reset();
  pinaleaf::Program program;
  sim::Sys().store[key] = value;
  sim::Run(pinaleaf::StartProgram);
  sim::Advance(2);
  auto forms = platform::LoadedForms();
  if (forms.empty())
    return;
  auto controls = sim::ControlsOf(forms.front());
  platform::Window text = controls.empty() ? platform::Window() : controls.front();
  sim::MouseMove(text, 0, 0, 100, 100);
  sim::Click(text);
  sim::KeyDown(platform::Key::N, platform::kCtrl);
  using Id = pinaleaf::CommandId;
  for (Id id : {Id::IncreaseTranslucency, Id::AlwaysOnTop, Id::InsertDate}) {
    sim::Run([id] { pinaleaf::RunMenuCommand(id); });
  }
  sim::Advance(2);
  sim::Run(pinaleaf::ShowEmailForm);
  if (auto email = pinaleaf::EmailForm::Current())
    sim::Click(email->sendButton());
  sim::Run(pinaleaf::ShowReminderDialog);
  if (auto reminder = pinaleaf::ReminderDialog::Current()) {
    sim::Click(reminder->command1());
    sim::Advance(1200);
  }
  sim::Click(text);
  sim::KeyDown(platform::Key::D, platform::kCtrl);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > size_t{64} * 1024)
    return 0;
  std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  pinaleaf::Text text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text.push_back(
        static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  ReadersAlone(text);
  ProgramWith(pinaleaf::kSettingNames[data[0] % std::size(pinaleaf::kSettingNames)], text);
  return 0;
}
