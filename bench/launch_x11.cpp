// Times programs from fork to their first top-level window with a given
// title (WM_NAME) that belongs to the new process (_NET_WM_PID): to its
// mapping, and to its being drawn on the screen, that is, until the screen
// (the root window, which under a compositor holds what the compositor
// shows) has the window's own colour at a point of its text area: the
// middle of its width, two thirds of the way down. That colour is learnt in
// an unrecorded warm-up round, a second after the window is mapped, so a
// translucent window or a compositor's blending is the window's colour too.
// Works with or without a window manager: each new top-level window is
// watched for its own mapping, also once a window manager has framed it.
//
//   bench_launch_x11 RUNS LABEL COMMAND TITLE [LABEL COMMAND TITLE ...]
//   bench_launch_x11 --wait-for-manager [compositor]
//
// COMMAND is a program relative to this program's folder, with its
// arguments after spaces. The programs take turns, so that any drift of the
// machine touches all of them alike. Each program is killed once timed.
// Prints "LABEL median_ms", "LABEL_runs ms,ms,...", the same for the
// mapping as "LABEL_map" and "LABEL_map_runs", and "LABEL_colour RRGGBB".
//
// --wait-for-manager waits up to 10 s for a window manager
// (_NET_SUPPORTING_WM_CHECK) and, when asked, a compositor (the owner of
// _NET_WM_CM_Sn), and fails when none comes.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Program {
  std::string label;
  std::vector<std::string> command;
  std::string title;
  std::optional<unsigned long> colour;  // once learnt
  std::vector<double> drawnMs, mapMs;
};

double Now() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// A window may be gone by the time its properties are asked for.
int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}

std::string Title(Display* display, Window window) {
  char* name = nullptr;
  std::string title;
  if (XFetchName(display, window, &name) && name)
    title = name;
  if (name)
    XFree(name);
  return title;
}

long ProcessOf(Display* display, Window window, Atom pidAtom) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  long pid = 0;
  if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
          Success &&
      data && format == 32 && count == 1) {
    pid = *reinterpret_cast<long*>(data);
  }
  if (data)
    XFree(data);
  return pid;
}

bool IsTheWindow(Display* display, Window window, const Program& program, pid_t pid, Atom pidAtom) {
  return Title(display, window) == program.title && ProcessOf(display, window, pidAtom) == pid;
}

// Where on the screen a window's colour is looked for.
std::optional<XPoint> ProbeOf(Display* display, Window window) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes))
    return std::nullopt;
  int x = 0, y = 0;
  Window child = 0;
  if (!XTranslateCoordinates(display, window, DefaultRootWindow(display), attributes.width / 2,
                             attributes.height * 2 / 3, &x, &y, &child)) {
    return std::nullopt;
  }
  return XPoint{static_cast<short>(x), static_cast<short>(y)};
}

unsigned long ScreenColour(Display* display, XPoint at) {
  XImage* image = XGetImage(display, DefaultRootWindow(display), at.x, at.y, 1, 1, AllPlanes, ZPixmap);
  if (!image)
    return ~0UL;
  unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
  XDestroyImage(image);
  return pixel;
}

pid_t Start(const Program& program) {
  pid_t pid = fork();
  if (pid == 0) {
    std::vector<char*> argv;
    for (const std::string& word : program.command)
      argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

struct Timing {
  double mapMs = -1, drawnMs = -1;
  std::optional<XPoint> probe;
};

// From the fork to the window's mapping and to its colour on the screen, or
// -1 when that did not come within 20 s or the program ended first. Without
// a colour yet, it is learnt once the window has been on the screen a second.
Timing TimeToWindow(Display* display, Program& program) {
  Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
  Window root = DefaultRootWindow(display);
  // What the last program left (its unmapping and destruction) is old news.
  XSync(display, True);

  Timing timing;
  double start = Now();
  pid_t pid = Start(program);
  if (pid < 0) {
    perror("fork");
    return timing;
  }

  Window found = 0;
  // Once mapped, the window is found by its own MapNotify, which a window
  // manager's frame does not hide; one mapped before it was watched is
  // found by its state.
  auto consider = [&](Window window, bool mapped) {
    if (found || !IsTheWindow(display, window, program, pid, pidAtom))
      return;
    if (!mapped) {
      XWindowAttributes attributes{};
      if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
        return;
    }
    found = window;
    timing.mapMs = (Now() - start) * 1000.0;
  };
  pollfd x = {ConnectionNumber(display), POLLIN, 0};
  while (timing.drawnMs < 0 && Now() - start < 20.0) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == CreateNotify && event.xcreatewindow.parent == root && !event.xcreatewindow.override_redirect) {
        XSelectInput(display, event.xcreatewindow.window, StructureNotifyMask);
        consider(event.xcreatewindow.window, false);
      } else if (event.type == MapNotify && !event.xmap.override_redirect) {
        consider(event.xmap.window, true);
      }
    }
    if (found) {
      if (!timing.probe)
        timing.probe = ProbeOf(display, found);
      if (timing.probe && !program.colour && Now() - start > timing.mapMs / 1000.0 + 1.0)
        program.colour = ScreenColour(display, *timing.probe);
      if (timing.probe && program.colour && ScreenColour(display, *timing.probe) == *program.colour)
        timing.drawnMs = (Now() - start) * 1000.0;
    }
    if (timing.drawnMs >= 0 || waitpid(pid, nullptr, WNOHANG) == pid)
      break;
    // Looking at the screen every millisecond once the window is there;
    // before, the timeout only looks for an ended program now and then.
    poll(&x, 1, found ? 1 : 10);
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return timing;
}

double Median(std::vector<double> values) {
  if (values.empty())
    return -1;
  std::sort(values.begin(), values.end());
  size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

void PrintRuns(const std::string& key, const std::vector<double>& ms) {
  printf("%s %.1f\n", key.c_str(), Median(ms));
  printf("%s_runs ", key.c_str());
  for (size_t i = 0; i < ms.size(); ++i)
    printf(i ? ",%.1f" : "%.1f", ms[i]);
  printf("\n");
}

bool HasProperty(Display* display, Atom property) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool has = XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 1, False, AnyPropertyType, &type,
                                &format, &count, &after, &data) == Success &&
             count > 0;
  if (data)
    XFree(data);
  return has;
}

int WaitForManager(Display* display, bool compositor) {
  Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
  std::string selection = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
  Atom owner = XInternAtom(display, selection.c_str(), False);
  for (double end = Now() + 10; Now() < end; usleep(50000)) {
    if (HasProperty(display, check) && (!compositor || XGetSelectionOwner(display, owner) != None))
      return 0;
  }
  fprintf(stderr, "no %s came\n", compositor ? "window manager with a compositor" : "window manager");
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  bool waitMode = argc >= 2 && strcmp(argv[1], "--wait-for-manager") == 0;
  if (!waitMode && (argc < 5 || (argc - 2) % 3 != 0)) {
    fprintf(stderr,
            "usage: bench_launch_x11 RUNS LABEL COMMAND TITLE [LABEL COMMAND TITLE ...]\n"
            "       bench_launch_x11 --wait-for-manager [compositor]\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    fprintf(stderr, "cannot open the display\n");
    return 1;
  }
  XSetErrorHandler(IgnoreErrors);
  if (waitMode)
    return WaitForManager(display, argc > 2 && strcmp(argv[2], "compositor") == 0);

  int runs = atoi(argv[1]);
  std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  std::vector<Program> programs;
  for (int i = 2; i + 2 < argc; i += 3) {
    Program program{argv[i], {}, argv[i + 2], std::nullopt, {}, {}};
    std::istringstream words(argv[i + 1]);
    for (std::string word; words >> word;)
      program.command.push_back(program.command.empty() ? (folder / word).string() : word);
    programs.push_back(program);
  }

  // The started programs must not inherit our connection to the server.
  fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);

  int failures = 0;
  for (int run = -1; run < runs; ++run) {
    for (Program& program : programs) {
      Timing timing = TimeToWindow(display, program);
      if (timing.drawnMs < 0) {
        ++failures;
        fprintf(stderr, "%s showed no window titled \"%s\" (mapped: %s)\n", program.label.c_str(),
                program.title.c_str(), timing.mapMs < 0 ? "no" : "yes");
      } else if (run >= 0) {
        program.drawnMs.push_back(timing.drawnMs);
        program.mapMs.push_back(timing.mapMs);
      }
      // The ended program's window leaves the screen before the next start.
      usleep(100000);
      for (double end = Now() + 2; timing.probe && program.colour && Now() < end; usleep(10000)) {
        if (ScreenColour(display, *timing.probe) != *program.colour)
          break;
      }
    }
  }
  for (const Program& program : programs) {
    PrintRuns(program.label, program.drawnMs);
    PrintRuns(program.label + "_map", program.mapMs);
    printf("%s_colour %06lx\n", program.label.c_str(), program.colour.value_or(0));
  }
  XCloseDisplay(display);
  return failures ? 1 : 0;
}
