// The simulated platform: everything in memory, a virtual clock, scripted
// answers for dialogs, and a test API that acts as the user would. Its rules
// are those the Win32 build shows under Wine (the contract tests hold both to
// them). Deterministic: nothing here reads the real clock or screen.
//
// Geometry is kept in pixels, as on Windows, so twips round the same way:
// 2000 twips at 96 dpi are 133 pixels and read back as 1995. Each form is at
// the scale of its monitor, and its controls with it.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace sim {

using namespace platform;

// Everything the system knows about one window or control.
struct Record {
  FormKind formKind = FormKind::Note;  // forms
  Form parent;                         // controls: their form
  Text text;                           // caption, or the text of a text box or combo box
  int leftPx = 0, topPx = 0, widthPx = 0, heightPx = 0;
  Twips minWidth = 0, minHeight = 0;  // forms: the smallest the size loop leaves them
  int dpi = 96;                       // forms: of the monitor they are on
  int selAnchor = 0, selCaret = 0;    // text boxes and combo boxes
  bool enabled = true, visible = false, topmost = false, layered = false;
  int alpha = -1;           // as last set on the layered form; -1: never
  int ticks = 0;            // forms: how often their timer fired
  std::vector<Text> items;  // combo box
  Date date;
  TimeOfDay time;
};

// File names and keys compare without regard to letter case, as on Windows.
struct NoCase {
  bool operator()(const Text& a, const Text& b) const;
};

struct MessageBoxRecord {
  Form owner;
  Text prompt, title;
  bool question = false;
};
struct ShellCall {
  Form owner;
  Text target;
};

// The rest of the system, as data a test scripts and reads.
struct System {
  // The user's answers while a modal loop runs. Message boxes take queued
  // answers (No when none is left); a popup handler returns the chosen id (0
  // dismisses); a dialog handler may change what it shows and returns true for
  // OK. Without a handler a popup or dialog is dismissed. In a move or size
  // loop the pointer moves by dragX, dragY pixels before the button is up.
  std::deque<Answer> answers;
  std::function<int(MenuId, Form owner)> popup;
  std::function<bool(Form owner, FontChoice&)> fontDialog;
  std::function<bool(Form owner, Color&)> colorDialog;
  std::function<bool(Form owner, SaveChoice&)> saveDialog;
  int dragX = 0, dragY = 0;
  // Faults.
  bool clipboardHeld = false;                  // another program holds it open
  ShellResult shellResult;                     // what comes of every target handed to the shell
  std::map<Text, Text, NoCase> writeFailures;  // path -> reason
  // State.
  std::map<Text, std::string, NoCase> files;  // path -> bytes
  std::map<Text, bool, NoCase> cursors;       // path -> loads as a cursor
  std::map<Text, Text, NoCase> store;         // settings under Pinaleaf\1.0
  std::optional<Text> clipboard;
  // What the program asked for.
  std::vector<MessageBoxRecord> messageBoxes;
  std::vector<ShellCall> shellCalls;
  std::vector<Text> sounds;
};

// Starts over: no windows, the system as above, the clock at 2026-03-05
// 14:55:30, two monitors side by side: the primary of 1280 x 1024 pixels at
// 96 dpi with a 40-pixel taskbar along its bottom, and to its right one of
// 1920 x 1080 at 144 dpi with a 48-pixel taskbar along its top. Call it in
// every test.
void Reset();
System& Sys();
std::optional<Text> Stored(const Text& key);

// A window or control; null when it does not exist (any more).
const Record* Find(Window window);
// The controls of a form, in creation order.
std::vector<Control> ControlsOf(Form form);
// Visible forms, the top of the z-order first.
std::vector<Form> ZOrder();
// The form that has the user's keyboard; none while another program has it.
Form ActiveForm();
// The pointer a form shows, and its custom cursor.
std::pair<Pointer, CursorId> PointerOf(Form form);
bool ProcessEnded();

// --- The user. Presses and moves land on the window or control given, with
// coordinates in twips relative to it; a press activates its form first.
// Keys go where the keyboard focus is. If a handler ends the process, the
// call returns and ProcessEnded() is true.
void MouseDown(Window target, MouseButton button, int modifiers, Twips x, Twips y);
void MouseMove(Window target, int buttons, int modifiers, Twips x, Twips y);
// Press and release of the left button.
void Click(Window target, Twips x = 0, Twips y = 0);
// A key with modifiers. In a dialog Tab and Shift+Tab walk the controls, and
// Space or Enter press a focused button; in a combo box Enter and Esc press
// nothing. Ctrl+X in a text box then runs its own cut, which its sink may
// take over (OnCut).
void KeyDown(Key key, int modifiers = 0);
// Characters typed into the focused text box or combo box, in place of its
// selection (a combo box selects all of its text when it takes the focus).
void Type(const Text& text);
// The user asks a form to close (close box, Alt+F4).
void Close(Form form);
// A change the user made to a control (its text, the calendar's day, the
// picker's time), which it reports.
void Changed(Control control);
// Runs `action` as an event of the message loop: a process end in it is
// caught there.
void Run(const std::function<void()>& action);

// --- Time. Advances the virtual clock, firing due timers in time order.
void Advance(int milliseconds);
// The clock is set, or the machine wakes from sleep at this time: every form
// hears of it; timers keep their pace.
void SetNow(const DateTime& now);

}  // namespace sim
