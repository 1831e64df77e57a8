// The simulated platform: one global state, replaced by Reset(). The shared
// part (platform/forms.cpp) keeps the forms' sinks, looks, menus and timers;
// this keeps what the system would: windows, focus, z-order, the clock.
#include "platform/sim/sim.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/backend.h"

namespace sim {
namespace {

using platform::DateTime;
using platform::EventSink;
using platform::Rect;
namespace backend = platform::backend;

// Thrown by EndProcess and caught by the outermost input.
struct ProcessEndedSignal {};

constexpr std::uint32_t kToolWindowStyle = 0x80, kDialogStyles = 0x10001;  // as the Win32 layer makes them
constexpr int kTaskbarPx = 40, kTab = 0x09, kSpace = 0x20;
constexpr double kMonotonicOrigin = 3600.0;  // a machine that has been up a while
constexpr std::int64_t kDayMs = 86400000;

// Milliseconds since 1970 of a local date and time, and back.
std::int64_t Serial(const DateTime& t) {
  std::chrono::sys_days day{std::chrono::year{t.year} / t.month / t.day};
  return (day.time_since_epoch().count() * 86400LL + t.hour * 3600LL + t.minute * 60LL + t.second) * 1000 +
         t.millisecond;
}

DateTime Civil(std::int64_t ms) {
  using namespace std::chrono;
  auto day = floor<days>(sys_time<milliseconds>{milliseconds{ms}});
  year_month_day ymd{day};
  std::int64_t rest = ms - day.time_since_epoch().count() * kDayMs;
  return {int(ymd.year()),        int(unsigned(ymd.month())), int(unsigned(ymd.day())),   int(rest / 3600000),
          int(rest / 60000 % 60), int(rest / 1000 % 60),      int(rest % 1000)};
}

struct Monitor { int leftPx, widthPx, heightPx, dpi; };
struct Timer { std::int64_t dueMs; int intervalMs; };

struct State {
  System sys;
  std::map<Handle, Window> windows;  // handles only grow: creation order
  std::vector<Handle> zorder;        // forms, the top first
  Handle active = 0, focus = 0;
  std::vector<Monitor> monitors = {{0, 1280, 1024, 96}};
  std::map<Handle, Timer> timers;
  std::int64_t clockMs = 0;
  std::int64_t nowOffsetMs = Serial({2026, 3, 5, 14, 55, 30});  // local time less the clock
  bool processEnded = false;
  int inputDepth = 0;
};

State g;
// Handles and cursors keep counting across Reset: a handle from before a
// Reset must never name a window made after it.
Handle g_nextHandle = 0x10010;
platform::CursorId g_nextCursor = 0x30011;

Window* W(Handle handle, std::optional<Kind> kind = std::nullopt) {
  auto it = g.windows.find(handle);
  return it == g.windows.end() || (kind && it->second.kind != *kind) ? nullptr : &it->second;
}
Window* Form(Handle handle) { return W(handle, Kind::Form); }

// A field of a window, or `otherwise` when there is no such window.
template <class T, class F>
T Read(Window* w, F field, T otherwise = T()) { return w ? field(*w) : otherwise; }

// Disabled windows, and controls on disabled forms, get no user input.
bool TakesInput(Handle handle) {
  const Window* w = W(handle);
  const Window* form = w ? Form(w->kind == Kind::Form ? handle : w->parent) : nullptr;
  return !g.processEnded && form && w->enabled && form->enabled;
}

// Rounds half away from zero, as lround does on Windows.
int ToPixels(Twips twips, int dpi) { return static_cast<int>(std::lround(double(twips) * dpi / 1440)); }
Twips ToTwips(int pixels, int dpi) { return static_cast<Twips>(std::lround(double(pixels) * 1440 / dpi)); }

void Place(Window& w, const Rect& r) {
  w.leftPx = ToPixels(r.left, w.dpi);
  w.topPx = ToPixels(r.top, w.dpi);
  w.widthPx = std::max(0, ToPixels(r.width, w.dpi));
  w.heightPx = std::max(0, ToPixels(r.height, w.dpi));
}

// The monitor under a form's centre; the primary one for anything else.
const Monitor& MonitorOf(const Window* w) {
  int centre = w ? w->leftPx + w->widthPx / 2 : 0;
  auto m = std::find_if(g.monitors.begin(), g.monitors.end(),
                        [&](auto& m) { return centre >= m.leftPx && centre < m.leftPx + m.widthPx; });
  return m == g.monitors.end() ? g.monitors.front() : *m;
}

Handle NewWindow(Window w) {
  g.windows[g_nextHandle] = std::move(w);
  return (g_nextHandle += 2) - 2;
}

// --- Focus, activation and z-order, as the Win32 layer and the system do them.

// To the top of the form's band: topmost forms stay above the rest.
void Raise(Handle form) {
  std::erase(g.zorder, form);
  auto it = g.zorder.begin();
  while (!Form(form)->topmost && it != g.zorder.end() && Form(*it)->topmost) ++it;
  g.zorder.insert(it, form);
}

void FocusOn(Handle window) {
  if (g.focus == window) return;
  g.focus = window;
  backend::FocusMovedTo(window);
  if (Form(window)) backend::Deliver(window, [&](EventSink& s) { s.OnGotFocus(window); });
}

void Activate(Handle form) {
  if (!Form(form) || g.active == form) return;
  g.active = form;
  g.focus = 0;
  Raise(form);
  Handle target = backend::FocusTarget(form);
  FocusOn(target ? target : form);
}

// The active form went away: the next one below it that can take its place.
void ActivateAnother(Handle gone) {
  auto it = std::find(g.zorder.begin(), g.zorder.end(), gone);
  std::vector<Handle> order(it == g.zorder.end() ? it : it + 1, g.zorder.end());
  order.insert(order.end(), g.zorder.begin(), it);
  g.active = g.focus = 0;
  auto next = std::find_if(order.begin(), order.end(), [](Handle f) { return Form(f)->visible && Form(f)->enabled; });
  if (next != order.end()) Activate(*next);
}

// --- Timers and input.

// Fires due timers in time order, a tie going to the earlier form, until
// none is due by `limitMs`; the clock follows.
void FireTicksDueBy(std::int64_t limitMs) {
  for (;;) {
    auto next = std::min_element(g.timers.begin(), g.timers.end(),
                                 [](const auto& a, const auto& b) { return a.second.dueMs < b.second.dueMs; });
    if (next == g.timers.end() || next->second.dueMs > limitMs) return;
    Handle form = next->first;
    g.clockMs = std::max(g.clockMs, next->second.dueMs);
    next->second.dueMs = g.clockMs + next->second.intervalMs;  // a SetTimer in the handler wins
    ++Form(form)->ticks;
    backend::Tick(form);
  }
}

// Runs `body` as one user input: a process end inside it stops it and
// returns normally. Nested inputs leave the catching to the outermost one.
template <class Body>
void AsInput(Body&& body) {
  if (g.processEnded) return;
  ++g.inputDepth;
  try {
    body();
  } catch (const ProcessEndedSignal&) {
    if (--g.inputDepth > 0) throw;
    return;
  }
  --g.inputDepth;
}

// The user works a window that takes input; its sink hears `event`.
template <class F>
void Input(Handle target, F event) {
  AsInput([&] {
    if (TakesInput(target)) backend::Deliver(target, event);
  });
}

}  // namespace

bool NoCase::operator()(const Text& a, const Text& b) const {
  auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c == u'/' ? u'\\' : c; };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char16_t x, char16_t y) { return fold(x) < fold(y); });
}

// ===========================================================================
// Test API

void Reset() {
  backend::ForgetAll();
  g = State{};
}

System& Sys() { return g.sys; }

std::optional<Text> Stored(const Text& key) {
  auto it = g.sys.store.find(key);
  return it == g.sys.store.end() ? std::nullopt : std::optional(it->second);
}

const Window* Find(Handle handle) { return W(handle); }

std::vector<Handle> ControlsOf(Handle form) { return backend::ControlsOf(form); }

std::vector<Handle> ZOrder() {
  std::vector<Handle> out;
  std::copy_if(g.zorder.begin(), g.zorder.end(), std::back_inserter(out), [](Handle f) { return Form(f)->visible; });
  return out;
}

Handle ActiveForm() { return g.active; }

std::pair<platform::Pointer, platform::CursorId> PointerOf(Handle form) {
  const auto* look = backend::LookOf(form);
  return look ? std::pair(look->pointer, look->cursor) : std::pair(platform::Pointer::Default, 0);
}

bool IsChecked(platform::MenuId menu, size_t entry) { return backend::MenuItems(menu)->at(entry).checked; }

bool ProcessEnded() { return g.processEnded; }

void MouseDown(Handle target, int button, int modifiers, Twips x, Twips y) {
  AsInput([&] {
    if (!TakesInput(target)) return;
    Activate(platform::backend::FormOf(target));
    bool handled = false;
    backend::Deliver(target, [&](EventSink& s) { handled = s.OnMouseDown(target, button, modifiers, x, y); });
    // The text box's own handling: a left press puts the caret, and the focus, there.
    if (!handled && button == platform::kLeftButton && W(target, Kind::TextBox)) platform::SetFocus(target);
  });
}

void MouseMove(Handle target, int buttons, int modifiers, Twips x, Twips y) {
  Input(target, [&](EventSink& s) { s.OnMouseMove(target, buttons, modifiers, x, y); });
}

void Click(Handle target, Twips x, Twips y) {
  AsInput([&] {
    MouseDown(target, platform::kLeftButton, 0, x, y);
    Input(target, [&](EventSink& s) { s.OnClick(target); });
  });
}

void Key(int keyCode, int modifiers) {
  Handle focus = g.focus;
  const Window* w = W(focus);
  if (!w || w->kind == Kind::Form || Form(w->parent)->formKind != platform::FormKind::Dialog) {
    return Input(focus, [&](EventSink& s) { s.OnKeyDown(focus, keyCode, modifiers); });
  }
  if (keyCode == kSpace && w->kind == Kind::Button) return PressButton(focus);
  if (keyCode != kTab) return;
  std::vector<Handle> stops;  // all but labels, hidden and disabled controls
  for (Handle c : ControlsOf(w->parent)) {
    if (c == focus || (W(c)->kind != Kind::Label && W(c)->enabled && W(c)->visible)) stops.push_back(c);
  }
  auto at = std::find(stops.begin(), stops.end(), focus) - stops.begin();
  auto n = static_cast<std::ptrdiff_t>(stops.size());
  FocusOn(stops[static_cast<size_t>((at + ((modifiers & platform::kShift) ? n - 1 : 1)) % n)]);
}

void Type(const Text& text) {
  Handle focus = g.focus;
  Window* w = W(focus);
  if (!w || !TakesInput(focus)) return;
  if (w->kind == Kind::TextBox) platform::ReplaceSelection(focus, text);
  if (w->kind != Kind::ComboBox) return;
  w->text += text;
  Changed(focus);
}

void Close(Handle form) { AsInput([&] { backend::CloseRequested(form); }); }

void PressButton(Handle button) { Input(button, [&](EventSink& s) { s.OnCommand(button); }); }

void Changed(Handle control) { Input(control, [&](EventSink& s) { s.OnChange(control); }); }

void Run(const std::function<void()>& action) { AsInput(action); }

void Advance(int milliseconds) {
  AsInput([&] {
    std::int64_t target = g.clockMs + std::max(milliseconds, 0);
    FireTicksDueBy(target);
    g.clockMs = std::max(g.clockMs, target);
  });
}

void SetNow(const DateTime& now) {
  g.nowOffsetMs = Serial(now) - g.clockMs;
  AsInput([] {
    for (Handle form : platform::LoadedForms()) backend::Deliver(form, [&](EventSink& s) { s.OnClockChanged(form); });
  });
}

void SetDpi(int dpi) { g.monitors.front().dpi = std::clamp(dpi, 1, 100000); }

void AddMonitor(int widthPx, int heightPx, int dpi) {
  const Monitor& last = g.monitors.back();
  g.monitors.push_back({last.leftPx + last.widthPx, widthPx, heightPx, dpi});
}

}  // namespace sim

// ===========================================================================
// The backend the shared part calls, and the platform in memory.

namespace platform {
using namespace sim;
namespace backend {

Handle NewFormWindow(const FormSpec& design) {
  const Window* over = Form(design.over);
  Window w{.formKind = design.kind, .text = design.caption, .dpi = over ? over->dpi : g.monitors.front().dpi,
           .exStyle = design.kind == FormKind::Dialog ? kDialogStyles : kToolWindowStyle};
  Place(w, design.rect);
  if (over) w.leftPx = over->leftPx, w.topPx = over->topPx;
  if (design.platformPlaces) w.leftPx = w.topPx = 26 * (1 + static_cast<int>(g.zorder.size() % 8));
  Handle form = NewWindow(w);
  Raise(form);
  return form;
}

void ShowFormWindow(Handle form) {
  Window* w = Form(form);
  if (!w || w->formKind == FormKind::Hidden) return;
  w->visible = true;
  Activate(form);
}

void DestroyFormWindow(Handle form) {
  if (g.active == form) ActivateAnother(form);
  for (Handle control : ControlsOf(form)) g.windows.erase(control);
  if (!W(g.focus) || g.focus == form) g.focus = 0;
  g.windows.erase(form);
  g.timers.erase(form);
  std::erase(g.zorder, form);
}

void SetFormTimer(Handle form, int intervalMs) {
  if (intervalMs > 0) g.timers[form] = {g.clockMs + intervalMs, intervalMs};
  if (intervalMs <= 0) g.timers.erase(form);
}

Handle ActiveForm() { return g.active; }
void ColorsChanged(Handle) {}
void FontChanged(Handle) {}
void PointerChanged(Handle) {}

int TrackMenu(MenuId menu, const std::vector<MenuItem>&, Handle owner) {
  if (g.processEnded) return 0;
  Activate(owner);
  auto handler = g.sys.popup;  // the handler may replace itself
  return handler ? handler(menu, owner) : 0;
}

}  // namespace backend

void HideForm(Handle form) {
  Window* w = Form(form);
  if (!w || !w->visible) return;
  w->visible = false;
  if (g.active == form) ActivateAnother(form);
}

bool IsVisible(Handle window) { return Read<bool>(W(window), [](auto& w) { return w.visible; }); }

Rect GetRect(Handle window) {
  return Read<Rect>(W(window), [](auto& w) {
    return Rect{ToTwips(w.leftPx, w.dpi), ToTwips(w.topPx, w.dpi), ToTwips(w.widthPx, w.dpi),
                ToTwips(w.heightPx, w.dpi)};
  });
}

// Like WM_SIZE: a form that has been shown hears of every change of its size.
// Moved onto a monitor of another dpi, a form takes it and keeps its size in
// twips, its controls with it (the system's DPI change, the Win32 layer's
// rescale).
void SetRect(Handle window, const Rect& rect) {
  Window* w = W(window);
  if (!w) return;
  int width = w->widthPx, height = w->heightPx;
  Place(*w, rect);
  if (w->kind != Kind::Form) return;
  int from = w->dpi, to = MonitorOf(w).dpi;
  auto scale = [&](int& px) { px = static_cast<int>(std::lround(double(px) * to / from)); };
  for (Handle h : ControlsOf(window)) {
    Window& c = g.windows[h];
    for (int* px : {&c.leftPx, &c.topPx, &c.widthPx, &c.heightPx}) scale(*px);
    c.dpi = to;
  }
  scale(w->widthPx), scale(w->heightPx), w->dpi = to;
  if (w->widthPx != width || w->heightPx != height) backend::Resized(window);
}

Rect ScreenRect() {
  const auto& m = g.monitors.front();
  return {0, 0, ToTwips(m.widthPx, m.dpi), ToTwips(m.heightPx, m.dpi)};
}

Rect WorkArea(Handle window) {
  const Window* w = Form(window);
  const Monitor& m = MonitorOf(w);
  int dpi = w ? w->dpi : m.dpi;
  return {ToTwips(m.leftPx, dpi), 0, ToTwips(m.widthPx, dpi), ToTwips(m.heightPx - kTaskbarPx, dpi)};
}

void SetCaption(Handle window, const Text& caption) { if (Window* w = W(window)) w->text = caption; }
Text GetCaption(Handle window) { return Read<Text>(W(window), [](auto& w) { return w.text; }); }
Text GetText(Handle control) { return GetCaption(control); }

void SetZOrder(Handle form, ZOrder where, bool activate) {
  Window* w = Form(form);
  if (!w) return;
  if (where != ZOrder::NotTopmost || w->topmost) {
    w->topmost = where == ZOrder::Topmost || (where == ZOrder::Top && w->topmost);
    Raise(form);
  }
  if (activate) Activate(form);
}

void ReleaseCapture() {}

void RunMoveSizeLoop(Handle form, int hitCode) {
  if (auto handler = g.sys.moveSizeLoop; handler && Form(form)) handler(form, hitCode);
}

std::uint32_t GetExtendedStyle(Handle window) {
  return Read<std::uint32_t>(Form(window), [](auto& w) { return w.exStyle | (w.topmost ? kTopmostStyle : 0); });
}

std::uint32_t SetExtendedStyle(Handle window, std::uint32_t style) {
  std::uint32_t previous = GetExtendedStyle(window);
  if (!Form(window) || g.sys.styleWritesFail) return 0;
  Form(window)->exStyle = style & ~kTopmostStyle;
  return previous;
}

bool SetLayeredAttributes(Handle window, Color, int alpha, unsigned) {
  Window* w = Form(window);
  if (!w || g.sys.layeredCallsFail || !(w->exStyle & kLayeredStyle)) return false;
  w->layeredAlpha = alpha;
  return true;
}

Color SystemColor(int index) { return index == 5 ? 0xFFFFFF : index == 15 ? 0xF0F0F0 : 0; }
int SystemMajorVersion() { return g.sys.majorVersion; }

// --- Controls

namespace {
Handle AddControl(Handle form, Kind kind, const Rect& rect, const Text& text, const backend::Look& look) {
  const Window* parent = Form(form);
  if (!parent) return 0;
  Window w{.kind = kind, .parent = form, .text = text, .dpi = parent->dpi, .visible = true};
  Place(w, rect);
  Handle control = NewWindow(w);
  backend::AddControl(control, form, kind == Kind::TextBox, kind != Kind::Label, look);
  return control;
}

// Labels and the dialog controls stand on the form's colour.
backend::Look OnForm(Handle form, const Font& font = {}) { return {GetBackColor(form), kWindowTextColor, font}; }

// A modal dialog: the handler answers on a copy, which is kept only on OK.
template <class Value, class Handler>
bool RunDialog(Handle owner, Value& state, const Handler& handler) {
  Value answer = state;
  if (g.processEnded || !handler || !Handler(handler)(owner, answer)) return false;
  state = answer;
  return true;
}

Text Digits(int value, size_t width = 1) {
  std::string s = std::to_string(value);
  return Text(width > s.size() ? width - s.size() : 0, u'0') + Text(s.begin(), s.end());
}
}  // namespace

Handle CreateTextBox(Handle form, const TextBoxSpec& design) {
  return AddControl(form, Kind::TextBox, design.rect, design.text, {design.backColor, design.foreColor, design.font});
}
Handle CreateLabel(Handle form, const Rect& rect, const Text& caption, const Font& font) {
  return AddControl(form, Kind::Label, rect, caption, OnForm(form, font));
}
Handle CreateButton(Handle form, const Rect& rect, const Text& caption, const Font& font) {
  return AddControl(form, Kind::Button, rect, caption, OnForm(form, font));
}
Handle CreateComboBox(Handle form, const Rect& rect, const Font& font) {
  return AddControl(form, Kind::ComboBox, rect, {}, OnForm(form, font));
}
Handle CreateMonthCalendar(Handle form, const Rect& rect) {
  return AddControl(form, Kind::Calendar, rect, {}, OnForm(form));
}
Handle CreateTimePicker(Handle form, const Rect& rect, const Font& font) {
  return AddControl(form, Kind::TimePicker, rect, {}, OnForm(form, font));
}

void ComboAdd(Handle combo, const Text& item) { if (Window* w = W(combo, Kind::ComboBox)) w->items.push_back(item); }
int ComboCount(Handle combo) {
  return Read<int>(W(combo, Kind::ComboBox), [](auto& w) { return static_cast<int>(w.items.size()); });
}
Text ComboItem(Handle combo, int index) {
  return index < 0 || index >= ComboCount(combo) ? Text() : W(combo)->items[static_cast<size_t>(index)];
}
void ComboSelect(Handle box, int i) { if (i >= 0 && i < ComboCount(box)) W(box)->text = ComboItem(box, i); }

Date GetCalendarDate(Handle h) { return Read<Date>(W(h, Kind::Calendar), [](auto& w) { return w.date; }); }
void SetCalendarDate(Handle calendar, const Date& date) { if (Window* w = W(calendar, Kind::Calendar)) w->date = date; }
TimeOfDay GetPickerTime(Handle picker) {
  return Read<TimeOfDay>(W(picker, Kind::TimePicker), [](auto& w) { return w.time; });
}
void SetPickerTime(Handle h, const TimeOfDay& time) { if (Window* w = W(h, Kind::TimePicker)) w->time = time; }

void SetControlVisible(Handle control, bool visible) {
  if (Window* w = W(control); w && w->kind != Kind::Form) w->visible = visible;
}

void SetText(Handle h, const Text& text) { if (Window* w = W(h)) w->text = text, w->selStart = w->selLength = 0; }

int GetSelStart(Handle textBox) { return Read<int>(W(textBox, Kind::TextBox), [](auto& w) { return w.selStart; }); }

// As EM_SETSEL: both ends are held inside the text.
void SetSelection(Handle textBox, int start, int length) {
  Window* w = W(textBox, Kind::TextBox);
  if (!w) return;
  int size = static_cast<int>(w->text.size());
  int from = std::clamp(start, 0, size), to = std::clamp(start + length, 0, size);
  w->selStart = std::min(from, to);
  w->selLength = std::abs(to - from);
}

Text GetSelectedText(Handle textBox) {
  return Read<Text>(W(textBox, Kind::TextBox), [](auto& w) {
    return w.text.substr(static_cast<size_t>(w.selStart), static_cast<size_t>(w.selLength));
  });
}

// As EM_REPLACESEL: the caret ends after the new text; no change is reported.
void ReplaceSelection(Handle textBox, const Text& text) {
  Window* w = W(textBox, Kind::TextBox);
  if (!w) return;
  w->text.replace(static_cast<size_t>(w->selStart), static_cast<size_t>(w->selLength), text);
  w->selStart += static_cast<int>(text.size());
  w->selLength = 0;
}

// Disabling the focused control leaves the focus with nobody.
void SetEnabled(Handle control, bool enabled) {
  if (Window* w = W(control)) w->enabled = enabled;
  if (!enabled && g.focus == control) g.focus = 0;
}

bool IsEnabled(Handle control) { return Read<bool>(W(control), [](auto& w) { return w.enabled; }); }

void SetFocus(Handle control) {
  Handle form = backend::FormOf(control);
  if (!TakesInput(control)) return;
  Activate(form);
  if (g.active == form) FocusOn(control);
}

Handle GetFocus() { return g.focus; }

void BlockContextMenu(Handle textBox) { if (Window* w = W(textBox)) w->contextMenuBlocked = true; }
void UnblockContextMenu(Handle textBox) { if (Window* w = W(textBox)) w->contextMenuBlocked = false; }

// --- Message boxes, dialogs, clipboard

Answer AskYesNo(Handle owner, const Text& prompt, const Text& title) {
  g.sys.messageBoxes.push_back({owner, prompt, title, true});
  Answer answer = g.sys.answers.empty() ? Answer::No : g.sys.answers.front();
  if (!g.sys.answers.empty()) g.sys.answers.pop_front();
  return answer;
}

void ShowError(Handle owner, const Text& text, const Text& title) {
  g.sys.messageBoxes.push_back({owner, text, title});
}

bool ChooseFontDialog(Handle owner, FontChoice& state) { return RunDialog(owner, state, g.sys.fontDialog); }
bool ChooseColorDialog(Handle owner, Color& color) { return RunDialog(owner, color, g.sys.colorDialog); }
bool SaveFileDialog(Handle owner, SaveChoice& state) { return RunDialog(owner, state, g.sys.saveDialog); }

bool ClipboardPut(Handle, const Text& text) { return !g.sys.clipboardHeld && (g.sys.clipboard = text, true); }

std::optional<Text> ClipboardGet(Handle) {
  return g.sys.clipboardHeld ? std::nullopt : std::optional(g.sys.clipboard.value_or(Text()));
}

// --- Clock and pump

DateTime Now() { return Civil(g.clockMs + g.nowOffsetMs); }
DateTime AddSeconds(const DateTime& when, int seconds) { return Civil(Serial(when) + seconds * 1000LL); }

// The en-US forms: "3/5/2026", "2:55:30 PM".
Text FormatShortDate(const DateTime& t) { return Digits(t.month) + u"/" + Digits(t.day) + u"/" + Digits(t.year); }
Text FormatTime(const DateTime& t) {
  return Digits((t.hour + 11) % 12 + 1) + u":" + Digits(t.minute, 2) + u":" + Digits(t.second, 2) +
         (t.hour >= 12 ? u" PM" : u" AM");
}
Text FormatDateTime(const DateTime& when) { return FormatShortDate(when) + u" " + FormatTime(when); }
double MonotonicSeconds() { return kMonotonicOrigin + static_cast<double>(g.clockMs) / 1000.0; }

// Sleeps to the deadline or the next due timer, whichever comes first.
void WaitForMessagesUntil(double deadline) {
  if (g.processEnded) return;
  double wanted = std::ceil((deadline - kMonotonicOrigin) * 1000.0 - 1e-6);
  auto target = static_cast<std::int64_t>(
      std::clamp(std::isnan(wanted) ? 0.0 : wanted, double(g.clockMs), double(g.clockMs + kDayMs)));
  for (const auto& [form, timer] : g.timers) target = std::min(target, std::max(timer.dueMs, g.clockMs));
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

Text ProgramDirectory() { return g.sys.programDirectory; }
bool FileExists(const Text& path) { return g.sys.cursors.count(path) || g.sys.files.count(path); }

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
    if (high == kHigh.npos && !(c < 0x80 || (c >= 0xA0 && c <= 0xFF))) return std::nullopt;
    out.push_back(static_cast<char>(high == kHigh.npos ? c : 0x80 + high));
  }
  return out;
}

std::optional<Text> WriteFileReplacing(const Text& path, const std::string& bytes) {
  if (auto it = g.sys.writeFailures.find(path); it != g.sys.writeFailures.end()) return it->second;
  g.sys.files[path] = bytes;
  return std::nullopt;
}

std::optional<Text> ShellOpen(Handle owner, const Text& target, const Text& workingDirectory) {
  g.sys.shellCalls.push_back({owner, target, workingDirectory});
  return g.sys.shellFailure;
}

void PlaySoundAsync(const Text& path) { g.sys.sounds.push_back(path); }

// The program keeps everything under one application and section.
Text ReadStoredValue(const Text&, const Text&, const Text& key) { return Stored(key).value_or(Text()); }
void WriteStoredValue(const Text&, const Text&, const Text& key, const Text& value) {
  if (!g.processEnded) g.sys.store[key] = value;
}

}  // namespace platform
