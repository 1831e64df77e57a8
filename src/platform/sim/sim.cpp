// The simulated platform: one global state, replaced by Reset(). The shared
// part (platform/forms.cpp) keeps the forms' sinks, looks, menus, timers and
// what kind each control is; this keeps what the system would: windows,
// focus, z-order, the clock.
#include "platform/sim/sim.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/backend.h"

namespace platform::backend {
struct WindowData : sim::Record {};
}  // namespace platform::backend

namespace sim {
namespace {

namespace backend = platform::backend;
using backend::ControlKind;

// Thrown by EndProcess and caught by the outermost input.
struct ProcessEndedSignal {};

constexpr double kMonotonicOrigin = 3600.0;  // a machine that has been up a while
constexpr std::int64_t kDayMs = 86400000;

// Milliseconds since 1970 of a local date and time, and back.
std::int64_t Serial(const DateTime& t) {
  using namespace std::chrono;
  auto at = sys_days{year{t.year} / t.month / t.day} + hours{t.hour} + minutes{t.minute} + seconds{t.second};
  return duration_cast<milliseconds>(at.time_since_epoch()).count() + t.millisecond;
}

DateTime Civil(std::int64_t ms) {
  using namespace std::chrono;
  auto at = sys_time<milliseconds>{milliseconds{ms}};
  auto day = floor<days>(at);
  year_month_day d{day};
  hh_mm_ss t{at - day};
  return {int(d.year()),
          int(unsigned(d.month())),
          int(unsigned(d.day())),
          int(t.hours().count()),
          int(t.minutes().count()),
          int(t.seconds().count()),
          int(t.subseconds().count())};
}

struct Timer {
  std::int64_t dueMs;
  int intervalMs;
};

struct Monitor {
  Rect screen, work;  // in pixels
  int dpi = 96;
};

struct State {
  System sys;
  std::vector<Form> zorder;  // forms, the top first
  Form active;
  Window focus;
  // A laptop and an external screen to its right: the primary with a
  // 40-pixel taskbar along its bottom, as on the Win32 tests' desktop; the
  // second at 150 % with a 48-pixel taskbar along its top.
  std::vector<Monitor> monitors = {{{0, 0, 1280, 1024}, {0, 0, 1280, 984}, 96},
                                   {{1280, 0, 1920, 1080}, {1280, 48, 1920, 1032}, 144}};
  std::map<std::int32_t, Timer> timers;
  std::int64_t clockMs = 0;
  std::int64_t nowOffsetMs = Serial({2026, 3, 5, 14, 55, 30});  // local time less the clock
  bool processEnded = false;
  int inputDepth = 0;
};

State g;
// Numbers and cursors keep counting across Reset: a window from before a
// Reset must never name one made after it.
std::int32_t g_nextNumber = 0x10010;
CursorId g_nextCursor = 0x30011;

// The sim's part of a window is what the system would keep of it.
Record* R(Window window) {
  return backend::DataOf(window);
}
Record* FormRecord(Window window) {
  return backend::IsForm(window) ? R(window) : nullptr;
}
bool Is(Window window, ControlKind kind) {
  return backend::KindOf(window) == kind;
}

// Disabled windows, and controls on disabled forms, get no user input.
bool TakesInput(Window window) {
  Record *w = R(window), *form = R(backend::FormOf(window));
  return !g.processEnded && w && form && w->enabled && form->enabled;
}

// Rounds half away from zero, as lround does on Windows.
int ToPixels(Twips twips, int dpi) {
  return static_cast<int>(std::lround(double(twips) * dpi / kTwipsPerInch));
}
Twips ToTwips(int pixels, int dpi) {
  return static_cast<Twips>(std::lround(double(pixels) * kTwipsPerInch / dpi));
}

// The monitor that holds a point, or else the nearest one.
const Monitor& MonitorAt(int x, int y) {
  auto distance = [&](const Monitor& m) {
    int dx = std::max({m.screen.left - x, 0, x - (m.screen.left + m.screen.width - 1)});
    int dy = std::max({m.screen.top - y, 0, y - (m.screen.top + m.screen.height - 1)});
    return std::int64_t{dx} * dx + std::int64_t{dy} * dy;
  };
  return *std::ranges::min_element(g.monitors, {}, distance);
}

const Monitor& MonitorOf(const Record& form) {
  return MonitorAt(form.leftPx + form.widthPx / 2, form.topPx + form.heightPx / 2);
}

// A form's scale is its monitor's; a control's its form's; with no window,
// the primary monitor's.
int DpiOf(Window window) {
  const Record* w = R(window);
  if (w && w->parent)
    w = R(w->parent);
  return w ? w->dpi : g.monitors.front().dpi;
}

void Place(Record& w, const Rect& r, int dpi) {
  w.leftPx = ToPixels(r.left, dpi);
  w.topPx = ToPixels(r.top, dpi);
  w.widthPx = std::max(0, ToPixels(r.width, dpi));
  w.heightPx = std::max(0, ToPixels(r.height, dpi));
}

Rect InTwips(const Rect& p, int dpi) {
  return {ToTwips(p.left, dpi), ToTwips(p.top, dpi), ToTwips(p.width, dpi), ToTwips(p.height, dpi)};
}

// As Windows does for a program aware of each monitor's scale: a form that
// comes onto a monitor of another DPI is scaled with its controls, keeping
// its place and its size in twips.
void FollowMonitor(Form form) {
  Record& w = *R(form);
  int dpi = MonitorOf(w).dpi;
  if (dpi == w.dpi)
    return;
  auto scale = [&](int& px) { px = static_cast<int>(std::lround(double(px) * dpi / w.dpi)); };
  scale(w.widthPx);
  scale(w.heightPx);
  for (Control control : backend::ControlsOf(form)) {
    Record& c = *R(control);
    for (int* px : {&c.leftPx, &c.topPx, &c.widthPx, &c.heightPx})
      scale(*px);
  }
  w.dpi = dpi;
}

// Numbers only grow: creation order.
std::int32_t NewNumber() {
  std::int32_t number = g_nextNumber;
  g_nextNumber += 2;
  return number;
}

std::shared_ptr<backend::WindowData> DataFor(Record w) {
  auto data = std::make_shared<backend::WindowData>();
  static_cast<Record&>(*data) = std::move(w);
  return data;
}

// --- Focus, activation and z-order, as the Win32 layer and the system do them.

// To the top of the form's band: topmost forms stay above the rest.
void Raise(Form form) {
  std::erase(g.zorder, form);
  auto it = g.zorder.begin();
  while (!R(form)->topmost && it != g.zorder.end() && R(*it)->topmost)
    ++it;
  g.zorder.insert(it, form);
}

void FocusOn(Window window) {
  if (g.focus == window)
    return;
  g.focus = window;
  if (Is(window, ControlKind::ComboBox)) {
    R(window)->selAnchor = 0;
    R(window)->selCaret = int(R(window)->text.size());
  }
  backend::FocusMovedTo(window);
  if (backend::IsForm(window))
    backend::Deliver(window, [&](EventSink& s) { s.OnGotFocus(Form(window.number())); });
}

// A hidden form is never the active one.
void Activate(Form form) {
  Record* w = FormRecord(form);
  if (!w || !w->visible || g.active == form)
    return;
  g.active = form;
  g.focus = {};
  Raise(form);
  Control target = backend::FocusTarget(form);
  FocusOn(target ? Window(target) : Window(form));
}

// The active form went away: the next one below it that can take its place.
void ActivateAnother(Form gone) {
  auto it = std::find(g.zorder.begin(), g.zorder.end(), gone);
  std::vector<Form> order(it == g.zorder.end() ? it : it + 1, g.zorder.end());
  order.insert(order.end(), g.zorder.begin(), it);
  if (it != g.zorder.end() && !R(gone))
    g.zorder.erase(it);  // being destroyed: it has no record left to rank it by
  g.active = {};
  g.focus = {};
  auto next = std::find_if(order.begin(), order.end(), [](Form f) { return R(f)->visible && R(f)->enabled; });
  if (next != order.end())
    Activate(*next);
}

// --- Timers and input.

// Fires due timers in time order, a tie going to the earlier form, until
// none is due by `limitMs`; the clock follows.
void FireTicksDueBy(std::int64_t limitMs) {
  for (;;) {
    auto next = std::min_element(g.timers.begin(), g.timers.end(),
                                 [](const auto& a, const auto& b) { return a.second.dueMs < b.second.dueMs; });
    if (next == g.timers.end() || next->second.dueMs > limitMs)
      return;
    Form form(next->first);
    g.clockMs = std::max(g.clockMs, next->second.dueMs);
    next->second.dueMs = g.clockMs + next->second.intervalMs;  // a SetTimer in the handler wins
    ++R(form)->ticks;
    backend::Tick(form);
  }
}

// The selection of a text box or a combo box's edit field gives way to `text`.
void Replace(Record& w, const Text& text) {
  auto [from, to] = std::minmax(w.selAnchor, w.selCaret);
  w.text.replace(static_cast<size_t>(from), static_cast<size_t>(to - from), text);
  w.selAnchor = w.selCaret = from + static_cast<int>(text.size());
}

// Runs `body` as one user input: a process end inside it stops it and
// returns normally. Nested inputs leave the catching to the outermost one.
template <class Body>
void AsInput(Body&& body) {
  if (g.processEnded)
    return;
  ++g.inputDepth;
  try {
    body();
  } catch (const ProcessEndedSignal&) {
    if (--g.inputDepth > 0)
      throw;
    return;
  }
  --g.inputDepth;
}

// The user works a window that takes input; its sink hears `event`.
template <class F>
void Input(Window target, F event) {
  AsInput([&] {
    if (TakesInput(target))
      backend::Deliver(target, event);
  });
}

void Press(Button button) {
  AsInput([&] {
    if (TakesInput(button))
      backend::Pressed(button);
  });
}

}  // namespace

bool NoCase::operator()(const Text& a, const Text& b) const {
  auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c == u'/' ? u'\\' : c; };
  return std::ranges::lexicographical_compare(a, b, {}, fold, fold);
}

// ===========================================================================
// Test API

void Reset() {
  backend::ForgetAll();
  g = State{};
}

System& Sys() {
  return g.sys;
}

std::optional<Text> Stored(const Text& key) {
  return g.sys.store.count(key) ? std::optional(g.sys.store[key]) : std::nullopt;
}

const Record* Find(Window window) {
  return R(window);
}

std::vector<Control> ControlsOf(Form form) {
  return backend::ControlsOf(form);
}

std::vector<Form> ZOrder() {
  std::vector<Form> shown = g.zorder;
  std::erase_if(shown, [](Form f) { return !R(f)->visible; });
  return shown;
}

Form ActiveForm() {
  return g.active;
}

std::pair<Pointer, CursorId> PointerOf(Form form) {
  return backend::LookOf(form) ? std::pair(backend::LookOf(form)->pointer, backend::LookOf(form)->cursor)
                               : std::pair(Pointer::Default, 0);
}

bool ProcessEnded() {
  return g.processEnded;
}

void MouseDown(Window target, MouseButton button, int modifiers, Twips x, Twips y) {
  AsInput([&] {
    if (!TakesInput(target))
      return;
    Activate(backend::FormOf(target));
    bool handled = false;
    backend::Deliver(target, [&](EventSink& s) { handled = s.OnMouseDown(target, button, modifiers, x, y); });
    // A left press puts the focus (and a text box's caret) there.
    bool focusable = backend::KindOf(target).value_or(ControlKind::Label) != ControlKind::Label;
    if (!handled && button == kLeftButton && focusable)
      platform::SetFocus(Control(target.number()));
  });
}

void MouseMove(Window target, int buttons, int modifiers, Twips x, Twips y) {
  Input(target, [&](EventSink& s) { s.OnMouseMove(target, buttons, modifiers, x, y); });
}

void Click(Window target, Twips x, Twips y) {
  AsInput([&] {
    MouseDown(target, kLeftButton, 0, x, y);
    Input(target, [&](EventSink& s) { s.OnClick(target); });
    if (Is(target, ControlKind::Button))
      Press(Button(target.number()));
  });
}

void KeyDown(Key key, int modifiers) {
  Window focus = g.focus;
  Record* form = R(backend::FormOf(focus));
  bool dialogKey = form && form->formKind == FormKind::Dialog && !backend::IsForm(focus) &&
                   (key == Key::Tab || key == Key::Space || key == Key::Enter || key == Key::Escape);
  if (!dialogKey && backend::KindOf(focus)) {
    Input(focus, [&](EventSink& s) { s.OnKeyDown(Control(focus.number()), key, modifiers); });
    // Then Ctrl+X runs the text box's own cut, which its sink may take over.
    TextBox box(focus.number());
    if (key == Key::X && modifiers == kCtrl && Is(box, ControlKind::TextBox)) {
      Input(box, [&](EventSink& s) {
        if (!s.OnCut(box) && R(box) && !GetSelectedText(box).empty() && ClipboardPut({}, GetSelectedText(box)))
          ReplaceSelection(box, u"");
      });
    }
    return;
  }
  if ((key == Key::Space || key == Key::Enter) && Is(focus, ControlKind::Button))
    return Press(Button(focus.number()));
  if (!dialogKey || key != Key::Tab)
    return;
  std::vector<Control> stops = ControlsOf(backend::FormOf(focus));  // but labels, hidden and disabled controls
  std::erase_if(
      stops, [&](Control c) { return c != focus && (Is(c, ControlKind::Label) || !R(c)->enabled || !R(c)->visible); });
  auto at = std::find(stops.begin(), stops.end(), focus) - stops.begin(), n = std::ssize(stops);
  FocusOn(stops[static_cast<size_t>((at + ((modifiers & kShift) ? n - 1 : 1)) % n)]);
}

void Type(const Text& text) {
  Window focus = g.focus;
  if (!TakesInput(focus) || !(Is(focus, ControlKind::TextBox) || Is(focus, ControlKind::ComboBox)))
    return;
  Replace(*R(focus), text);
  if (Is(focus, ControlKind::ComboBox))
    Changed(Control(focus.number()));
}

void Close(Form form) {
  AsInput([&] { backend::CloseRequested(form); });
}

void Changed(Control control) {
  Input(control, [&](EventSink& s) { s.OnChange(control); });
}

void Run(const std::function<void()>& action) {
  AsInput(action);
}

void Advance(int milliseconds) {
  std::int64_t target = g.clockMs + std::max(milliseconds, 0);
  AsInput([&] {
    FireTicksDueBy(target);
    g.clockMs = std::max(g.clockMs, target);
  });
}

void SetNow(const DateTime& now) {
  g.nowOffsetMs = Serial(now) - g.clockMs;
  AsInput([] {
    for (Form form : LoadedForms())
      backend::Deliver(form, [&](EventSink& s) { s.OnClockChanged(form); });
  });
}

}  // namespace sim

// ===========================================================================
// The backend the shared part calls, and the platform in memory.

namespace platform {
using namespace sim;
namespace backend {

Form NewFormWindow(const FormSpec& design) {
  const Record* over = FormRecord(design.over);
  Record w{.formKind = design.kind, .text = design.caption, .minWidth = design.minWidth, .minHeight = design.minHeight};
  // Over another form: on its monitor, at its scale. Else at the primary's.
  w.dpi = over ? over->dpi : g.monitors.front().dpi;
  Place(w, design.rect, w.dpi);
  if (over) {
    w.leftPx = over->leftPx;
    w.topPx = over->topPx;
  }
  if (design.platformPlaces)
    w.leftPx = w.topPx = 26 * (1 + static_cast<int>(g.zorder.size() % 8));
  Form form(NewNumber());
  backend::AddForm(form, DataFor(std::move(w)));
  FollowMonitor(form);
  Raise(form);
  return form;
}

void ShowFormWindow(Form form) {
  Record* w = R(form);
  if (!w || w->formKind == FormKind::Hidden)
    return;
  w->visible = true;
  Activate(form);
}

// The shared part has forgotten the form and its controls already, and with
// them the sim's records.
void DestroyFormWindow(Form form) {
  if (g.active == form)
    ActivateAnother(form);
  if (!R(g.focus) || g.focus == form)
    g.focus = {};
  g.timers.erase(form.number());
  std::erase(g.zorder, form);
}

void SetFormTimer(Form form, int intervalMs) {
  if (intervalMs > 0)
    g.timers[form.number()] = {g.clockMs + intervalMs, intervalMs};
  if (intervalMs <= 0)
    g.timers.erase(form.number());
}

Form ActiveForm() {
  return g.active;
}
void ColorsChanged(Window) {
}
void FontChanged(Control) {
}
void PointerChanged(Form) {
}

// The user's answer comes at once, as from a modal menu.
void ShowMenu(MenuId menu, const std::vector<MenuItem>&, Form owner) {
  auto handler = g.sys.popup;  // the handler may replace itself
  if (g.processEnded || !handler)
    return MenuClosed(0);
  Activate(owner);
  MenuClosed(handler(menu, owner));
}

}  // namespace backend

Color ResolveColor(Color color) {
  auto scheme = static_cast<SystemColor>(color & ~kSystemColorFlag);
  if (!(color & kSystemColorFlag))
    return color & 0x00FFFFFF;
  return scheme == SystemColor::Window ? 0xFFFFFF : scheme == SystemColor::ButtonFace ? 0xF0F0F0 : 0;
}

void HideForm(Form form) {
  if (Record* w = FormRecord(form))
    w->visible = false;
  if (g.active == form)
    ActivateAnother(form);
}

bool IsVisible(Window window) {
  return R(window) && R(window)->visible;
}

Rect GetRect(Window window) {
  const Record* w = R(window);
  return w ? InTwips({w->leftPx, w->topPx, w->widthPx, w->heightPx}, DpiOf(window)) : Rect();
}

// Like WM_SIZE: a form that has been shown hears of every change of its size.
void SetRect(Window window, const Rect& rect) {
  Record* w = R(window);
  if (!w)
    return;
  int width = w->widthPx, height = w->heightPx;
  Place(*w, rect, DpiOf(window));
  if (!backend::IsForm(window))
    return;
  FollowMonitor(Form(window.number()));
  if (w->widthPx != width || w->heightPx != height)
    backend::Resized(Form(window.number()));
}

Rect ScreenRect() {
  return InTwips(g.monitors.front().screen, g.monitors.front().dpi);
}

Rect WorkArea(Form form) {
  const Record* w = FormRecord(form);
  return w ? InTwips(MonitorOf(*w).work, w->dpi) : InTwips(g.monitors.front().work, g.monitors.front().dpi);
}

void SetCaption(Window window, const Text& caption) {
  if (Record* w = R(window))
    w->text = caption;
}
Text GetCaption(Window window) {
  return R(window) ? R(window)->text : Text();
}
Text GetText(Control control) {
  return GetCaption(control);
}

}  // namespace platform

namespace platform::backend {

void Restack(Form form, ZOrder where, bool activate) {
  Record* w = FormRecord(form);
  if (where != ZOrder::NotTopmost || w->topmost) {
    w->topmost = where == ZOrder::Topmost || (where == ZOrder::Top && w->topmost);
    Raise(form);
  }
  if (activate)
    Activate(form);
}

// Where the user could: the form is activated first.
void FocusControl(Control control) {
  if (TakesInput(control))
    Activate(backend::FormOf(control));
  if (TakesInput(control) && g.active == backend::FormOf(control))
    FocusOn(control);
}

}  // namespace platform::backend

namespace platform {

// As the system's move and size loops: the edges held follow the pointer;
// the form stops at its smallest size, the edge not held where it was.
void DragForm(Form form, DragEdge edge) {
  Record* w = FormRecord(form);
  if (!w)
    return;
  using E = DragEdge;
  bool move = edge == E::Move;
  bool left = move || edge == E::Left || edge == E::TopLeft || edge == E::BottomLeft;
  bool right = move || edge == E::Right || edge == E::TopRight || edge == E::BottomRight;
  bool top = move || edge == E::Top || edge == E::TopLeft || edge == E::TopRight;
  bool bottom = move || edge == E::Bottom || edge == E::BottomLeft || edge == E::BottomRight;
  int x0 = w->leftPx + (left ? g.sys.dragX : 0), x1 = w->leftPx + w->widthPx + (right ? g.sys.dragX : 0);
  int y0 = w->topPx + (top ? g.sys.dragY : 0), y1 = w->topPx + w->heightPx + (bottom ? g.sys.dragY : 0);
  int minWidth = ToPixels(w->minWidth, w->dpi), minHeight = ToPixels(w->minHeight, w->dpi);
  if (x1 - x0 < minWidth) {
    if (left)
      x0 = x1 - minWidth;
    if (!left)
      x1 = x0 + minWidth;
  }
  if (y1 - y0 < minHeight) {
    if (top)
      y0 = y1 - minHeight;
    if (!top)
      y1 = y0 + minHeight;
  }
  SetRect(form, InTwips({x0, y0, x1 - x0, y1 - y0}, w->dpi));
}

bool LayeredFormsSupported() {
  return true;
}

bool SetLayered(Form form, bool layered) {
  Record* w = FormRecord(form);
  if (!w)
    return false;
  w->layered = layered;
  return true;
}

// Only a layered form takes attributes; the colour key is not kept.
bool SetLayeredAlpha(Form form, int alpha) {
  Record* w = FormRecord(form);
  if (!w || !w->layered)
    return false;
  w->alpha = alpha;
  return true;
}
bool SetLayeredColorKey(Form form, Color) {
  return FormRecord(form) && R(form)->layered;
}

// --- Controls

namespace {
template <class Kind>
Kind Add(Form form, ControlKind kind, const Rect& rect, const Text& text, const backend::Look& look) {
  if (!FormRecord(form))
    return {};
  Record w{.parent = form, .text = text, .visible = true};
  Place(w, rect, DpiOf(form));
  Kind control(NewNumber());
  backend::AddControl(control, form, kind, look, DataFor(std::move(w)));
  return control;
}

// A modal dialog: the handler answers on a copy, which is kept only on OK.
template <class Value, class Handler>
bool RunDialog(Form owner, Value& state, const Handler& handler) {
  Value answer = state;
  if (g.processEnded || !handler || !Handler(handler)(owner, answer))
    return false;
  state = answer;
  return true;
}

Text Digits(int value, size_t width = 1) {
  std::string s = std::to_string(value);
  return Text(width > s.size() ? width - s.size() : 0, u'0') + Text(s.begin(), s.end());
}

Record* Box(TextBox textBox) {
  return Is(textBox, ControlKind::TextBox) ? R(textBox) : nullptr;
}
}  // namespace

TextBox CreateTextBox(Form form, const TextBoxSpec& design) {
  return Add<TextBox>(form, ControlKind::TextBox, design.rect, design.text,
                      {design.backColor, design.foreColor, design.font});
}
Label CreateLabel(Form form, const Rect& rect, const Text& caption, const Font& font) {
  return Add<Label>(form, ControlKind::Label, rect, caption, backend::OnForm(form, font));
}
Button CreateButton(Form form, const Rect& rect, const Text& caption, const Font& font, std::function<void()> pressed) {
  Button button = Add<Button>(form, ControlKind::Button, rect, caption, backend::OnForm(form, font));
  backend::SetPressed(button, std::move(pressed));
  return button;
}
ComboBox CreateComboBox(Form form, const Rect& rect, const Font& font) {
  return Add<ComboBox>(form, ControlKind::ComboBox, rect, {}, backend::OnForm(form, font));
}
Calendar CreateMonthCalendar(Form form, const Rect& rect) {
  return Add<Calendar>(form, ControlKind::Calendar, rect, {}, backend::OnForm(form, {}));
}
TimePicker CreateTimePicker(Form form, const Rect& rect, const Font& font) {
  return Add<TimePicker>(form, ControlKind::TimePicker, rect, {}, backend::OnForm(form, font));
}

void ComboAdd(ComboBox combo, const Text& item) {
  if (Record* w = R(combo))
    w->items.push_back(item);
}
int ComboCount(ComboBox combo) {
  return R(combo) ? static_cast<int>(R(combo)->items.size()) : 0;
}
Text ComboItem(ComboBox combo, int i) {
  return i < 0 || i >= ComboCount(combo) ? Text() : R(combo)->items[size_t(i)];
}
void ComboSelect(ComboBox combo, int i) {
  if (i >= 0 && i < ComboCount(combo))
    R(combo)->text = ComboItem(combo, i);
}

Date GetCalendarDate(Calendar calendar) {
  return R(calendar) ? R(calendar)->date : Date();
}
void SetCalendarDate(Calendar calendar, const Date& date) {
  if (Record* w = R(calendar))
    w->date = date;
}
TimeOfDay GetPickerTime(TimePicker picker) {
  return R(picker) ? R(picker)->time : TimeOfDay();
}
void SetPickerTime(TimePicker picker, const TimeOfDay& time) {
  if (Record* w = R(picker))
    w->time = time;
}

void SetControlVisible(Control control, bool visible) {
  if (Record* w = R(control))
    w->visible = visible;
}

void SetText(TextBox textBox, const Text& text) {
  if (Record* w = Box(textBox)) {
    w->text = text;
    w->selAnchor = w->selCaret = 0;
  }
}

int GetSelStart(TextBox textBox) {
  return Box(textBox) ? std::min(R(textBox)->selAnchor, R(textBox)->selCaret) : 0;
}

// As EM_SETSEL: -1 as the start takes the selection away, leaving the caret;
// other offsets count as unsigned, so a negative one is past the end, and
// every offset is held inside the text.
void SetSelection(TextBox textBox, int start, int length) {
  Record* w = Box(textBox);
  auto held = [&](int at) { return static_cast<int>(std::min(unsigned(at), unsigned(w->text.size()))); };
  if (w && start != -1) {
    w->selAnchor = held(start);
    w->selCaret = held(start + length);
  }
  if (w && start == -1)
    w->selAnchor = w->selCaret;
}

Text GetSelectedText(TextBox textBox) {
  const Record* w = Box(textBox);
  auto [from, to] = w ? std::minmax({w->selAnchor, w->selCaret}) : std::pair(0, 0);  // by value
  return w ? w->text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)) : Text();
}

// As EM_REPLACESEL: the caret ends after the new text; no change is reported.
void ReplaceSelection(TextBox textBox, const Text& text) {
  if (Record* w = Box(textBox))
    Replace(*w, text);
}

// Disabling the focused control leaves the focus with nobody.
void SetEnabled(Control control, bool enabled) {
  Record* w = R(control);
  if (!w)
    return;
  w->enabled = enabled;
  if (!enabled && g.focus == control)
    g.focus = {};
}

bool IsEnabled(Control control) {
  return R(control) && R(control)->enabled;
}

Window GetFocus() {
  return g.focus;
}

// A text box here has no menu of its own.
void BlockContextMenu(TextBox) {
}
void UnblockContextMenu(TextBox) {
}

// --- Message boxes, dialogs, clipboard

Answer AskYesNo(Form owner, const Text& prompt, const Text& title) {
  g.sys.messageBoxes.push_back({owner, prompt, title, true});
  if (g.sys.answers.empty())
    return Answer::No;
  Answer answer = g.sys.answers.front();
  g.sys.answers.pop_front();
  return answer;
}

void ShowError(Form owner, const Text& message, const Text& title) {
  g.sys.messageBoxes.push_back({owner, message, title});
}

bool ChooseFontDialog(Form owner, FontChoice& state) {
  return RunDialog(owner, state, g.sys.fontDialog);
}
bool ChooseColorDialog(Form owner, Color& color) {
  return RunDialog(owner, color, g.sys.colorDialog);
}
bool SaveFileDialog(Form owner, SaveChoice& state) {
  return RunDialog(owner, state, g.sys.saveDialog);
}

bool ClipboardPut(Form, const Text& text) {
  if (g.sys.clipboardHeld)
    return false;
  g.sys.clipboard = text;
  return true;
}

std::optional<Text> ClipboardGet(Form) {
  return g.sys.clipboardHeld ? std::nullopt : std::optional(g.sys.clipboard.value_or(Text()));
}

// --- Clock and pump

DateTime Now() {
  return Civil(g.clockMs + g.nowOffsetMs);
}
DateTime AddSeconds(const DateTime& when, int seconds) {
  return Civil(Serial(when) + seconds * 1000LL);
}

// The en-US forms: "3/5/2026", "2:55:30 PM".
Text FormatShortDate(const DateTime& when) {
  return Digits(when.month) + u"/" + Digits(when.day) + u"/" + Digits(when.year);
}
Text FormatTime(const DateTime& when) {
  return Digits((when.hour + 11) % 12 + 1) + u":" + Digits(when.minute, 2) + u":" + Digits(when.second, 2) +
         (when.hour >= 12 ? u" PM" : u" AM");
}
double MonotonicSeconds() {
  return kMonotonicOrigin + static_cast<double>(g.clockMs) / 1000.0;
}

// Sleeps to the deadline or the next due timer, whichever comes first.
void WaitForMessagesUntil(double deadline) {
  if (g.processEnded)
    return;
  double wanted = std::ceil((deadline - kMonotonicOrigin) * 1000.0 - 1e-6);
  auto target = static_cast<std::int64_t>(
      std::clamp(std::isnan(wanted) ? 0.0 : wanted, double(g.clockMs), double(g.clockMs + kDayMs)));
  for (const auto& [form, timer] : g.timers)
    target = std::min(target, std::max(timer.dueMs, g.clockMs));
  FireTicksDueBy(target);
  g.clockMs = std::max(g.clockMs, target);
}

void EndProcess() {
  g.processEnded = true;
  throw ProcessEndedSignal{};
}
int Run(void (*start)()) {
  AsInput(start);
  return 0;
}

// --- Files, shell, sound, store

Text ProgramFile(const Text& name) {
  return u"C:\\Program Files\\Pinaleaf\\" + name;
}
bool FileExists(const Text& path) {
  return g.sys.cursors.count(path) || g.sys.files.count(path);
}

CursorId LoadCursorFile(const Text& path) {
  auto it = g.sys.cursors.find(path);
  return it != g.sys.cursors.end() && it->second ? g_nextCursor += 2 : 0;
}

// Windows-1252 without best-fit substitutes: ASCII, U+00A0..U+00FF, the 27
// characters of 0x80..0x9F, and the five C1 controls that 1252 leaves
// undefined, which Windows maps to the bytes of the same number.
std::optional<std::string> EncodeAnsi(const Text& text) {
  static constexpr std::u16string_view kHigh =
      u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
      u"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178";
  std::string out;
  for (char16_t c : text) {
    size_t high = kHigh.find(c);
    if (high == kHigh.npos && !(c < 0x80 || (c >= 0xA0 && c <= 0xFF)))
      return std::nullopt;
    out.push_back(static_cast<char>(high == kHigh.npos ? c : 0x80 + high));
  }
  return out;
}

std::optional<Text> WriteFileReplacing(const Text& path, const std::string& bytes) {
  if (auto it = g.sys.writeFailures.find(path); it != g.sys.writeFailures.end())
    return it->second;
  g.sys.files[path] = bytes;
  return std::nullopt;
}

ShellResult ShellOpen(Form owner, const Text& target) {
  if (target.size() > LongestShellTarget())
    return {ShellResult::Failed, u"The file name is too long."};
  g.sys.shellCalls.push_back({owner, target});
  return g.sys.shellResult;
}

size_t LongestShellTarget() {
  return 900;  // as under Wine
}

void PlaySoundAsync(const Text& path) {
  g.sys.sounds.push_back(path);
}

// The program keeps everything under one application and section.
Text ReadStoredValue(const Text&, const Text&, const Text& key) {
  return Stored(key).value_or(Text());
}
void WriteStoredValue(const Text&, const Text&, const Text& key, const Text& value) {
  g.sys.store[key] = value;
}

}  // namespace platform
