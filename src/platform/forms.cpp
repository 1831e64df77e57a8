// What every backend keeps alike: the forms' sinks and their lifetimes, the
// loaded-window list, the first-resize rule, one timer per form, the unload
// guard and the delivery of events; the look of windows; popup menus; which
// control gets the focus when a form is activated.
#include <algorithm>
#include <functional>
#include <limits>
#include <optional>
#include <unordered_map>

#include "platform/backend.h"

namespace platform {
namespace {

using backend::ControlKind;

// One record per window of ours, a form or a control.
struct WindowRecord {
  Form form;                        // the form itself, or the control's form
  std::optional<ControlKind> kind;  // controls
  backend::Look look;
  std::shared_ptr<backend::WindowData> data;  // the backend's
  // Forms.
  std::shared_ptr<EventSink> sink;
  bool shownOnce = false;
  bool unloading = false;
  int timerMs = 0;
  std::vector<Control> controls;  // creation order, which is tab order
  Control lastFocus;
  // Buttons.
  std::function<void()> pressed;
};

// Keyed by the window's number.
std::unordered_map<std::int32_t, WindowRecord> g_windows;
std::vector<Form> g_loaded;                           // load order
std::vector<std::vector<backend::MenuItem>> g_menus;  // MenuId n is g_menus[n - 1]
// Popups by the number of their showing: a popup may be shown from inside
// the wait for another that has closed already (a right press handled in
// the same moment), and each caller takes its own choice.
int g_menuShown = 0;                         // the popup shown last
std::unordered_map<int, int> g_menuChoices;  // popups closed, until their caller takes the choice

WindowRecord* RecordOf(Window window) {
  auto it = g_windows.find(window.number());
  return it == g_windows.end() ? nullptr : &it->second;
}

// A form's record, or a control's.
WindowRecord* Entry(Window form) {
  WindowRecord* record = RecordOf(form);
  return record && !record->kind ? record : nullptr;
}

WindowRecord* ControlOf(Window control) {
  WindowRecord* record = RecordOf(control);
  return record && record->kind ? record : nullptr;
}

bool TakesFocusNow(Control control) {
  WindowRecord* entry = ControlOf(control);
  return entry && entry->kind != ControlKind::Label && IsEnabled(control) && IsVisible(control);
}

std::vector<backend::MenuItem>* Items(MenuId menu) {
  return menu >= 1 && static_cast<size_t>(menu) <= g_menus.size() ? &g_menus[static_cast<size_t>(menu) - 1] : nullptr;
}

}  // namespace

namespace backend {

void AddForm(Form form, std::shared_ptr<WindowData> data) {
  WindowRecord& record = g_windows[form.number()];
  record.form = form;
  record.data = std::move(data);
}

void AddControl(Control control, Form form, ControlKind kind, const Look& look, std::shared_ptr<WindowData> data) {
  WindowRecord* entry = Entry(form);
  if (!entry || !control)
    return;
  entry->controls.push_back(control);
  WindowRecord& record = g_windows[control.number()];
  record.form = form;
  record.kind = kind;
  record.look = look;
  record.data = std::move(data);
}

WindowData* DataOf(Window window) {
  WindowRecord* record = RecordOf(window);
  return record ? record->data.get() : nullptr;
}

void SetPressed(Button button, std::function<void()> pressed) {
  if (WindowRecord* entry = ControlOf(button))
    entry->pressed = std::move(pressed);
}

// The form's sink, and the handler itself, live until it returns.
void Pressed(Button button) {
  WindowRecord* entry = ControlOf(button);
  if (!entry || !entry->pressed)
    return;
  std::shared_ptr<EventSink> sink = SinkFor(button);
  std::function<void()> pressed = entry->pressed;
  pressed();
}

Form FormOf(Window window) {
  if (Entry(window))
    return Form(window.number());
  WindowRecord* entry = ControlOf(window);
  return entry ? entry->form : Form();
}

bool IsForm(Window window) {
  return Entry(window) != nullptr;
}

Look OnForm(Form form, const Font& font) {
  return {GetBackColor(form), kWindowTextColor, font};
}

std::optional<ControlKind> KindOf(Window window) {
  WindowRecord* entry = ControlOf(window);
  return entry ? std::optional(entry->kind) : std::nullopt;
}

Look* LookOf(Window window) {
  if (WindowRecord* form = Entry(window))
    return &form->look;
  WindowRecord* control = ControlOf(window);
  return control ? &control->look : nullptr;
}

const std::vector<MenuItem>* MenuItems(MenuId menu) {
  return Items(menu);
}

std::vector<Control> ControlsOf(Form form) {
  WindowRecord* entry = Entry(form);
  return entry ? entry->controls : std::vector<Control>{};
}

std::shared_ptr<EventSink> SinkFor(Window source) {
  WindowRecord* entry = Entry(FormOf(source));
  return entry ? entry->sink : nullptr;
}

void Resized(Form form) {
  WindowRecord* entry = Entry(form);
  if (entry && entry->shownOnce)
    Deliver(form, [&](EventSink& s) { s.OnResize(form); });
}

void Tick(Form form) {
  WindowRecord* entry = Entry(form);
  if (entry && entry->timerMs > 0)
    Deliver(form, [&](EventSink& s) { s.OnTimer(form); });
}

void MenuClosed(int chosen) {
  g_menuChoices.emplace(g_menuShown, chosen);
}

void CloseRequested(Form form) {
  bool unload = true;
  Deliver(form, [&](EventSink& s) { unload = s.OnCloseRequest(form); });
  if (unload)
    UnloadForm(form);
}

void FocusMovedTo(Window window) {
  if (WindowRecord* control = ControlOf(window))
    Entry(control->form)->lastFocus = Control(window.number());
}

Control FocusTarget(Form form) {
  WindowRecord* entry = Entry(form);
  if (!entry)
    return {};
  if (TakesFocusNow(entry->lastFocus))
    return entry->lastFocus;  // only ever one of its own
  auto first = std::find_if(entry->controls.begin(), entry->controls.end(), TakesFocusNow);
  return first == entry->controls.end() ? Control() : *first;
}

void ForgetAll() {
  // Sinks may run code as they go: they see the tables empty already.
  auto windows = std::move(g_windows);
  g_windows.clear();
  g_loaded.clear();
  g_menus.clear();
  g_menuChoices.clear();
}

}  // namespace backend

Form CreateForm(const FormSpec& design, std::shared_ptr<EventSink> sink) {
  Form form = backend::NewFormWindow(design);
  if (!form)
    return {};
  WindowRecord& entry = g_windows[form.number()];  // AddForm made it
  entry.form = form;
  entry.sink = std::move(sink);
  entry.look.backColor = design.backColor;
  g_loaded.push_back(form);
  return form;
}

void ShowForm(Form form) {
  if (!Entry(form) || IsVisible(form))
    return;
  backend::ShowFormWindow(form);
  WindowRecord* entry = Entry(form);  // showing may have run handlers
  if (entry && !entry->shownOnce && IsVisible(form)) {
    entry->shownOnce = true;
    backend::Deliver(form, [&](EventSink& s) { s.OnResize(form); });
  }
}

void UnloadForm(Form form) {
  WindowRecord* entry = Entry(form);
  if (!entry || entry->unloading)
    return;
  entry->unloading = true;
  backend::Deliver(form, [&](EventSink& s) { s.OnUnload(form); });
  entry = Entry(form);
  if (!entry)
    return;
  std::shared_ptr<EventSink> sink = std::move(entry->sink);  // goes last
  // The backend's parts go once the windows are destroyed.
  std::vector<std::shared_ptr<backend::WindowData>> data = {entry->data};
  for (Control control : entry->controls) {
    if (WindowRecord* record = RecordOf(control))
      data.push_back(record->data);
    g_windows.erase(control.number());
  }
  g_windows.erase(form.number());
  g_loaded.erase(std::remove(g_loaded.begin(), g_loaded.end(), form), g_loaded.end());
  backend::DestroyFormWindow(form);
}

bool IsLoaded(Form form) {
  return Entry(form) != nullptr;
}

std::vector<Form> LoadedForms() {
  return g_loaded;
}

std::shared_ptr<EventSink> SinkOf(Form form) {
  return Entry(form) ? backend::SinkFor(form) : nullptr;
}

// A hidden form is never made the active one.
void SetZOrder(Form form, ZOrder where, bool activate) {
  if (Entry(form))
    backend::Restack(form, where, activate && IsVisible(form));
}

// Nor does a control of a hidden form, or a disabled one, take the keyboard.
void SetFocus(Control control) {
  WindowRecord* record = ControlOf(control);
  if (record && IsVisible(record->form) && IsEnabled(control))
    backend::FocusControl(control);
}

void SetTimer(Form form, int intervalMs) {
  WindowRecord* entry = Entry(form);
  if (!entry)
    return;
  entry->timerMs = std::max(intervalMs, 0);
  backend::SetFormTimer(form, entry->timerMs);
}

int GetTimer(Form form) {
  WindowRecord* entry = Entry(form);
  return entry ? entry->timerMs : 0;
}

TextBox FocusedTextBox() {
  Window focus = GetFocus();
  if (!ControlOf(focus)) {
    WindowRecord* active = Entry(backend::ActiveForm());
    focus = active ? active->lastFocus : Window();
  }
  WindowRecord* entry = ControlOf(focus);
  return entry && entry->kind == ControlKind::TextBox ? TextBox(focus.number()) : TextBox();
}

// --- The look of windows.

void SetLookColor(Window window, Color backend::Look::*which, Color color) {
  if (backend::Look* look = backend::LookOf(window)) {
    look->*which = color;
    backend::ColorsChanged(window);
  }
}

void SetBackColor(Window window, Color color) {
  SetLookColor(window, &backend::Look::backColor, color);
}

Color GetBackColor(Window window) {
  backend::Look* look = backend::LookOf(window);
  return look ? look->backColor : 0;
}

void SetForeColor(Control control, Color color) {
  SetLookColor(control, &backend::Look::foreColor, color);
}

Color GetForeColor(Control control) {
  backend::Look* look = backend::LookOf(control);
  return look ? look->foreColor : kWindowTextColor;
}

void SetFont(Control control, const Font& font) {
  if (backend::Look* look = backend::LookOf(control); look && ControlOf(control)) {
    look->font = font;
    backend::FontChanged(control);
  }
}

Font GetFont(Control control) {
  backend::Look* look = backend::LookOf(control);
  return look ? look->font : Font{};
}

// Set on every pointer move: the system hears only of a change.
void SetPointer(Form form, Pointer shape, CursorId custom) {
  WindowRecord* entry = Entry(form);
  if (!entry || (entry->look.pointer == shape && entry->look.cursor == custom))
    return;
  entry->look.pointer = shape;
  entry->look.cursor = custom;
  backend::PointerChanged(form);
}

Text FormatDateTime(const DateTime& when) {
  return FormatShortDate(when) + u" " + FormatTime(when);
}

// --- Popup menus.

MenuId CreatePopupMenu() {
  g_menus.emplace_back();
  return static_cast<MenuId>(g_menus.size());
}

void AppendMenuItem(MenuId menu, int id, const Text& caption, const Text& shortcutLabel) {
  if (auto* items = Items(menu))
    items->push_back({id, caption, shortcutLabel});
}

void AppendMenuSeparator(MenuId menu) {
  if (auto* items = Items(menu))
    items->push_back({});
}

void SetMenuChecked(MenuId menu, int id, bool checked) {
  auto* items = Items(menu);
  for (size_t i = 0; items && i < items->size(); ++i) {
    if ((*items)[i].id == id && id != 0)
      (*items)[i].checked = checked;
  }
}

// Modal whatever the backend's menus are: events are handled until the menu
// has closed. A menu that reports later does so from an event, which ends
// the wait.
int TrackPopupMenu(MenuId menu, Form owner) {
  auto* items = Items(menu);
  if (!items || !IsLoaded(owner))
    return 0;
  int showing = ++g_menuShown;
  backend::ShowMenu(menu, *items, owner);
  while (!g_menuChoices.contains(showing))
    WaitForMessagesUntil(std::numeric_limits<double>::infinity());
  int chosen = g_menuChoices[showing];
  g_menuChoices.erase(showing);
  return chosen;
}

}  // namespace platform
