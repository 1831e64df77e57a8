// The one boundary between Pinaleaf and the system it runs on, in the
// program's own terms.
//
// Everything above this header is portable C++: no system types or numbers.
// Geometry is in twips (1440 to the inch), colours are 0x00BBGGRR with bit 31
// naming a colour of the user's scheme, text is UTF-16 so that whatever the
// user types survives unchanged, and every window is a typed handle: a form,
// or one kind of control. Three implementations exist and exactly one is
// linked: platform/win32 (Windows), platform/qt (the Linux desktop) and
// platform/sim (unit tests). What all keep alike (forms, their sinks and events, timers, the look of
// windows, popup menus, where the focus goes) is written once, in
// platform/forms.cpp.
//
// All calls and all events happen on the one user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

using Text = std::u16string;
using Twips = int;
constexpr int kTwipsPerInch = 1440;
using Color = std::uint32_t;

// Colours of the user's scheme. As a Color they are the index with bit 31 set,
// so that a stored colour can name one.
enum class SystemColor : std::uint32_t { Window = 5, WindowText = 8, ButtonFace = 15 };
constexpr Color kSystemColorFlag = 0x80000000u;
constexpr Color ColorOf(SystemColor color) {
  return kSystemColorFlag | static_cast<Color>(color);
}
constexpr Color kWindowTextColor = ColorOf(SystemColor::WindowText);
constexpr Color kButtonFaceColor = ColorOf(SystemColor::ButtonFace);
// The colour itself: a scheme colour looked up, bit 31 and the top byte gone.
Color ResolveColor(Color color);

struct Rect {
  Twips left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

// ---------------------------------------------------------------------------
// Windows. A window of ours is a form (a top-level window) or one of its
// controls, each kind a type of its own, so that one is never taken for
// another. The number is the system's own, as the settings store records it;
// 0 is no window.
class Window {
 public:
  constexpr Window() = default;
  constexpr explicit Window(std::int32_t number) : number_(number) {
  }
  constexpr std::int32_t number() const {
    return number_;
  }
  constexpr explicit operator bool() const {
    return number_ != 0;
  }
  friend constexpr bool operator==(Window, Window) = default;

 private:
  std::int32_t number_ = 0;
};
struct Form : Window {
  using Window::Window;
};
struct Control : Window {
  using Window::Window;
};
struct TextBox : Control {
  using Control::Control;
};  // multi-line
struct Label : Control {
  using Control::Control;
};
struct Button : Control {
  using Control::Control;
};
struct ComboBox : Control {
  using Control::Control;
};  // editable drop-down, unsorted
struct Calendar : Control {
  using Control::Control;
};  // a month calendar
struct TimePicker : Control {
  using Control::Control;
};

enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum Modifier : int { kShift = 1, kCtrl = 2, kAlt = 4 };

// Keys, by what is written on them. Keys the program has no use for are Other.
enum class Key : std::uint16_t {
  None = 0,
  Tab = 9,
  Enter = 13,
  Escape = 27,
  Space = 32,
  A = 'A',
  B,
  C,
  D,
  E,
  F,
  G,
  H,
  I,
  J,
  K,
  L,
  M,
  N,
  O,
  P,
  Q,
  R,
  S,
  T,
  U,
  V,
  W,
  X,
  Y,
  Z,
  F1 = 0x101,
  F2,
  F3,
  F4,
  F5,
  F6,
  F7,
  F8,
  F9,
  F10,
  F11,
  F12,
  Other = 0xFFFF,
};

// Pointer shapes a form can show.
enum class Pointer { Default, IBeam, SizeNWSE, Custom };

// A cursor loaded from a file; 0 is none.
using CursorId = int;

struct Font {
  Text name = u"Arial";
  float size = 9.0f;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  bool operator==(const Font&) const = default;
};

// ---------------------------------------------------------------------------
// Events. A form and every control on it report to the form's sink.
// Coordinates are twips relative to the window that raised the event.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void OnResize(Form) {
  }
  virtual void OnClick(Window /*form or control*/) {
  }
  // The form itself took the focus: it had no control that could.
  virtual void OnGotFocus(Form) {
  }
  // Return true to keep the control's own handling of the press (caret
  // placement, selection) from running.
  virtual bool OnMouseDown(Window, MouseButton, int /*modifiers*/, Twips /*x*/, Twips /*y*/) {
    return false;
  }
  virtual void OnMouseMove(Window, int /*buttons held*/, int /*modifiers*/, Twips /*x*/, Twips /*y*/) {
  }
  // The key is never swallowed: the control handles it as usual afterwards.
  virtual void OnKeyDown(Control, Key, int /*modifiers*/) {
  }
  // The text box's own cut (Ctrl+X) is about to run. Return true when the
  // program has cut instead: the text box then does nothing.
  virtual bool OnCut(TextBox) {
    return false;
  }
  virtual void OnTimer(Form) {
  }
  // The user changed a combo box's text, the calendar's day or the picker's time.
  virtual void OnChange(Control) {
  }
  // The close box or Alt+F4. Return true to let the platform unload the form.
  virtual bool OnCloseRequest(Form) {
    return true;
  }
  // Runs while the form and its controls still exist, just before they go.
  virtual void OnUnload(Form) {
  }
  // The system clock was set, or the machine woke from sleep.
  virtual void OnClockChanged(Form) {
  }
};

// ---------------------------------------------------------------------------
// Forms. Each created form joins the loaded-window list and stays in it until
// it is unloaded.
enum class FormKind {
  Note,    // no frame or caption, no taskbar button
  Dialog,  // fixed dialog frame with a caption and a close box; Tab walks its controls
  Hidden,  // never shown; hosts a popup menu
};

struct FormSpec {
  FormKind kind = FormKind::Note;
  Text caption;
  Rect rect;  // the client area: position on the screen and size
  // The smallest size the user can drag the form to; 0 leaves it to the system.
  Twips minWidth = 0, minHeight = 0;
  bool platformPlaces = false;  // let the system choose the position
  Color backColor = kButtonFaceColor;
  // When set, the form is made over this one, on its monitor and at that
  // monitor's scale; `rect` then gives only the size.
  Form over;
};

// Creates the form hidden. The platform keeps `sink` alive while the form is
// loaded and for as long as an event to it is being handled.
Form CreateForm(const FormSpec& design, std::shared_ptr<EventSink> sink);
// Shows a hidden form in front and activates it; the first showing also
// raises the form's first resize event. A form shown already stays where it
// is in the z-order, active or not.
void ShowForm(Form form);
void HideForm(Form form);
bool IsVisible(Window window);
// Raises OnUnload, then destroys the form and its controls. Asked again from
// inside its own OnUnload, it does nothing more.
void UnloadForm(Form form);
bool IsLoaded(Form form);
// Every loaded form, hidden ones included, in load order.
std::vector<Form> LoadedForms();
// The sink of a loaded form; empty for anything else.
std::shared_ptr<EventSink> SinkOf(Form form);

// Forms: the whole window on the screen, frame included (a note has none), in
// twips at the scale of the form's monitor. Controls: relative to their
// form's client area.
Rect GetRect(Window window);
void SetRect(Window window, const Rect& rect);
Rect ScreenRect();
// The work area of the monitor nearest to `form` (the primary one for none),
// at the form's scale.
Rect WorkArea(Form form);

void SetBackColor(Window window, Color color);
Color GetBackColor(Window window);
// A form's title, a label's or a button's text.
void SetCaption(Window window, const Text& caption);
Text GetCaption(Window window);
// The shape shown while the pointer is over the form or any of its
// controls. Pointer::Custom shows `custom`, or the system's hand when 0.
void SetPointer(Form form, Pointer shape, CursorId custom);

// Z-order. Topmost forms stand above all others; Top is the top of the
// form's own band. A move activates the form only when asked.
enum class ZOrder { Top, Topmost, NotTopmost };
void SetZOrder(Form form, ZOrder where, bool activate);

// Where a drag takes hold of a frameless form: the whole of it, or an edge
// or corner.
enum class DragEdge { Move, Left, Right, Top, TopLeft, TopRight, Bottom, BottomLeft, BottomRight };
// The left button went down on a form or control: the system's own move or
// size loop takes the drag from there. It may return before the drag ends
// or after: every change of size is an OnResize, which is where a form
// follows its size. The loop never makes the form smaller than its minimum:
// the edge held stops there, the other stays.
void DragForm(Form form, DragEdge edge);

// Layered forms: drawn with one alpha (0 invisible, 255 opaque) or with one
// colour made transparent. Each call returns false where the system refused.
bool LayeredFormsSupported();
bool SetLayered(Form form, bool layered);
// Both fail on a form that is not layered.
bool SetLayeredAlpha(Form form, int alpha);
bool SetLayeredColorKey(Form form, Color key);

// ---------------------------------------------------------------------------
// Controls. Creation order is tab order.
struct TextBoxSpec {
  Rect rect;
  Font font;
  Color backColor = 0x00FFFFFF;
  Color foreColor = kWindowTextColor;
  Text text;
};
TextBox CreateTextBox(Form form, const TextBoxSpec& design);
// A text box's or a combo box's text.
Text GetText(Control control);
// Puts the caret at the start.
void SetText(TextBox textBox, const Text& text);
// Selection in UTF-16 units, held inside the text.
int GetSelStart(TextBox textBox);
void SetSelection(TextBox textBox, int start, int length);
Text GetSelectedText(TextBox textBox);
// Leaves the caret after the new text.
void ReplaceSelection(TextBox textBox, const Text& text);

void SetControlVisible(Control control, bool visible);
// Disabling the control that has the focus leaves no control with it;
// enabling it again does not give it back.
void SetEnabled(Control control, bool enabled);
bool IsEnabled(Control control);
// Activates the control's form first; a disabled control takes nothing.
void SetFocus(Control control);
// The form or control that has the keyboard focus now; none when none has.
Window GetFocus();
// The text box that holds, or last held, the focus in the active form; none
// when that control is not a text box. When a form is activated the focus
// goes back to the control that had it, or else to the first one in tab
// order that can take it, or else to the form itself.
TextBox FocusedTextBox();
void SetFont(Control control, const Font& font);
Font GetFont(Control control);
void SetForeColor(Control control, Color color);
Color GetForeColor(Control control);

Label CreateLabel(Form form, const Rect& rect, const Text& caption, const Font& font);
// `pressed` runs when the user presses it (a click, Space or Enter on it); it
// may unload the form.
Button CreateButton(Form form, const Rect& rect, const Text& caption, const Font& font, std::function<void()> pressed);
// The height given is the edit field's.
ComboBox CreateComboBox(Form form, const Rect& rect, const Font& font);
void ComboAdd(ComboBox combo, const Text& item);
int ComboCount(ComboBox combo);
Text ComboItem(ComboBox combo, int index);
void ComboSelect(ComboBox combo, int index);

struct Date {
  int year = 0, month = 0, day = 0;
};
struct TimeOfDay {
  int hour = 0, minute = 0, second = 0;
};
Calendar CreateMonthCalendar(Form form, const Rect& rect);
Date GetCalendarDate(Calendar calendar);
void SetCalendarDate(Calendar calendar, const Date& date);
TimePicker CreateTimePicker(Form form, const Rect& rect, const Font& font);
TimeOfDay GetPickerTime(TimePicker picker);
// Only the time of day: the picker's date part is never set.
void SetPickerTime(TimePicker picker, const TimeOfDay& time);

// ---------------------------------------------------------------------------
// One timer per form: OnTimer every `intervalMs`; 0 stops it.
void SetTimer(Form form, int intervalMs);
int GetTimer(Form form);

// ---------------------------------------------------------------------------
// Popup menus. Items are numbered by the caller (ids > 0).
using MenuId = int;
MenuId CreatePopupMenu();
// The shortcut label is shown apart from the caption, at the right.
void AppendMenuItem(MenuId menu, int id, const Text& caption, const Text& shortcutLabel);
void AppendMenuSeparator(MenuId menu);
void SetMenuChecked(MenuId menu, int id, bool checked);
// Modal, at the pointer, owned by `owner`, left button only: events are
// handled until it closes. Returns the chosen id, or 0 when dismissed.
int TrackPopupMenu(MenuId menu, Form owner);

// Keeps the system's own context menu of a text box from ever opening (by the
// mouse, the menu key or Shift+F10); everything else goes on unchanged.
// Removing it twice is harmless.
void BlockContextMenu(TextBox textBox);
void UnblockContextMenu(TextBox textBox);

// ---------------------------------------------------------------------------
// Message boxes.
enum class Answer { Yes, No };
Answer AskYesNo(Form owner, const Text& prompt, const Text& title);
void ShowError(Form owner, const Text& message, const Text& title);

// Standard dialogs. Each returns false on cancel and leaves `state` as it was.
enum class DialogOption {
  ScreenFonts,    // the font dialog lists the screen's fonts
  PrinterFonts,   // and the printer's
  FontEffects,    // strikeout, underline and colour
  ExplorerStyle,  // the save dialog of today's systems
};
// A set of them.
class DialogOptions {
 public:
  constexpr DialogOptions() = default;
  constexpr DialogOptions(std::initializer_list<DialogOption> options) {
    for (DialogOption option : options)
      bits_ |= Bit(option);
  }
  constexpr bool has(DialogOption option) const {
    return (bits_ & Bit(option)) != 0;
  }
  friend constexpr bool operator==(DialogOptions, DialogOptions) = default;

 private:
  static constexpr unsigned Bit(DialogOption option) {
    return 1u << static_cast<unsigned>(option);
  }
  unsigned bits_ = 0;
};
struct FontChoice {
  Font font;
  Color color = 0;
  DialogOptions options;
};
bool ChooseFontDialog(Form owner, FontChoice& state);
bool ChooseColorDialog(Form owner, Color& color);
struct SaveChoice {
  Text fileName;
  Text defaultExt;
  Text filterName;
  Text filterPattern;
  DialogOptions options;
};
// Never asks before replacing a file.
bool SaveFileDialog(Form owner, SaveChoice& state);

// ---------------------------------------------------------------------------
// Clipboard (Unicode text). Another program may hold it open for a moment
// (on Windows); both wait a little for it, then give up.
// Replaces the clipboard's content by `text`; false, with the clipboard as it
// was, when it could not be opened.
bool ClipboardPut(Form owner, const Text& text);
// The clipboard's text (empty when it holds none); nothing when it could not
// be opened.
std::optional<Text> ClipboardGet(Form owner);

// ---------------------------------------------------------------------------
// Clock: local time.
struct DateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
  bool operator==(const DateTime&) const = default;
};
DateTime Now();
// The local time `seconds` of real time after `when`, across a change to or
// from daylight-saving time too.
DateTime AddSeconds(const DateTime& when, int seconds);
Text FormatShortDate(const DateTime& when);  // the user's short date format
Text FormatTime(const DateTime& when);       // the user's time format
Text FormatDateTime(const DateTime& when);   // the general date-and-time form
// Seconds on a clock that never goes back and ignores midnight.
double MonotonicSeconds();

// ---------------------------------------------------------------------------
// Message pump and running order.
// Handles messages until one arrives or `deadline` (MonotonicSeconds) passes.
void WaitForMessagesUntil(double deadline);
// Ends the process at once: no unload events run, nothing more is written.
[[noreturn]] void EndProcess();
// The program's run: `start` once the system is ready, then its events until
// the process ends. Returns the exit code.
int Run(void (*start)());

// ---------------------------------------------------------------------------
// Files and the shell.
// The path of a file in the program's own folder.
Text ProgramFile(const Text& name);
// True when the file's date and time can be read.
bool FileExists(const Text& path);
CursorId LoadCursorFile(const Text& path);  // 0 when it cannot be loaded
// Bytes of `text` in the system ANSI code page; nothing when a character has
// no exact form there.
std::optional<std::string> EncodeAnsi(const Text& text);
// Replaces the file's content with `bytes`, never leaving it half-written; an
// existing file keeps its attributes and owner. On failure returns the
// system's reason, and the file is as it was.
std::optional<Text> WriteFileReplacing(const Text& path, const std::string& bytes);
// What came of handing a target to the shell. The system shows no message
// of its own: a failure is the caller's to tell, once.
struct ShellResult {
  enum Outcome {
    Opened,
    Cancelled,  // the user said no to a prompt of the handler's own
    NoProgram,  // no program is set up for the target, or it is not there
    Failed,     // for `reason`, the system's words; also a target too long
  };
  Outcome outcome = Opened;
  Text reason;
};
// Opens `target` with its default handler, from the program's folder; a
// target longer than LongestShellTarget() Failed.
ShellResult ShellOpen(Form owner, const Text& target);
// The longest target, in UTF-16 units, that the shell and the programs it
// starts take whole.
size_t LongestShellTarget();
void PlaySoundAsync(const Text& path);

// ---------------------------------------------------------------------------
// Per-user settings store: text values under application, section and key.
// A key never written reads as empty. Writes are immediate.
Text ReadStoredValue(const Text& app, const Text& section, const Text& key);
void WriteStoredValue(const Text& app, const Text& section, const Text& key, const Text& value);

}  // namespace platform
