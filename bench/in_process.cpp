// Runs Pinaleaf in this process, as its own message loop would, and measures
// it beside a bare window with a plain EDIT control made here (the floor).
//
//   bench_inproc reset           empties the program's settings
//   bench_inproc notes           mouse-move cost with 1, 10, 100 and 500
//                                notes, private bytes per extra note
//   bench_inproc leaks           what 500 notes made and closed leave behind:
//                                context-menu hooks, windows, GDI objects
//   bench_inproc idle-bare [S]      CPU over S seconds (10) of idle pumping
//   bench_inproc idle-note [S]      with the bare window, one note, or one
//   bench_inproc idle-reminder [S]  note with the reminder armed; then also
//                                   the program's wake-ups per second
//
// Prints "key value" lines.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "app/app.h"
#include "commands/note_commands.h"
#include "notes/note.h"
#include "notes/program.h"
#include "platform/platform.h"
#include "platform/win32/win32.h"
#include "reminders/reminder_dialog.h"

namespace {

HWND ToHwnd(platform::Window window) { return reinterpret_cast<HWND>(static_cast<intptr_t>(window.number())); }

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// What the program's GetMessage loop does, until `seconds` have passed; how
// often a message woke it meanwhile.
int Pump(double seconds) {
  double end = Now() + seconds;
  int wakeups = 0;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    double left = end - Now();
    if (left <= 0) return wakeups;
    DWORD woke = MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left * 1000) + 1, QS_ALLINPUT,
                                             MWMO_INPUTAVAILABLE);
    wakeups += woke == WAIT_OBJECT_0;
  }
}

// A bare window of a note's size holding one plain EDIT, styled as a note's
// text area but with no subclass: the floor for the same messages.
HWND CreateBareEdit() {
  static bool registered = false;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!registered) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"PinaleafBenchBare";
    RegisterClassExW(&wc);
    registered = true;
  }
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, L"PinaleafBenchBare", L"", WS_POPUP | WS_CLIPCHILDREN, 400, 137,
                                133, 157, nullptr, nullptr, instance, nullptr);
  HWND edit = CreateWindowExW(0, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN |
                                  ES_NOHIDESEL,
                              0, 24, 133, 133, window, nullptr, instance, nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  return edit;
}

// Microseconds for one WM_MOUSEMOVE sent to `target`: the median of nine
// batches, each long enough (about 20 ms) for the counter to resolve it.
double MouseMoveMicros(HWND target) {
  RECT rc;
  GetClientRect(target, &rc);
  int x = rc.right / 2, y = rc.bottom / 2;
  auto send = [&](int moves) {
    double start = Now();
    for (int i = 0; i < moves; ++i) SendMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(x + (i & 1), y));
    return (Now() - start) / moves;
  };
  double guess = send(10);
  int moves = std::clamp(static_cast<int>(0.02 / std::max(guess, 1e-9)), 10, 2000);
  std::vector<double> perMove;
  for (int batch = 0; batch < 9; ++batch) {
    perMove.push_back(send(moves) * 1e6);
    Pump(0.005);
  }
  return Median(perMove);
}

// Committed private memory. Windows reports it in both fields; Wine 8 fills
// only PagefileUsage (from the process's anonymous resident memory).
double PrivateBytes() {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                       sizeof(counters));
  return static_cast<double>(counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage);
}

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto seconds = [](const FILETIME& t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

std::shared_ptr<pinaleaf::Note> StartProgram() {
  pinaleaf::StartProgram();
  Pump(0.2);  // the note's first timer tick applies its translucency
  auto note = pinaleaf::Note::FromWindow(pinaleaf::StartupNoteWindow());
  if (!note) {
    fprintf(stderr, "the start-up note did not open\n");
    ExitProcess(1);
  }
  return note;
}

// New notes cascade from the first one until `count` are open.
void OpenNotesUntil(pinaleaf::Note& first, int count) {
  while (pinaleaf::Note::Count() < count) {
    first.RecordActive();
    pinaleaf::CreateNewNote();
  }
  Pump(0.3);
  first.RecordActive();
}

int Notes() {
  auto first = StartProgram();
  first->RecordActive();
  HWND textArea = ToHwnd(first->textArea());
  HWND bareEdit = CreateBareEdit();
  Pump(0.2);

  // Private bytes from one note to 101, with the moves at 10, 100 and 500
  // notes timed on the way (they keep nothing).
  double before = 0, after = 0;
  for (int count : {1, 10, 100, 500}) {
    OpenNotesUntil(*first, count);
    printf("move_us_%d %.2f\n", count, MouseMoveMicros(textArea));
    printf("move_bare_us_%d %.2f\n", count, MouseMoveMicros(bareEdit));
    if (count == 1) before = PrivateBytes();
    if (count == 100) {
      OpenNotesUntil(*first, 101);
      after = PrivateBytes();
      printf("bytes_per_note %.0f\n", (after - before) / 100);
    }
  }
  printf("note_count %d\n", pinaleaf::Note::Count());

  // The same number of bare windows with a plain EDIT each.
  before = PrivateBytes();
  for (int i = 0; i < 100; ++i) CreateBareEdit();
  Pump(0.3);
  after = PrivateBytes();
  printf("bytes_per_bare %.0f\n", (after - before) / 100);
  fflush(stdout);
  ExitProcess(0);  // as the program quits: nothing is unloaded
}

// Wine's GetGuiResources answers 0: GDI objects are counted by their slots.
void PrintObjects(const char* when) {
  int windows = 0, gdi = 0;
  for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    windows += pid == GetCurrentProcessId();
  }
  for (UINT_PTR i = 0x20; i < 0x10000; ++i) gdi += GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0;
  printf("leak_hooks_%s %zu\nleak_windows_%s %d\nleak_gdi_%s %d\n", when, platform::win32::BlockedContextMenus(), when,
         windows, when, gdi);
}

// 500 notes made over the first one and closed again; the first few fill the
// system's caches.
int Leaks() {
  auto first = StartProgram();
  auto cycle = [&] {
    first->RecordActive();
    pinaleaf::CreateNewNote();
    pinaleaf::Note::FromWindow(platform::LoadedForms().back())->RecordActive();
    pinaleaf::DeleteThisNote();
    Pump(0.001);
  };
  for (int i = 0; i < 3; ++i) cycle();
  PrintObjects("before");
  for (int i = 0; i < 500; ++i) cycle();
  Pump(0.1);
  PrintObjects("after");
  fflush(stdout);
  ExitProcess(0);
}

void PrintIdleCpu(const char* key, double seconds) {
  Pump(1.0);  // start-up work settles
  double cpu = CpuSeconds(), wall = Now();
  int wakeups = Pump(seconds);
  cpu = CpuSeconds() - cpu;
  wall = Now() - wall;
  printf("%s_pct %.3f\n", key, cpu / wall * 100.0);
  printf("%s_wakeups_per_s %.2f\n", key, wakeups / wall);
}

int Idle(const std::wstring& what, double seconds) {
  if (what == L"idle-bare") {
    CreateBareEdit();
    PrintIdleCpu("idle_bare", seconds);
  } else if (what == L"idle-note") {
    StartProgram();
    PrintIdleCpu("idle_note", seconds);
  } else {
    auto note = StartProgram();
    note->RecordActive();
    pinaleaf::ShowReminderDialog();
    auto dialog = pinaleaf::ReminderDialog::Current();
    platform::DateTime now = platform::Now();
    // A year away: the alarm never rings while this runs.
    platform::SetCalendarDate(dialog->calendar(), {now.year + 1, now.month, std::min(now.day, 28)});
    SendMessageW(ToHwnd(dialog->command1()), BM_CLICK, 0, 0);
    if (!dialog->armed()) {
      fprintf(stderr, "the reminder did not arm\n");
      return 1;
    }
    SendMessageW(ToHwnd(dialog->command2()), BM_CLICK, 0, 0);  // "Hide This Window"
    PrintIdleCpu("idle_reminder", seconds);
  }
  fflush(stdout);
  ExitProcess(0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring mode = argc > 1 ? argv[1] : L"";
  pinaleaf::Program program;

  if (mode == L"reset") {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pinaleaf");
    return 0;
  }
  if (mode == L"notes") return Notes();
  if (mode == L"leaks") return Leaks();
  if (mode == L"idle-bare" || mode == L"idle-note" || mode == L"idle-reminder") {
    return Idle(mode, argc > 2 ? _wtof(argv[2]) : 10.0);
  }
  fprintf(stderr, "usage: bench_inproc reset|notes|leaks|idle-bare|idle-note|idle-reminder [seconds]\n");
  return 2;
}
