// Fuzzes everything that reads stored text: the value conversions, the
// recipient list, the mailto builder, the settings file, and the whole
// program started on the simulated platform with one stored setting set to
// the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/app.h"
#include "notes/program.h"
#include "notes/settings.h"
#include "notes/values.h"
#include "platform/sim/sim.h"
#include "platform/store_file.h"
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

// The input as the settings file: what it holds goes through the readers,
// and a value written into it must read back exactly.
void SettingsFileOf(const std::string& bytes, const char16_t* key, const pinaleaf::Text& text) {
  for (const char16_t* name : pinaleaf::kSettingNames) {
    if (auto value = platform::store::Find(bytes, u"Pinaleaf", u"1.0", name))
      ReadersAlone(*value);
  }
  std::string written = platform::store::Put(bytes, u"Pinaleaf", u"1.0", key, text);
  if (platform::store::Find(written, u"pinaleaf", u"1.0", key) != text)
    std::abort();
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
  const char16_t* key = pinaleaf::kSettingNames[data[0] % std::size(pinaleaf::kSettingNames)];
  ReadersAlone(text);
  SettingsFileOf(bytes, key, text);
  ProgramWith(key, text);
  return 0;
}
