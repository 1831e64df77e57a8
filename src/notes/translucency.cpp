#include "notes/translucency.h"

#include "notes/active_note.h"
#include "notes/note.h"
#include "notes/program.h"
#include "notes/settings.h"
#include "notes/translucent_form.h"
#include "notes/values.h"
#include "platform/platform.h"

namespace pinaleaf {
namespace {

// The slot counter lives in a 16-bit field; past its top it starts again at 1.
constexpr int kMaxSlotCounter = 32767;

int StoredTranslucency() {
  return ReadSetting(keys::Translucency);
}

void WriteTranslucency(int alpha) {
  WriteSetting(keys::Translucency, alpha);
}

void RestepActiveNote() {
  ForEachActiveNote([](Note& note) { platform::SetTimer(note.window(), 1); });
}

}  // namespace

void RunTranslucencyStep(Note& note) {
  Program& program = TheProgram();
  int slot = ReadSetting(keys::TransCount);
  // A slot filled again after the counter wrapped keeps its old controller
  // alive: destroying it would detach a window that may still be open.
  auto& filled = program.translucencySlots[slot];
  if (filled)
    program.retiredTranslucency.push_back(std::move(filled));
  filled = std::make_unique<CTranslucentForm>();
  filled->SetHwnd(note.window());
  filled->SetMode(CTranslucentForm::kUniformAlpha);
  filled->SetAlpha(static_cast<std::uint8_t>(StoredTranslucency()));
  int next = slot == kMaxSlotCounter ? 1 : slot + 1;
  WriteSetting(keys::TransCount, next);
  platform::SetTimer(note.window(), 0);
}

void SetDefaultTranslucency() {
  WriteTranslucency(kDefaultTranslucency);
  RestepActiveNote();
}

void IncreaseTranslucency() {
  int alpha = StoredTranslucency();
  if (alpha < 100)
    alpha = 100;
  WriteTranslucency(alpha - 20);
  RestepActiveNote();
}

void DecreaseTranslucency() {
  int alpha = StoredTranslucency();
  if (alpha > 234)
    alpha = 234;
  WriteTranslucency(alpha + 20);
  RestepActiveNote();
}

}  // namespace pinaleaf
