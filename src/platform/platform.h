// The one boundary between Pinaleaf and the system it runs on.
//
// Everything above this header is portable C++: no Windows types, geometry in
// twips (1440 to the inch), colours as 0x00BBGGRR with bit 31 naming a system
// colour by index, text as UTF-16 so that whatever the user types survives
// unchanged. Two implementations exist and exactly one is linked:
// platform/win32 (the real program) and platform/sim (unit tests). What both
// keep alike (forms, their sinks and events, timers, the look of windows,
// popup menus, where the focus goes) is written once, in platform/forms.cpp.
//
// All calls and all events happen on the one user-interface thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

using Text = std::u16string;
using Twips = int;
using Color = std::uint32_t;
// A window or control handle, as the settings store records it (32-bit signed).
// 0 is no window.
using Handle = std::int32_t;

constexpr int kTwipsPerInch = 1440;

constexpr Color kSystemColorFlag = 0x80000000u;
constexpr Color kWindowTextColor = 0x80000008u;  // the user's window-text colour
constexpr Color kButtonFaceColor = 0x8000000Fu;  // the 3-D face colour

struct Rect {
  Twips left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum Modifier : int { kShift = 1, kCtrl = 2, kAlt = 4 };

// Pointer shapes a form can ask for; the numbers are the shape codes the
// notes use.
enum class Pointer : int { Default = 0, IBeam = 3, SizeNWSE = 8, Custom = 99 };

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
// Events. A form and every control on it report to the form's sink; the
// handle says which of them raised the event. Coordinates are twips relative
// to the window or control that raised it.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void OnResize(Handle /*form*/) {}
  virtual void OnClick(Handle /*formOrControl*/) {}
  // The form itself took the focus: it had no control that could.
  virtual void OnGotFocus(Handle /*form*/) {}
  // Return true to keep the platform's own handling of the press (caret
  // placement, selection) from running.
  virtual bool OnMouseDown(Handle, int /*button*/, int /*modifiers*/, Twips /*x*/, Twips /*y*/) {
    return false;
  }
  virtual void OnMouseMove(Handle, int /*buttons*/, int /*modifiers*/, Twips /*x*/, Twips /*y*/) {}
  // Key codes are virtual-key codes (A..Z 0x41..0x5A, F1 0x70). The key is
  // never swallowed: the control handles it as usual afterwards.
  virtual void OnKeyDown(Handle /*control*/, int /*keyCode*/, int /*modifiers*/) {}
  virtual void OnTimer(Handle /*form*/) {}
  virtual void OnCommand(Handle /*button*/) {}
  virtual void OnChange(Handle /*control*/) {}
  // The close box or Alt+F4. Return true to let the platform unload the form.
  virtual bool OnCloseRequest(Handle /*form*/) { return true; }
  // Runs while the form and its controls still exist, just before they go.
  virtual void OnUnload(Handle /*form*/) {}
  // The system clock was set, or the machine woke from sleep.
  virtual void OnClockChanged(Handle /*form*/) {}
};

// ---------------------------------------------------------------------------
// Forms: top-level windows. Each created form joins the loaded-window list and
// stays in it until it is unloaded.
enum class FormKind {
  Note,    // no frame or caption, no taskbar button
  Dialog,  // fixed dialog frame with a caption and a close box; Tab walks its controls
  Hidden,  // never shown; hosts a popup menu
};

struct FormSpec {
  FormKind kind = FormKind::Note;
  Text caption;
  Rect rect;  // the client area: position on the screen and size
  bool platformPlaces = false;  // let the system choose the position
  Color backColor = kButtonFaceColor;
  // When set, the form is made over this window, on its monitor and at that
  // monitor's scale; `rect` then gives only the size.
  Handle over = 0;
};

// Creates the form hidden. The platform keeps `sink` alive while the form is
// loaded and for as long as an event to it is being handled.
Handle CreateForm(const FormSpec& design, std::shared_ptr<EventSink> sink);
// Shows a hidden form in front and activates it; the first showing also
// raises the form's first resize event. A form shown already stays where it
// is in the z-order, active or not.
void ShowForm(Handle form);
void HideForm(Handle form);
bool IsVisible(Handle window);  // forms and controls
// Raises OnUnload, then destroys the form and its controls. Asked again from
// inside its own OnUnload, it does nothing more.
void UnloadForm(Handle form);
bool IsLoaded(Handle form);
// Every loaded form, hidden ones included, in load order.
std::vector<Handle> LoadedForms();
// The sink of a loaded form; empty for anything else.
std::shared_ptr<EventSink> SinkOf(Handle form);

// Forms: the whole window on the screen, frame included (a note has none), in
// twips at the scale of the form's monitor. Controls: relative to their
// form's client area.
Rect GetRect(Handle window);
void SetRect(Handle window, const Rect& rect);
Rect ScreenRect();
// The work area of the monitor nearest to `window`, at the window's scale
// (the primary one for 0).
Rect WorkArea(Handle window);

void SetBackColor(Handle window, Color color);
Color GetBackColor(Handle window);
void SetCaption(Handle window, const Text& caption);
Text GetCaption(Handle window);
// The shape shown while the pointer is over the form or any of its
// controls. Pointer::Custom shows `custom`, or the system's hand when 0.
void SetPointer(Handle form, Pointer shape, CursorId custom);

// Z-order. Topmost forms stand above all others; Top is the top of the
// form's own band. As with the system's own call, a move activates the form
// unless `activate` is false.
enum class ZOrder { Top, Topmost, NotTopmost };
void SetZOrder(Handle form, ZOrder where, bool activate);

// Frame hit codes, as the system's move and size loops take them.
enum HitCode : int {
  kHitCaption = 2,
  kHitLeft = 10,
  kHitRight = 11,
  kHitTop = 12,
  kHitTopLeft = 13,
  kHitTopRight = 14,
  kHitBottom = 15,
  kHitBottomLeft = 16,
  kHitBottomRight = 17,
};
// Ends the mouse capture a button press gave to a window or control.
void ReleaseCapture();
// Runs the system's own move (kHitCaption) or size loop on a form, as if the
// left button had gone down on that part of a frame; returns when the button
// is released.
void RunMoveSizeLoop(Handle form, int hitCode);

// Layered windows. The extended style is the system's bit set; writing it
// returns the previous value, 0 meaning failure.
constexpr std::uint32_t kTopmostStyle = 0x8;
constexpr std::uint32_t kLayeredStyle = 0x80000;
constexpr unsigned kLayeredColorKey = 1;
constexpr unsigned kLayeredAlpha = 2;
std::uint32_t GetExtendedStyle(Handle window);
std::uint32_t SetExtendedStyle(Handle window, std::uint32_t style);
// Fails on a window that is not layered.
bool SetLayeredAttributes(Handle window, Color key, int alpha, unsigned flags);
// The colour of a system colour index, as 0x00BBGGRR.
Color SystemColor(int index);
// The major version number the system reports for itself.
int SystemMajorVersion();

// ---------------------------------------------------------------------------
// Controls. Creation order is tab order.
struct TextBoxSpec {
  Rect rect;
  Font font;
  Color backColor = 0x00FFFFFF;
  Color foreColor = kWindowTextColor;
  Text text;
};
Handle CreateTextBox(Handle form, const TextBoxSpec& design);  // multi-line
Text GetText(Handle control);
// Puts the caret at the start.
void SetText(Handle control, const Text& text);
// Selection in UTF-16 units, held inside the text.
int GetSelStart(Handle textBox);
void SetSelection(Handle textBox, int start, int length);
Text GetSelectedText(Handle textBox);
// Leaves the caret after the new text.
void ReplaceSelection(Handle textBox, const Text& text);
bool IsTextBox(Handle control);

void SetControlVisible(Handle control, bool visible);
// Disabling the control that has the focus leaves no control with it;
// enabling it again does not give it back.
void SetEnabled(Handle control, bool enabled);
bool IsEnabled(Handle control);
// Activates the control's form first; a disabled control takes nothing.
void SetFocus(Handle control);
// The form or control that has the keyboard focus now; 0 when none has.
Handle GetFocus();
// The control that holds, or last held, the focus in the active form. When
// a form is activated the focus goes back to that control, or else to the
// first control in tab order that can take it, or else to the form itself.
Handle FocusedControl();
void SetFont(Handle control, const Font& font);
Font GetFont(Handle control);
void SetForeColor(Handle control, Color color);
Color GetForeColor(Handle control);

// Buttons report clicks with OnCommand; the combo box's edit field, the
// calendar and the time picker report the user's changes with OnChange.
Handle CreateLabel(Handle form, const Rect& rect, const Text& caption, const Font& font);
Handle CreateButton(Handle form, const Rect& rect, const Text& caption, const Font& font);
// Editable drop-down combo box, unsorted.
Handle CreateComboBox(Handle form, const Rect& rect, const Font& font);
void ComboAdd(Handle combo, const Text& item);
int ComboCount(Handle combo);
Text ComboItem(Handle combo, int index);
void ComboSelect(Handle combo, int index);

struct Date {
  int year = 0, month = 0, day = 0;
};
struct TimeOfDay {
  int hour = 0, minute = 0, second = 0;
};
Handle CreateMonthCalendar(Handle form, const Rect& rect);
Date GetCalendarDate(Handle calendar);
void SetCalendarDate(Handle calendar, const Date& date);
Handle CreateTimePicker(Handle form, const Rect& rect, const Font& font);
TimeOfDay GetPickerTime(Handle picker);
void SetPickerTime(Handle picker, const TimeOfDay& time);

// ---------------------------------------------------------------------------
// One timer per form: OnTimer every `intervalMs`; 0 stops it.
void SetTimer(Handle form, int intervalMs);
int GetTimer(Handle form);

// ---------------------------------------------------------------------------
// Popup menus. Items are numbered by the caller (ids > 0).
using MenuId = int;
MenuId CreatePopupMenu();
void AppendMenuItem(MenuId menu, int id, const Text& caption, const Text& shortcutLabel);
void AppendMenuSeparator(MenuId menu);
void SetMenuChecked(MenuId menu, int id, bool checked);
// Modal, at the pointer, owned by `owner`, left button only. Returns the
// chosen id, or 0 when dismissed.
int TrackPopupMenu(MenuId menu, Handle owner);

// Keeps the system's own context menu of a text box from ever opening; every
// other message passes on unchanged. Removing twice is harmless.
void BlockContextMenu(Handle textBox);
void UnblockContextMenu(Handle textBox);

// ---------------------------------------------------------------------------
// Message boxes.
enum class Answer { Yes, No };
Answer AskYesNo(Handle owner, const Text& prompt, const Text& title);
void ShowError(Handle owner, const Text& message, const Text& title);

// Standard dialogs. Each returns false on cancel and leaves `state` as it was.
// Flags are the system's own.
constexpr unsigned kFontScreenFonts = 0x1;
constexpr unsigned kFontPrinterFonts = 0x2;
constexpr unsigned kFontEffects = 0x100;  // strikeout, underline and colour
constexpr unsigned kSaveExplorer = 0x80000;
struct FontChoice {
  Font font;
  Color color = 0;
  unsigned flags = 0;
};
bool ChooseFontDialog(Handle owner, FontChoice& state);
bool ChooseColorDialog(Handle owner, Color& color);
struct SaveChoice {
  Text fileName;
  Text defaultExt;
  Text filterName;
  Text filterPattern;
  unsigned flags = 0;
};
bool SaveFileDialog(Handle owner, SaveChoice& state);

// ---------------------------------------------------------------------------
// Clipboard (Unicode text). Another program may hold it open for a moment;
// both wait a little for it, then give up.
// Replaces the clipboard's content by `text`; false, with the clipboard as it
// was, when it could not be opened.
bool ClipboardPut(Handle owner, const Text& text);
// The clipboard's text (empty when it holds none); nothing when it could not
// be opened.
std::optional<Text> ClipboardGet(Handle owner);

// ---------------------------------------------------------------------------
// Clock: local time.
struct DateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
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
Text ProgramDirectory();  // without a trailing separator
// True when the file's date and time can be read.
bool FileExists(const Text& path);
CursorId LoadCursorFile(const Text& path);  // 0 when it cannot be loaded
// Bytes of `text` in the system ANSI code page; empty when a character has no
// exact form there.
std::optional<std::string> EncodeAnsi(const Text& text);
// Replaces the file's content with `bytes`, never leaving it half-written; an
// existing file keeps its attributes and owner. On failure returns the
// system's reason, and the file is as it was.
std::optional<Text> WriteFileReplacing(const Text& path, const std::string& bytes);
// Opens `target` with its default handler. Returns the system's reason when
// nothing could open it.
std::optional<Text> ShellOpen(Handle owner, const Text& target, const Text& workingDirectory);
void PlaySoundAsync(const Text& path);

// ---------------------------------------------------------------------------
// Per-user settings store: text values under application, section and key.
// A key never written reads as empty. Writes are immediate.
Text ReadStoredValue(const Text& app, const Text& section, const Text& key);
void WriteStoredValue(const Text& app, const Text& section, const Text& key, const Text& value);

}  // namespace platform
