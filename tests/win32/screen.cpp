// Built into the tests, and as describe.dll, which the tests hook into the
// program: fonts and menus can only be read from inside the process.
#include "screen.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <map>
#include <vector>

namespace screen {
namespace {

using Names = std::vector<std::pair<DWORD, const wchar_t*>>;
const Names kExStyles = {{WS_EX_DLGMODALFRAME, L"DLGMODALFRAME"}, {WS_EX_TOPMOST, L"TOPMOST"},
                         {WS_EX_TOOLWINDOW, L"TOOLWINDOW"},       {WS_EX_CLIENTEDGE, L"CLIENTEDGE"},
                         {WS_EX_APPWINDOW, L"APPWINDOW"},         {WS_EX_LAYERED, L"LAYERED"}};

std::wstring Printf(const wchar_t* format, auto... values) {
  wchar_t text[160];
  swprintf(text, 160, format, values...);
  return text;
}

// " key=NAME|NAME|0x..": the names of the bits set, in table order, then what no name covers.
std::wstring Bits(const wchar_t* key, DWORD bits, const Names& names) {
  std::wstring out;
  for (auto [mask, name] : names) {
    if ((bits & mask) == mask) out += (out.empty() ? L"" : L"|") + std::wstring(name), bits &= ~mask;
  }
  if (bits) out += Printf(out.empty() ? L"0x%lX" : L"|0x%lX", bits);
  return out.empty() ? L"" : Printf(L" %ls=", key) + out;
}

// Shown and enabled are said apart; bits that mean one thing in a control and another in a window are read so.
std::wstring Styles(HWND hwnd) {
  DWORD style = GetWindowLongW(hwnd, GWL_STYLE);
  bool child = style & WS_CHILD;
  Names names = {{WS_POPUP, L"POPUP"}, {WS_CHILD, L"CHILD"}, {WS_CAPTION, L"CAPTION"}, {WS_SYSMENU, L"SYSMENU"},
                 {WS_THICKFRAME, L"THICKFRAME"}, {WS_VSCROLL, L"VSCROLL"}, {WS_CLIPCHILDREN, L"CLIPCHILDREN"},
                 {WS_CLIPSIBLINGS, L"CLIPSIBLINGS"}, {WS_GROUP, child ? L"GROUP" : L"MINIMIZEBOX"},
                 {WS_TABSTOP, child ? L"TABSTOP" : L"MAXIMIZEBOX"}};
  return Bits(L"style", style & ~(WS_VISIBLE | WS_DISABLED), names) +
         Bits(L"ex", GetWindowLongW(hwnd, GWL_EXSTYLE), kExStyles);
}

std::wstring Quoted(const std::wstring& text) {
  std::wstring out = L" \"";
  for (wchar_t c : text.substr(0, 60)) {
    out += c == L'\r' ? L"\\r" : c == L'\n' ? L"\\n" : c == L'"' ? L"\\\"" : std::wstring(1, c);
  }
  return out + (text.size() > 60 ? Printf(L"…\" chars=%zu", text.size()) : L"\"");
}

std::wstring Colours(HWND hwnd) {
  RECT area, screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  GetClientRect(hwnd, &area);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&area), 2);
  IntersectRect(&area, &area, &screen);
  LONG w = area.right - area.left, h = area.bottom - area.top;
  HDC dc = GetDC(nullptr), memory = CreateCompatibleDC(dc);
  BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB}};
  DWORD* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels), nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  std::map<DWORD, LONG> counts;
  if (pixels && BitBlt(memory, 0, 0, w, h, dc, area.left, area.top, SRCCOPY)) {
    for (LONG i = 0; i < w * h; ++i) ++counts[pixels[i] & 0xFFFFFF];
  }
  SelectObject(memory, old), DeleteObject(bitmap), DeleteDC(memory), ReleaseDC(nullptr, dc);
  std::multimap<LONG, DWORD, std::greater<>> common;
  for (auto [colour, count] : counts) {
    if (count * 100 >= w * h) common.emplace(count, colour);
  }
  std::wstring out;
  for (auto [count, colour] : common) out += Printf(out.empty() ? L" colours=#%06lX" : L",#%06lX", colour);
  return out;
}

std::wstring Font(HWND hwnd) {
  LOGFONTW lf = {};
  auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  if (!font || !GetObjectW(font, sizeof(lf), &lf)) return L"";
  HDC dc = GetDC(nullptr);
  double points = std::round(std::abs(lf.lfHeight) * 7200.0 / GetDeviceCaps(dc, LOGPIXELSY)) / 100;
  ReleaseDC(nullptr, dc);
  return Printf(L" font=\"%ls %gpt%ls%ls%ls%ls\"", lf.lfFaceName, points, lf.lfWeight >= FW_BOLD ? L" bold" : L"",
                lf.lfItalic ? L" italic" : L"", lf.lfUnderline ? L" underline" : L"",
                lf.lfStrikeOut ? L" strikeout" : L"");
}

// An entry a line: its caption and shortcut label, as the menu splits them at the tab.
std::wstring Entries(HWND popup) {
  auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, 0x01E1 /* MN_GETHMENU */, 0, 0));
  std::wstring out = Printf(L" items=%d\n", GetMenuItemCount(menu));
  for (UINT i = 0; i < static_cast<UINT>(std::max(GetMenuItemCount(menu), 0)); ++i) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
    std::wstring caption = text;
    size_t tab = std::min(caption.find(L'\t'), caption.size());
    UINT state = GetMenuState(menu, i, MF_BYPOSITION);
    std::wstring shortcut = tab < caption.size() ? Quoted(caption.substr(tab + 1)) : L"";
    std::wstring marks = std::wstring(state & MF_CHECKED ? L" checked" : L"") + (state & MF_GRAYED ? L" grayed" : L"");
    out += state & MF_SEPARATOR ? L"  ----\n" : L" " + Quoted(caption.substr(0, tab)) + shortcut + marks + L"\n";
  }
  return out;
}

// A window's line, and those of its controls or menu entries; or a control's. A shown window's z is its place.
std::wstring Line(HWND hwnd, HWND focus, int z = -1) {
  RECT rc, client;
  GetWindowRect(hwnd, &rc);
  GetClientRect(hwnd, &client);
  POINT at = {rc.left, rc.top};
  bool control = GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD;
  if (control) ScreenToClient(GetParent(hwnd), &at);
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  BYTE alpha = 0;
  DWORD flags = 0;
  bool layered = GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags) && (flags & LWA_ALPHA);
  std::wstring line = name + Quoted(TextOf(hwnd)) +
                      Printf(L" at=%ld,%ld size=%ldx%ld", at.x, at.y, rc.right - rc.left, rc.bottom - rc.top) +
                      Styles(hwnd) + (layered ? Printf(L" alpha=%d", alpha) : L"") +
                      (IsWindowVisible(hwnd) ? L" shown" : L" hidden") +
                      (IsWindowEnabled(hwnd) ? L" enabled" : L" disabled") +
                      (focus && (focus == hwnd || IsChild(hwnd, focus)) ? L" focus" : L"") + Font(hwnd);
  if (!control) line += Printf(L" client=%ldx%ld", client.right, client.bottom);
  if (z >= 0) line += Printf(L" z=%d", z);
  if (hwnd == GetForegroundWindow()) line += L" active";
  if (line.starts_with(L"#32768 ")) return line + Entries(hwnd);
  line += (IsWindowVisible(hwnd) ? Colours(hwnd) : L"") + L"\n";
  for (HWND child = GetWindow(hwnd, GW_CHILD); child && !control; child = GetWindow(child, GW_HWNDNEXT)) {
    line += L"  " + Line(child, focus);
  }
  return line;
}

}  // namespace

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

// Hidden windows only of the program's own classes: not the system's helpers (IME, combo lists).
std::string Describe() {
  GUITHREADINFO gui = {sizeof(gui)};
  GetGUIThreadInfo(GetCurrentThreadId(), &gui);
  std::wstring text;
  int z = 0;
  for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    bool own = GetClassLongPtrW(hwnd, GCLP_HMODULE) == reinterpret_cast<ULONG_PTR>(GetModuleHandleW(nullptr));
    bool shown = IsWindowVisible(hwnd);
    if (pid == GetCurrentProcessId() && (shown || own)) text += Line(hwnd, gui.hwndFocus, shown ? z : -1);
    z += shown;
  }
  return Utf8(text);
}

std::string Utf8(const std::wstring& text) {
  std::string utf8(text.size() * 3, '\0');
  int length = static_cast<int>(text.size()), room = static_cast<int>(utf8.size());
  length = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), room, nullptr, nullptr);
  utf8.resize(static_cast<size_t>(length));
  return utf8;
}

}  // namespace screen

extern "C" IMAGE_DOS_HEADER __ImageBase;  // the module this is built into

// The tests' hook in the program: on their message, the description goes to
// description.txt beside the DLL, and the event says it is there.
extern "C" __declspec(dllexport) LRESULT CALLBACK DescribeOnRequest(int code, WPARAM removed, LPARAM lParam) {
  static const UINT request = RegisterWindowMessageW(L"PinaleafDescribe");
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE && msg->message == request) {
    msg->message = WM_NULL;
    wchar_t path[MAX_PATH];
    std::wstring file(path, GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), path, MAX_PATH));
    std::ofstream((file.substr(0, file.find_last_of(L"\\/") + 1) + L"description.txt").c_str(), std::ios::binary)
        << screen::Describe();
    HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"PinaleafDescribed");
    SetEvent(done);
    CloseHandle(done);
  }
  return CallNextHookEx(nullptr, code, removed, lParam);
}
