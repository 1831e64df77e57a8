// The contract tests' probe on the Win32 layer: real input through the
// system's queue, and the system's own answers.
#include "harness.h"

namespace probe {
using namespace harness;
PROCESS_INFORMATION g_holder = {};

HWND ToHwnd(Window window) { return reinterpret_cast<HWND>(static_cast<intptr_t>(window.number())); }
Form FormOf(HWND hwnd) { return Form(static_cast<std::int32_t>(reinterpret_cast<intptr_t>(hwnd))); }

// Wine keeps the scheme per process and tells no window: here, as Windows
// does on a change, every top-level window hears of it.
BOOL CALLBACK TellOfTheScheme(HWND hwnd, LPARAM) {
  SendMessageW(hwnd, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}
const int kSchemeParts[] = {COLOR_BTNFACE, COLOR_WINDOWTEXT};
COLORREF g_scheme[2];  // as it was before a test changed it
bool g_schemeChanged = false;

void ApplyScheme(const COLORREF colours[2]) {
  SetSysColors(2, kSchemeParts, colours);
  EnumThreadWindows(GetCurrentThreadId(), TellOfTheScheme, 0);
  Wait(200);
}

bool SetScheme(Color face, Color text) {
  if (!g_schemeChanged) {
    g_scheme[0] = GetSysColor(COLOR_BTNFACE);
    g_scheme[1] = GetSysColor(COLOR_WINDOWTEXT);
    g_schemeChanged = true;
  }
  COLORREF colours[] = {face, text};
  ApplyScheme(colours);
  return true;
}

void Reset() {
  HoldClipboard(false);
  if (g_schemeChanged) ApplyScheme(g_scheme);
  g_schemeChanged = false;
  RegisterMailLogger();
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
void Drag(Form form, int dx, int dy) {
  POINT from = CentreOf(ToHwnd(form));
  harness::Drag(from, {from.x + dx, from.y + dy});
}

Text LastShellTarget() {
  WaitUntil([] { return !MailLog().empty(); }, 10000);
  std::string target = LastHanded();
  return {target.begin(), target.end()};
}

BOOL CALLBACK AddScreen(HMONITOR monitor, HDC, RECT* r, LPARAM list) {
  MONITORINFO info = {sizeof(info)};
  GetMonitorInfoW(monitor, &info);
  auto& screens = *reinterpret_cast<std::vector<Rect>*>(list);
  bool primary = info.dwFlags & MONITORINFOF_PRIMARY;
  screens.insert(primary ? screens.begin() : screens.end(), {r->left, r->top, r->right - r->left, r->bottom - r->top});
  return TRUE;
}

std::vector<Rect> Screens() {
  std::vector<Rect> screens;
  EnumDisplayMonitors(nullptr, nullptr, AddScreen, reinterpret_cast<LPARAM>(&screens));
  return screens;
}

Rect OnScreen(Window window) {
  HWND hwnd = ToHwnd(window);
  RECT r;
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  if (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) GetWindowRect(hwnd, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Color PixelAt(Window window, int x, int y) {
  Rect r = OnScreen(window);
  return Pixel({r.left + x, r.top + y});
}

bool Shows(Window window, Color color) {
  Rect r = OnScreen(window);
  for (int y = 0; y < r.height; ++y) {
    for (int x = 0; x < r.width; ++x) {
      if (PixelAt(window, x, y) == color) return true;
    }
  }
  return false;
}

std::vector<Window> Children(Form form) {
  std::vector<Window> children;
  for (HWND child = GetWindow(ToHwnd(form), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(FormOf(child));
  }
  return children;
}

std::string FileBytes(const Text& path) { return Bytes(L"\\\\?\\" + std::wstring(path.begin(), path.end())); }

void MailProgram(bool present) { RegisterMailLogger(present); }
void Close(Form form) { SendMessageW(ToHwnd(form), WM_CLOSE, 0, 0); }
void Type(const Text& text) { harness::Type({text.begin(), text.end()}); }

void Press(Key key, int modifiers) {
  WORD vk = key >= Key::F1 && key <= Key::F12 ? static_cast<WORD>(VK_F1 + int(key) - int(Key::F1)) : WORD(key);
  if (modifiers & kShift) return Keys({VK_SHIFT, vk});
  if (modifiers & kCtrl) return Keys({VK_CONTROL, vk});
  Keys({vk});
}

void HoldClipboard(bool held) {
  if (g_holder.hProcess) TerminateProcess(g_holder.hProcess, 0), WaitForSingleObject(g_holder.hProcess, 5000);
  g_holder = held ? harness::HoldClipboard(0) : PROCESS_INFORMATION{};
}

Form ActiveForm() { return platform::IsLoaded(FormOf(GetForegroundWindow())) ? FormOf(GetForegroundWindow()) : Form(); }

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
  bool layered = GetWindowLongW(ToHwnd(form), GWL_EXSTYLE) & WS_EX_LAYERED;
  return layered && GetLayeredWindowAttributes(ToHwnd(form), nullptr, &alpha, nullptr) ? std::optional(int(alpha))
                                                                                        : std::nullopt;
}

}  // namespace probe
