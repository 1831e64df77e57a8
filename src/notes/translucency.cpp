#include "notes/translucency.h"

#include <memory>
#include <unordered_map>
#include <vector>

#include "notes/active_note.h"
#include "notes/note.h"
#include "notes/settings.h"
#include "notes/translucent_form.h"
#include "notes/values.h"

namespace pinaleaf {
namespace {

// The counter lives in a 16-bit field; past its top it starts again at 1.
constexpr int kMaxSlotCounter = 32767;

// Controllers live until the process ends, each bound to its window. Only
// the slots used so far take memory.
std::unordered_map<int, std::unique_ptr<CTranslucentForm>>& Slots() {
  static std::unordered_map<int, std::unique_ptr<CTranslucentForm>> slots;
  return slots;
}

// A slot filled again after the counter wrapped keeps its old controller
// alive here: destroying it would detach a window that may still be open.
std::vector<std::unique_ptr<CTranslucentForm>>& Retired() {
  static std::vector<std::unique_ptr<CTranslucentForm>> retired;
  return retired;
}

void WriteTranslucency(int alpha) { WriteSetting(u"Translucency", FormatInteger(alpha)); }

void RestepActiveNote() {
  ForEachActiveNote([](Note& note) { platform::SetTimer(note.window(), 1); });
}

}  // namespace

CTranslucentForm* TranslucencySlot(int slot) {
  auto it = Slots().find(slot);
  return it == Slots().end() ? nullptr : it->second.get();
}

int StoredTranslucency() {
  return static_cast<int>(ParseInteger(ReadSetting(u"Translucency"), 0, 255).value_or(kDefaultTranslucency));
}

int RunTranslucencyStep(Note& note) {
  int slot = static_cast<int>(ParseInteger(ReadSetting(u"TransCount"), 1, kMaxSlotCounter).value_or(1));
  note.SetTranslucencyCounter(static_cast<std::int16_t>(slot));
  auto& filled = Slots()[slot];
  if (filled) Retired().push_back(std::move(filled));
  filled = std::make_unique<CTranslucentForm>();
  filled->SetHwnd(note.window());
  filled->SetMode(CTranslucentForm::kUniformAlpha);
  filled->SetAlpha(static_cast<std::uint8_t>(StoredTranslucency()));
  int next = slot == kMaxSlotCounter ? 1 : slot + 1;
  note.SetTranslucencyCounter(static_cast<std::int16_t>(next));
  WriteSetting(u"TransCount", FormatInteger(next));
  platform::SetTimer(note.window(), 0);
  return slot;
}

void SetDefaultTranslucency() {
  WriteTranslucency(kDefaultTranslucency);
  RestepActiveNote();
}

void IncreaseTranslucency() {
  int alpha = StoredTranslucency();
  if (alpha < 100) alpha = 100;
  WriteTranslucency(alpha - 20);
  RestepActiveNote();
}

void DecreaseTranslucency() {
  int alpha = StoredTranslucency();
  if (alpha > 234) alpha = 234;
  WriteTranslucency(alpha + 20);
  RestepActiveNote();
}

}  // namespace pinaleaf
