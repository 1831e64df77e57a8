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
//   bench_inproc paste [N]       N rounds (3) of a 500 KB mixed-script paste,
//                                from the key press until a right click is
//                                answered, in a note and in a plain EDIT
//
// Prints "key value" lines.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "commands/note_commands.h"
#include "notes/note.h"
#include "notes/program.h"
#include "platform/platform.h"
#include "platform/win32/win32.h"
#include "reminders/reminder_dialog.h"

namespace {

HWND ToHwnd(platform::Window window) {
  return reinterpret_cast<HWND>(static_cast<intptr_t>(window.number()));
}

double Now() {
  return platform::MonotonicSeconds();
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
    if (left <= 0)
      return wakeups;
    DWORD woke =
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left * 1000) + 1, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
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
  HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, L"PinaleafBenchBare", L"", WS_POPUP | WS_CLIPCHILDREN, 400, 137, 133,
                                157, nullptr, nullptr, instance, nullptr);
  HWND edit =
      CreateWindowExW(0, L"EDIT", L"",
                      WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
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
    for (int i = 0; i < moves; ++i)
      SendMessageW(target, WM_MOUSEMOVE, 0, MAKELPARAM(x + (i & 1), y));
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
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
  return static_cast<double>(counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage);
}

double Seconds(const FILETIME& t) {
  return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
}

double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
}

double ThreadCpuSeconds(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(thread, &created, &exited, &kernel, &user);
  return Seconds(kernel) + Seconds(user);
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
    if (count == 1)
      before = PrivateBytes();
    if (count == 100) {
      OpenNotesUntil(*first, 101);
      after = PrivateBytes();
      printf("bytes_per_note %.0f\n", (after - before) / 100);
    }
  }
  printf("note_count %d\n", pinaleaf::Note::Count());

  // The same number of bare windows with a plain EDIT each.
  before = PrivateBytes();
  for (int i = 0; i < 100; ++i)
    CreateBareEdit();
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
  for (UINT_PTR i = 0x20; i < 0x10000; ++i)
    gdi += GetObjectType(reinterpret_cast<HGDIOBJ>(i)) != 0;
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
  for (int i = 0; i < 3; ++i)
    cycle();
  PrintObjects("before");
  for (int i = 0; i < 500; ++i)
    cycle();
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

// About 500 KB of text as a user might paste it: lines of ordinary length,
// each in one script (accented Latin, Cyrillic, Greek, CJK, Arabic, Hebrew),
// some ending in an emoji (a surrogate pair), joined by CRLF. Exactly
// `units` UTF-16 code units; the same text on every call.
std::wstring MixedScriptText(size_t units) {
  static const std::vector<std::wstring> kScripts = {
      L"crème brûlée à la façade naïve où l'été déjà vu über Straße señor año ångström smørrebrød",
      L"съешь же ещё этих мягких французских булок да выпей чаю широкая электрификация",
      L"ξεσκεπάζω την ψυχοφθόρα βδελυγμία γρήγορη καφέ αλεπού πηδά πάνω από τον σκύλο",
      L"我能吞下玻璃而不伤身体 日本語の文章を書く いろはにほへと 한국어 문장 漢字 かな カナ",
      L"أنا قادر على أكل الزجاج و هذا لا يؤلمني نص عربي قصير للتجربة",
      L"אני יכול לאכול זכוכית וזה לא מזיק לי טקסט עברי קצר לבדיקה",
  };
  static const std::vector<std::wstring> kEmoji = {L"😀", L"🎉", L"🌍", L"👍", L"🚀", L"🍕", L"📌", L"🧡"};

  // Each script's words, split once.
  static const std::vector<std::vector<std::wstring>> kWords = [] {
    std::vector<std::vector<std::wstring>> words;
    for (const std::wstring& sentence : kScripts) {
      std::vector<std::wstring> split;
      size_t from = 0;
      while (from < sentence.size()) {
        size_t space = sentence.find(L' ', from);
        if (space == std::wstring::npos)
          space = sentence.size();
        split.push_back(sentence.substr(from, space - from));
        from = space + 1;
      }
      words.push_back(split);
    }
    return words;
  }();

  // A fixed linear congruential sequence: the same text in every run.
  unsigned seed = 12345;
  auto next = [&seed](unsigned below) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % below;
  };

  std::wstring text;
  text.reserve(units + 200);
  while (text.size() < units) {
    const std::vector<std::wstring>& words = kWords[next(static_cast<unsigned>(kWords.size()))];
    size_t lineLength = 30 + next(60);
    std::wstring line;
    while (line.size() < lineLength) {
      if (!line.empty())
        line += L' ';
      line += words[next(static_cast<unsigned>(words.size()))];
    }
    if (next(3) == 0) {
      line += L' ';
      line += kEmoji[next(static_cast<unsigned>(kEmoji.size()))];
    }
    if (!text.empty())
      text += L"\r\n";
    text += line;
  }
  // Cut to length without splitting a surrogate pair or a line break.
  text.resize(units);
  if (IS_HIGH_SURROGATE(text.back()) || text.back() == L'\r')
    text.back() = L'.';
  return text;
}

void PutOnClipboard(HWND owner, const std::wstring& text) {
  size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  std::copy_n(text.c_str(), text.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
  GlobalUnlock(memory);
  if (!OpenClipboard(owner)) {
    fprintf(stderr, "the clipboard could not be opened\n");
    ExitProcess(1);
  }
  EmptyClipboard();
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}

// A visible popup menu of this process; none while no menu is open.
HWND OpenPopupMenu() {
  DWORD self = GetCurrentProcessId();
  HWND menu = nullptr;
  while ((menu = FindWindowExW(nullptr, menu, L"#32768", nullptr)) != nullptr) {
    DWORD pid = 0;
    GetWindowThreadProcessId(menu, &pid);
    if (pid == self && IsWindowVisible(menu))
      return menu;
  }
  return nullptr;
}

// Pumps messages as the program's loop does until `event` is set; false if
// `seconds` passed first.
bool PumpUntilSet(HANDLE event, double seconds) {
  double end = Now() + seconds;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (WaitForSingleObject(event, 0) == WAIT_OBJECT_0)
      return true;
    double left = end - Now();
    if (left <= 0)
      return false;
    MsgWaitForMultipleObjectsEx(1, &event, static_cast<DWORD>(left * 1000) + 1, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

// A button at wherever the pointer is: no move goes with it.
INPUT ButtonInput(DWORD flags) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  return input;
}

struct Answer {
  double ms = 0;
  double cpuMs = 0;  // of the pumping thread alone: what other processes took is left out
};

// From a real Ctrl+V in the empty `edit` (the clipboard holds the text)
// until a right click on it, sent together with the key, is answered: the
// paste is done and a popup menu of this process has opened. A second
// thread watches for the popup, stamps the time and closes it, while this
// one pumps messages, the paste and the menu running inside.
Answer PasteUntilAnswered(HWND edit) {
  HWND top = GetAncestor(edit, GA_ROOT);
  SetWindowTextW(edit, L"");
  SetForegroundWindow(top);
  SetFocus(edit);
  RECT rc;
  GetWindowRect(edit, &rc);
  POINT middle = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
  SetCursorPos(middle.x, middle.y);
  Pump(0.3);  // the move over the window, and the activation, settle
  if (GetFocus() != edit || WindowFromPoint(middle) != edit) {
    fprintf(stderr, "the text area does not have the focus, or is not under the pointer\n");
    ExitProcess(1);
  }

  HANDLE pumping = OpenThread(THREAD_QUERY_INFORMATION, FALSE, GetCurrentThreadId());
  HANDLE answered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::atomic<double> opened = 0;
  std::atomic<double> cpuWhenOpened = 0;
  std::atomic<bool> giveUp = false;
  std::thread watcher([&] {
    while (!giveUp && !OpenPopupMenu())
      Sleep(1);
    opened = Now();
    cpuWhenOpened = ThreadCpuSeconds(pumping);
    SetEvent(answered);
    // Closed as the user would close it, until it has gone.
    while (OpenPopupMenu()) {
      EndMenu();
      Sleep(10);
    }
  });

  INPUT inputs[] = {
      KeyInput(VK_CONTROL, false),
      KeyInput('V', false),
      KeyInput('V', true),
      KeyInput(VK_CONTROL, true),
      ButtonInput(MOUSEEVENTF_RIGHTDOWN),
      ButtonInput(MOUSEEVENTF_RIGHTUP),
  };
  double cpuWhenPressed = ThreadCpuSeconds(pumping);
  double pressed = Now();
  SendInput(static_cast<UINT>(std::size(inputs)), inputs, sizeof(INPUT));
  bool done = PumpUntilSet(answered, 300);
  giveUp = true;
  watcher.join();
  CloseHandle(answered);
  CloseHandle(pumping);
  if (!done) {
    fprintf(stderr, "no popup opened within 300 s of the paste\n");
    ExitProcess(1);
  }
  Pump(0.3);  // what the menu left: the repaint, the focus given back
  Answer answer;
  answer.ms = (opened - pressed) * 1000;
  answer.cpuMs = (cpuWhenOpened - cpuWhenPressed) * 1000;
  return answer;
}

// The same paste, key press to an answered right click, in the start-up
// note and in a plain EDIT of a bare window with the note's font and limit,
// taking turns after one unrecorded round of each.
int Paste(int rounds) {
  auto note = StartProgram();
  HWND textArea = ToHwnd(note->textArea());
  HWND bareEdit = CreateBareEdit();
  SendMessageW(bareEdit, WM_SETFONT, SendMessageW(textArea, WM_GETFONT, 0, 0), FALSE);
  SendMessageW(bareEdit, EM_SETLIMITTEXT, 0, 0);
  std::wstring text = MixedScriptText(250000);
  PutOnClipboard(GetAncestor(bareEdit, GA_ROOT), text);
  Pump(0.2);

  PasteUntilAnswered(textArea);
  PasteUntilAnswered(bareEdit);
  for (int round = 0; round < rounds; ++round) {
    bool noteFirst = round % 2 == 0;
    Answer first = PasteUntilAnswered(noteFirst ? textArea : bareEdit);
    Answer second = PasteUntilAnswered(noteFirst ? bareEdit : textArea);
    const Answer& inNote = noteFirst ? first : second;
    const Answer& inBare = noteFirst ? second : first;
    printf("paste_ms %.1f\n", inNote.ms);
    printf("paste_bare_ms %.1f\n", inBare.ms);
    printf("paste_cpu_ms %.0f\n", inNote.cpuMs);
    printf("paste_bare_cpu_ms %.0f\n", inBare.cpuMs);
    printf("paste_chars %d\n", GetWindowTextLengthW(textArea));
    printf("paste_bare_chars %d\n", GetWindowTextLengthW(bareEdit));
    fflush(stdout);
  }
  printf("paste_text_chars %zu\n", text.size());
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
  if (mode == L"notes")
    return Notes();
  if (mode == L"leaks")
    return Leaks();
  if (mode == L"paste")
    return Paste(argc > 2 ? _wtoi(argv[2]) : 3);
  if (mode == L"idle-bare" || mode == L"idle-note" || mode == L"idle-reminder") {
    return Idle(mode, argc > 2 ? _wtof(argv[2]) : 10.0);
  }
  fprintf(stderr, "usage: bench_inproc reset|notes|leaks|paste [rounds]|idle-bare|idle-note|idle-reminder [seconds]\n");
  return 2;
}
