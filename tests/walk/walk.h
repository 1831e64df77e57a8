// A seeded random walk of what a user does with Pinaleaf, written once for
// both platforms: the model of what each note holds and shows, and the
// choice of steps. Each round takes every popup entry (found by its caption)
// and every shortcut once, and every other kind of step, in an order drawn
// from the seed; the path depends on the seed alone. A driver per platform
// (tests/win32, tests/linux) gives the program real input and reads what
// the user sees from outside it.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

namespace walk {

using namespace std;

// Text as printf writes it, up to 511 bytes.
inline string Printed(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

using Id = uint64_t;  // a window, as the system numbers it; 0: none

// A platform's user and eyes, one linked in per platform (tests/win32,
// tests/linux), as the program's platform layer is. Text is UTF-8, a line
// end "\n" however the platform keeps it. Keys are named as X names them
// ("a", "F1", "Return", "End"), with modifiers 1 Shift, 2 Ctrl, 4 Alt.

// Starts the program as a user does (on a fresh account: nothing stored
// yet) and waits for its note; whether it still runs.
void Start(bool fresh);
bool Running();
// What the screen shows, once the program has handled what came before,
// a line each:
//   window <id> <client area's x y width height> <alpha> <topmost 0/1> <bytes>,
//     then that many bytes of its title (a message's words after a line
//     end): each shown window of the program, the front one first ("other"
//     in place of "window" for another program's);
//   note <id> <its text area's x y width height> <bytes>, then "<the
//     text's height in pixels> <bold> <italic> <underline> <strikeout>
//     <text colour> <back colour> <face>", a line end and the text;
//   keyboard <id> <1 when a note's text has it>: the window with the keyboard;
//   pointer <custom, ibeam, nwse, or another shape>;
//   popup <x> <y> <width> <height> <bytes>, then an open popup's entries, a
//     line each: "-" a separator, the shortcut label after a tab, "*"
//     before a checked one;
//   calendar <x> <y> <width> <height> <day> <month> <year>: a shown month
//     calendar and the day it has selected.
// Colours are 0x00BBGGRR, boxes pixels on the screen.
string Describe();

// The user.
void Move(int x, int y);
void Click(int x, int y, bool right = false);
void Drag(int x, int y, int toX, int toY);
void Key(const string& name, int modifiers = 0, int times = 1);
void Type(const string& text);
void CloseBox(Id window);

// The rest of the system.
string Clipboard();
void SetClipboard(const string& text);
// Another program holds the clipboard for a moment shorter than the
// program waits (where one can).
void HoldClipboard();
string Stored(const string& key);
void Store(const string& key, const string& value);
// The last address handed to the mail program or browser.
string Handed();
// A file by the name the save dialog takes; what a note saved there holds.
string File(const string& name);
string Saved(const string& text);

// The system's font, colour and save dialogs: their titles; the keys (see
// Walker::Keys) that choose a face by its name and then the regular,
// italic or bold italic style in the font dialog's list of styles; the
// folder a name is typed in (the dialog's own: none). A paste's CR LF, CR
// and LF all become one line end (Linux).
struct System {
  const char* titles[3] = {"Font", "Color", "Save As"};
  const char* font[4] = {"=", "Up*3", "Up*3|Down", "Up*3|Down*3"};
  string folder;
  bool linux = false;
};
extern System given;

// Walks from the seed PINALEAF_WALK_SEED (22 unless told) as many steps as
// PINALEAF_WALK_STEPS (one round unless told: every kind of step once), then
// quits; whether everything held. Each step is logged as it is taken.
bool Walk();

}  // namespace walk
