// The contract tests' probe on the simulated platform.
#include <cstdlib>

#include "platform/sim/sim.h"
#include "probe.h"

namespace probe {

// The primary monitor's scale may be set for the run, as a Wine prefix's is.
void Reset() {
  sim::Reset();
  if (const char* dpi = std::getenv("PINALEAF_PRIMARY_DPI"))
    sim::SetDpi(std::atoi(dpi));
}
void Wait(int ms) {
  sim::Advance(ms);
}

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

std::vector<Window> Children(Form form) {
  std::vector<Control> controls = sim::ControlsOf(form);
  return {controls.begin(), controls.end()};
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

std::optional<int> LayeredAlpha(Form form) {
  const sim::Record* w = sim::Find(form);
  return w->layered ? std::optional(w->alpha) : std::nullopt;
}

}  // namespace probe
