// System services: pointers, menus, message boxes, clipboard, clock, the
// message pump, files.
#include <algorithm>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>

#include "platform/win32/win32.h"

#include <mmsystem.h>
#include <shellapi.h>

// The library's own terminate handler prints the demangled type of the
// exception; its demangler alone is a tenth of the program, and a program
// without a console has nowhere to print it.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace platform::win32 {
namespace {

std::vector<HCURSOR> g_cursors;  // CursorId n is g_cursors[n - 1]
std::vector<HMENU> g_menus;      // MenuId n is g_menus[n - 1]


HMENU MenuOf(MenuId id) {
  return id >= 1 && static_cast<size_t>(id) <= g_menus.size() ? g_menus[static_cast<size_t>(id) - 1] : nullptr;
}


// Tasks queued by RunLater, run by a message-only window.
const UINT kRunTasks = WM_APP + 1;
std::deque<std::function<void()>> g_tasks;

LRESULT CALLBACK TaskProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kRunTasks) {
    while (!g_tasks.empty()) {
      auto task = std::move(g_tasks.front());
      g_tasks.pop_front();
      task();
    }
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND TaskWindow() {
  static HWND window = [] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = TaskProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PinaleafTasks";
    RegisterClassExW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }();
  return window;
}

}  // namespace

HCURSOR CursorFor(Pointer shape, CursorId custom) {
  switch (shape) {
    case Pointer::IBeam: return LoadCursorW(nullptr, IDC_IBEAM);
    case Pointer::SizeNWSE: return LoadCursorW(nullptr, IDC_SIZENWSE);
    case Pointer::Custom:
      if (custom >= 1 && static_cast<size_t>(custom) <= g_cursors.size()) {
        return g_cursors[static_cast<size_t>(custom) - 1];
      }
      return LoadCursorW(nullptr, IDC_HAND);
    default: return LoadCursorW(nullptr, IDC_ARROW);
  }
}

}  // namespace platform::win32

namespace platform {
using namespace win32;

MenuId CreatePopupMenu() {
  HMENU menu = ::CreatePopupMenu();
  if (!menu) return 0;
  g_menus.push_back(menu);
  return static_cast<MenuId>(g_menus.size());
}

void AppendMenuItem(MenuId menu, int id, const Text& caption, const Text& shortcutLabel) {
  Text label = shortcutLabel.empty() ? caption : caption + u"\t" + shortcutLabel;
  AppendMenuW(MenuOf(menu), MF_STRING, static_cast<UINT_PTR>(id), W(label));
}

void AppendMenuSeparator(MenuId menu) { AppendMenuW(MenuOf(menu), MF_SEPARATOR, 0, nullptr); }

void SetMenuChecked(MenuId menu, int id, bool checked) {
  CheckMenuItem(MenuOf(menu), static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool IsMenuChecked(MenuId menu, int id) {
  UINT state = GetMenuState(MenuOf(menu), static_cast<UINT>(id), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_CHECKED);
}

int TrackPopupMenu(MenuId menu, Handle owner) {
  HWND hwnd = ToHwnd(owner);
  POINT pt = {};
  GetCursorPos(&pt);
  // The owner must be in front, or a click elsewhere would not close the menu.
  SetForegroundWindow(hwnd);
  int chosen = static_cast<int>(
      TrackPopupMenuEx(MenuOf(menu), TPM_RETURNCMD | TPM_LEFTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, pt.x, pt.y,
                       hwnd, nullptr));
  PostMessageW(hwnd, WM_NULL, 0, 0);
  return chosen;
}

Answer AskYesNo(Handle owner, const Text& prompt, const Text& title) {
  int answer = MessageBoxW(ToHwnd(owner), W(prompt), W(title), MB_YESNO | MB_DEFBUTTON1);
  return answer == IDYES ? Answer::Yes : Answer::No;
}

void ShowError(Handle owner, const Text& message, const Text& title) {
  MessageBoxW(ToHwnd(owner), W(message), W(title), MB_OK | MB_ICONERROR);
}

void ClipboardClear() {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  CloseClipboard();
}

void ClipboardSetText(const Text& text) {
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  size_t bytes = (text.size() + 1) * sizeof(char16_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* target = GlobalLock(memory)) {
      std::copy_n(text.c_str(), text.size() + 1, static_cast<char16_t*>(target));
      GlobalUnlock(memory);
      if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    } else {
      GlobalFree(memory);
    }
  }
  CloseClipboard();
}

Text ClipboardGetText() {
  if (!OpenClipboard(nullptr)) return {};
  Text text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* source = static_cast<const wchar_t*>(GlobalLock(data))) {
      size_t limit = GlobalSize(data) / sizeof(wchar_t);
      size_t length = std::find(source, source + limit, L'\0') - source;
      text = T(source, length);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

DateTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

Text FormatShortDate(const DateTime& when) {
  SYSTEMTIME st = ToSystemTime(when);
  wchar_t buffer[128];
  int length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, 128);
  return length > 0 ? T(buffer, static_cast<size_t>(length - 1)) : Text{};
}

Text FormatTime(const DateTime& when) {
  SYSTEMTIME st = ToSystemTime(when);
  wchar_t buffer[128];
  int length = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer, 128);
  return length > 0 ? T(buffer, static_cast<size_t>(length - 1)) : Text{};
}

Text FormatDateTime(const DateTime& when) { return FormatShortDate(when) + u" " + FormatTime(when); }

double MonotonicSeconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (HandleDialogKeys(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void WaitForMessagesUntil(double deadline) {
  double left = deadline - MonotonicSeconds();
  if (left > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left * 1000.0 + 0.999), QS_ALLINPUT);
  }
  PumpMessages();
}

void RunLater(std::function<void()> task) {
  g_tasks.push_back(std::move(task));
  PostMessageW(TaskWindow(), kRunTasks, 0, 0);
}

void EndProcess() { ExitProcess(0); }

int Run(void (*start)()) {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_DATE_CLASSES;
  InitCommonControlsEx(&controls);
  start();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (HandleDialogKeys(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

void ShellOpen(Handle owner, const Text& target, const Text& workingDirectory) {
  ShellExecuteW(ToHwnd(owner), nullptr, W(target), nullptr, workingDirectory.empty() ? nullptr : W(workingDirectory),
                SW_SHOWNORMAL);
}

void PlaySoundAsync(const Text& path) { sndPlaySoundW(W(path), SND_ASYNC); }

Text ProgramDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  size_t slash = path.find_last_of(L"\\/");
  return T(path.c_str(), slash == std::wstring::npos ? 0 : slash);
}

bool FileExists(const Text& path) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  return GetFileAttributesExW(W(path), GetFileExInfoStandard, &info) != FALSE;
}

// Every note asks for the same file: it is loaded once and shared, so no
// cursor is left behind when a note closes.
CursorId LoadCursorFile(const Text& path) {
  static std::map<Text, CursorId> loaded;
  if (auto it = loaded.find(path); it != loaded.end()) return it->second;
  HCURSOR cursor = LoadCursorFromFileW(W(path));
  if (!cursor) return 0;
  g_cursors.push_back(cursor);
  CursorId id = static_cast<CursorId>(g_cursors.size());
  loaded[path] = id;
  return id;
}

std::optional<std::string> EncodeAnsi(const Text& text) {
  if (text.empty()) return std::string();
  BOOL usedDefault = FALSE;
  int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, W(text), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, &usedDefault);
  if (length <= 0 || usedDefault) return std::nullopt;
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, W(text), static_cast<int>(text.size()), bytes.data(), length,
                      nullptr, &usedDefault);
  if (usedDefault) return std::nullopt;
  return bytes;
}

}  // namespace platform
