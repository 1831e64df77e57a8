// What both backends keep alike: the forms' sinks and their lifetimes, the
// loaded-window list, the first-resize rule, one timer per form, the unload
// guard and the delivery of events; the look of windows; popup menus; which
// control gets the focus when a form is activated.
#include <algorithm>
#include <unordered_map>

#include "platform/backend.h"

namespace platform {
namespace {

using backend::ControlKind;

struct FormEntry {
  std::shared_ptr<EventSink> sink;
  backend::Look look;
  bool shownOnce = false;
  bool unloading = false;
  int timerMs = 0;
  std::vector<Control> controls;  // creation order, which is tab order
  Control lastFocus;
};

struct ControlEntry {
  Form form;
  ControlKind kind;
  backend::Look look;
  std::function<void()> pressed;  // buttons
};

// Keyed by the window's number.
std::unordered_map<std::int32_t, FormEntry> g_forms;
std::unordered_map<std::int32_t, ControlEntry> g_controls;
std::vector<Form> g_loaded;                           // load order
std::vector<std::vector<backend::MenuItem>> g_menus;  // MenuId n is g_menus[n - 1]
std::optional<int> g_menuChoice;                      // of the popup shown last, once it has closed

FormEntry* Entry(Window form) {
  auto it = g_forms.find(form.number());
  return it == g_forms.end() ? nullptr : &it->second;
}

ControlEntry* ControlOf(Window control) {
  auto it = g_controls.find(control.number());
  return it == g_controls.end() ? nullptr : &it->second;
}

bool TakesFocusNow(Control control) {
  ControlEntry* entry = ControlOf(control);
  return entry && entry->kind != ControlKind::Label && IsEnabled(control) && IsVisible(control);
}

std::vector<backend::MenuItem>* Items(MenuId menu) {
  return menu >= 1 && static_cast<size_t>(menu) <= g_menus.size() ? &g_menus[static_cast<size_t>(menu) - 1] : nullptr;
}

}  // namespace

namespace backend {

void AddControl(Control control, Form form, ControlKind kind, const Look& look) {
  FormEntry* entry = Entry(form);
  if (!entry || !control)
    return;
  entry->controls.push_back(control);
  g_controls[control.number()] = {form, kind, look};
}

void SetPressed(Button button, std::function<void()> pressed) {
  if (ControlEntry* entry = ControlOf(button))
    entry->pressed = std::move(pressed);
}

// The form's sink, and the handler itself, live until it returns.
void Pressed(Button button) {
  ControlEntry* entry = ControlOf(button);
  if (!entry || !entry->pressed)
    return;
  std::shared_ptr<EventSink> sink = SinkFor(button);
  std::function<void()> pressed = entry->pressed;
  pressed();
}

Form FormOf(Window window) {
  if (Entry(window))
    return Form(window.number());
  ControlEntry* entry = ControlOf(window);
  return entry ? entry->form : Form();
}

bool IsForm(Window window) {
  return Entry(window) != nullptr;
}

Look OnForm(Form form, const Font& font) {
  return {GetBackColor(form), kWindowTextColor, font};
}

std::optional<ControlKind> KindOf(Window window) {
  ControlEntry* entry = ControlOf(window);
  return entry ? std::optional(entry->kind) : std::nullopt;
}

Look* LookOf(Window window) {
  if (FormEntry* form = Entry(window))
    return &form->look;
  ControlEntry* control = ControlOf(window);
  return control ? &control->look : nullptr;
}

const std::vector<MenuItem>* MenuItems(MenuId menu) {
  return Items(menu);
}

std::vector<Control> ControlsOf(Form form) {
  FormEntry* entry = Entry(form);
  return entry ? entry->controls : std::vector<Control>{};
}

std::shared_ptr<EventSink> SinkFor(Window source) {
  FormEntry* entry = Entry(FormOf(source));
  return entry ? entry->sink : nullptr;
}

void Resized(Form form) {
  FormEntry* entry = Entry(form);
  if (entry && entry->shownOnce)
    Deliver(form, [&](EventSink& s) { s.OnResize(form); });
}

void Tick(Form form) {
  FormEntry* entry = Entry(form);
  if (entry && entry->timerMs > 0)
    Deliver(form, [&](EventSink& s) { s.OnTimer(form); });
}

void MenuClosed(int chosen) {
  g_menuChoice = chosen;
}

void CloseRequested(Form form) {
  bool unload = true;
  Deliver(form, [&](EventSink& s) { unload = s.OnCloseRequest(form); });
  if (unload)
    UnloadForm(form);
}

void FocusMovedTo(Window window) {
  if (ControlEntry* control = ControlOf(window))
    Entry(control->form)->lastFocus = Control(window.number());
}

Control FocusTarget(Form form) {
  FormEntry* entry = Entry(form);
  if (!entry)
    return {};
  if (TakesFocusNow(entry->lastFocus))
    return entry->lastFocus;  // only ever one of its own
  auto first = std::find_if(entry->controls.begin(), entry->controls.end(), TakesFocusNow);
  return first == entry->controls.end() ? Control() : *first;
}

void ForgetAll() {
  // Sinks may run code as they go: they see the tables empty already.
  auto forms = std::move(g_forms);
  g_forms.clear();
  g_controls.clear();
  g_loaded.clear();
  g_menus.clear();
}

}  // namespace backend

Form CreateForm(const FormSpec& design, std::shared_ptr<EventSink> sink) {
  Form form = backend::NewFormWindow(design);
  if (!form)
    return {};
  FormEntry& entry = g_forms[form.number()];
  entry.sink = std::move(sink);
  entry.look.backColor = design.backColor;
  g_loaded.push_back(form);
  return form;
}

void ShowForm(Form form) {
  if (!Entry(form) || IsVisible(form))
    return;
  backend::ShowFormWindow(form);
  FormEntry* entry = Entry(form);  // showing may have run handlers
  if (entry && !entry->shownOnce && IsVisible(form)) {
    entry->shownOnce = true;
    backend::Deliver(form, [&](EventSink& s) { s.OnResize(form); });
  }
}

void UnloadForm(Form form) {
  FormEntry* entry = Entry(form);
  if (!entry || entry->unloading)
    return;
  entry->unloading = true;
  backend::Deliver(form, [&](EventSink& s) { s.OnUnload(form); });
  entry = Entry(form);
  if (!entry)
    return;
  std::shared_ptr<EventSink> sink = std::move(entry->sink);  // goes last
  for (Control control : entry->controls)
    g_controls.erase(control.number());
  g_forms.erase(form.number());
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

void SetTimer(Form form, int intervalMs) {
  FormEntry* entry = Entry(form);
  if (!entry)
    return;
  entry->timerMs = std::max(intervalMs, 0);
  backend::SetFormTimer(form, entry->timerMs);
}

int GetTimer(Form form) {
  FormEntry* entry = Entry(form);
  return entry ? entry->timerMs : 0;
}

TextBox FocusedTextBox() {
  Window focus = GetFocus();
  if (!ControlOf(focus)) {
    FormEntry* active = Entry(backend::ActiveForm());
    focus = active ? active->lastFocus : Window();
  }
  ControlEntry* entry = ControlOf(focus);
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
  FormEntry* entry = Entry(form);
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
// has closed.
int TrackPopupMenu(MenuId menu, Form owner) {
  auto* items = Items(menu);
  if (!items || !IsLoaded(owner))
    return 0;
  g_menuChoice.reset();
  backend::ShowMenu(menu, *items, owner);
  while (!g_menuChoice)
    WaitForMessagesUntil(MonotonicSeconds() + 0.05);
  return *g_menuChoice;
}

}  // namespace platform
