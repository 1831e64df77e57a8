// Times programs from CreateProcess to their first visible top-level window
// of a given class, owned by the new process.
//
//   bench_launch RUNS LABEL EXE CLASS [LABEL EXE CLASS ...]
//
// EXE is relative to this program's folder. The programs take turns, so that
// any drift of the machine touches all of them alike; one unrecorded warm-up
// round comes first. Prints "LABEL median_ms" and "LABEL_runs ms,ms,...".
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Program {
  std::wstring label, exe, windowClass;
  std::vector<double> ms;
};

// Whether `pid` shows a top-level window of the class.
bool Shown(const std::wstring& windowClass, DWORD pid) {
  for (HWND hwnd = nullptr; (hwnd = FindWindowExW(nullptr, hwnd, windowClass.c_str(), nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == pid && IsWindowVisible(hwnd))
      return true;
  }
  return false;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds to the first visible window, or -1 when none showed in 20 s.
double TimeToWindow(const std::wstring& exe, const std::wstring& windowClass) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  LARGE_INTEGER start, now;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    fwprintf(stderr, L"cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
    return -1;
  }
  double ms = -1;
  for (;;) {
    bool shown = Shown(windowClass, pi.dwProcessId);
    QueryPerformanceCounter(&now);
    if (shown) {
      ms = Seconds(start, now) * 1000.0;
      break;
    }
    if (Seconds(start, now) > 20.0)
      break;
    // Polls about once a millisecond; ends early if the program died.
    if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0)
      break;
  }
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
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

int wmain(int argc, wchar_t** argv) {
  if (argc < 5 || (argc - 2) % 3 != 0) {
    fwprintf(stderr, L"usage: bench_launch RUNS LABEL EXE CLASS [LABEL EXE CLASS ...]\n");
    return 2;
  }
  int runs = _wtoi(argv[1]);
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder(self);
  folder.resize(folder.find_last_of(L"\\/") + 1);

  std::vector<Program> programs;
  for (int i = 2; i + 2 < argc; i += 3)
    programs.push_back({argv[i], folder + argv[i + 1], argv[i + 2], {}});

  int failures = 0;
  for (int run = -1; run < runs; ++run) {
    for (Program& program : programs) {
      double ms = TimeToWindow(program.exe, program.windowClass);
      if (ms < 0) {
        ++failures;
        fwprintf(stderr, L"%ls showed no window of class %ls\n", program.label.c_str(), program.windowClass.c_str());
      } else if (run >= 0) {
        program.ms.push_back(ms);
      }
      Sleep(100);  // let the ended process's windows go before the next start
    }
  }
  for (const Program& program : programs) {
    printf("%ls %.1f\n", program.label.c_str(), Median(program.ms));
    printf("%ls_runs ", program.label.c_str());
    for (size_t i = 0; i < program.ms.size(); ++i)
      printf(i ? ",%.1f" : "%.1f", program.ms[i]);
    printf("\n");
  }
  return failures ? 1 : 0;
}
