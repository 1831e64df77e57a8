// The simulated platform: everything in memory, a virtual clock, scripted
// answers for dialogs, and a test API that raises the same events the Win32
// layer raises. Deterministic: nothing here reads the real clock or screen.
//
// Geometry is stored in pixels at `Dpi()` (96 unless set), as on Windows, so
// twips round the same way: 2000 twips at 96 dpi become 133 pixels and read
// back as 1995.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace sim {

using platform::Color;
using platform::Handle;
using platform::Text;
using platform::Twips;

enum class Kind { Form, TextBox, Label, Button, ComboBox, Calendar, TimePicker };

// Everything the platform knows about one window or control.
struct Window {
  Handle handle = 0;
  Kind kind = Kind::Form;
  platform::FormKind formKind = platform::FormKind::Note;
  Handle parent = 0;  // controls: their form
  Text caption;       // forms, labels, buttons
  int leftPx = 0, topPx = 0, widthPx = 0, heightPx = 0;
  Color backColor = 0;
  Color foreColor = platform::kWindowTextColor;
  platform::Font font;
  Text text;  // text boxes, combo edit field
  int selStart = 0, selLength = 0;
  bool enabled = true;
  bool visible = false;
  bool shownOnce = false;
  bool topmost = false;
  bool contextMenuBlocked = false;
  std::uint32_t exStyle = 0;  // without the topmost bit, which `topmost` holds
  Color layeredKey = 0;
  int layeredAlpha = -1;  // -1: never set
  unsigned layeredFlags = 0;
  platform::Pointer pointer = platform::Pointer::Default;
  platform::CursorId customCursor = 0;
  int timerMs = 0;
  double nextTickAt = 0;  // virtual seconds
  std::vector<Text> items;  // combo box
  platform::Date date;
  platform::TimeOfDay time;
};

// Starts over: no windows, an empty store, the clock at 2026-03-05 14:55:30,
// 96 dpi, a 1280x1024-pixel screen. Call it at the start of every test.
void Reset();

// State of a window or control; null when it does not exist (any more).
const Window* Find(Handle handle);
// The controls of a form, in creation order.
std::vector<Handle> ControlsOf(Handle form);

// --- Input. Each call raises the events Windows would, on the window or
// control given, with coordinates in twips relative to it. If an event
// handler ends the process, the call returns and ProcessEnded() is true.
void MouseDown(Handle target, int button, int modifiers, Twips x, Twips y);
void MouseMove(Handle target, int buttons, int modifiers, Twips x, Twips y);
// Press and release of the left button: MouseDown, then Click.
void Click(Handle target, Twips x = 0, Twips y = 0);
void KeyDown(Handle control, int keyCode, int modifiers);
// The form receives the focus (raises OnGotFocus).
void Focus(Handle form);
// The user resizes a form to this client size (raises OnResize).
void Resize(Handle form, Twips width, Twips height);
// The user asks a form to close (close box, Alt+F4).
void Close(Handle form);

// --- Dialog controls, as the user works them.
void PressButton(Handle button);  // raises OnCommand
void ChooseTime(Handle picker, const platform::TimeOfDay& time);  // raises OnChange
void ChooseDate(Handle calendar, const platform::Date& date);     // raises OnChange
// Replaces the text of a combo box's edit field (raises OnChange).
void TypeText(Handle combo, const Text& text);

// --- Time. Advances the virtual clock, firing due timers in time order and
// running tasks queued with RunLater.
void Advance(int milliseconds);
void SetNow(const platform::DateTime& now);
void SetDpi(int dpi);
int Dpi();

// --- Scripted answers. Each message box takes the next queued answer (No
// when none is queued) and is recorded.
struct MessageBoxRecord {
  Handle owner = 0;
  Text prompt;
  Text title;
  bool question = false;
};
void QueueAnswer(platform::Answer answer);
const std::vector<MessageBoxRecord>& MessageBoxes();

// --- Files.
void SetProgramDirectory(const Text& directory);
// Marks a file as present; `loadableCursor` says whether it loads as a cursor.
void AddFile(const Text& path, bool loadableCursor = false);

// --- Settings store.
void Store(const Text& key, const Text& value);  // under Pinaleaf\1.0
std::optional<Text> Stored(const Text& key);
int StoreWrites();  // how many writes since Reset

// --- Popup menus.
struct MenuEntry {
  int id = 0;
  Text caption;
  Text shortcut;
  bool separator = false;
  bool checked = false;
};
const std::vector<MenuEntry>* MenuEntries(platform::MenuId menu);
// Answers TrackPopupMenu while the popup is open: gets the menu and its
// owner, returns the chosen id (0 dismisses). Without one, every popup is
// dismissed.
void SetPopupHandler(std::function<int(platform::MenuId, Handle owner)> handler);
int PopupCount();  // popups shown since Reset

// --- Layered windows and the system's own loops.
struct LayeredCall {
  Handle window = 0;
  Color key = 0;
  int alpha = 0;
  unsigned flags = 0;
  bool succeeded = false;
};
const std::vector<LayeredCall>& LayeredCalls();
// While set, every SetLayeredAttributes fails (and is still recorded).
void FailLayeredCalls(bool fail);
// While set, every SetExtendedStyle fails.
void FailStyleWrites(bool fail);
void SetSystemMajorVersion(int major);  // 6 unless set

struct MoveSizeLoop {
  Handle form = 0;
  int hitCode = 0;
};
const std::vector<MoveSizeLoop>& MoveSizeLoops();
// Runs inside RunMoveSizeLoop, standing in for the user's drag: it may move
// or resize the form with platform::SetRect.
void SetMoveSizeHandler(std::function<void(Handle form, int hitCode)> handler);
int CaptureReleases();

// --- Standard dialogs. A handler runs while its dialog is open: it sees what
// the dialog shows, may change what it returns, and answers true for OK.
// Without a handler the dialog is cancelled.
void SetFontDialogHandler(std::function<bool(platform::FontChoice&)> handler);
void SetColorDialogHandler(std::function<bool(platform::Color&)> handler);
void SetSaveDialogHandler(std::function<bool(platform::SaveChoice&)> handler);
struct DialogRecord {
  Text kind;  // u"font", u"color", u"save"
  Handle owner = 0;
};
const std::vector<DialogRecord>& Dialogs();

// --- Saved files.
std::optional<std::string> FileContents(const Text& path);
void SetFileContents(const Text& path, const std::string& bytes);
// Writes to `path` fail with `reason`, leaving its content as it was.
void FailWritesTo(const Text& path, const Text& reason);
// The ANSI code page the sim encodes to is Windows-1252.

// --- Sound and the shell: what was asked of them.
const std::vector<Text>& SoundsPlayed();
struct ShellCall {
  Handle owner = 0;
  Text target;
  Text workingDirectory;
};
const std::vector<ShellCall>& ShellCalls();

// --- Process end.
bool ProcessEnded();

}  // namespace sim
