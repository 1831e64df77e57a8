// The contract tests' probe on the simulated platform.
#include "platform/sim/sim.h"
#include "probe.h"

namespace probe {

void Reset() {
  sim::Reset();
}
void Wait(int ms) {
  sim::Advance(ms);
}

void Click(Window target) {
  Rect rect = GetRect(target);
  sim::Click(target, rect.width / 2, rect.height / 2);
}

void Press(Key key, int modifiers) {
  sim::KeyDown(key, modifiers);
}
void Close(Form form) {
  sim::Close(form);
}

// Nothing is drawn here.
bool SetScheme(Color, Color) {
  return false;
}
Color PixelAt(Window, int, int) {
  return 0;
}
bool Shows(Window, Color) {
  return false;
}

Rect OnScreen(Window window) {
  const sim::Record* w = sim::Find(window);
  Rect r = {w->leftPx, w->topPx, w->widthPx, w->heightPx};
  if (const sim::Record* form = sim::Find(w->parent)) {
    r.left += form->leftPx;
    r.top += form->topPx;
  }
  return r;
}

std::string FileBytes(const Text& path) {
  return sim::Sys().files[path];
}

bool HoldClipboard(bool held) {
  sim::Sys().clipboardHeld = held;
  return true;
}
bool AnsiIsUtf8() {
  return false;
}
Form ActiveForm() {
  return sim::ActiveForm();
}
std::vector<Form> ZOrder() {
  return sim::ZOrder();
}
bool IsTopmost(Form form) {
  return sim::Find(form)->topmost;
}

Text LastShellTarget() {
  return sim::Sys().shellCalls.empty() ? Text() : sim::Sys().shellCalls.back().target;
}

}  // namespace probe
