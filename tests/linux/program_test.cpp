// The real program under real input on the tests' own X server, a process
// of its own, judged from outside: its windows as the server shows them, the
// screen, the clipboard, the files and addresses it hands on.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "x11.h"

namespace {

using x11::Box;
using x11::Id;
const char kAbove[] = "_NET_WM_STATE_ABOVE";

// What `read` comes to within 10 s, expected to be what follows.
#define EXPECT_SOON(read, ...)                                    \
  x11::WaitUntil([&] { return (read) == (__VA_ARGS__); }, 10000); \
  EXPECT_EQ(read, (__VA_ARGS__))

std::string Clipboard() {
  std::string text;
  FILE* pipe = popen("timeout 5 xclip -o -selection clipboard -t UTF8_STRING 2>/dev/null", "r");
  for (int c; (c = fgetc(pipe)) != EOF;)
    text += static_cast<char>(c);
  pclose(pipe);
  return text;
}

// Whether the screen shows a colour that a note draws at its opacity of 200:
// blended with the bare desktop behind it (as in the screen's corner) where
// a compositor draws translucency, else as it is. Compositors round each
// channel their own way.
auto Seen(unsigned colour) {
  unsigned behind = x11::Colours({0, 0, 1, 1}).at(0);
  bool blended = x11::Composited();
  return [=](unsigned seen) {
    for (int shift : {0, 8, 16}) {
      int c = int(colour >> shift & 0xFF), expected = blended ? (c * 200 + int(behind >> shift & 0xFF) * 55) / 255 : c;
      if (std::abs(int(seen >> shift & 0xFF) - expected) > 2)
        return false;
    }
    return true;
  };
}

// pinaleaf with a settings folder and a sound log of its own, as a user
// starts it; killed at the end if it has not ended.
class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    char home[] = "/tmp/pinaleaf-program-XXXXXX";
    home_ = mkdtemp(home);
    chdir(home);  // where the save dialog opens
    setenv("XDG_CONFIG_HOME", home, 1);
    setenv("PINALEAF_SOUND_LOG", (home_ / "sound.log").c_str(), 1);
    setenv("PATH", PINALEAF_TEST_TOOLS ":/usr/local/bin:/usr/bin:/bin", 1);
    char* argv[] = {const_cast<char*>(PINALEAF_PROGRAM), nullptr};
    ASSERT_EQ(posix_spawn(&pid_, PINALEAF_PROGRAM, nullptr, nullptr, argv, environ), 0);
  }
  // The window manager lets go of the windows before the next program,
  // which the server may give the same window numbers.
  void TearDown() override {
    if (pid_ && !kill(pid_, SIGKILL))
      waitpid(pid_, nullptr, 0);
    x11::WaitUntil([] { return std::ranges::all_of(x11::Managed(), [](Id w) { return x11::Geometry(w).width; }); },
                   10000);
    std::filesystem::remove_all(home_);
  }
  // Its shown windows of a title, the top first; whether its popup menu shows.
  std::vector<Id> Windows(const std::string& title) {
    std::vector<Id> found;
    for (Id window : x11::Shown(pid_)) {
      if (x11::Title(window) == title && !x11::OverrideRedirect(window))
        found.push_back(window);
    }
    return found;
  }
  bool PopupShown() {
    return std::ranges::any_of(x11::Shown(pid_), x11::OverrideRedirect);
  }
  std::vector<Id> Notes(size_t count) {
    x11::WaitUntil([&] { return Windows("Form1").size() == count; }, 10000);
    return Windows("Form1");
  }
  // The window that has the keyboard, once it is the one of that title.
  Id WaitFor(const std::string& title) {
    x11::WaitUntil([&] { return x11::Title(x11::Focused()) == title; }, 10000);
    return x11::Focused();
  }
  // A left or right click in a note's text area, which starts 24 pixels
  // down; the window manager gives the note the keyboard for a left one.
  void ClickText(Id note, int button = 1) {
    Box box = x11::Geometry(note);
    x11::Click(box.x + box.width / 2, box.y + 80, button);
    if (button == 1)
      x11::WaitUntil([&] { return x11::Focused() == note; }, 10000);
  }
  // The popup's entry so many steps down (up, below 0) from none, chosen by
  // keyboard; none, with Escape.
  void Choose(Id note, int steps) {
    ClickText(note, 3);
    ASSERT_TRUE(x11::WaitUntil([&] { return PopupShown(); }, 10000));
    for (int i = 0; i < std::abs(steps); ++i)
      x11::Key(steps > 0 ? "Down" : "Up");
    x11::Key(steps ? "Return" : "Escape");
    EXPECT_TRUE(x11::WaitUntil([&] { return !PopupShown(); }, 10000));
  }
  int ExitCode() {
    int status = 0;
    if (!x11::WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, 10000))
      return -1;
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::filesystem::path home_;
  pid_t pid_ = 0;
};

TEST_F(Program, StartsWithOneFramelessLightYellowTranslucentNoteAtItsPlace) {
  Id note = Notes(1).at(0);
  EXPECT_EQ(x11::Geometry(note), (Box{135, 137, 133, 157}));   // 2025, 2055 twips; 1995 × 2355
  EXPECT_EQ(x11::Property(note, "_MOTIF_WM_HINTS").at(2), 0);  // no decorations
  EXPECT_SOON(x11::Opacity(note), 200);
  // No taskbar button; kept above by design until the user turns it off.
  EXPECT_TRUE(x11::HasState(note, "_NET_WM_STATE_SKIP_TASKBAR") && x11::HasState(note, kAbove));
  // The strip along the top, edge to edge.
  EXPECT_SOON(std::ranges::all_of(x11::Colours({135, 137, 133, 24}), Seen(0x00C0FFFF)), true);
}

TEST_F(Program, TextTypedLeavesByTheClipboardAndAFile) {
  Id note = Notes(1).at(0);
  ClickText(note);
  // A long note in several scripts, with an emoji.
  std::string typed;
  for (int line = 0; line < 60; ++line) {
    x11::Type(U"Grüße aus Köln, 日本語 😀 & more?\n");
    typed += "Grüße aus Köln, 日本語 😀 & more?\n";
  }
  x11::Key("a", 2);
  x11::Key("c", 2);
  EXPECT_SOON(Clipboard(), typed);
  // Saved as UTF-8, under the name typed in the dialog's own folder: a
  // typed path would bring up the dialog's list of completions.
  x11::Key("s", 2);
  WaitFor("Save As");
  x11::Type(U"note.txt\n");
  EXPECT_SOON(x11::FileText(home_ / "note.txt"), typed);
}

// Beside another program's window, under a window manager.
TEST_F(Program, NotesAreMovedResizedMadeAndDeletedByMouseAndKeys) {
  Id first = Notes(1).at(0);
  x11::Drag(200, 147, 300, 207);  // by the strip along the top
  EXPECT_SOON(x11::Geometry(first), Box{235, 197, 133, 157});
  // By each band of the text area and their corner, to the pixel, and
  // never below an inch square.
  x11::Drag(300, 351, 300, 401);  // the bottom band
  EXPECT_SOON(x11::Geometry(first), Box{235, 197, 133, 207});
  x11::Drag(365, 300, 415, 300);  // the right band
  EXPECT_SOON(x11::Geometry(first), Box{235, 197, 183, 207});
  x11::Drag(238, 401, 238, 100);  // the bottom band's left end, far up
  EXPECT_SOON(x11::Geometry(first), Box{235, 197, 183, 96});
  x11::Drag(415, 250, 100, 250);  // the right band, far left
  EXPECT_SOON(x11::Geometry(first), Box{235, 197, 96, 96});
  x11::Drag(329, 291, 389, 331);  // the corner
  EXPECT_SOON(x11::Geometry(first), Box{235, 197, 156, 136});
  // The popup's sixth entry makes a note 500 twips right and below.
  Choose(first, 6);
  std::vector<Id> notes = Notes(2);
  EXPECT_EQ(std::pair(notes.at(1), x11::Geometry(notes[0])), std::pair(first, Box{268, 230, 133, 157}));
  // Ctrl+N likewise; Ctrl+D deletes the note last touched, and asks at the last one.
  ClickText(notes[0]);
  x11::Key("n", 2);
  EXPECT_EQ(x11::Geometry(Notes(3).at(0)), (Box{301, 263, 133, 157}));
  x11::Key("d", 2);
  notes = Notes(2);
  ASSERT_EQ(notes.at(1), first);
  ClickText(notes[0]);
  // The note left has the keyboard, with all typed at once after Ctrl+D,
  // after the e-mail form's Cancel too, and its text stays as typed: Ctrl+D
  // only asks.
  x11::Key("d", 2);
  x11::Type(U"abcdef");
  EXPECT_SOON(x11::Focused(), first);
  x11::Key("e", 2);
  WaitFor("E-mail Note");
  for (const char* key : {"Tab", "Tab", "space"})  // Cancel
    x11::Key(key);
  EXPECT_SOON(x11::Focused(), first);
  x11::Key("Home", 2);
  x11::Key("d", 2);
  WaitFor("Quit?");
  x11::Key("Escape");  // No: the note stays
  EXPECT_SOON(Windows("Quit?").size() + Notes(1).size(), 1u);
  EXPECT_SOON(x11::Focused(), first);
  x11::Key("a", 2);
  x11::Key("c", 2);
  EXPECT_SOON(Clipboard(), "abcdef");
  x11::Key("d", 2);
  WaitFor("Quit?");
  x11::Key("Return");  // Yes, the default
  EXPECT_EQ(ExitCode(), 0);
}

// A drag in the text only selects, as on Windows; Ctrl shortcuts and the
// clipboard's keys go by the key's place on a layout with no Latin letters.
TEST_F(Program, TextIsNeverDraggedAndShortcutsWorkOnAnyLayout) {
  Id note = Notes(1).at(0);
  ClickText(note);
  x11::Type(U"abcdef ghijkl");
  x11::Key("a", 2);
  Box box = x11::Geometry(note);
  x11::Drag(box.x + 20, box.y + 31, box.x + 60, box.y + 31);  // from inside the selection, along the line
  x11::Key("c", 2);
  std::string part = Clipboard();
  EXPECT_TRUE(!part.empty() && part.size() < 13 && std::string("abcdef ghijkl").find(part) != std::string::npos)
      << part;
  ASSERT_EQ(system("setxkbmap ru"), 0);
  x11::Key("Cyrillic_ef", 2);  // in A's place
  x11::Key("Cyrillic_es", 2);  // in C's
  EXPECT_SOON(Clipboard(), "abcdef ghijkl");
  x11::Key("Cyrillic_te", 2);  // in N's
  EXPECT_EQ(Notes(2).size(), 2u);
  system("setxkbmap us");
}

TEST_F(Program, PopupEntriesChangeTranslucencyAndAlwaysOnTopAndQuit) {
  Id first = Notes(1).at(0);
  Choose(first, 15);  // Increase Translucency: more see-through
  EXPECT_SOON(x11::Opacity(first), 180);
  Choose(first, 16);  // Decrease Translucency
  EXPECT_SOON(x11::Opacity(first), 200);
  ClickText(first);
  x11::Key("n", 2);
  std::vector<Id> notes = Notes(2);
  auto above = [&] { return x11::HasState(notes.at(0), kAbove) + x11::HasState(notes.at(1), kAbove); };
  EXPECT_SOON(above(), 2);  // as the window manager has taken the new note in
  Choose(first, -4);        // Always On Top, for every note
  EXPECT_SOON(above(), 0);
  Choose(first, -1);  // Quit (Remove All Notes), with no question
  EXPECT_EQ(ExitCode(), 0);
}

// Font, colour and the reminder reach the note; what it held comes back after
// the alarm.
TEST_F(Program, TheNoteIsRestyledAndRingsAndKeepsItsText) {
  Id note = Notes(1).at(0);
  auto shows = [&](unsigned colour) {  // along the strip
    Box box = x11::Geometry(note);
    return std::ranges::any_of(x11::Colours({box.x, box.y, box.width, 24}), Seen(colour));
  };
  ClickText(note);
  x11::Type(U"WWWW");
  x11::Key("f", 2);  // the font dialog's colours, from black down to red
  WaitFor("Select Font");
  x11::Key("c", 4);
  for (int i = 0; i < 9; ++i)
    x11::Key("Down");
  x11::Key("Return");
  WaitFor("Form1");
  x11::Key("o", 2);  // the colour dialog, from that red to green
  WaitFor("Select Color");
  x11::Key("r", 4);
  x11::Type(U"0");
  x11::Key("g", 4);
  x11::Type(U"255");
  x11::Key("Return");
  WaitFor("Form1");
  EXPECT_SOON(shows(0x00FF00), true);
  // The reminder armed and hidden, then due in two seconds, as the store says.
  ClickText(note);
  x11::Key("r", 2);
  x11::WaitUntil([&] { return x11::Title(x11::Focused()).starts_with("Reminder"); }, 10000);
  // Where the window manager leaves it once framed: it stays there a moment.
  Box dialog;
  x11::WaitUntil([&] { return std::exchange(dialog, x11::Geometry(x11::Focused())) == dialog; }, 10000,
                 [] { usleep(100000); });
  x11::Click(dialog.x + 76, dialog.y + 302);   // Set Reminder
  x11::Click(dialog.x + 216, dialog.y + 302);  // Hide This Window
  WaitFor("Form1");
  std::time_t due = std::time(nullptr) + 2;
  std::tm t = *std::localtime(&due);
  char moment[200];  // the numbers as the program writes them, with no leading zero
  strftime(moment, sizeof moment,
           "\nReminderSeconds=%-S\nReminderMinutes=%-M\nReminderHours=%-H\nReminderDay=%-d\nReminderMonth=%-"
           "m\nReminderYear=%Y",
           &t);
  std::ofstream store(home_ / "pinaleaf/new.ini");  // then renamed over the program's file, as an editor does
  store << "[Pinaleaf\\1.0]\nActivehWnd=" << note << moment;
  store.close();
  std::filesystem::rename(home_ / "pinaleaf/new.ini", home_ / "pinaleaf/settings.ini");
  EXPECT_SOON(x11::FileText(home_ / "sound.log").ends_with("/Reminder.wav\n"), true);
  EXPECT_SOON(shows(0x00FF00), true);
  x11::Key("a", 2);
  x11::Key("c", 2);
  EXPECT_SOON(Clipboard(), "WWWW");
}

}  // namespace
