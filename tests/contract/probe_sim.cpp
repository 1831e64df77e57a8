// The contract tests' probe on the simulated platform.
#include <algorithm>

#include "platform/sim/sim.h"
#include "probe.h"

namespace probe {

void Reset() { sim::Reset(); }
void Wait(int ms) { sim::Advance(ms); }

void Click(Window target) {
  Rect rect = GetRect(target);
  sim::Click(target, rect.width / 2, rect.height / 2);
}

// The system's move or size loop: the edges held follow the pointer.
void Drag(Form form, int dx, int dy) {
  sim::Sys().drag = [dx, dy](Form dragged, DragEdge edge) {
    Rect r = GetRect(dragged);
    int x = dx * 15, y = dy * 15;  // at 96 dpi
    auto held = [edge](std::initializer_list<DragEdge> edges) { return std::count(edges.begin(), edges.end(), edge); };
    r.left += held({DragEdge::Move, DragEdge::Left, DragEdge::TopLeft, DragEdge::BottomLeft}) * x;
    r.top += held({DragEdge::Move, DragEdge::Top, DragEdge::TopLeft, DragEdge::TopRight}) * y;
    r.width += (held({DragEdge::Right, DragEdge::TopRight, DragEdge::BottomRight}) -
                held({DragEdge::Left, DragEdge::TopLeft, DragEdge::BottomLeft})) * x;
    r.height += (held({DragEdge::Bottom, DragEdge::BottomLeft, DragEdge::BottomRight}) -
                 held({DragEdge::Top, DragEdge::TopLeft, DragEdge::TopRight})) * y;
    SetRect(dragged, r);
  };
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
