// The contract tests' probe on the simulated platform.
#include "platform/sim/sim.h"
#include "probe.h"

namespace probe {

void Reset() { sim::Reset(); }
void Wait(int ms) { sim::Advance(ms); }

void Click(Handle target) {
  platform::Rect rect = platform::GetRect(target);
  sim::Click(target, rect.width / 2, rect.height / 2);
}

void Key(int keyCode, int modifiers) { sim::Key(keyCode, modifiers); }
void Close(Handle form) { sim::Close(form); }
void HoldClipboard(bool held) { sim::Sys().clipboardHeld = held; }
Handle ActiveForm() { return sim::ActiveForm(); }
std::vector<Handle> ZOrder() { return sim::ZOrder(); }
bool IsTopmost(Handle form) { return sim::Find(form)->topmost; }

}  // namespace probe
