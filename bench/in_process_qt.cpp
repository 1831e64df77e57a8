// Runs Pinaleaf on Qt in this process, as its own event loop would, and
// measures it beside bare Qt windows made here (the floor).
//
//   bench_inproc_qt notes                     resident bytes per extra
//                                             note, from 1 note to 101, and
//                                             per bare window
//   bench_inproc_qt idle-bare [S [away]]      over S seconds (10) of idle
//   bench_inproc_qt idle-note [S [away]]      pumping, with a bare window,
//   bench_inproc_qt idle-reminder [S [away]]  one note, or one note with the
//                                             reminder armed: the UI
//                                             thread's CPU and wake-ups, and
//                                             the whole process's; its text
//                                             box holding the keyboard, or
//                                             with `away` none of ours
//
// Prints "key value" lines.
#include <sys/resource.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QAbstractButton>
#include <QApplication>
#include <QPlainTextEdit>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "commands/note_commands.h"
#include "notes/note.h"
#include "notes/program.h"
#include "platform/platform.h"
#include "platform/qt/qt.h"
#include "reminders/reminder_dialog.h"

namespace {

double Now() {
  return platform::MonotonicSeconds();
}

// The program's own loop, until `seconds` have passed. Left by exit(), not
// quit(), which would first close every window: a note asks "Quit?".
void Pump(double seconds) {
  QTimer::singleShot(static_cast<int>(std::lround(seconds * 1000)), Qt::PreciseTimer, qApp,
                     [] { QCoreApplication::exit(0); });
  QCoreApplication::exec();
}

[[noreturn]] void Fail(const char* why) {
  fprintf(stderr, "%s\n", why);
  fflush(stderr);
  _exit(1);
}

// Ends the run as the program quits: nothing is unloaded.
[[noreturn]] void Done() {
  fflush(stdout);
  _exit(0);
}

// Where and how large a note opens, in Qt's pixels.
const QRect kNotePlace(135, 137, 133, 157);

// A bare window of a note's kind and size holding one plain text box, as Qt
// makes them: the floor for the same memory and the same idling.
QWidget* CreateBareWindow(const QRect& place, bool withKeyboard) {
  auto* window = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint);
  window->setGeometry(place);
  auto* edit = new QPlainTextEdit(window);
  edit->setGeometry(0, 24, 133, 133);
  if (!withKeyboard)
    window->setAttribute(Qt::WA_ShowWithoutActivating);
  window->show();
  if (withKeyboard) {
    window->activateWindow();
    edit->setFocus();
  }
  return window;
}

std::shared_ptr<pinaleaf::Note> StartProgram() {
  pinaleaf::StartProgram();
  Pump(0.2);  // the note's first timer tick applies its translucency
  auto note = pinaleaf::Note::FromWindow(pinaleaf::StartupNoteWindow());
  if (!note)
    Fail("the start-up note did not open");
  return note;
}

// Until every one of `windows` is on the screen (a window manager maps
// them in its own time), then half a second more: shown, painted, settled.
void PumpUntilShown(const std::vector<QWidget*>& windows) {
  auto shown = [](QWidget* window) { return window->windowHandle() && window->windowHandle()->isExposed(); };
  for (double end = Now() + 10; Now() < end && !std::all_of(windows.begin(), windows.end(), shown);)
    Pump(0.05);
  Pump(0.5);
}

std::vector<QWidget*> NoteWindows() {
  std::vector<QWidget*> windows;
  for (platform::Form form : platform::LoadedForms()) {
    if (pinaleaf::Note::FromWindow(form))
      windows.push_back(QWidget::find(static_cast<WId>(form.number())));
  }
  return windows;
}

// New notes cascade from the first one until `count` are open.
void OpenNotesUntil(pinaleaf::Note& first, int count) {
  while (pinaleaf::Note::Count() < count) {
    first.RecordActive();
    pinaleaf::CreateNewNote();
  }
  PumpUntilShown(NoteWindows());
  first.RecordActive();
}

struct Memory {
  double rss = 0, pss = 0;
  double shared = 0;  // resident in the images shared with the X server
};

// Resident and proportional set sizes of the whole process, in bytes, and
// the part of the resident set that is windows' backing stores in shared
// memory (Qt's MIT-SHM images, which the X server reads).
Memory MemoryNow() {
  Memory memory;
  std::ifstream rollup("/proc/self/smaps_rollup");
  std::string key;
  double kb = 0;
  while (rollup >> key) {
    if (key == "Rss:" && rollup >> kb)
      memory.rss = kb * 1024;
    else if (key == "Pss:" && rollup >> kb)
      memory.pss = kb * 1024;
  }
  // Each mapping: a line that starts with its address range ("7f..-7f.."),
  // then its fields ("Rss:       84 kB").
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool image = false;
  while (std::getline(smaps, line) && !line.empty()) {
    std::string first = line.substr(0, line.find(' '));
    if (first.back() != ':')
      image = line.find("/memfd:") != std::string::npos || line.find("/SYSV") != std::string::npos;
    else if (first == "Rss:" && image)
      memory.shared += std::stod(line.substr(first.size())) * 1024;
  }
  return memory;
}

void PrintPerWindow(const char* key, const Memory& before, const Memory& after, int count) {
  printf("%s %.0f\n", key, (after.rss - before.rss) / count);
  printf("%s_pss %.0f\n", key, (after.pss - before.pss) / count);
  printf("%s_shm %.0f\n", key, (after.shared - before.shared) / count);
}

int Notes() {
  auto first = StartProgram();
  first->RecordActive();
  // The first of its kind pays what Qt loads once.
  PumpUntilShown({QWidget::find(static_cast<WId>(first->window().number())),
                  CreateBareWindow(kNotePlace.translated(300, 0), false)});

  Memory before = MemoryNow();
  OpenNotesUntil(*first, 101);
  PrintPerWindow("rss_per_note", before, MemoryNow(), 100);
  printf("note_count_qt %d\n", pinaleaf::Note::Count());

  // Each where a note is, so as much of each shows (and is painted).
  std::vector<QRect> places;
  for (platform::Form form : platform::LoadedForms()) {
    if (pinaleaf::Note::FromWindow(form) && form != first->window())
      places.push_back(QWidget::find(static_cast<WId>(form.number()))->geometry());
  }
  before = MemoryNow();
  std::vector<QWidget*> bare;
  for (const QRect& place : places)
    bare.push_back(CreateBareWindow(place, false));
  PumpUntilShown(bare);
  PrintPerWindow("rss_per_bare", before, MemoryNow(), static_cast<int>(places.size()));
  Done();
}

struct Usage {
  double wall = 0, cpu = 0;
  long wakeups = 0;  // voluntary context switches: each wait that ended
};

Usage UsageNow(int who) {
  rusage usage{};
  getrusage(who, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return {Now(), seconds(usage.ru_utime) + seconds(usage.ru_stime), usage.ru_nvcsw};
}

void PrintUsage(const std::string& key, const Usage& before, const Usage& after) {
  double wall = after.wall - before.wall;
  // The wait that the measurement's own timer ended is left out.
  long wakeups = std::max(0L, after.wakeups - before.wakeups - 1);
  printf("%s_pct %.3f\n", key.c_str(), (after.cpu - before.cpu) / wall * 100.0);
  printf("%s_wakeups_per_s %.2f\n", key.c_str(), static_cast<double>(wakeups) / wall);
}

// The UI thread's figures under `key`, the whole process's (Qt's X event
// reader thread included) under `key`_process.
void PrintIdle(const std::string& key, double seconds) {
  Pump(6.0);  // start-up work settles, and the caret rests: five seconds without input
  Usage thread = UsageNow(RUSAGE_THREAD), process = UsageNow(RUSAGE_SELF);
  Usage threadAfter, processAfter;
  QTimer::singleShot(static_cast<int>(std::lround(seconds * 1000)), Qt::PreciseTimer, qApp, [&] {
    threadAfter = UsageNow(RUSAGE_THREAD);
    processAfter = UsageNow(RUSAGE_SELF);
    QCoreApplication::exit(0);
  });
  QCoreApplication::exec();
  PrintUsage(key, thread, threadAfter);
  PrintUsage(key + "_process", process, processAfter);
}

// What a user's click on a button of ours does.
void Click(platform::Button button) {
  auto* widget = qobject_cast<QAbstractButton*>(platform::qt::WidgetOf(button));
  if (!widget)
    Fail("a button of the reminder dialog is not a Qt button");
  widget->click();
}

// The keyboard goes to no window of ours, as when the user works in another
// program: no text box of ours has it, so no caret blinks.
void GiveKeyboardAway() {
  xcb_connection_t* connection = qApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
  xcb_set_input_focus(connection, XCB_INPUT_FOCUS_NONE, XCB_NONE, XCB_CURRENT_TIME);
  xcb_flush(connection);
}

int Idle(const std::string& what, double seconds, bool away) {
  if (what == "idle-bare") {
    // The text box takes the keyboard, as a note's does.
    CreateBareWindow(kNotePlace, true);
  } else if (what == "idle-note") {
    StartProgram();
  } else {
    auto note = StartProgram();
    note->RecordActive();
    pinaleaf::ShowReminderDialog();
    auto dialog = pinaleaf::ReminderDialog::Current();
    if (!dialog)
      Fail("the reminder dialog did not open");
    platform::DateTime now = platform::Now();
    // A year away: the alarm never rings while this runs.
    platform::SetCalendarDate(dialog->calendar(), {now.year + 1, now.month, std::min(now.day, 28)});
    Click(dialog->command1());  // "Set Reminder"
    if (!dialog->armed())
      Fail("the reminder did not arm");
    Click(dialog->command2());  // "Hide This Window"
  }
  std::string key = "idle_" + what.substr(5) + (away ? "_away" : "") + "_qt";
  if (away)
    GiveKeyboardAway();
  PrintIdle(key, seconds);
  Done();
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  double seconds = argc > 2 ? atof(argv[2]) : 10.0;
  bool away = argc > 3 && std::string(argv[3]) == "away";
  pinaleaf::Program program;
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);

  if (mode == "notes")
    return Notes();
  if (mode == "idle-bare" || mode == "idle-note" || mode == "idle-reminder")
    return Idle(mode, seconds, away);
  fprintf(stderr, "usage: bench_inproc_qt notes|idle-bare|idle-note|idle-reminder [seconds [away]]\n");
  return 2;
}
