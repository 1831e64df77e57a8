// Forms: the program's top-level windows, their events and the loaded list.

#include <algorithm>
#include <cmath>

#include "platform/win32/win32.h"

#include <windowsx.h>

namespace platform::win32 {
namespace {

const wchar_t kFormClass[] = L"PinaleafForm";
const UINT_PTR kFormTimer = 1;

std::unordered_map<HWND, FormData> g_forms;
std::vector<HWND> g_loaded;  // load order

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

Twips X(LPARAM lParam, HWND hwnd) { return PixelsToTwips(GET_X_LPARAM(lParam), DpiOf(hwnd)); }
Twips Y(LPARAM lParam, HWND hwnd) { return PixelsToTwips(GET_Y_LPARAM(lParam), DpiOf(hwnd)); }

int ButtonOf(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN: return kLeftButton;
    case WM_RBUTTONDOWN: return kRightButton;
    default: return kMiddleButton;
  }
}

int ButtonsHeld(WPARAM wParam) {
  return ((wParam & MK_LBUTTON) ? kLeftButton : 0) | ((wParam & MK_RBUTTON) ? kRightButton : 0) |
         ((wParam & MK_MBUTTON) ? kMiddleButton : 0);
}

// Brush and colours of a control, asked for by the control while it paints.
LRESULT ControlColors(HDC dc, HWND control) {
  ControlData* data = FindControl(control);
  if (!data) return 0;
  SetTextColor(dc, ResolveColor(data->foreColor));
  SetBkColor(dc, ResolveColor(data->backColor));
  return reinterpret_cast<LRESULT>(data->backBrush);
}

// On activation the focus goes to the form's first enabled text box, as in a
// dialog, so typing carries on after the strip of a note is clicked. The form
// itself gets the focus only when it has no such control.
bool FocusFirstTextBox(HWND form) {
  for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    ControlData* data = FindControl(child);
    if (data && data->textBox && IsWindowEnabled(child)) {
      ::SetFocus(child);
      return true;
    }
  }
  return false;
}

// A form moved to a monitor of another DPI keeps its size in twips: the
// system suggests the new window rectangle; children and fonts follow here.
void RescaleForDpi(HWND form, int oldDpi, int newDpi, const RECT& suggested) {
  if (oldDpi <= 0 || newDpi <= 0) return;
  for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rc;
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&rc), 2);
    SetWindowPos(child, nullptr, MulDiv(rc.left, newDpi, oldDpi), MulDiv(rc.top, newDpi, oldDpi),
                 MulDiv(rc.right - rc.left, newDpi, oldDpi), MulDiv(rc.bottom - rc.top, newDpi, oldDpi),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (ControlData* data = FindControl(child); data && data->hfont) {
      HFONT old = data->hfont;
      data->hfont = MakeFont(data->font, newDpi);
      SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(data->hfont), TRUE);
      DeleteObject(old);
    }
  }
  SetWindowPos(form, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// After the displays change, a note left wholly outside every work area
// comes back inside the nearest one.
void KeepOnSomeWorkArea(HWND form) {
  RECT rc;
  if (!IsWindowVisible(form) || !GetWindowRect(form, &rc)) return;
  HMONITOR monitor = MonitorFromRect(&rc, MONITOR_DEFAULTTONULL);
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  RECT overlap;
  if (monitor && GetMonitorInfoW(monitor, &info) && IntersectRect(&overlap, &rc, &info.rcWork)) return;
  monitor = MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST);
  if (!GetMonitorInfoW(monitor, &info)) return;
  const RECT& work = info.rcWork;
  int width = rc.right - rc.left, height = rc.bottom - rc.top;
  LONG x = std::max(work.left, std::min(rc.left, work.right - width));
  LONG y = std::max(work.top, std::min(rc.top, work.bottom - height));
  SetWindowPos(form, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  FormData* data = FindForm(hwnd);
  if (!data) return DefWindowProcW(hwnd, msg, wParam, lParam);
  Handle self = ToHandle(hwnd);
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(hwnd, &rc);
      FillRect(reinterpret_cast<HDC>(wParam), &rc, data->backBrush);
      return 1;
    }
    case WM_SIZE:
      if (data->shownOnce) Dispatch(hwnd, [&](EventSink& s) { s.OnResize(self); });
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      int button = ButtonOf(msg);
      if (button == kLeftButton) data->leftPressed = true;
      Twips x = X(lParam, hwnd), y = Y(lParam, hwnd);
      Dispatch(hwnd, [&](EventSink& s) { s.OnMouseDown(self, button, MouseModifierState(wParam), x, y); });
      return 0;
    }
    case WM_LBUTTONUP:
      if (data->leftPressed) {
        data->leftPressed = false;
        Dispatch(hwnd, [&](EventSink& s) { s.OnClick(self); });
      }
      return 0;
    case WM_MOUSEMOVE: {
      Twips x = X(lParam, hwnd), y = Y(lParam, hwnd);
      Dispatch(hwnd, [&](EventSink& s) { s.OnMouseMove(self, ButtonsHeld(wParam), MouseModifierState(wParam), x, y); });
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam) && FocusFirstTextBox(hwnd)) return 0;
      break;
    case WM_SETFOCUS:
      Dispatch(hwnd, [&](EventSink& s) { s.OnGotFocus(self); });
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && data->pointer != Pointer::Default) {
        ::SetCursor(CursorFor(data->pointer, data->customCursor));
        return TRUE;
      }
      break;
    case WM_TIMER:
      if (wParam == kFormTimer) Dispatch(hwnd, [&](EventSink& s) { s.OnTimer(self); });
      return 0;
    case WM_CLOSE: {
      bool unload = true;
      Dispatch(hwnd, [&](EventSink& s) { unload = s.OnCloseRequest(self); });
      if (unload && FindForm(hwnd)) UnloadForm(self);
      return 0;
    }
    case WM_COMMAND: {
      HWND control = reinterpret_cast<HWND>(lParam);
      if (!control || !FindControl(control)) break;
      Handle source = ToHandle(control);
      WORD code = HIWORD(wParam);
      if (code == BN_CLICKED) Dispatch(hwnd, [&](EventSink& s) { s.OnCommand(source); });
      if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) Dispatch(hwnd, [&](EventSink& s) { s.OnChange(source); });
      return 0;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header && FindControl(header->hwndFrom) &&
          (header->code == DTN_DATETIMECHANGE || header->code == MCN_SELCHANGE)) {
        Handle source = ToHandle(header->hwndFrom);
        Dispatch(hwnd, [&](EventSink& s) { s.OnChange(source); });
      }
      break;
    }
    case WM_DPICHANGED:
      RescaleForDpi(hwnd, data->dpi, HIWORD(wParam), *reinterpret_cast<RECT*>(lParam));
      if (FormData* still = FindForm(hwnd)) still->dpi = HIWORD(wParam);
      return 0;
    case WM_DISPLAYCHANGE:
      if (data->kind == FormKind::Note) KeepOnSomeWorkArea(hwnd);
      break;
    case WM_SETTINGCHANGE:
      if (wParam == SPI_SETWORKAREA && data->kind == FormKind::Note) KeepOnSomeWorkArea(hwnd);
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
  if (registered) return;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = FormProc;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kFormClass;
  RegisterClassExW(&wc);
  registered = true;
}

void SetBrush(HBRUSH& brush, Color color) {
  if (brush) DeleteObject(brush);
  brush = CreateSolidBrush(ResolveColor(color));
}

}  // namespace

FormData* FindForm(HWND hwnd) {
  auto it = g_forms.find(hwnd);
  return it == g_forms.end() ? nullptr : &it->second;
}

HWND FormOf(HWND hwnd) {
  if (FindForm(hwnd)) return hwnd;
  if (ControlData* control = FindControl(hwnd)) return control->form;
  return nullptr;
}

int TwipsToPixels(Twips twips, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / kTwipsPerInch));
}

Twips PixelsToTwips(int pixels, int dpi) {
  return static_cast<Twips>(std::lround(static_cast<double>(pixels) * kTwipsPerInch / dpi));
}

int DpiOf(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (hwnd && getDpiForWindow) {
    if (UINT dpi = getDpiForWindow(hwnd)) return static_cast<int>(dpi);
  }
  static int systemDpi = [] {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
  }();
  return systemDpi;
}

COLORREF ResolveColor(Color color) {
  if (color & kSystemColorFlag) return GetSysColor(static_cast<int>(color & 0x7FFFFFFF));
  return static_cast<COLORREF>(color & 0x00FFFFFF);
}

bool HandleDialogKeys(MSG& msg) {
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  FormData* form = FindForm(root);
  return form && form->kind == FormKind::Dialog && IsDialogMessageW(root, &msg);
}

int MouseModifierState(WPARAM wParam) {
  return ((wParam & MK_SHIFT) ? kShift : 0) | ((wParam & MK_CONTROL) ? kCtrl : 0) |
         ((GetKeyState(VK_MENU) & 0x8000) ? kAlt : 0);
}

int ModifierState() {
  return ((GetKeyState(VK_SHIFT) & 0x8000) ? kShift : 0) | ((GetKeyState(VK_CONTROL) & 0x8000) ? kCtrl : 0) |
         ((GetKeyState(VK_MENU) & 0x8000) ? kAlt : 0);
}

}  // namespace platform::win32

namespace platform {
using namespace win32;

Handle CreateForm(const FormSpec& design, std::shared_ptr<EventSink> sink) {
  RegisterFormClass();
  DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  DWORD exStyle = WS_EX_TOOLWINDOW;  // no taskbar button
  if (design.kind == FormKind::Dialog) {
    style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  }
  int dpi = DpiOf(nullptr);
  RECT rc = {0, 0, TwipsToPixels(design.rect.width, dpi), TwipsToPixels(design.rect.height, dpi)};
  AdjustWindowRectEx(&rc, style, FALSE, exStyle);
  int x = design.platformPlaces ? CW_USEDEFAULT : TwipsToPixels(design.rect.left, dpi) + rc.left;
  int y = design.platformPlaces ? CW_USEDEFAULT : TwipsToPixels(design.rect.top, dpi) + rc.top;
  HWND hwnd = CreateWindowExW(exStyle, kFormClass, reinterpret_cast<const wchar_t*>(design.caption.c_str()), style, x,
                              y, rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, Instance(), nullptr);
  if (!hwnd) return 0;
  FormData& data = g_forms[hwnd];
  data.sink = std::move(sink);
  data.kind = design.kind;
  data.dpi = DpiOf(hwnd);
  data.backColor = design.backColor;
  SetBrush(data.backBrush, design.backColor);
  g_loaded.push_back(hwnd);
  return ToHandle(hwnd);
}

void ShowForm(Handle form) {
  HWND hwnd = ToHwnd(form);
  FormData* data = FindForm(hwnd);
  if (!data || data->kind == FormKind::Hidden) return;
  ShowWindow(hwnd, SW_SHOW);
  data = FindForm(hwnd);
  if (data && !data->shownOnce) {
    data->shownOnce = true;
    Dispatch(hwnd, [&](EventSink& s) { s.OnResize(form); });
  }
}

void HideForm(Handle form) { ShowWindow(ToHwnd(form), SW_HIDE); }

bool IsVisible(Handle window) {
  HWND hwnd = ToHwnd(window);
  return (FindForm(hwnd) || FindControl(hwnd)) && IsWindowVisible(hwnd);
}

void UnloadForm(Handle form) {
  HWND hwnd = ToHwnd(form);
  if (!FindForm(hwnd)) return;
  Dispatch(hwnd, [&](EventSink& s) { s.OnUnload(form); });
  auto it = g_forms.find(hwnd);
  if (it == g_forms.end()) return;  // the unload handler unloaded it already
  HBRUSH brush = it->second.backBrush;
  g_forms.erase(it);
  g_loaded.erase(std::remove(g_loaded.begin(), g_loaded.end(), hwnd), g_loaded.end());
  DestroyWindow(hwnd);
  if (brush) DeleteObject(brush);
}

bool IsLoaded(Handle form) { return FindForm(ToHwnd(form)) != nullptr; }

std::vector<Handle> LoadedForms() {
  std::vector<Handle> forms;
  forms.reserve(g_loaded.size());
  for (HWND hwnd : g_loaded) forms.push_back(ToHandle(hwnd));
  return forms;
}

std::shared_ptr<EventSink> SinkOf(Handle form) {
  FormData* data = FindForm(ToHwnd(form));
  return data ? data->sink : nullptr;
}

Rect GetRect(Handle window) {
  HWND hwnd = ToHwnd(window);
  int dpi = DpiOf(hwnd);
  RECT rc;
  if (!GetWindowRect(hwnd, &rc)) return {};
  if (HWND parent = GetParent(hwnd); parent && (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rc), 2);
  }
  return {PixelsToTwips(rc.left, dpi), PixelsToTwips(rc.top, dpi), PixelsToTwips(rc.right - rc.left, dpi),
          PixelsToTwips(rc.bottom - rc.top, dpi)};
}

void SetRect(Handle window, const Rect& rect) {
  HWND hwnd = ToHwnd(window);
  int dpi = DpiOf(hwnd);
  SetWindowPos(hwnd, nullptr, TwipsToPixels(rect.left, dpi), TwipsToPixels(rect.top, dpi),
               TwipsToPixels(rect.width, dpi), TwipsToPixels(rect.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect ScreenRect() {
  int dpi = DpiOf(nullptr);
  return {0, 0, PixelsToTwips(GetSystemMetrics(SM_CXSCREEN), dpi),
          PixelsToTwips(GetSystemMetrics(SM_CYSCREEN), dpi)};
}

Rect WorkArea(Handle window) {
  HWND hwnd = ToHwnd(window);
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

void SetBackColor(Handle window, Color color) {
  HWND hwnd = ToHwnd(window);
  if (FormData* form = FindForm(hwnd)) {
    form->backColor = color;
    SetBrush(form->backBrush, color);
  } else if (ControlData* control = FindControl(hwnd)) {
    control->backColor = color;
    SetBrush(control->backBrush, color);
  } else {
    return;
  }
  InvalidateRect(hwnd, nullptr, TRUE);
}

Color GetBackColor(Handle window) {
  HWND hwnd = ToHwnd(window);
  if (FormData* form = FindForm(hwnd)) return form->backColor;
  if (ControlData* control = FindControl(hwnd)) return control->backColor;
  return 0;
}

void SetCaption(Handle window, const Text& caption) {
  SetWindowTextW(ToHwnd(window), reinterpret_cast<const wchar_t*>(caption.c_str()));
}

Text GetCaption(Handle window) {
  HWND hwnd = ToHwnd(window);
  int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
  int copied = GetWindowTextW(hwnd, buffer.data(), length + 1);
  return T(buffer.data(), static_cast<size_t>(std::max(copied, 0)));
}

void SetPointer(Handle form, Pointer shape, CursorId custom) {
  HWND hwnd = ToHwnd(form);
  FormData* data = FindForm(hwnd);
  if (!data || (data->pointer == shape && data->customCursor == custom)) return;
  data->pointer = shape;
  data->customCursor = custom;
  // Takes effect at once when the pointer is over the form already.
  POINT pt;
  if (GetCursorPos(&pt) && FormOf(WindowFromPoint(pt)) == hwnd && shape != Pointer::Default) {
    ::SetCursor(CursorFor(shape, custom));
  }
}

void SetTopmost(Handle form, bool topmost) {
  SetWindowPos(ToHwnd(form), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

bool IsTopmost(Handle form) { return (GetWindowLongW(ToHwnd(form), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

void ReleaseCapture() { ::ReleaseCapture(); }

// The press's own screen position goes with the message, as a real press on
// a frame carries it: the loop measures the drag from there.
void RunMoveSizeLoop(Handle form, int hitCode) {
  SendMessageW(ToHwnd(form), WM_NCLBUTTONDOWN, static_cast<WPARAM>(hitCode),
               static_cast<LPARAM>(GetMessagePos()));
}

std::uint32_t GetExtendedStyle(Handle window) {
  return static_cast<std::uint32_t>(GetWindowLongW(ToHwnd(window), GWL_EXSTYLE));
}

std::uint32_t SetExtendedStyle(Handle window, std::uint32_t style) {
  return static_cast<std::uint32_t>(SetWindowLongW(ToHwnd(window), GWL_EXSTYLE, static_cast<LONG>(style)));
}

bool SetLayeredAttributes(Handle window, Color key, int alpha, unsigned flags) {
  return SetLayeredWindowAttributes(ToHwnd(window), ResolveColor(key), static_cast<BYTE>(alpha), flags) != FALSE;
}

Color SystemColor(int index) { return GetSysColor(index); }

int SystemMajorVersion() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);  // 148 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return 0;
#pragma GCC diagnostic pop
  return static_cast<int>(info.dwMajorVersion);
}

void SetTimer(Handle form, int intervalMs) {
  HWND hwnd = ToHwnd(form);
  FormData* data = FindForm(hwnd);
  if (!data) return;
  data->timerMs = std::max(intervalMs, 0);
  if (data->timerMs == 0) {
    KillTimer(hwnd, kFormTimer);
  } else {
    ::SetTimer(hwnd, kFormTimer, static_cast<UINT>(data->timerMs), nullptr);
  }
}

int GetTimer(Handle form) {
  FormData* data = FindForm(ToHwnd(form));
  return data ? data->timerMs : 0;
}

}  // namespace platform
