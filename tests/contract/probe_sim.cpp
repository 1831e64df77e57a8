// The contract tests' probe on the simulated platform.
#include "platform/sim/sim.h"
#include "probe.h"

namespace probe {

void Reset() { sim::Reset(); }
void Wait(int ms) { sim::Advance(ms); }

void Click(Window target) {
  Rect rect = GetRect(target);
  sim::Click(target, rect.width / 2, rect.height / 2);
}

void Drag(Form form, int dx, int dy) {
  sim::Sys().dragX = dx;
  sim::Sys().dragY = dy;
  Rect rect = GetRect(form);
  sim::MouseDown(form, kLeftButton, 0, rect.width / 2, rect.height / 2);
}

void Press(Key key, int modifiers) { sim::KeyDown(key, modifiers); }
void Close(Form form) { sim::Close(form); }
void Type(const Text& text) { sim::Type(text); }

void HoldClipboard(bool held) { sim::Sys().clipboardHeld = held; }
Form ActiveForm() { return sim::ActiveForm(); }
std::vector<Form> ZOrder() { return sim::ZOrder(); }
bool IsTopmost(Form form) { return sim::Find(form)->topmost; }

Text LastShellTarget() { return sim::Sys().shellCalls.empty() ? Text() : sim::Sys().shellCalls.back().target; }

std::optional<int> LayeredAlpha(Form form) {
  const sim::Record* w = sim::Find(form);
  return w->layered ? std::optional(w->alpha) : std::nullopt;
}

}  // namespace probe
