// Built into the tests, and as describe.dll, which the tests hook into the
// program: fonts and menus can only be read from inside the process.
#include "screen.h"

#include <cmath>
#include <fstream>

namespace screen {
namespace {

// "Arial 9.75pt bold italic underline strikeout", the size from the font's height at the screen's dots per inch.
std::wstring FontOf(HWND hwnd) {
  LOGFONTW lf = {};
  auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  if (!font || !GetObjectW(font, sizeof(lf), &lf)) return L"";
  HDC dc = GetDC(nullptr);
  double points = std::round(std::abs(lf.lfHeight) * 7200.0 / GetDeviceCaps(dc, LOGPIXELSY)) / 100;
  ReleaseDC(nullptr, dc);
  wchar_t text[128];
  swprintf(text, 128, L"%ls %gpt%ls%ls%ls%ls", lf.lfFaceName, points, lf.lfWeight >= FW_BOLD ? L" bold" : L"",
           lf.lfItalic ? L" italic" : L"", lf.lfUnderline ? L" underline" : L"", lf.lfStrikeOut ? L" strikeout" : L"");
  return text;
}

BOOL CALLBACK DescribeControl(HWND hwnd, LPARAM out) {
  std::wstring font = FontOf(hwnd);
  if (!font.empty()) *reinterpret_cast<std::wstring*>(out) += std::to_wstring(reinterpret_cast<uintptr_t>(hwnd)) +
                                                                L" font=\"" + font + L"\"\n";
  return TRUE;
}

BOOL CALLBACK DescribeWindow(HWND hwnd, LPARAM out) {
  std::wstring& text = *reinterpret_cast<std::wstring*>(out);
  wchar_t name[16] = {};
  GetClassNameW(hwnd, name, 16);
  auto menu = reinterpret_cast<HMENU>(SendMessageW(hwnd, 0x01E1 /* MN_GETHMENU */, 0, 0));
  for (int i = 0; IsWindowVisible(hwnd) && std::wstring(name) == L"#32768" && i < GetMenuItemCount(menu); ++i) {
    wchar_t entry[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), entry, 256, MF_BYPOSITION);
    std::wstring caption = entry;
    size_t tab = caption.find(L'\t');
    UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
    if (tab != std::wstring::npos) caption = caption.substr(0, tab) + L"\" \"" + caption.substr(tab + 1);
    text += state & MF_SEPARATOR ? L"----\n" : L"\"" + caption + L"\"" + (state & MF_CHECKED ? L" checked\n" : L"\n");
  }
  EnumChildWindows(hwnd, DescribeControl, out);
  return TRUE;
}

}  // namespace

std::string Describe() {
  std::wstring text;
  EnumThreadWindows(GetCurrentThreadId(), DescribeWindow, reinterpret_cast<LPARAM>(&text));
  return Utf8(text);
}

std::string Utf8(const std::wstring& text) {
  std::string utf8(text.size() * 3, '\0');
  int length = static_cast<int>(text.size()), room = static_cast<int>(utf8.size());
  length = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), room, nullptr, nullptr);
  utf8.resize(static_cast<size_t>(length));
  return utf8;
}

std::wstring TextOf(HWND hwnd) {
  std::wstring text(static_cast<size_t>(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
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
