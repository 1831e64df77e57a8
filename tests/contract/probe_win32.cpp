// The contract tests' probe on the Win32 layer: real input through the
// system's queue, and the system's own answers.
#include "harness.h"

namespace probe {
using namespace harness;
namespace {
PROCESS_INFORMATION g_holder = {};
}

void Reset() {
  HoldClipboard(false);
  for (Handle form : platform::LoadedForms()) platform::UnloadForm(form);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pinaleaf");
  Wait(50);
}

// As the program's own loop does, dialog keys included.
void Wait(int ms) {
  double deadline = platform::MonotonicSeconds() + ms / 1000.0;
  while (platform::MonotonicSeconds() < deadline) platform::WaitForMessagesUntil(deadline);
}

void Click(Handle target) { ClickAt(CentreOf(ToHwnd(target))); }
void Close(Handle form) { SendMessageW(ToHwnd(form), WM_CLOSE, 0, 0); }

void Key(int keyCode, int modifiers) {
  auto key = static_cast<WORD>(keyCode);
  if (modifiers & platform::kShift) return Keys({VK_SHIFT, key});
  if (modifiers & platform::kCtrl) return Keys({VK_CONTROL, key});
  Keys({key});
}

// A process of its own holds the clipboard open, for a window of its own,
// until it is ended; it says when it holds it.
void HoldClipboard(bool held) {
  if (g_holder.hProcess) {
    TerminateProcess(g_holder.hProcess, 0);
    WaitForSingleObject(g_holder.hProcess, 5000);
    CloseHandle(g_holder.hProcess);
    CloseHandle(g_holder.hThread);
    g_holder = {};
  }
  std::wstring command = L"\"" + Beside(L"clipboard_holder.exe") + L"\"";
  STARTUPINFOW si = {sizeof(si)};
  HANDLE holding = CreateEventW(nullptr, TRUE, FALSE, L"PinaleafClipboardHeld");
  if (held && CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &g_holder)) {
    WaitForSingleObject(holding, 10000);
  }
  CloseHandle(holding);
}

Handle ActiveForm() {
  Handle foreground = ToHandle(GetForegroundWindow());
  return platform::IsLoaded(foreground) ? foreground : 0;
}

std::vector<Handle> ZOrder() {
  std::vector<Handle> order;
  for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    if (platform::IsLoaded(ToHandle(hwnd)) && IsWindowVisible(hwnd)) order.push_back(ToHandle(hwnd));
  }
  return order;
}

bool IsTopmost(Handle form) { return GetWindowLongW(ToHwnd(form), GWL_EXSTYLE) & WS_EX_TOPMOST; }

}  // namespace probe
