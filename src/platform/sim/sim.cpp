// The simulated platform. One global state, replaced by Reset(); every
// platform call reads and changes it, and the input functions of sim.h raise
// events on the sinks it holds.
#include "platform/sim/sim.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <tuple>
#include <utility>

namespace sim {
namespace {

using platform::DateTime;
using platform::EventSink;
using platform::Rect;

// Thrown by EndProcess and caught by the outermost input call, so a test
// sees the call return with ProcessEnded() true.
struct ProcessEndedSignal {};

constexpr int kScreenWidthPx = 1280;
constexpr int kScreenHeightPx = 1024;
constexpr int kTaskbarHeightPx = 40;
// The monotonic clock never reads 0, as on a machine that has been up a while.
constexpr double kMonotonicOrigin = 3600.0;
constexpr std::int64_t kSecondsPerDay = 86400;


std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
  y -= m <= 2;
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

DateTime CivilFromSeconds(std::int64_t serial) {
  std::int64_t days = FloorDiv(serial, kSecondsPerDay);
  std::int64_t secs = serial - days * kSecondsPerDay;
  days += 719468;
  const std::int64_t era = FloorDiv(days, 146097);
  const std::int64_t doe = days - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  DateTime out;
  out.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  out.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  out.year = static_cast<int>(yoe + era * 400 + (out.month <= 2));
  out.hour = static_cast<int>(secs / 3600);
  out.minute = static_cast<int>(secs / 60 % 60);
  out.second = static_cast<int>(secs % 60);
  return out;
}

// Seconds since 1970; fields out of range carry over (month 13 is January).
std::int64_t SerialSeconds(const DateTime& t) {
  std::int64_t months = static_cast<std::int64_t>(t.month) - 1;
  std::int64_t year = t.year + FloorDiv(months, 12);
  std::int64_t month = months - FloorDiv(months, 12) * 12 + 1;
  std::int64_t days = DaysFromCivil(year, month, 1) + t.day - 1;
  return days * kSecondsPerDay + std::int64_t{t.hour} * 3600 + std::int64_t{t.minute} * 60 + t.second;
}

// Windows compares file names and registry names without regard to case.
Text Fold(const Text& text, bool slashes = false) {
  Text out = text;
  for (char16_t& c : out) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    if (slashes && c == u'/') c = u'\\';
  }
  return out;
}

using StoreKey = std::tuple<Text, Text, Text>;
StoreKey MakeStoreKey(const Text& app, const Text& section, const Text& key) {
  return {Fold(app), Fold(section), Fold(key)};
}

struct State {
  std::map<Handle, Window> windows;  // handles only grow, so this is creation order
  std::map<Handle, std::shared_ptr<EventSink>> sinks;
  std::vector<Handle> loaded;
  std::set<Handle> unloading;
  std::map<Handle, std::int64_t> timerDue;  // form -> virtual ms of its next tick
  Handle activeForm = 0;
  std::map<Handle, Handle> lastFocus;  // form -> its control that last held the focus
  int dpi = 96;
  std::int64_t clockMs = 0;
  std::int64_t nowBase = SerialSeconds({2026, 3, 5, 14, 55, 30});
  std::int64_t nowBaseMs = 0;  // clock reading when nowBase was set
  std::map<platform::MenuId, std::vector<MenuEntry>> menus;
  std::function<int(platform::MenuId, Handle)> popupHandler;
  std::vector<LayeredCall> layeredCalls;
  bool failLayered = false;
  bool failStyle = false;
  int majorVersion = 6;
  std::vector<MoveSizeLoop> moveSizeLoops;
  std::function<void(Handle, int)> moveSizeHandler;
  int captureReleases = 0;
  std::function<bool(platform::FontChoice&)> fontDialog;
  std::function<bool(platform::Color&)> colorDialog;
  std::function<bool(platform::SaveChoice&)> saveDialog;
  std::vector<DialogRecord> dialogs;
  std::map<Text, std::string> contents;  // folded path -> bytes
  std::map<Text, Text> writeFailures;    // folded path -> reason
  std::vector<Text> sounds;
  std::vector<ShellCall> shellCalls;
  int popups = 0;
  Text clipboard;
  std::deque<platform::Answer> answers;
  std::vector<MessageBoxRecord> messageBoxes;
  Text programDirectory = u"C:\\Program Files\\Pinaleaf";
  std::map<Text, bool> files;  // folded path -> loads as a cursor
  std::map<StoreKey, Text> store;
  int storeWrites = 0;
  std::deque<std::function<void()>> later;
  bool processEnded = false;
  int inputDepth = 0;
};

State g;

// Handles, menus and cursors keep counting across Reset: the core keeps some
// handles in statics (the menu host), and a handle from before a Reset must
// never name a window made after it.
Handle g_nextHandle = 0x10010;
platform::MenuId g_nextMenu = 0x2001;
platform::CursorId g_nextCursor = 0x30011;

Window* FindMutable(Handle handle) {
  auto it = g.windows.find(handle);
  return it == g.windows.end() ? nullptr : &it->second;
}

Window* FindForm(Handle handle) {
  Window* w = FindMutable(handle);
  return w && w->kind == Kind::Form ? w : nullptr;
}

Window* FindTextBox(Handle handle) {
  Window* w = FindMutable(handle);
  return w && w->kind == Kind::TextBox ? w : nullptr;
}

// The text of controls that have an edit field; the caption of the rest.
Text& TextOf(Window& w) {
  return (w.kind == Kind::TextBox || w.kind == Kind::ComboBox) ? w.text : w.caption;
}

Handle FormOf(Handle handle) {
  const Window* w = FindMutable(handle);
  if (!w) return 0;
  return w->kind == Kind::Form ? handle : w->parent;
}

// A copy of the sink, so a handler may unload its own form while it runs.
std::shared_ptr<EventSink> SinkFor(Handle handle) {
  auto it = g.sinks.find(FormOf(handle));
  return it == g.sinks.end() ? nullptr : it->second;
}

// Disabled windows, and controls on disabled forms, get no user input.
bool TakesInput(Handle handle) {
  const Window* w = FindMutable(handle);
  if (!w || !w->enabled) return false;
  if (w->kind == Kind::Form) return true;
  const Window* form = FindMutable(w->parent);
  return form && form->enabled;
}

int ClampInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

// Division rounding half away from zero; `den` > 0.
std::int64_t RoundDiv(std::int64_t num, std::int64_t den) {
  return num >= 0 ? (2 * num + den) / (2 * den) : -((-2 * num + den) / (2 * den));
}

int ToPixels(Twips twips) { return ClampInt(RoundDiv(std::int64_t{twips} * g.dpi, platform::kTwipsPerInch)); }
Twips ToTwips(int pixels) { return ClampInt(RoundDiv(std::int64_t{pixels} * platform::kTwipsPerInch, g.dpi)); }

Rect RectOf(const Window& w) {
  return {ToTwips(w.leftPx), ToTwips(w.topPx), ToTwips(w.widthPx), ToTwips(w.heightPx)};
}

void PlaceAt(Window& w, const Rect& r) {
  w.leftPx = ToPixels(r.left);
  w.topPx = ToPixels(r.top);
  w.widthPx = std::max(0, ToPixels(r.width));
  w.heightPx = std::max(0, ToPixels(r.height));
}

void RaiseResize(Handle form) {
  if (auto sink = SinkFor(form)) sink->OnResize(form);
}

// --- Timers and queued tasks.

void ScheduleTick(Window& w, std::int64_t dueMs) {
  g.timerDue[w.handle] = dueMs;
  w.nextTickAt = kMonotonicOrigin + static_cast<double>(dueMs) / 1000.0;
}

// The form whose timer is due first; ties go to the earlier-created form.
std::optional<std::pair<Handle, std::int64_t>> NextTick() {
  std::optional<std::pair<Handle, std::int64_t>> next;
  for (const auto& [form, due] : g.timerDue) {
    if (!next || due < next->second) next = std::make_pair(form, due);
  }
  return next;
}

void FireTick(Handle form) {
  Window* w = FindForm(form);
  if (!w || w->timerMs <= 0) {
    g.timerDue.erase(form);
    return;
  }
  // Rescheduled before the handler runs, so a SetTimer in it wins.
  ScheduleTick(*w, g.clockMs + w->timerMs);
  if (auto sink = SinkFor(form)) sink->OnTimer(form);
}

// Runs the tasks queued so far; tasks they queue wait for the next round, so
// a task that queues itself cannot hold the clock still.
void RunQueuedTasks() {
  std::deque<std::function<void()>> batch;
  batch.swap(g.later);
  for (auto& task : batch) task();
}

void FireTicksDueBy(std::int64_t limitMs) {
  for (;;) {
    RunQueuedTasks();
    auto next = NextTick();
    if (!next || next->second > limitMs) return;
    g.clockMs = std::max(g.clockMs, next->second);
    FireTick(next->first);
  }
}

// Runs `body` as one user input: a process end inside it stops it and
// returns normally. Nested inputs leave the catching to the outermost one.
template <class Body>
void AsInput(Body&& body) {
  if (g.processEnded) return;
  struct Depth {
    Depth() { ++g.inputDepth; }
    ~Depth() { --g.inputDepth; }
  };
  if (g.inputDepth > 0) {
    Depth depth;
    body();
    return;
  }
  Depth depth;
  try {
    body();
  } catch (const ProcessEndedSignal&) {
  }
}

void TakeFocus(Handle control) {
  Handle form = FormOf(control);
  g.activeForm = form;
  g.lastFocus[form] = control;
}

bool RaiseMouseDown(Handle target, int button, int modifiers, Twips x, Twips y) {
  if (!TakesInput(target)) return false;
  g.activeForm = FormOf(target);  // a press activates the window it lands on
  auto sink = SinkFor(target);
  bool handled = sink && sink->OnMouseDown(target, button, modifiers, x, y);
  // The edit control's own handling: a left press puts the caret, and so
  // the focus, in it.
  if (!handled && button == platform::kLeftButton && FindTextBox(target) && TakesInput(target)) {
    TakeFocus(target);
  }
  return true;
}

}  // namespace

// ===========================================================================
// Test API

void Reset() {
  State old = std::move(g);
  g = State{};
  // `old` goes last, so sinks that run code on destruction see the new state.
}

const Window* Find(Handle handle) { return FindMutable(handle); }

std::vector<Handle> ControlsOf(Handle form) {
  std::vector<Handle> out;
  for (const auto& [handle, w] : g.windows) {
    if (w.kind != Kind::Form && w.parent == form) out.push_back(handle);
  }
  return out;
}

void MouseDown(Handle target, int button, int modifiers, Twips x, Twips y) {
  AsInput([&] { RaiseMouseDown(target, button, modifiers, x, y); });
}

void MouseMove(Handle target, int buttons, int modifiers, Twips x, Twips y) {
  AsInput([&] {
    if (!TakesInput(target)) return;
    if (auto sink = SinkFor(target)) sink->OnMouseMove(target, buttons, modifiers, x, y);
  });
}

void Click(Handle target, Twips x, Twips y) {
  AsInput([&] {
    if (!RaiseMouseDown(target, platform::kLeftButton, 0, x, y)) return;
    if (!TakesInput(target)) return;  // the press unloaded or disabled it
    if (auto sink = SinkFor(target)) sink->OnClick(target);
  });
}

void KeyDown(Handle control, int keyCode, int modifiers) {
  AsInput([&] {
    if (!TakesInput(control)) return;
    if (auto sink = SinkFor(control)) sink->OnKeyDown(control, keyCode, modifiers);
  });
}

void Focus(Handle form) {
  AsInput([&] {
    if (!FindForm(form) || !TakesInput(form)) return;
    g.activeForm = form;
    if (auto sink = SinkFor(form)) sink->OnGotFocus(form);
  });
}

void Resize(Handle form, Twips width, Twips height) {
  AsInput([&] {
    Window* w = FindForm(form);
    if (!w) return;
    w->widthPx = std::max(0, ToPixels(width));
    w->heightPx = std::max(0, ToPixels(height));
    RaiseResize(form);
  });
}

void Close(Handle form) {
  AsInput([&] {
    if (!FindForm(form)) return;
    auto sink = SinkFor(form);
    bool allow = !sink || sink->OnCloseRequest(form);
    if (allow) platform::UnloadForm(form);
  });
}

void Advance(int milliseconds) {
  AsInput([&] {
    std::int64_t target = g.clockMs + std::max(milliseconds, 0);
    FireTicksDueBy(target);
    g.clockMs = std::max(g.clockMs, target);
  });
}

void SetNow(const platform::DateTime& now) {
  g.nowBase = SerialSeconds(now);
  g.nowBaseMs = g.clockMs;
}

// Held to what a display could have, so the pixel arithmetic cannot overflow.
void SetDpi(int dpi) { g.dpi = std::clamp(dpi, 1, 100000); }

int Dpi() { return g.dpi; }

void QueueAnswer(platform::Answer answer) { g.answers.push_back(answer); }

const std::vector<MessageBoxRecord>& MessageBoxes() { return g.messageBoxes; }

void SetProgramDirectory(const Text& directory) { g.programDirectory = directory; }

void AddFile(const Text& path, bool loadableCursor) { g.files[Fold(path, true)] = loadableCursor; }

void Store(const Text& key, const Text& value) {
  g.store[MakeStoreKey(u"Pinaleaf", u"1.0", key)] = value;
}

std::optional<Text> Stored(const Text& key) {
  auto it = g.store.find(MakeStoreKey(u"Pinaleaf", u"1.0", key));
  if (it == g.store.end()) return std::nullopt;
  return it->second;
}

int StoreWrites() { return g.storeWrites; }

bool ProcessEnded() { return g.processEnded; }

const std::vector<MenuEntry>* MenuEntries(platform::MenuId menu) {
  auto it = g.menus.find(menu);
  return it == g.menus.end() ? nullptr : &it->second;
}

void SetPopupHandler(std::function<int(platform::MenuId, Handle)> handler) { g.popupHandler = std::move(handler); }

int PopupCount() { return g.popups; }

const std::vector<LayeredCall>& LayeredCalls() { return g.layeredCalls; }
void FailLayeredCalls(bool fail) { g.failLayered = fail; }
void FailStyleWrites(bool fail) { g.failStyle = fail; }
void SetSystemMajorVersion(int major) { g.majorVersion = major; }
const std::vector<MoveSizeLoop>& MoveSizeLoops() { return g.moveSizeLoops; }
void SetMoveSizeHandler(std::function<void(Handle, int)> handler) { g.moveSizeHandler = std::move(handler); }
int CaptureReleases() { return g.captureReleases; }

namespace {
void RaiseControlEvent(Handle control, bool command) {
  AsInput([&] {
    if (!TakesInput(control)) return;
    auto sink = SinkFor(control);
    if (!sink) return;
    if (command) {
      sink->OnCommand(control);
    } else {
      sink->OnChange(control);
    }
  });
}
}  // namespace

void PressButton(Handle button) { RaiseControlEvent(button, true); }

void ChooseTime(Handle picker, const platform::TimeOfDay& time) {
  platform::SetPickerTime(picker, time);
  RaiseControlEvent(picker, false);
}

void ChooseDate(Handle calendar, const platform::Date& date) {
  platform::SetCalendarDate(calendar, date);
  RaiseControlEvent(calendar, false);
}

void TypeText(Handle combo, const Text& text) {
  if (Window* w = FindMutable(combo)) TextOf(*w) = text;
  RaiseControlEvent(combo, false);
}

void SetFontDialogHandler(std::function<bool(platform::FontChoice&)> handler) { g.fontDialog = std::move(handler); }
void SetColorDialogHandler(std::function<bool(platform::Color&)> handler) { g.colorDialog = std::move(handler); }
void SetSaveDialogHandler(std::function<bool(platform::SaveChoice&)> handler) { g.saveDialog = std::move(handler); }
const std::vector<DialogRecord>& Dialogs() { return g.dialogs; }

std::optional<std::string> FileContents(const Text& path) {
  auto it = g.contents.find(Fold(path, true));
  if (it == g.contents.end()) return std::nullopt;
  return it->second;
}

void SetFileContents(const Text& path, const std::string& bytes) { g.contents[Fold(path, true)] = bytes; }

const std::vector<Text>& SoundsPlayed() { return g.sounds; }
const std::vector<ShellCall>& ShellCalls() { return g.shellCalls; }

void FailWritesTo(const Text& path, const Text& reason) { g.writeFailures[Fold(path, true)] = reason; }

}  // namespace sim

// ===========================================================================
// The platform, in memory.

namespace platform {

using sim::Kind;
using sim::Window;
using namespace sim;  // the helpers of the unnamed namespace above

// --- Forms

Handle CreateForm(const FormSpec& design, std::shared_ptr<EventSink> sink) {
  Window w;
  w.handle = g_nextHandle;
  g_nextHandle += 2;
  w.kind = Kind::Form;
  w.formKind = design.kind;
  w.caption = design.caption;
  w.backColor = design.backColor;
  // As the Win32 layer creates them: tool windows, or a dialog frame.
  w.exStyle = design.kind == FormKind::Dialog ? 0x10001u : 0x80u;
  PlaceAt(w, design.rect);
  if (design.platformPlaces) {
    // Cascades from the top-left of the work area, as CW_USEDEFAULT does.
    int step = static_cast<int>(g.loaded.size() % 8) * 26;
    w.leftPx = 26 + step;
    w.topPx = 26 + step;
  }
  Handle handle = w.handle;
  g.windows[handle] = std::move(w);
  g.sinks[handle] = std::move(sink);
  g.loaded.push_back(handle);
  return handle;
}

void ShowForm(Handle form) {
  Window* w = FindForm(form);
  if (!w) return;
  w->visible = true;
  g.activeForm = form;
  if (!w->shownOnce) {
    w->shownOnce = true;
    RaiseResize(form);
  }
}

void HideForm(Handle form) {
  Window* w = FindForm(form);
  if (!w) return;
  w->visible = false;
  if (g.activeForm == form) g.activeForm = 0;
}

bool IsVisible(Handle window) {
  const Window* w = FindMutable(window);
  return w && w->visible;
}

void UnloadForm(Handle form) {
  if (!FindForm(form) || g.unloading.count(form)) return;
  g.unloading.insert(form);
  auto sink = SinkFor(form);  // outlives the removal below
  if (sink) sink->OnUnload(form);
  g.unloading.erase(form);
  if (!FindForm(form)) return;
  for (Handle control : ControlsOf(form)) g.windows.erase(control);
  g.windows.erase(form);
  g.sinks.erase(form);
  g.timerDue.erase(form);
  g.lastFocus.erase(form);
  if (g.activeForm == form) g.activeForm = 0;
  g.loaded.erase(std::remove(g.loaded.begin(), g.loaded.end(), form), g.loaded.end());
}

bool IsLoaded(Handle form) { return FindForm(form) != nullptr; }

std::vector<Handle> LoadedForms() { return g.loaded; }

std::shared_ptr<EventSink> SinkOf(Handle form) {
  if (!FindForm(form)) return nullptr;
  return g.sinks[form];
}

Rect GetRect(Handle window) {
  const Window* w = FindMutable(window);
  return w ? RectOf(*w) : Rect{};
}

// Like WM_SIZE: a form that has been shown hears of every change of its size.
void SetRect(Handle window, const Rect& rect) {
  Window* w = FindMutable(window);
  if (!w) return;
  int oldWidth = w->widthPx, oldHeight = w->heightPx;
  PlaceAt(*w, rect);
  bool resized = w->widthPx != oldWidth || w->heightPx != oldHeight;
  if (w->kind == Kind::Form && w->shownOnce && resized) RaiseResize(window);
}

Rect ScreenRect() { return {0, 0, ToTwips(kScreenWidthPx), ToTwips(kScreenHeightPx)}; }

Rect WorkArea(Handle) {
  return {0, 0, ToTwips(kScreenWidthPx), ToTwips(kScreenHeightPx - kTaskbarHeightPx)};
}

void SetBackColor(Handle window, Color color) {
  if (Window* w = FindMutable(window)) w->backColor = color;
}

Color GetBackColor(Handle window) {
  const Window* w = FindMutable(window);
  return w ? w->backColor : 0;
}

// A window's caption is its window text, which for an edit field is its text.
void SetCaption(Handle window, const Text& caption) { SetText(window, caption); }

Text GetCaption(Handle window) {
  Window* w = FindMutable(window);
  return w ? TextOf(*w) : Text{};
}

void SetPointer(Handle form, Pointer shape, CursorId custom) {
  if (Window* w = FindMutable(FormOf(form))) {
    w->pointer = shape;
    w->customCursor = custom;
  }
}

void SetTopmost(Handle form, bool topmost) {
  if (Window* w = FindForm(form)) w->topmost = topmost;
}

bool IsTopmost(Handle form) {
  const Window* w = FindForm(form);
  return w && w->topmost;
}

void ReleaseCapture() { ++g.captureReleases; }

void RunMoveSizeLoop(Handle form, int hitCode) {
  if (!FindForm(form)) return;
  g.moveSizeLoops.push_back({form, hitCode});
  auto handler = g.moveSizeHandler;
  if (handler) handler(form, hitCode);
}

std::uint32_t GetExtendedStyle(Handle window) {
  const Window* w = FindForm(window);
  return w ? (w->exStyle | (w->topmost ? 0x8u : 0u)) : 0;
}

std::uint32_t SetExtendedStyle(Handle window, std::uint32_t style) {
  Window* w = FindForm(window);
  if (!w || g.failStyle) return 0;
  std::uint32_t previous = GetExtendedStyle(window);
  w->exStyle = style & ~0x8u;
  return previous;
}

// Fails, as on Windows, for a window that is not layered.
bool SetLayeredAttributes(Handle window, Color key, int alpha, unsigned flags) {
  Window* w = FindForm(window);
  bool ok = w && !g.failLayered && (w->exStyle & kLayeredStyle);
  if (ok) {
    w->layeredKey = key;
    w->layeredAlpha = alpha;
    w->layeredFlags = flags;
  }
  g.layeredCalls.push_back({window, key, alpha, flags, ok});
  return ok;
}

Color SystemColor(int index) {
  switch (index) {
    case 5: return 0xFFFFFF;  // window
    case 15: return 0xF0F0F0;  // 3-D face
    default: return 0;
  }
}

int SystemMajorVersion() { return g.majorVersion; }

// --- Text boxes

Handle CreateTextBox(Handle form, const TextBoxSpec& design) {
  if (!FindForm(form)) return 0;
  Window w;
  w.handle = g_nextHandle;
  g_nextHandle += 2;
  w.kind = Kind::TextBox;
  w.parent = form;
  PlaceAt(w, design.rect);
  w.font = design.font;
  w.backColor = design.backColor;
  w.foreColor = design.foreColor;
  w.text = design.text;
  w.visible = true;
  Handle handle = w.handle;
  g.windows[handle] = std::move(w);
  return handle;
}

namespace {
Handle AddControl(Handle form, Kind kind, const Rect& rect, const Text& caption, const Font& font) {
  if (!FindForm(form)) return 0;
  Window w;
  w.handle = g_nextHandle;
  g_nextHandle += 2;
  w.kind = kind;
  w.parent = form;
  PlaceAt(w, rect);
  w.caption = caption;
  w.font = font;
  w.backColor = platform::kButtonFaceColor;
  w.visible = true;
  Handle handle = w.handle;
  g.windows[handle] = std::move(w);
  return handle;
}

Window* FindKind(Handle handle, Kind kind) {
  Window* w = FindMutable(handle);
  return w && w->kind == kind ? w : nullptr;
}
}  // namespace

Handle CreateLabel(Handle form, const Rect& rect, const Text& caption, const Font& font) {
  return AddControl(form, Kind::Label, rect, caption, font);
}

Handle CreateButton(Handle form, const Rect& rect, const Text& caption, const Font& font) {
  return AddControl(form, Kind::Button, rect, caption, font);
}

Handle CreateComboBox(Handle form, const Rect& rect, const Font& font) {
  return AddControl(form, Kind::ComboBox, rect, {}, font);
}

void ComboAdd(Handle combo, const Text& item) {
  if (Window* w = FindKind(combo, Kind::ComboBox)) w->items.push_back(item);
}

int ComboCount(Handle combo) {
  Window* w = FindKind(combo, Kind::ComboBox);
  return w ? static_cast<int>(w->items.size()) : 0;
}

Text ComboItem(Handle combo, int index) {
  Window* w = FindKind(combo, Kind::ComboBox);
  if (!w || index < 0 || index >= static_cast<int>(w->items.size())) return {};
  return w->items[static_cast<size_t>(index)];
}

void ComboSelect(Handle combo, int index) {
  Window* w = FindKind(combo, Kind::ComboBox);
  if (w && index >= 0 && index < static_cast<int>(w->items.size())) w->text = w->items[static_cast<size_t>(index)];
}

Handle CreateMonthCalendar(Handle form, const Rect& rect) {
  Handle calendar = AddControl(form, Kind::Calendar, rect, {}, Font{});
  if (Window* w = FindMutable(calendar)) {
    DateTime now = Now();
    w->date = {now.year, now.month, now.day};
  }
  return calendar;
}

Date GetCalendarDate(Handle calendar) {
  Window* w = FindKind(calendar, Kind::Calendar);
  return w ? w->date : Date{};
}

void SetCalendarDate(Handle calendar, const Date& date) {
  if (Window* w = FindKind(calendar, Kind::Calendar)) w->date = date;
}

Handle CreateTimePicker(Handle form, const Rect& rect, const Font& font) {
  Handle picker = AddControl(form, Kind::TimePicker, rect, {}, font);
  if (Window* w = FindMutable(picker)) {
    DateTime now = Now();
    w->time = {now.hour, now.minute, now.second};
  }
  return picker;
}

TimeOfDay GetPickerTime(Handle picker) {
  Window* w = FindKind(picker, Kind::TimePicker);
  return w ? w->time : TimeOfDay{};
}

void SetPickerTime(Handle picker, const TimeOfDay& time) {
  if (Window* w = FindKind(picker, Kind::TimePicker)) w->time = time;
}

void SetControlVisible(Handle control, bool visible) {
  if (Window* w = FindMutable(control); w && w->kind != Kind::Form) w->visible = visible;
}

Text GetText(Handle control) { return GetCaption(control); }

// As WM_SETTEXT: the caret goes to the start, and a multi-line edit control
// sends no change notification for it.
void SetText(Handle control, const Text& text) {
  Window* w = FindMutable(control);
  if (!w) return;
  TextOf(*w) = text;
  w->selStart = 0;
  w->selLength = 0;
}

int GetSelStart(Handle textBox) {
  const Window* w = FindTextBox(textBox);
  return w ? w->selStart : 0;
}

int GetSelLength(Handle textBox) {
  const Window* w = FindTextBox(textBox);
  return w ? w->selLength : 0;
}

void SetSelection(Handle textBox, int start, int length) {
  Window* w = FindTextBox(textBox);
  if (!w) return;
  int size = ClampInt(static_cast<std::int64_t>(w->text.size()));
  w->selStart = std::clamp(start, 0, size);
  w->selLength = std::clamp(length, 0, size - w->selStart);
}

Text GetSelectedText(Handle textBox) {
  const Window* w = FindTextBox(textBox);
  if (!w) return {};
  size_t start = std::min(static_cast<size_t>(w->selStart), w->text.size());
  return w->text.substr(start, static_cast<size_t>(w->selLength));
}

// As EM_REPLACESEL: the caret ends after the new text, and the change is
// reported.
void ReplaceSelection(Handle textBox, const Text& text) {
  Window* w = FindTextBox(textBox);
  if (!w) return;
  SetSelection(textBox, w->selStart, w->selLength);  // still inside the text
  w->text.replace(static_cast<size_t>(w->selStart), static_cast<size_t>(w->selLength), text);
  w->selStart = ClampInt(std::int64_t{w->selStart} + static_cast<std::int64_t>(text.size()));
  w->selLength = 0;
  if (auto sink = SinkFor(textBox)) sink->OnChange(textBox);
}

bool IsTextBox(Handle control) { return FindTextBox(control) != nullptr; }

void SetEnabled(Handle control, bool enabled) {
  if (Window* w = FindMutable(control)) w->enabled = enabled;
}

bool IsEnabled(Handle control) {
  const Window* w = FindMutable(control);
  return w && w->enabled;
}

// A form given the focus hears of it (WM_SETFOCUS comes only on a change);
// a control takes it silently, unless it is disabled.
void SetFocus(Handle control) {
  Window* w = FindMutable(control);
  if (!w) return;
  if (w->kind == Kind::Form) {
    bool change = g.activeForm != control;
    g.activeForm = control;
    if (change) {
      if (auto sink = SinkFor(control)) sink->OnGotFocus(control);
    }
    return;
  }
  if (w->enabled) TakeFocus(control);
}

Handle FocusedControl() {
  auto it = g.lastFocus.find(g.activeForm);
  if (it == g.lastFocus.end() || !FindMutable(it->second)) return 0;
  return it->second;
}

void SetFont(Handle control, const Font& font) {
  if (Window* w = FindMutable(control)) w->font = font;
}

Font GetFont(Handle control) {
  const Window* w = FindMutable(control);
  return w ? w->font : Font{};
}

void SetForeColor(Handle control, Color color) {
  if (Window* w = FindMutable(control)) w->foreColor = color;
}

Color GetForeColor(Handle control) {
  const Window* w = FindMutable(control);
  return w ? w->foreColor : kWindowTextColor;
}

// --- Timers

void SetTimer(Handle form, int intervalMs) {
  Window* w = FindForm(form);
  if (!w) return;
  if (intervalMs <= 0) {
    w->timerMs = 0;
    w->nextTickAt = 0;
    g.timerDue.erase(form);
    return;
  }
  w->timerMs = intervalMs;
  ScheduleTick(*w, g.clockMs + intervalMs);
}

int GetTimer(Handle form) {
  const Window* w = FindForm(form);
  return w ? w->timerMs : 0;
}

// --- Popup menus

MenuId CreatePopupMenu() {
  MenuId id = g_nextMenu++;
  g.menus[id];
  return id;
}

void AppendMenuItem(MenuId menu, int id, const Text& caption, const Text& shortcutLabel) {
  auto it = g.menus.find(menu);
  if (it != g.menus.end()) it->second.push_back({id, caption, shortcutLabel, false, false});
}

void AppendMenuSeparator(MenuId menu) {
  auto it = g.menus.find(menu);
  if (it != g.menus.end()) it->second.push_back({0, {}, {}, true, false});
}

namespace {
sim::MenuEntry* FindMenuEntry(MenuId menu, int id) {
  auto it = g.menus.find(menu);
  if (it == g.menus.end()) return nullptr;
  for (auto& entry : it->second) {
    if (!entry.separator && entry.id == id) return &entry;
  }
  return nullptr;
}
}  // namespace

void SetMenuChecked(MenuId menu, int id, bool checked) {
  if (auto* entry = FindMenuEntry(menu, id)) entry->checked = checked;
}

bool IsMenuChecked(MenuId menu, int id) {
  auto* entry = FindMenuEntry(menu, id);
  return entry && entry->checked;
}

namespace {
// A modal dialog: the handler answers on a copy, which is kept only on OK.
template <class State, class Handler>
bool RunDialog(const char16_t* kind, Handle owner, State& state, const Handler& handler) {
  if (g.processEnded) return false;
  g.dialogs.push_back({kind, owner});
  if (!handler) return false;
  auto run = handler;  // the handler may replace itself
  State answer = state;
  if (!run(answer)) return false;
  state = answer;
  return true;
}
}  // namespace

bool ChooseFontDialog(Handle owner, FontChoice& state) { return RunDialog(u"font", owner, state, g.fontDialog); }

bool ChooseColorDialog(Handle owner, Color& color) { return RunDialog(u"color", owner, color, g.colorDialog); }

bool SaveFileDialog(Handle owner, SaveChoice& state) { return RunDialog(u"save", owner, state, g.saveDialog); }

void PlaySoundAsync(const Text& path) {
  if (!g.processEnded) g.sounds.push_back(path);
}

void ShellOpen(Handle owner, const Text& target, const Text& workingDirectory) {
  if (!g.processEnded) g.shellCalls.push_back({owner, target, workingDirectory});
}

std::optional<Text> WriteFileReplacing(const Text& path, const std::string& bytes) {
  Text key = Fold(path, true);
  if (auto it = g.writeFailures.find(key); it != g.writeFailures.end()) return it->second;
  g.contents[key] = bytes;
  return std::nullopt;
}

int TrackPopupMenu(MenuId menu, Handle owner) {
  if (g.processEnded || !g.menus.count(menu)) return 0;
  ++g.popups;
  auto handler = g.popupHandler;  // the handler may replace itself
  return handler ? handler(menu, owner) : 0;
}

void BlockContextMenu(Handle textBox) {
  if (Window* w = FindMutable(textBox)) w->contextMenuBlocked = true;
}

void UnblockContextMenu(Handle textBox) {
  if (Window* w = FindMutable(textBox)) w->contextMenuBlocked = false;
}

// --- Message boxes

Answer AskYesNo(Handle owner, const Text& prompt, const Text& title) {
  g.messageBoxes.push_back({owner, prompt, title, true});
  if (g.answers.empty()) return Answer::No;
  Answer answer = g.answers.front();
  g.answers.pop_front();
  return answer;
}

void ShowError(Handle owner, const Text& message, const Text& title) {
  g.messageBoxes.push_back({owner, message, title, false});
}

// --- Clipboard

void ClipboardClear() { g.clipboard.clear(); }
void ClipboardSetText(const Text& text) { g.clipboard = text; }
Text ClipboardGetText() { return g.clipboard; }

// --- Clock

DateTime Now() {
  std::int64_t elapsed = FloorDiv(g.clockMs - g.nowBaseMs, 1000);
  return CivilFromSeconds(g.nowBase + elapsed);
}

namespace {
Text Digits(std::int64_t value, int width = 1) {
  std::string s = std::to_string(value < 0 ? -value : value);
  if (static_cast<int>(s.size()) < width) s.insert(0, static_cast<size_t>(width) - s.size(), '0');
  if (value < 0) s.insert(0, 1, '-');
  return Text(s.begin(), s.end());
}
}  // namespace

// The en-US forms: "3/5/2026", "2:55:30 PM".
Text FormatShortDate(const DateTime& when) {
  return Digits(when.month) + u"/" + Digits(when.day) + u"/" + Digits(when.year);
}

Text FormatTime(const DateTime& when) {
  int hour12 = ((when.hour % 12) + 12) % 12;
  if (hour12 == 0) hour12 = 12;
  return Digits(hour12) + u":" + Digits(when.minute, 2) + u":" + Digits(when.second, 2) +
         (when.hour >= 12 ? u" PM" : u" AM");
}

Text FormatDateTime(const DateTime& when) { return FormatShortDate(when) + u" " + FormatTime(when); }

double MonotonicSeconds() { return kMonotonicOrigin + static_cast<double>(g.clockMs) / 1000.0; }

// --- Message pump

void PumpMessages() {
  if (!g.processEnded) FireTicksDueBy(g.clockMs);
}

void WaitForMessagesUntil(double deadline) {
  if (g.processEnded) return;
  if (!g.later.empty()) {
    RunQueuedTasks();
    return;
  }
  // Whole milliseconds, rounded up so that the deadline has passed on return;
  // an absurd deadline is held to a day.
  double wanted = std::ceil((deadline - kMonotonicOrigin) * 1000.0 - 1e-6);
  const double limit = static_cast<double>(g.clockMs) + kSecondsPerDay * 1000.0;
  std::int64_t deadlineMs = std::isnan(wanted) ? g.clockMs
                                               : static_cast<std::int64_t>(std::clamp(
                                                     wanted, static_cast<double>(g.clockMs), limit));
  auto next = NextTick();
  std::int64_t target = next ? std::min(deadlineMs, next->second) : deadlineMs;
  g.clockMs = std::max(g.clockMs, target);
  if (next && next->second <= g.clockMs) FireTick(next->first);
}

int Run(void (*start)()) {
  start();
  return 0;
}

void RunLater(std::function<void()> task) {
  if (task && !g.processEnded) g.later.push_back(std::move(task));
}

void EndProcess() {
  g.processEnded = true;
  g.later.clear();
  throw sim::ProcessEndedSignal{};
}

// --- Files

Text ProgramDirectory() { return g.programDirectory; }

bool FileExists(const Text& path) { return g.files.count(Fold(path, true)) != 0 || g.contents.count(Fold(path, true)) != 0; }

CursorId LoadCursorFile(const Text& path) {
  auto it = g.files.find(Fold(path, true));
  if (it == g.files.end() || !it->second) return 0;
  return g_nextCursor += 2;
}

// Windows-1252, exactly: ASCII, Latin-1 from U+00A0, and the 27 characters
// of 0x80..0x9F. No best-fit substitutes.
std::optional<std::string> EncodeAnsi(const Text& text) {
  static constexpr char16_t kHigh[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    const char16_t* hit = std::find(std::begin(kHigh), std::end(kHigh), c);
    if (hit == std::end(kHigh)) return std::nullopt;
    out.push_back(static_cast<char>(0x80 + (hit - std::begin(kHigh))));
  }
  return out;
}

// --- Settings store

Text ReadStoredValue(const Text& app, const Text& section, const Text& key) {
  auto it = g.store.find(MakeStoreKey(app, section, key));
  return it == g.store.end() ? Text{} : it->second;
}

void WriteStoredValue(const Text& app, const Text& section, const Text& key, const Text& value) {
  if (g.processEnded) return;  // an ended process writes nothing
  g.store[MakeStoreKey(app, section, key)] = value;
  ++g.storeWrites;
}

}  // namespace platform
