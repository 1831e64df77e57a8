// The contract tests' probe on the Win32 layer: real input through the
// system's queue, and the system's own answers.
#include <thread>

#include "harness.h"

namespace probe {
using namespace harness;
namespace {
PROCESS_INFORMATION g_holder = {};
std::thread g_answer;
std::wstring Wide(const Text& text) { return std::wstring(text.begin(), text.end()); }
}

HWND ToHwnd(Window window) { return reinterpret_cast<HWND>(static_cast<intptr_t>(window.number())); }
Form FormOf(HWND hwnd) { return Form(static_cast<std::int32_t>(reinterpret_cast<intptr_t>(hwnd))); }

void Reset() {
  if (g_answer.joinable()) g_answer.join();
  HoldClipboard(false);
  for (Form form : platform::LoadedForms()) platform::UnloadForm(form);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pinaleaf");
  Wait(50);
}

// As the program's own loop does, dialog keys included.
void Wait(int ms) {
  double deadline = platform::MonotonicSeconds() + ms / 1000.0;
  while (platform::MonotonicSeconds() < deadline) platform::WaitForMessagesUntil(deadline);
}

void Click(Window target) { ClickAt(CentreOf(ToHwnd(target))); }
void Close(Form form) { SendMessageW(ToHwnd(form), WM_CLOSE, 0, 0); }
void Type(const Text& text) { harness::Type(Wide(text)); }

// From a thread of its own: the dialog runs its loop in this one.
void Answer(bool yes) {
  if (g_answer.joinable()) g_answer.join();
  g_answer = std::thread([yes] {
    for (int i = 0; i < 500; ++i, Sleep(10)) {
      HWND dialog = FindWindowOf(0, L"#32770");
      if (!dialog) continue;
      bool box = GetDlgItem(dialog, IDYES) != nullptr;
      PostMessageW(dialog, WM_COMMAND, box ? (yes ? IDYES : IDNO) : (yes ? IDOK : IDCANCEL), 0);
      return;
    }
  });
}

std::string FileBytes(const Text& path) { return Bytes(Wide(path)); }

void MakeUnwritable(const Text& path, const std::string& bytes) {
  SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY);
}

void Press(Key key, int modifiers) {
  WORD vk = key >= Key::F1 && key <= Key::F12 ? static_cast<WORD>(VK_F1 + int(key) - int(Key::F1)) : WORD(key);
  if (modifiers & kShift) return Keys({VK_SHIFT, vk});
  if (modifiers & kCtrl) return Keys({VK_CONTROL, vk});
  Keys({vk});
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

Form ActiveForm() {
  Form foreground = FormOf(GetForegroundWindow());
  return platform::IsLoaded(foreground) ? foreground : Form();
}

std::vector<Form> ZOrder() {
  std::vector<Form> order;
  for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    if (platform::IsLoaded(FormOf(hwnd)) && IsWindowVisible(hwnd)) order.push_back(FormOf(hwnd));
  }
  return order;
}

bool IsTopmost(Form form) { return GetWindowLongW(ToHwnd(form), GWL_EXSTYLE) & WS_EX_TOPMOST; }

std::optional<int> LayeredAlpha(Form form) {
  BYTE alpha = 0;
  DWORD flags = 0;
  bool layered = GetWindowLongW(ToHwnd(form), GWL_EXSTYLE) & WS_EX_LAYERED;
  return layered && GetLayeredWindowAttributes(ToHwnd(form), nullptr, &alpha, &flags) ? std::optional(int(alpha))
                                                                                      : std::nullopt;
}

}  // namespace probe
