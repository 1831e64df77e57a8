// The walk over the real pinaleaf, a process of its own under the tests' X
// server and its window manager: real keys and mouse through XTest, the
// windows and the screen as the server shows them, and what they hold
// described from inside the program by the describe plugin. Every other
// Ctrl shortcut is pressed as a user of a Russian layout presses it. Its
// CMakeLists entry gives it a home of its own ($HOME, where the save dialog
// opens).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <QString>

#include "walk.h"
#include "x11.h"

namespace {

using namespace std;

// What a command writes, by way of a file in the walk's home.
string Output(const string& command) {
  (void)!system((command + " >output").c_str());
  return x11::FileText("output");
}

filesystem::path g_home = getenv("HOME");
pid_t g_pid = 0;
int g_shortcuts = 0;

bool Ours(x11::Id window) {
  return x11::Property(window, "_NET_WM_PID") == vector<long>{g_pid};
}

TEST(Walk, NothingTheUserTypesIsLostWhateverTheyDo) {
  EXPECT_TRUE(walk::Walk());
  kill(g_pid, SIGKILL);
}

}  // namespace

namespace walk {

// Found by typing from the top of a list (Qt's lists search from the next
// entry); each face lists its styles in an order of its own.
System given = {{"Select Font", "Select Color", "Save As"},
                {"Home|=", "Home|=Regular", "Home|=Italic", "Home|=Bold Italic"},
                "",
                true};

// At first on an account that has never held a setting (the walk's own
// home alone is emptied), where the note (frameless at its place, as the
// walk sees) is kept off the taskbar, and its strip along the top is light
// yellow edge to edge: where a compositor (picom) draws translucency, at
// an opacity of 200 over its grey desktop. The describe plugin watches
// for the removal of a description there before.
void Start(bool fresh) {
  if (fresh && g_home.filename() == "walk-home")
    filesystem::remove_all(g_home);
  filesystem::create_directories(g_home);
  filesystem::current_path(g_home);
  ofstream("described").close();  // closed: its removal is heard once no one holds it
  if (!(g_pid = fork())) {
    execl(PINALEAF_PROGRAM, PINALEAF_PROGRAM, nullptr);
    _exit(127);
  }
  unsigned yellow = x11::Composited() ? 0xB3E4E4 : 0xC0FFFF;
  EXPECT_TRUE(x11::WaitUntil(
      [&] {
        x11::Id note = x11::Focused();
        return Ours(note) && (!fresh || (x11::HasState(note, "_NET_WM_STATE_SKIP_TASKBAR") &&
                                         ranges::count(x11::Colours(135, 137, 133, 24), yellow) == 3192));  // 133 by 24
      },
      10000));
}
bool Running() {
  return waitpid(g_pid, nullptr, WNOHANG) == 0;
}
// The windows as the X server shows them, the top first; the rest as the program does.
string Describe() {
  filesystem::remove("described");  // asks the describe plugin for the next
  string out;
  for (x11::Id w : x11::Shown()) {
    x11::Box b = x11::Geometry(w);
    string title;
    x11::Property(w, "_NET_WM_NAME", &title);
    out += Printed("%s %lu %d %d %d %d %d %d %zu\n", Ours(w) ? "window" : "other", w, b.x, b.y, b.width, b.height,
                   x11::Opacity(w), x11::HasState(w, "_NET_WM_STATE_ABOVE"), title.size()) +
           title + '\n';
  }
  x11::WaitUntil([&] { return filesystem::exists("described") || !Running(); }, 60000);
  return out + x11::FileText("described");
}

void Move(int x, int y) {
  x11::Move(x, y);
}
void Click(int x, int y, bool right) {
  x11::Click(x, y, right ? 3 : 1);
}
void Drag(int x, int y, int toX, int toY) {
  x11::Drag(x, y, toX, toY);
}
// The letters of the shortcuts, and the Russian ones in their places
// (ф с в у а т щ к ы м ч й): X numbers a Cyrillic letter 0x600 and its
// KOI8-R code.
void Key(const string& name, int modifiers, int times) {
  size_t at = "acdefnorsvxq"s.find(name);  // none of the other keys' names is in there
  bool russian = modifiers == 2 && at != string::npos && ++g_shortcuts % 2;
  string key = russian ? Printed("%#x", 0x600 | uint8_t("\xC6\xD3\xD7\xD5\xC1\xD4\xDD\xCB\xD9\xCD\xDE\xCA"[at])) : name;
  // A layout takes a moment to reach the program, and Qt presses a button
  // by its letter a moment later.
  usleep(russian && !system("setxkbmap ru") ? 200000 : 0);
  for (int i = 0; i < times; ++i)
    x11::Key(key.c_str(), modifiers);
  usleep(modifiers == 4 || (russian && !system("setxkbmap us")) ? 200000 : 0);
}
// UTF-8 as the characters typed, each by its keysym's name.
void Type(const string& text) {
  for (unsigned c : QString::fromStdString(text).toStdU32String())
    x11::Key(c == '\n' ? "Return" : Printed("U%X", c).c_str());
}
void CloseBox(Id window) {
  x11::CloseBox(window);
}
string Clipboard() {
  return Output("timeout 5 xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null");
}
// Held by xclip until another program takes it: away from the test's
// output, which ctest waits to see closed.
void SetClipboard(const string& text) {
  setenv("PINALEAF_WALK_CLIPBOARD", text.c_str(), 1);
  (void)!system("printf %s \"$PINALEAF_WALK_CLIPBOARD\" | xclip -i -selection clipboard >/dev/null 2>&1");
}
// The program's settings file, where a fresh account has it; edited as by hand.
string Stored(const string& key) {
  return Output("sed -n 's/^" + key + "=//p' .config/pinaleaf/settings.ini | head -c -1");
}
void Store(const string& key, const string& value) {
  (void)!system(("sed -i '/^" + key + "=/d; $a" + key + "=" + value + "' .config/pinaleaf/settings.ini").c_str());
}
string Handed() {
  return Output("tail -n 1 shell.log 2>/dev/null | head -c -1");
}
string File(const string& name) {  // an empty note saved is a file of no bytes
  return filesystem::exists(name) ? x11::FileText(name) : "(no file)";
}
string Saved(const string& text) {
  return text;
}

void HoldClipboard() {  // X has no lock on the clipboard that another program could hold
}

}  // namespace walk
