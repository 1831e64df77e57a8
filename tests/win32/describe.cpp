// What pinaleaf.exe shows, described from inside it for the walk, in the
// form of tests/walk/walk.h's Describe: the walk hooks this DLL into the
// program's thread, and each "PinaleafDescribe" message it posts there has
// the file PINALEAF_DESCRIBE names written once the program comes to it. Another
// process cannot read a popup's entries, a window's font or the cursor.
#include <windows.h>
//
#include <commctrl.h>

#include <fstream>

#include "platform/store_file.h"
#include "walk.h"

namespace {

using namespace std;
using walk::Printed;

// Text as UTF-8, line ends as "\n", its length first.
string Bytes(wstring text) {
  for (size_t at; (at = text.find(L"\r\n")) != wstring::npos;)
    text.erase(at, 1);
  string utf8 = platform::ToUtf8({text.begin(), text.end()});
  return Printed("%zu\n", utf8.size()) + utf8;
}
wstring Text(HWND window) {
  wstring text(GetWindowTextLengthW(window) + 1, 0);
  text.resize(GetWindowTextW(window, text.data(), int(text.size())));
  return text;
}
// The rest of a line of the description: where a window's client area is on
// the screen, and what follows.
string Box(HWND window, const string& rest) {
  RECT r;
  GetClientRect(window, &r);
  MapWindowPoints(window, nullptr, LPPOINT(&r), 2);
  return Printed(" %ld %ld %ld %ld ", r.left, r.top, r.right - r.left, r.bottom - r.top) + rest + "\n";
}

void Describe() {
  const char* shape = "custom";
  for (auto [id, name] : {pair(IDC_IBEAM, "ibeam"), {IDC_SIZENWSE, "nwse"}, {IDC_ARROW, "arrow"}, {IDC_HAND, "hand"}})
    shape = GetCursor() == LoadCursorW(nullptr, id) ? name : shape;
  string out = Printed("pointer %s\nkeyboard %llu %d\n", shape, uint64_t(GetForegroundWindow()),
                       GetParent(GetFocus()) == GetForegroundWindow());
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    // The program's windows (it has one thread) that show.
    if (GetWindowThreadProcessId(w, nullptr) != GetCurrentThreadId() || !IsWindowVisible(w))
      continue;
    // The popup's entries as the user reads them (only a popup answers).
    auto menu = HMENU(SendMessageW(w, MN_GETHMENU, 0, 0));
    wstring entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      wchar_t caption[128] = {};
      GetMenuStringW(menu, i, caption, 128, MF_BYPOSITION);
      UINT state = GetMenuState(menu, i, MF_BYPOSITION);
      entries += (state & MF_SEPARATOR ? L"-" : state & MF_CHECKED ? L"*" : L"") + wstring(caption) + L"\n";
    }
    if (!entries.empty()) {
      out += "popup" + Box(w, Bytes(entries));
      continue;
    }
    BYTE alpha = 0;
    GetLayeredWindowAttributes(w, nullptr, &alpha, nullptr);
    wstring title = Text(w);
    if (HWND message = GetDlgItem(w, 0xFFFF))  // a message box's words
      title += L"\n" + Text(message);
    out += Printed("window %llu", uint64_t(w)) +
           Box(w, Printed("%d %d ", alpha, (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) + Bytes(title));
    SYSTEMTIME day;  // read only once the calendar has filled it in
    HWND calendar = FindWindowExW(w, nullptr, L"SysMonthCal32", nullptr);
    if (SendMessageW(calendar, MCM_GETCURSEL, 0, LPARAM(&day)))
      out += "calendar" + Box(calendar, Printed("%d %d %d", day.wDay, day.wMonth, day.wYear));
    if (title != L"Form1")
      continue;
    // A note's text area: the font and colours it is drawn in, what it holds.
    HWND edit = FindWindowExW(w, nullptr, L"Edit", nullptr);
    LOGFONTW f = {};
    GetObjectW(HFONT(SendMessageW(edit, WM_GETFONT, 0, 0)), sizeof f, &f);
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(w, WM_CTLCOLOREDIT, WPARAM(dc), LPARAM(edit));
    wchar_t look[128];
    _snwprintf(look, 128, L"%ld %d %d %d %d %lu %lu %ls\n", -f.lfHeight, f.lfWeight >= FW_BOLD, f.lfItalic,
               f.lfUnderline, f.lfStrikeOut, GetTextColor(dc), GetBkColor(dc), f.lfFaceName);
    DeleteDC(dc);
    out += Printed("note %llu", uint64_t(w)) + Box(edit, Bytes(look + Text(edit)));
  }
  wstring file = _wgetenv(L"PINALEAF_DESCRIBE"), part = file + L".new";
  ofstream(part.c_str(), ios::binary) << out;
  _wrename(part.c_str(), file.c_str());  // whole, where the walk has taken the last away
}

}  // namespace

// Hooks the messages the program takes.
extern "C" __declspec(dllexport) LRESULT CALLBACK Hook(int code, WPARAM removed, LPARAM message) {
  if (code == HC_ACTION && removed == PM_REMOVE &&
      LPMSG(message)->message == RegisterWindowMessageW(L"PinaleafDescribe"))
    Describe();
  return CallNextHookEx(nullptr, code, removed, message);
}
