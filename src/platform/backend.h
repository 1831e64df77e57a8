// Between the shared part of the platform (forms.cpp) and the one backend
// linked with it (win32/, qt/ or sim/). Never included above the platform.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace platform::backend {

// How a window looks, as the program set it: the shared part keeps it, the
// backend draws with it.
struct Look {
  Color backColor = kButtonFaceColor;
  Color foreColor = kWindowTextColor;
  Font font;
  Pointer pointer = Pointer::Default;  // forms
  CursorId cursor = 0;
};

struct MenuItem {
  int id = 0;  // 0: a separator
  Text caption, shortcutLabel;
  bool checked = false;
};

// What a backend keeps of a window beside the shared part's record: the
// system's handle and state. Each backend defines it; the shared part holds
// it in the window's one record, and lets it go once the window is destroyed.
struct WindowData;

// --- Each backend gives the shared part these.

// The form's window, hidden, given to AddForm as soon as it exists; none
// when the system made none.
Form NewFormWindow(const FormSpec& design);
// Shows a hidden form in front and activates it.
void ShowFormWindow(Form form);
// Destroys the window of a form with its controls.
void DestroyFormWindow(Form form);
// Moves a form in the z-order, activating it when asked (it is shown then).
void Restack(Form form, ZOrder where, bool activate);
// Gives the keyboard to a control of a shown form that can take it,
// activating its form first.
void FocusControl(Control control);
// Starts the form's one timer at `intervalMs`, or stops it at 0.
void SetFormTimer(Form form, int intervalMs);
// The form that has the user's keyboard; none while another program has it.
Form ActiveForm();
// The look changed: colours, the font, or a form's pointer.
void ColorsChanged(Window window);
void FontChanged(Control control);
void PointerChanged(Form form);
// Shows the popup at the pointer, owned by `owner`. The backend reports how
// it closed with MenuClosed, before it returns or later from an event, for
// which the shared part waits with no deadline (WaitForMessagesUntil with an
// infinite one): whether the menu blocks is the shared part's business.
void ShowMenu(MenuId menu, const std::vector<MenuItem>& items, Form owner);

// --- The shared part gives the backends these.

enum class ControlKind { TextBox, Label, Button, ComboBox, Calendar, TimePicker };
// A form's window made, with the backend's part of it.
void AddForm(Form form, std::shared_ptr<WindowData> data);
// A control made on `form` with its look: it reports to the form's sink from
// now on. Labels cannot take the focus; everything else can.
void AddControl(Control control, Form form, ControlKind kind, const Look& look, std::shared_ptr<WindowData> data);
// The backend's part of a window of ours; null for anything else.
WindowData* DataOf(Window window);
// What a button does, and the user pressing it.
void SetPressed(Button button, std::function<void()> pressed);
void Pressed(Button button);
// The form a window belongs to: itself for a form, its form for a control;
// none for anything else.
Form FormOf(Window window);
bool IsForm(Window window);
// Labels, buttons and the dialog controls stand on the form's colour.
Look OnForm(Form form, const Font& font);
// The kind of a control of ours; empty for anything else.
std::optional<ControlKind> KindOf(Window window);
Look* LookOf(Window window);
// A form's controls, in creation order.
std::vector<Control> ControlsOf(Form form);
const std::vector<MenuItem>* MenuItems(MenuId menu);
// The sink of the form that `source` belongs to; empty when there is none.
std::shared_ptr<EventSink> SinkFor(Window source);
// Runs `handler` on that sink, keeping it alive meanwhile, so the handler may
// unload its own form.
template <class F>
void Deliver(Window source, F&& handler) {
  if (std::shared_ptr<EventSink> sink = SinkFor(source))
    std::forward<F>(handler)(*sink);
}
// The form's size changed: its sink hears of it once the form has been shown.
void Resized(Form form);
// The form's timer came due.
void Tick(Form form);
// The popup shown last closed: the entry chosen, or 0.
void MenuClosed(int chosen);
// The user asks to close the form; unloads it when its sink agrees.
void CloseRequested(Form form);
// The keyboard focus went to this control (or form).
void FocusMovedTo(Window window);
// Where the focus goes when `form` is activated: the control that had it
// last, or else the first in tab order that can take it; none for the form.
Control FocusTarget(Form form);
// Forgets every form and menu at once (the simulated platform's fresh start).
void ForgetAll();

}  // namespace platform::backend
