// The contract tests' probe on the Win32 layer: real input through the
// system's queue, and the system's own answers.
#include "harness.h"

namespace probe {
using namespace harness;
PROCESS_INFORMATION g_holder = {};

HWND ToHwnd(Window window) {
  return reinterpret_cast<HWND>(static_cast<intptr_t>(window.number()));
}
Form FormOf(HWND hwnd) {
  return Form(static_cast<std::int32_t>(reinterpret_cast<intptr_t>(hwnd)));
}

// Wine keeps the scheme per process and tells no window: here every window
// hears of it, as Windows tells them on a change of theme.
bool SetScheme(Color face, Color text) {
  const int parts[] = {COLOR_BTNFACE, COLOR_WINDOWTEXT};
  const COLORREF colours[] = {face, text};
  SetSysColors(2, parts, colours);
  SendMessageTimeoutW(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0, SMTO_ABORTIFHUNG, 1000, nullptr);
  Wait(200);
  return true;
}

void Reset() {
  HoldClipboard(false);
  RegisterMailLogger();
  for (Form form : platform::LoadedForms())
    platform::UnloadForm(form);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pinaleaf");
  Wait(50);
}

// As the program's own loop does, dialog keys included.
void Wait(int ms) {
  double deadline = platform::MonotonicSeconds() + ms / 1000.0;
  while (platform::MonotonicSeconds() < deadline)
    platform::WaitForMessagesUntil(deadline);
}

void Click(Window target) {
  ClickAt(CentreOf(ToHwnd(target)));
}
void Drag(Form form, int dx, int dy) {
  POINT from = CentreOf(ToHwnd(form));
  harness::Drag(from, {from.x + dx, from.y + dy});
}

Text LastShellTarget() {
  WaitUntil([] { return !MailLog().empty(); }, 10000);
  std::string target = LastHanded();
  return {target.begin(), target.end()};
}

Rect OnScreen(Window window) {
  HWND hwnd = ToHwnd(window);
  RECT r;
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  if (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)
    GetWindowRect(hwnd, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Color PixelAt(Window window, int x, int y) {
  Rect r = OnScreen(window);
  return Pixel({r.left + x, r.top + y});
}

bool Shows(Window window, Color color) {
  Rect r = OnScreen(window);
  for (int y = r.top; y < r.top + r.height; ++y) {
    for (int x = r.left; x < r.left + r.width; ++x) {
      if (Pixel({x, y}) == color)
        return true;
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

std::string FileBytes(const Text& path) {
  return Bytes(L"\\\\?\\" + std::wstring(path.begin(), path.end()));
}

void Close(Form form) {
  SendMessageW(ToHwnd(form), WM_CLOSE, 0, 0);
}

void Press(Key key, int modifiers) {
  WORD vk = key >= Key::F1 && key <= Key::F12 ? static_cast<WORD>(VK_F1 + int(key) - int(Key::F1)) : WORD(key);
  if (modifiers & kShift)
    return Keys({VK_SHIFT, vk});
  if (modifiers & kCtrl)
    return Keys({VK_CONTROL, vk});
  Keys({vk});
}

bool AnsiIsUtf8() {
  return false;
}

bool HoldClipboard(bool held) {
  if (g_holder.hProcess) {
    TerminateProcess(g_holder.hProcess, 0);
    WaitForSingleObject(g_holder.hProcess, 5000);
  }
  g_holder = held ? harness::HoldClipboard(0) : PROCESS_INFORMATION{};
  return true;
}

Form ActiveForm() {
  return platform::IsLoaded(FormOf(GetForegroundWindow())) ? FormOf(GetForegroundWindow()) : Form();
}

std::vector<Form> ZOrder() {
  std::vector<Form> order;
  for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    if (platform::IsLoaded(FormOf(hwnd)) && IsWindowVisible(hwnd))
      order.push_back(FormOf(hwnd));
  }
  return order;
}

bool IsTopmost(Form form) {
  return GetWindowLongW(ToHwnd(form), GWL_EXSTYLE) & WS_EX_TOPMOST;
}

std::optional<int> LayeredAlpha(Form form) {
  BYTE alpha = 0;
  bool layered = GetWindowLongW(ToHwnd(form), GWL_EXSTYLE) & WS_EX_LAYERED;
  return layered && GetLayeredWindowAttributes(ToHwnd(form), nullptr, &alpha, nullptr) ? std::optional(int(alpha))
                                                                                       : std::nullopt;
}

namespace {
int g_ends = 0;

// Another program's subclass, which keeps the procedure it replaced in the
// window's user data.
LRESULT CALLBACK AnothersSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  g_ends += msg == WM_NCDESTROY;
  return CallWindowProcW(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)), hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK SubclassAsMade(int code, WPARAM wParam, LPARAM lParam) {
  auto hwnd = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_CREATEWND && (reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->style & WS_CHILD))
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, SetWindowLongPtrW(hwnd, GWLP_WNDPROC, LONG_PTR(&AnothersSubclass)));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

// How many controls made meanwhile heard their last message.
int EndsHeardByAnothersSubclass(const std::function<void()>& makeAndUnload) {
  g_ends = 0;
  HHOOK hook = SetWindowsHookExW(WH_CBT, &SubclassAsMade, nullptr, GetCurrentThreadId());
  makeAndUnload();
  UnhookWindowsHookEx(hook);
  return g_ends;
}

// What a form asks for when the system would move it to `dpi` at the
// pending size, as Windows asks (Wine, with one DPI, never does).
std::pair<int, int> ScaledSize(Form form, int dpi, int width, int height) {
  SIZE pending = {width, height};
  SendMessageW(ToHwnd(form), WM_GETDPISCALEDSIZE, static_cast<WPARAM>(dpi), reinterpret_cast<LPARAM>(&pending));
  return {pending.cx, pending.cy};
}

}  // namespace probe
