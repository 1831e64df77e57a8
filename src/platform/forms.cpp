// What both backends keep alike: the forms' sinks and their lifetimes, the
// loaded-window list, the first-resize rule, one timer per form, the unload
// guard and the delivery of events; the look of windows; popup menus; which
// control gets the focus when a form is activated.
#include <algorithm>
#include <unordered_map>

#include "platform/backend.h"

namespace platform {
namespace {

struct FormEntry {
  std::shared_ptr<EventSink> sink;
  backend::Look look;
  bool shownOnce = false;
  bool unloading = false;
  int timerMs = 0;
  std::vector<Handle> controls;  // creation order, which is tab order
  Handle lastFocus = 0;
};

struct ControlEntry {
  Handle form = 0;
  bool textBox = false;
  bool focusable = false;
  backend::Look look;
};

std::unordered_map<Handle, FormEntry> g_forms;
std::unordered_map<Handle, ControlEntry> g_controls;
std::vector<Handle> g_loaded;  // load order
std::vector<std::vector<backend::MenuItem>> g_menus;  // MenuId n is g_menus[n - 1]

FormEntry* Entry(Handle form) {
  auto it = g_forms.find(form);
  return it == g_forms.end() ? nullptr : &it->second;
}

ControlEntry* Control(Handle control) {
  auto it = g_controls.find(control);
  return it == g_controls.end() ? nullptr : &it->second;
}

bool TakesFocusNow(Handle control) {
  ControlEntry* entry = Control(control);
  return entry && entry->focusable && IsEnabled(control) && IsVisible(control);
}

std::vector<backend::MenuItem>* Items(MenuId menu) {
  return menu >= 1 && static_cast<size_t>(menu) <= g_menus.size() ? &g_menus[static_cast<size_t>(menu) - 1] : nullptr;
}

}  // namespace

namespace backend {

void AddControl(Handle control, Handle form, bool textBox, bool focusable, const Look& look) {
  FormEntry* entry = Entry(form);
  if (!entry || control == 0) return;
  entry->controls.push_back(control);
  g_controls[control] = {form, textBox, focusable, look};
}

Handle FormOf(Handle window) {
  if (Entry(window)) return window;
  ControlEntry* entry = Control(window);
  return entry ? entry->form : 0;
}

Look* LookOf(Handle window) {
  if (FormEntry* form = Entry(window)) return &form->look;
  ControlEntry* control = Control(window);
  return control ? &control->look : nullptr;
}

const std::vector<MenuItem>* MenuItems(MenuId menu) { return Items(menu); }

std::vector<Handle> ControlsOf(Handle form) {
  FormEntry* entry = Entry(form);
  return entry ? entry->controls : std::vector<Handle>{};
}

std::shared_ptr<EventSink> SinkFor(Handle source) {
  FormEntry* entry = Entry(FormOf(source));
  return entry ? entry->sink : nullptr;
}

void Resized(Handle form) {
  FormEntry* entry = Entry(form);
  if (entry && entry->shownOnce) Deliver(form, [&](EventSink& s) { s.OnResize(form); });
}

void Tick(Handle form) {
  FormEntry* entry = Entry(form);
  if (entry && entry->timerMs > 0) Deliver(form, [&](EventSink& s) { s.OnTimer(form); });
}

void CloseRequested(Handle form) {
  bool unload = true;
  Deliver(form, [&](EventSink& s) { unload = s.OnCloseRequest(form); });
  if (unload) UnloadForm(form);
}

void FocusMovedTo(Handle window) {
  if (ControlEntry* control = Control(window)) Entry(control->form)->lastFocus = window;
}

Handle FocusTarget(Handle form) {
  FormEntry* entry = Entry(form);
  if (!entry) return 0;
  if (TakesFocusNow(entry->lastFocus)) return entry->lastFocus;  // only ever one of its own
  auto first = std::find_if(entry->controls.begin(), entry->controls.end(), TakesFocusNow);
  return first == entry->controls.end() ? 0 : *first;
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

Handle CreateForm(const FormSpec& design, std::shared_ptr<EventSink> sink) {
  Handle form = backend::NewFormWindow(design);
  if (form == 0) return 0;
  FormEntry& entry = g_forms[form];
  entry.sink = std::move(sink);
  entry.look.backColor = design.backColor;
  g_loaded.push_back(form);
  return form;
}

void ShowForm(Handle form) {
  if (!Entry(form) || IsVisible(form)) return;
  backend::ShowFormWindow(form);
  FormEntry* entry = Entry(form);  // showing may have run handlers
  if (entry && !entry->shownOnce && IsVisible(form)) {
    entry->shownOnce = true;
    backend::Deliver(form, [&](EventSink& s) { s.OnResize(form); });
  }
}

void UnloadForm(Handle form) {
  FormEntry* entry = Entry(form);
  if (!entry || entry->unloading) return;
  entry->unloading = true;
  backend::Deliver(form, [&](EventSink& s) { s.OnUnload(form); });
  entry = Entry(form);
  if (!entry) return;
  std::shared_ptr<EventSink> sink = std::move(entry->sink);  // goes last
  for (Handle control : entry->controls) g_controls.erase(control);
  g_forms.erase(form);
  g_loaded.erase(std::remove(g_loaded.begin(), g_loaded.end(), form), g_loaded.end());
  backend::DestroyFormWindow(form);
}

bool IsLoaded(Handle form) { return Entry(form) != nullptr; }

std::vector<Handle> LoadedForms() { return g_loaded; }

std::shared_ptr<EventSink> SinkOf(Handle form) { return Entry(form) ? backend::SinkFor(form) : nullptr; }

bool IsTextBox(Handle control) {
  ControlEntry* entry = Control(control);
  return entry && entry->textBox;
}

void SetTimer(Handle form, int intervalMs) {
  FormEntry* entry = Entry(form);
  if (!entry) return;
  entry->timerMs = std::max(intervalMs, 0);
  backend::SetFormTimer(form, entry->timerMs);
}

int GetTimer(Handle form) {
  FormEntry* entry = Entry(form);
  return entry ? entry->timerMs : 0;
}

Handle FocusedControl() {
  Handle focus = GetFocus();
  if (Control(focus)) return focus;
  FormEntry* active = Entry(backend::ActiveForm());
  return active && Control(active->lastFocus) ? active->lastFocus : 0;
}

// --- The look of windows.

void SetBackColor(Handle window, Color color) {
  if (backend::Look* look = backend::LookOf(window)) {
    look->backColor = color;
    backend::ColorsChanged(window);
  }
}

Color GetBackColor(Handle window) {
  backend::Look* look = backend::LookOf(window);
  return look ? look->backColor : 0;
}

void SetForeColor(Handle control, Color color) {
  if (backend::Look* look = backend::LookOf(control)) {
    look->foreColor = color;
    backend::ColorsChanged(control);
  }
}

Color GetForeColor(Handle control) {
  backend::Look* look = backend::LookOf(control);
  return look ? look->foreColor : kWindowTextColor;
}

void SetFont(Handle control, const Font& font) {
  if (backend::Look* look = backend::LookOf(control); look && Control(control)) {
    look->font = font;
    backend::FontChanged(control);
  }
}

Font GetFont(Handle control) {
  backend::Look* look = backend::LookOf(control);
  return look ? look->font : Font{};
}

// Set on every pointer move: the system hears only of a change.
void SetPointer(Handle form, Pointer shape, CursorId custom) {
  FormEntry* entry = Entry(form);
  if (!entry || (entry->look.pointer == shape && entry->look.cursor == custom)) return;
  entry->look.pointer = shape;
  entry->look.cursor = custom;
  backend::PointerChanged(form);
}

// --- Popup menus.

MenuId CreatePopupMenu() {
  g_menus.emplace_back();
  return static_cast<MenuId>(g_menus.size());
}

void AppendMenuItem(MenuId menu, int id, const Text& caption, const Text& shortcutLabel) {
  Text label = shortcutLabel.empty() ? caption : caption + u"\t" + shortcutLabel;
  if (auto* items = Items(menu)) items->push_back({id, label});
}

void AppendMenuSeparator(MenuId menu) {
  if (auto* items = Items(menu)) items->push_back({});
}

void SetMenuChecked(MenuId menu, int id, bool checked) {
  auto* items = Items(menu);
  for (size_t i = 0; items && i < items->size(); ++i) {
    if ((*items)[i].id == id && id != 0) (*items)[i].checked = checked;
  }
}

int TrackPopupMenu(MenuId menu, Handle owner) {
  auto* items = Items(menu);
  return items && IsLoaded(owner) ? backend::TrackMenu(menu, *items, owner) : 0;
}

}  // namespace platform
