// Forms: the program's top-level windows and the messages they turn into
// events. Sinks, the loaded list and timers are the shared part's.

#include <algorithm>
#include <cmath>

#include "platform/win32/win32.h"

#include <windowsx.h>

namespace platform::win32 {
namespace {

const wchar_t kFormClass[] = L"PinaleafForm";
const UINT_PTR kFormTimer = 1;

HINSTANCE Instance() {
  return GetModuleHandleW(nullptr);
}

// The window's rectangle around a client area at 0, 0, frame included, at
// `dpi`: the plain call knows only the DPI the process started with.
RECT FrameAround(int width, int height, DWORD style, DWORD exStyle, int dpi) {
  static auto adjustForDpi =
      SystemCall<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>(L"user32.dll", "AdjustWindowRectExForDpi");
  RECT rc = {0, 0, width, height};
  if (!adjustForDpi || !adjustForDpi(&rc, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    AdjustWindowRectEx(&rc, style, FALSE, exStyle);
  }
  return rc;
}

// Brush and colours of a control, asked for by the control while it paints.
LRESULT ControlColors(HDC dc, HWND control) {
  WindowData* data = FindControl(control);
  const backend::Look* look = backend::LookOf(Of(control));
  if (!data || !look)
    return 0;
  SetTextColor(dc, ColorRef(look->foreColor));
  SetBkColor(dc, ColorRef(look->backColor));
  return reinterpret_cast<LRESULT>(data->backBrush);
}

// A form moved to a monitor of another DPI keeps its size in twips: the
// system suggests the new window rectangle; children and fonts follow here.
void RescaleForDpi(HWND form, int oldDpi, int newDpi, const RECT& suggested) {
  if (oldDpi <= 0 || newDpi <= 0)
    return;
  for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rc;
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rc), 2);
    SetWindowPos(child, nullptr, MulDiv(rc.left, newDpi, oldDpi), MulDiv(rc.top, newDpi, oldDpi),
                 MulDiv(rc.right - rc.left, newDpi, oldDpi), MulDiv(rc.bottom - rc.top, newDpi, oldDpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (WindowData* data = FindControl(child); data && data->hfont) {
      HFONT old = data->hfont;
      data->hfont = MakeFont(backend::LookOf(Of(child))->font, newDpi);
      SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(data->hfont), TRUE);
      DeleteObject(old);
    }
  }
  SetWindowPos(form, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// After the displays change, a form left wholly outside every work area
// comes back inside the nearest one.
void KeepOnSomeWorkArea(HWND form) {
  RECT rc;
  if (!IsWindowVisible(form) || !GetWindowRect(form, &rc))
    return;
  HMONITOR monitor = MonitorFromRect(&rc, MONITOR_DEFAULTTONULL);
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  RECT overlap;
  if (monitor && GetMonitorInfoW(monitor, &info) && IntersectRect(&overlap, &rc, &info.rcWork))
    return;
  monitor = MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST);
  if (!GetMonitorInfoW(monitor, &info))
    return;
  const RECT& work = info.rcWork;
  LONG x = std::max(work.left, std::min(rc.left, work.right - (rc.right - rc.left)));
  LONG y = std::max(work.top, std::min(rc.top, work.bottom - (rc.bottom - rc.top)));
  SetWindowPos(form, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WindowData* data = FindForm(hwnd);
  if (!data)
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  Form self = Of<Form>(hwnd);
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(hwnd, &rc);
      FillRect(reinterpret_cast<HDC>(wParam), &rc, data->backBrush);
      return 1;
    }
    case WM_SIZE:
      backend::Resized(self);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      DeliverMouseDown(self, hwnd, msg, wParam, lParam, data->leftPressed);
      return 0;
    case WM_LBUTTONUP:
      if (data->leftPressed) {
        data->leftPressed = false;
        backend::Deliver(self, [&](EventSink& s) { s.OnClick(self); });
      }
      return 0;
    case WM_MOUSEMOVE:
      DeliverMouseMove(self, hwnd, wParam, lParam);
      return 0;
    // The focus leaves with the form and comes back where it was, or to the
    // first control that can take it, as in a dialog; the form itself takes
    // it only when none can.
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && IsChild(hwnd, focus))
          backend::FocusMovedTo(Of(OwnWindowOf(focus)));
      } else if (!HIWORD(wParam)) {
        if (Control target = backend::FocusTarget(self)) {
          ::SetFocus(ToHwnd(target));
          return 0;
        }
      }
      break;
    case WM_SETFOCUS:
      backend::Deliver(self, [&](EventSink& s) { s.OnGotFocus(self); });
      return 0;
    case WM_SETCURSOR:
      if (const backend::Look* look = backend::LookOf(self);
          LOWORD(lParam) == HTCLIENT && look->pointer != Pointer::Default) {
        ::SetCursor(CursorFor(*look, hwnd));
        return TRUE;
      }
      break;
    case WM_TIMER:
      if (wParam == kFormTimer)
        backend::Tick(self);
      return 0;
    case WM_CLOSE:
      backend::CloseRequested(self);
      return 0;
    case WM_COMMAND: {
      HWND control = reinterpret_cast<HWND>(lParam);
      if (!control || !FindControl(control))
        break;
      Control source = Of<Control>(control);
      WORD code = HIWORD(wParam);
      if (code == BN_CLICKED)
        backend::Pressed(Of<Button>(control));
      if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) {
        backend::Deliver(self, [&](EventSink& s) { s.OnChange(source); });
      }
      return 0;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header && FindControl(header->hwndFrom) &&
          (header->code == DTN_DATETIMECHANGE || header->code == MCN_SELCHANGE)) {
        Control source = Of<Control>(header->hwndFrom);
        backend::Deliver(self, [&](EventSink& s) { s.OnChange(source); });
      }
      break;
    }
    case WM_TIMECHANGE:
      backend::Deliver(self, [&](EventSink& s) { s.OnClockChanged(self); });
      return 0;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) {
        backend::Deliver(self, [&](EventSink& s) { s.OnClockChanged(self); });
      }
      return TRUE;
    // Before a move to a monitor of another DPI: the size the window is
    // about to have (amid a resize, not its size now) keeps its client area
    // in twips, and the frame takes the new monitor's size.
    case WM_GETDPISCALEDSIZE: {
      auto* size = reinterpret_cast<SIZE*>(lParam);
      int newDpi = static_cast<int>(wParam);
      auto style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
      auto exStyle = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE));
      RECT frame = FrameAround(0, 0, style, exStyle, data->dpi);
      int width = size->cx - (frame.right - frame.left), height = size->cy - (frame.bottom - frame.top);
      RECT rc =
          FrameAround(MulDiv(width, newDpi, data->dpi), MulDiv(height, newDpi, data->dpi), style, exStyle, newDpi);
      *size = {rc.right - rc.left, rc.bottom - rc.top};
      return TRUE;
    }
    case WM_DPICHANGED:
      RescaleForDpi(hwnd, data->dpi, HIWORD(wParam), *reinterpret_cast<RECT*>(lParam));
      if (WindowData* still = FindForm(hwnd))
        still->dpi = HIWORD(wParam);
      return 0;
    // The size loop asks how small the form may become.
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      int dpi = DpiOf(hwnd);
      limits->ptMinTrackSize.x = std::max<LONG>(limits->ptMinTrackSize.x, TwipsToPixels(data->minWidth, dpi));
      limits->ptMinTrackSize.y = std::max<LONG>(limits->ptMinTrackSize.y, TwipsToPixels(data->minHeight, dpi));
      return 0;
    }
    // The user's colour scheme changed (a theme, high contrast): brushes made
    // from scheme colours are made again, and the common controls, which
    // hear of it only from their parent, are told.
    case WM_SYSCOLORCHANGE:
      backend::ColorsChanged(self);
      for (Control control : backend::ControlsOf(self)) {
        backend::ColorsChanged(control);
        SendMessageW(ToHwnd(control), WM_SYSCOLORCHANGE, 0, 0);
      }
      RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      return 0;
    case WM_DISPLAYCHANGE:
      KeepOnSomeWorkArea(hwnd);
      break;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETWORKAREA)
        KeepOnSomeWorkArea(hwnd);
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (LRESULT brush = ControlColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
        return brush;
      }
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void RegisterFormClass() {
  static bool registered = false;
  if (registered)
    return;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = FormProc;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // The program's icon on the dialogs' taskbar buttons and in Alt+Tab.
  wc.hIcon = LoadIconW(Instance(), MAKEINTRESOURCEW(1));
  wc.lpszClassName = kFormClass;
  RegisterClassExW(&wc);
  registered = true;
}

}  // namespace

void SetBrush(HBRUSH& brush, Color color) {
  if (brush)
    DeleteObject(brush);
  brush = CreateSolidBrush(ColorRef(color));
}

WindowData* FindForm(HWND hwnd) {
  return backend::IsForm(Of(hwnd)) ? backend::DataOf(Of(hwnd)) : nullptr;
}

HWND OwnWindowOf(HWND hwnd) {
  for (; hwnd; hwnd = GetParent(hwnd)) {
    if (FindForm(hwnd) || FindControl(hwnd))
      return hwnd;
  }
  return nullptr;
}

int TwipsToPixels(Twips twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

Twips PixelsToTwips(int pixels, int dpi) {
  return static_cast<Twips>(std::lround(static_cast<double>(pixels) * kTwipsPerInch / dpi));
}

int SystemDpi() {
  static int systemDpi = [] {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
  }();
  return systemDpi;
}

// A window's own DPI; with none, the primary monitor's, which is where the
// system puts a window it places itself. Under per-monitor awareness that
// can differ from the system's. Only GetDpiForWindow answers for a monitor
// in a per-monitor-aware thread (GetDpiForMonitor must not be used there):
// the primary's is that of a window made on it for the question.
int DpiOf(HWND hwnd) {
  static auto getDpiForWindow = SystemCall<UINT(WINAPI*)(HWND)>(L"user32.dll", "GetDpiForWindow");
  if (!getDpiForWindow)  // before Windows 10 1607
    return SystemDpi();
  HWND primary =
      hwnd ? nullptr : CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, Instance(), nullptr);
  UINT dpi = getDpiForWindow(hwnd ? hwnd : primary);
  if (primary)
    DestroyWindow(primary);
  return dpi ? static_cast<int>(dpi) : SystemDpi();
}

COLORREF ColorRef(Color color) {
  if (color & kSystemColorFlag)
    return GetSysColor(static_cast<int>(color & ~kSystemColorFlag));
  return static_cast<COLORREF>(color & 0x00FFFFFF);
}

bool DeliverMouseDown(Window self, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool& leftPressed) {
  MouseButton button = ButtonOf(msg);
  if (button == kLeftButton)
    leftPressed = true;
  bool handled = false;
  Twips x = X(lParam, hwnd), y = Y(lParam, hwnd);
  int modifiers = MouseModifierState(wParam);
  backend::Deliver(self, [&](EventSink& s) { handled = s.OnMouseDown(self, button, modifiers, x, y); });
  return handled;
}

void DeliverMouseMove(Window self, HWND hwnd, WPARAM wParam, LPARAM lParam) {
  Twips x = X(lParam, hwnd), y = Y(lParam, hwnd);
  int buttons = ButtonsHeld(wParam), modifiers = MouseModifierState(wParam);
  backend::Deliver(self, [&](EventSink& s) { s.OnMouseMove(self, buttons, modifiers, x, y); });
}

bool HandleDialogKeys(MSG& msg) {
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  WindowData* form = FindForm(root);
  return form && form->kind == FormKind::Dialog && IsDialogMessageW(root, &msg);
}

Twips X(LPARAM lParam, HWND hwnd) {
  return PixelsToTwips(GET_X_LPARAM(lParam), DpiOf(hwnd));
}
Twips Y(LPARAM lParam, HWND hwnd) {
  return PixelsToTwips(GET_Y_LPARAM(lParam), DpiOf(hwnd));
}

MouseButton ButtonOf(UINT msg) {
  return msg == WM_LBUTTONDOWN ? kLeftButton : msg == WM_RBUTTONDOWN ? kRightButton : kMiddleButton;
}

int ButtonsHeld(WPARAM wParam) {
  return ((wParam & MK_LBUTTON) ? kLeftButton : 0) | ((wParam & MK_RBUTTON) ? kRightButton : 0) |
         ((wParam & MK_MBUTTON) ? kMiddleButton : 0);
}

int MouseModifierState(WPARAM wParam) {
  return ((wParam & MK_SHIFT) ? kShift : 0) | ((wParam & MK_CONTROL) ? kCtrl : 0) |
         ((GetKeyState(VK_MENU) & 0x8000) ? kAlt : 0);
}

int ModifierState() {
  return ((GetKeyState(VK_SHIFT) & 0x8000) ? kShift : 0) | ((GetKeyState(VK_CONTROL) & 0x8000) ? kCtrl : 0) |
         ((GetKeyState(VK_MENU) & 0x8000) ? kAlt : 0);
}

Key KeyOf(WPARAM virtualKey) {
  if (virtualKey >= 'A' && virtualKey <= 'Z')
    return static_cast<Key>(virtualKey);
  if (virtualKey >= VK_F1 && virtualKey <= VK_F12)
    return static_cast<Key>(int(Key::F1) + int(virtualKey - VK_F1));
  switch (virtualKey) {
    case VK_TAB:
      return Key::Tab;
    case VK_RETURN:
      return Key::Enter;
    case VK_ESCAPE:
      return Key::Escape;
    case VK_SPACE:
      return Key::Space;
    default:
      return Key::Other;
  }
}

}  // namespace platform::win32

namespace platform::backend {
using namespace win32;

Form NewFormWindow(const FormSpec& design) {
  RegisterFormClass();
  DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  DWORD exStyle = WS_EX_TOOLWINDOW;  // no taskbar button
  if (design.kind == FormKind::Dialog) {
    style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  }
  // Over another window: on its monitor, so at that monitor's DPI from the
  // start. Else on the primary monitor, at its DPI: the system's to begin
  // with, as it nearly always is.
  HWND over = FindForm(ToHwnd(design.over)) ? ToHwnd(design.over) : nullptr;
  int dpi = over ? DpiOf(over) : SystemDpi();
  auto place = [&](RECT& rc, int& x, int& y) {
    rc =
        FrameAround(TwipsToPixels(design.rect.width, dpi), TwipsToPixels(design.rect.height, dpi), style, exStyle, dpi);
    x = TwipsToPixels(design.rect.left, dpi) + rc.left;
    y = TwipsToPixels(design.rect.top, dpi) + rc.top;
    if (RECT overRect; over && GetWindowRect(over, &overRect)) {
      x = overRect.left;
      y = overRect.top;
    }
  };
  RECT rc;
  int x, y;
  place(rc, x, y);
  HWND hwnd = CreateWindowExW(exStyle, kFormClass, W(design.caption), style, design.platformPlaces ? CW_USEDEFAULT : x,
                              design.platformPlaces ? CW_USEDEFAULT : y, rc.right - rc.left, rc.bottom - rc.top,
                              nullptr, nullptr, Instance(), nullptr);
  if (!hwnd)
    return {};
  // At another scale after all (the primary monitor's changed since the
  // system's was taken, or the system placed it on another): placed again.
  if (int placed = DpiOf(hwnd); placed != dpi) {
    dpi = placed;
    place(rc, x, y);
    SetWindowPos(hwnd, nullptr, x, y, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | (design.platformPlaces ? SWP_NOMOVE : 0));
  }
  auto data = std::make_shared<WindowData>();
  data->kind = design.kind;
  data->dpi = dpi;
  data->minWidth = design.minWidth;
  data->minHeight = design.minHeight;
  SetBrush(data->backBrush, design.backColor);
  backend::AddForm(Of<Form>(hwnd), std::move(data));
  return Of<Form>(hwnd);
}

// A dialog hidden while its monitor was taken away comes back where it can
// be reached.
void ShowFormWindow(Form form) {
  WindowData* data = FindForm(ToHwnd(form));
  if (!data || data->kind == FormKind::Hidden)
    return;
  ShowWindow(ToHwnd(form), SW_SHOW);
  KeepOnSomeWorkArea(ToHwnd(form));
}

// The shared part has forgotten the form and its controls already; their
// brushes and fonts go once the windows are destroyed.
void DestroyFormWindow(Form form) {
  DestroyWindow(ToHwnd(form));
}

Form ActiveForm() {
  HWND active = GetActiveWindow();
  return FindForm(active) && active == GetForegroundWindow() ? Of<Form>(active) : Form();
}

void ColorsChanged(Window window) {
  HWND hwnd = ToHwnd(window);
  Color color = LookOf(window)->backColor;
  if (WindowData* form = FindForm(hwnd))
    SetBrush(form->backBrush, color);
  if (WindowData* control = FindControl(hwnd))
    SetBrush(control->backBrush, color);
  InvalidateRect(hwnd, nullptr, TRUE);
}

// Takes effect at once when the pointer is over the form already.
void PointerChanged(Form form) {
  POINT pt;
  const Look* look = LookOf(form);
  if (look->pointer != Pointer::Default && GetCursorPos(&pt) &&
      GetAncestor(WindowFromPoint(pt), GA_ROOT) == ToHwnd(form)) {
    ::SetCursor(CursorFor(*look, ToHwnd(form)));
  }
}

void SetFormTimer(Form form, int intervalMs) {
  HWND hwnd = ToHwnd(form);
  if (intervalMs == 0) {
    KillTimer(hwnd, kFormTimer);
  } else {
    ::SetTimer(hwnd, kFormTimer, static_cast<UINT>(intervalMs), nullptr);
  }
}

}  // namespace platform::backend

namespace platform {
using namespace win32;

void HideForm(Form form) {
  if (FindForm(ToHwnd(form)))
    ShowWindow(ToHwnd(form), SW_HIDE);
}

bool IsVisible(Window window) {
  HWND hwnd = ToHwnd(window);
  return (FindForm(hwnd) || FindControl(hwnd)) && IsWindowVisible(hwnd);
}

Rect GetRect(Window window) {
  HWND hwnd = ToHwnd(window);
  int dpi = DpiOf(hwnd);
  RECT rc;
  if (!GetWindowRect(hwnd, &rc))
    return {};
  if (HWND parent = GetParent(hwnd); parent && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
  }
  return {PixelsToTwips(rc.left, dpi), PixelsToTwips(rc.top, dpi), PixelsToTwips(rc.right - rc.left, dpi),
          PixelsToTwips(rc.bottom - rc.top, dpi)};
}

void SetRect(Window window, const Rect& rect) {
  HWND hwnd = ToHwnd(window);
  int dpi = DpiOf(hwnd);
  SetWindowPos(hwnd, nullptr, TwipsToPixels(rect.left, dpi), TwipsToPixels(rect.top, dpi),
               TwipsToPixels(rect.width, dpi), TwipsToPixels(rect.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect ScreenRect() {
  int dpi = DpiOf(nullptr);
  return {0, 0, PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), dpi), PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), dpi)};
}

Rect WorkArea(Form form) {
  HWND hwnd = ToHwnd(form);
  HMONITOR monitor = hwnd ? MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST)
                          : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(monitor, &info);
  int dpi = DpiOf(hwnd);
  const RECT& rc = info.rcWork;
  return {PixelsToTwips(rc.left, dpi), PixelsToTwips(rc.top, dpi), PixelsToTwips(rc.right - rc.left, dpi),
          PixelsToTwips(rc.bottom - rc.top, dpi)};
}

void SetCaption(Window window, const Text& caption) {
  SetWindowTextW(ToHwnd(window), W(caption));
}

Text GetCaption(Window window) {
  HWND hwnd = ToHwnd(window);
  int length = GetWindowTextLengthW(hwnd);
  if (length <= 0)
    return {};
  std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(hwnd, buffer.data(), length + 1);
  return T(buffer.data(), static_cast<size_t>(std::max(copied, 0)));
}

}  // namespace platform

namespace platform::backend {
using namespace win32;

void Restack(Form form, ZOrder where, bool activate) {
  HWND hwnd = ToHwnd(form);
  HWND after = where == ZOrder::Topmost ? HWND_TOPMOST : where == ZOrder::NotTopmost ? HWND_NOTOPMOST : HWND_TOP;
  SetWindowPos(hwnd, after, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | (activate ? 0 : SWP_NOACTIVATE));
  if (activate)
    SetForegroundWindow(hwnd);
}

}  // namespace platform::backend

namespace platform {
using namespace win32;

// The press's own screen position goes with the message, as a real press on
// a frame carries it: the loop measures the drag from there.
void DragForm(Form form, DragEdge edge) {
  static const WPARAM kHitCodes[] = {HTCAPTION,  HTLEFT,   HTRIGHT,      HTTOP,        HTTOPLEFT,
                                     HTTOPRIGHT, HTBOTTOM, HTBOTTOMLEFT, HTBOTTOMRIGHT};
  ::ReleaseCapture();
  SendMessageW(ToHwnd(form), WM_NCLBUTTONDOWN, kHitCodes[static_cast<int>(edge)], static_cast<LPARAM>(GetMessagePos()));
}

// Layered windows came with major version 5.
bool LayeredFormsSupported() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);  // 148 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  return GetVersionExA(&info) && info.dwMajorVersion >= 5;
#pragma GCC diagnostic pop
}

// A result of 0 is the style before, or a refusal: only the last error tells.
bool SetLayered(Form form, bool layered) {
  HWND hwnd = ToHwnd(form);
  LONG style = GetWindowLongW(hwnd, GWL_EXSTYLE);
  SetLastError(ERROR_SUCCESS);
  LONG before = SetWindowLongW(hwnd, GWL_EXSTYLE, layered ? style | WS_EX_LAYERED : style & ~WS_EX_LAYERED);
  return before != 0 || GetLastError() == ERROR_SUCCESS;
}

bool SetLayeredAlpha(Form form, int alpha) {
  return SetLayeredWindowAttributes(ToHwnd(form), 0, static_cast<BYTE>(alpha), LWA_ALPHA) != FALSE;
}

bool SetLayeredColorKey(Form form, Color key) {
  return SetLayeredWindowAttributes(ToHwnd(form), ColorRef(key), 0, LWA_COLORKEY) != FALSE;
}

Color ResolveColor(Color color) {
  return ColorRef(color);
}

}  // namespace platform
