// What pinaleaf.exe shows, described from inside it for the walk, in the
// form of tests/walk/walk.h's Describe: the walk hooks this DLL into the
// program's thread, and each "PinaleafDescribe" message it posts there has
// the file PINALEAF_DESCRIBE names written once the program comes to it. Another
// process cannot read a popup's entries, a window's font or the cursor.
#include <windows.h>
//
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "platform/store_file.h"
#include "walk.h"

namespace {

using walk::Printed;

// Text as UTF-8, line ends as "\n", its length first.
std::string Bytes(std::wstring text) {
  for (size_t at; (at = text.find(L"\r\n")) != std::wstring::npos;)
    text.erase(at, 1);
  std::string utf8 = platform::ToUtf8({text.begin(), text.end()});
  return Printed("%zu\n", utf8.size()) + utf8;
}
std::wstring Text(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}
// Where a window's client area is on the screen.
std::string Box(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return Printed("%ld %ld %ld %ld ", r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void Describe() {
  const std::pair<LPCWSTR, const char*> kShapes[] = {
      {IDC_IBEAM, "ibeam"}, {IDC_SIZENWSE, "nwse"}, {IDC_ARROW, "arrow"}, {IDC_HAND, "hand"}};
  const char* shape = "custom";
  for (auto [id, name] : kShapes)
    shape = GetCursor() == LoadCursorW(nullptr, id) ? name : shape;
  std::string out = Printed("pointer %s\nkeyboard %llu %d\n", shape, uint64_t(GetForegroundWindow()),
                            GetParent(GetFocus()) == GetForegroundWindow());
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    if (process != GetCurrentProcessId() || !IsWindowVisible(w))
      continue;
    // The popup's entries as the user reads them (only a popup answers).
    auto menu = reinterpret_cast<HMENU>(SendMessageW(w, MN_GETHMENU, 0, 0));
    std::wstring entries;
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
      wchar_t caption[128] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), caption, 128, MF_BYPOSITION);
      UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
      entries += state & MF_SEPARATOR ? L"-" : state & MF_CHECKED ? L"*" : L"";
      entries += caption + std::wstring(L"\n");
    }
    if (!entries.empty()) {
      out += "popup " + Box(w) + Bytes(entries) + "\n";
      continue;
    }
    BYTE alpha = 0;
    GetLayeredWindowAttributes(w, nullptr, &alpha, nullptr);
    std::wstring title = Text(w);
    if (HWND message = GetDlgItem(w, 0xFFFF))  // a message box's words
      title += L"\n" + Text(message);
    out += Printed("window %llu ", uint64_t(w)) + Box(w) +
           Printed("%d %d ", alpha, (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0) + Bytes(title) + "\n";
    // A note's text area: the font and colours it is drawn in, what it holds.
    HWND edit = FindWindowExW(w, nullptr, L"Edit", nullptr);
    LOGFONTW f = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)), sizeof(f), &f);
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(w, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit));
    wchar_t look[128];
    _snwprintf(look, 128, L"%ld %d %d %d %d %lu %lu %ls\n", -f.lfHeight, f.lfWeight >= FW_BOLD, f.lfItalic,
               f.lfUnderline, f.lfStrikeOut, GetTextColor(dc), GetBkColor(dc), f.lfFaceName);
    DeleteDC(dc);
    if (edit && Text(w) == L"Form1")
      out += Printed("note %llu ", uint64_t(w)) + Box(edit) + Bytes(look + Text(edit)) + "\n";
    SYSTEMTIME day = {};
    HWND calendar = FindWindowExW(w, nullptr, L"SysMonthCal32", nullptr);
    if (calendar && SendMessageW(calendar, MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&day)))
      out += "calendar " + Box(calendar) + Printed("%d %d %d\n", day.wDay, day.wMonth, day.wYear);
  }
  std::wstring file = _wgetenv(L"PINALEAF_DESCRIBE"), part = file + L".new";
  FILE* written = _wfopen(part.c_str(), L"wb");
  fwrite(out.data(), 1, out.size(), written);
  fclose(written);
  MoveFileExW(part.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

// Hooks the messages the program takes.
extern "C" __declspec(dllexport) LRESULT CALLBACK Hook(int code, WPARAM removed, LPARAM message) {
  if (code == HC_ACTION && removed == PM_REMOVE &&
      reinterpret_cast<MSG*>(message)->message == RegisterWindowMessageW(L"PinaleafDescribe")) {
    Describe();
  }
  return CallNextHookEx(nullptr, code, removed, message);
}
