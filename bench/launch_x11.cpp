// Times programs from fork to the mapping of their first top-level window
// with a given title (WM_NAME) that belongs to the new process (_NET_WM_PID),
// as the X server reports it: a MapNotify on the root window, which only
// top-level windows send where no window manager reparents them.
//
//   bench_launch_x11 RUNS LABEL PROGRAM TITLE [LABEL PROGRAM TITLE ...]
//
// PROGRAM is relative to this program's folder. The programs take turns, so
// that any drift of the machine touches all of them alike; one unrecorded
// warm-up round comes first. Each program is killed once timed. Prints
// "LABEL median_ms" and "LABEL_runs ms,ms,...".
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
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Program {
  std::string label, path, title;
  std::vector<double> ms;
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

// Whether a mapped top-level window is the one looked for.
bool IsTheWindow(Display* display, const XMapEvent& map, const std::string& title, pid_t pid, Atom pidAtom) {
  return !map.override_redirect && Title(display, map.window) == title &&
         ProcessOf(display, map.window, pidAtom) == pid;
}

// Milliseconds from the fork to the window's mapping, or -1 when none was
// mapped within 20 s or the program ended first.
double TimeToWindow(Display* display, const Program& program) {
  Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
  // What the last program left (its unmapping and destruction) is old news.
  XSync(display, True);

  double start = Now();
  pid_t pid = fork();
  if (pid == 0) {
    execl(program.path.c_str(), program.path.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid < 0) {
    perror("fork");
    return -1;
  }

  double ms = -1;
  pollfd x = {ConnectionNumber(display), POLLIN, 0};
  while (ms < 0 && Now() - start < 20.0) {
    while (XPending(display)) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && IsTheWindow(display, event.xmap, program.title, pid, pidAtom)) {
        ms = (Now() - start) * 1000.0;
        break;
      }
    }
    if (ms >= 0 || waitpid(pid, nullptr, WNOHANG) == pid)
      break;
    poll(&x, 1, 10);  // the timeout only looks for an ended program now and then
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return ms;
}

double Median(std::vector<double> values) {
  if (values.empty())
    return -1;
  std::sort(values.begin(), values.end());
  size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5 || (argc - 2) % 3 != 0) {
    fprintf(stderr, "usage: bench_launch_x11 RUNS LABEL PROGRAM TITLE [LABEL PROGRAM TITLE ...]\n");
    return 2;
  }
  int runs = atoi(argv[1]);
  std::filesystem::path folder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  std::vector<Program> programs;
  for (int i = 2; i + 2 < argc; i += 3)
    programs.push_back({argv[i], (folder / argv[i + 1]).string(), argv[i + 2], {}});

  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    fprintf(stderr, "cannot open the display\n");
    return 1;
  }
  // The started programs must not inherit our connection to the server.
  fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);
  XSetErrorHandler(IgnoreErrors);
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);

  int failures = 0;
  for (int run = -1; run < runs; ++run) {
    for (Program& program : programs) {
      double ms = TimeToWindow(display, program);
      if (ms < 0) {
        ++failures;
        fprintf(stderr, "%s showed no window titled \"%s\"\n", program.label.c_str(), program.title.c_str());
      } else if (run >= 0) {
        program.ms.push_back(ms);
      }
      usleep(100000);  // let the ended process's windows go before the next start
    }
  }
  for (const Program& program : programs) {
    printf("%s %.1f\n", program.label.c_str(), Median(program.ms));
    printf("%s_runs ", program.label.c_str());
    for (size_t i = 0; i < program.ms.size(); ++i)
      printf(i ? ",%.1f" : "%.1f", program.ms[i]);
    printf("\n");
  }
  XCloseDisplay(display);
  return failures ? 1 : 0;
}
