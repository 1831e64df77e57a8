// The contract tests' probe on the Win32 layer: real input through the
// system's queue, and the system's own answers.
#include "harness.h"

namespace probe {
using namespace harness;
using namespace std;

HWND ToHwnd(Window window) {
  return HWND(intptr_t(window.number()));
}
Form FormOf(HWND hwnd) {
  return Form(intptr_t(hwnd));
}
POINT CentreOf(Window window) {
  Rect r = OnScreen(window);
  return {r.left + r.width / 2, r.top + r.height / 2};
}

// Wine keeps the scheme per process and tells no window: here every window
// hears of it, as Windows tells them on a change of theme.
bool SetScheme(Color face, Color text) {
  int parts[] = {COLOR_BTNFACE, COLOR_WINDOWTEXT};
  COLORREF colours[] = {face, text};
  SetSysColors(2, parts, colours);
  PostMessageW(HWND_BROADCAST, WM_SYSCOLORCHANGE, 0, 0);
  Wait(200);
  return true;
}

void Reset() {
  HoldClipboard(false);
  for (Form form : LoadedForms())
    UnloadForm(form);
  FreshAccount();  // once no form is left to store anything
  Wait(50);
}

// As the program's own loop does, dialog keys included.
void Wait(int ms) {
  double deadline = MonotonicSeconds() + ms / 1000.0;
  while (MonotonicSeconds() < deadline)
    WaitForMessagesUntil(deadline);
}

void Click(Window target) {
  Mouse(CentreOf(target), MOUSEEVENTF_LEFTDOWN);
}

Text LastShellTarget() {
  string target;
  WaitUntil([&] { return !(target = LastHanded()).empty(); }, 10000);
  return {target.begin(), target.end()};
}

Rect OnScreen(Window window) {
  HWND hwnd = ToHwnd(window);
  RECT r;
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, nullptr, LPPOINT(&r), 2);
  if (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)
    GetWindowRect(hwnd, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// What the screen shows at a pixel of a window.
Color PixelAt(Window window, int x, int y) {
  Rect r = OnScreen(window);
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, r.left + x, r.top + y);
  ReleaseDC(nullptr, screen);
  return colour;
}

bool Shows(Window window, Color color) {
  Rect r = OnScreen(window);
  for (int i = 0; i < r.width * r.height; ++i) {
    if (PixelAt(window, i % r.width, i / r.width) == color)
      return true;
  }
  return false;
}

string FileBytes(const Text& path) {
  return Bytes(L"\\\\?\\" + wstring(path.begin(), path.end()));
}

void Close(Form form) {
  SendMessageW(ToHwnd(form), WM_CLOSE, 0, 0);
}

void Press(Key key, int modifiers) {
  Keys(key >= Key::F1 ? VK_F1 + int(key) - int(Key::F1) : int(key), modifiers);
}

bool AnsiIsUtf8() {
  return false;
}

bool HoldClipboard(bool held) {
  harness::HoldClipboard(held ? INT_MAX : -1);  // until let go
  return true;
}

Form ActiveForm() {
  Form form = FormOf(GetForegroundWindow());
  return IsLoaded(form) ? form : Form();
}

vector<Form> ZOrder() {
  vector<Form> order;
  for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    if (IsLoaded(FormOf(hwnd)) && IsWindowVisible(hwnd))
      order.push_back(FormOf(hwnd));
  }
  return order;
}

bool IsTopmost(Form form) {
  return GetWindowLongW(ToHwnd(form), GWL_EXSTYLE) & WS_EX_TOPMOST;
}

}  // namespace probe
