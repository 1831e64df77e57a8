// System services: libraries, pointers, menus, message boxes, clipboard,
// clock, the message pump, the shell and sound.
#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/win32/win32.h"

#include <objbase.h>
#include <shellapi.h>

// The library's own terminate handler prints the demangled type of the
// exception; its demangler alone is a tenth of the program, and a program
// without a console has nowhere to print it.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx

namespace platform::win32 {
namespace {

// A cursor file, loaded at the size each monitor's scale asks for: the
// system draws its own pointers larger at 150 %, and ours keep up.
struct CursorFile {
  Text path;
  std::map<int, HCURSOR> byDpi;
};
std::vector<CursorFile> g_cursors;  // CursorId n is g_cursors[n - 1]

HCURSOR LoadCursorAt(CursorFile& file, int dpi) {
  auto [it, fresh] = file.byDpi.try_emplace(dpi, nullptr);
  if (!fresh)
    return it->second;
  static auto metricForDpi = SystemCall<int(WINAPI*)(int, UINT)>(L"user32.dll", "GetSystemMetricsForDpi");
  int size = metricForDpi ? metricForDpi(SM_CXCURSOR, static_cast<UINT>(dpi)) : 0;  // 0: the system's size
  it->second = static_cast<HCURSOR>(LoadImageW(nullptr, W(file.path), IMAGE_CURSOR, size, size, LR_LOADFROMFILE));
  if (!it->second)
    it->second = file.byDpi.at(0);  // as first loaded
  return it->second;
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    DispatchOne(msg);
  }
}

// Another program (a clipboard manager, a remote-desktop client) may hold the
// clipboard open for a moment: a quarter of a second, then give up.
bool OpenClipboardFor(Form owner) {
  for (int attempt = 0; attempt < 25; ++attempt) {
    if (OpenClipboard(ToHwnd(owner)))
      return true;
    Sleep(10);
  }
  return false;
}

// What the shell's old result codes mean, as the system's own errors.
DWORD ErrorOfShellResult(INT_PTR result) {
  switch (result) {
    case 0:
    case SE_ERR_OOM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC:
      return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
      return ERROR_DDE_FAIL;
    case SE_ERR_DLLNOTFOUND:
      return ERROR_DLL_NOT_FOUND;
    case SE_ERR_SHARE:
      return ERROR_SHARING_VIOLATION;
    default:
      return static_cast<DWORD>(result);  // file or path not found, access denied, bad format
  }
}

}  // namespace

void DispatchOne(MSG& msg) {
  if (HandleDialogKeys(msg))
    return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

FARPROC SystemFunction(const wchar_t* library, const char* name) {
  static std::map<std::wstring, HMODULE> loaded;
  auto [it, fresh] = loaded.try_emplace(library, nullptr);
  if (fresh) {
    it->second = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows 7 without its 2011 loader update knows no such flag: the full path.
    wchar_t folder[MAX_PATH];
    UINT length = it->second ? 0 : GetSystemDirectoryW(folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
      it->second = LoadLibraryW((std::wstring(folder, length) + L"\\" + library).c_str());
    }
  }
  return it->second ? GetProcAddress(it->second, name) : nullptr;
}

CommonControls6::CommonControls6() {
  // Resource 3: a manifest the loader never applies by itself.
  static HANDLE context = [] {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    ACTCTXW request = {sizeof(request)};
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = exe;
    request.hModule = GetModuleHandleW(nullptr);
    request.lpResourceName = MAKEINTRESOURCEW(3);
    return CreateActCtxW(&request);
  }();
  if (context != INVALID_HANDLE_VALUE && !ActivateActCtx(context, &cookie_))
    cookie_ = 0;
}

CommonControls6::~CommonControls6() {
  if (cookie_)
    DeactivateActCtx(0, cookie_);
}

Text SystemMessage(DWORD error) {
  wchar_t* buffer = nullptr;
  DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  Text message = length && buffer ? T(buffer) : Text();
  if (buffer)
    LocalFree(buffer);
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' ')) {
    message.pop_back();
  }
  if (message.empty())
    message = u"Error " + Text(reinterpret_cast<const char16_t*>(std::to_wstring(error).c_str()));
  return message;
}

HCURSOR CursorFor(const backend::Look& look, HWND over) {
  switch (look.pointer) {
    case Pointer::IBeam:
      return LoadCursorW(nullptr, IDC_IBEAM);
    case Pointer::SizeNWSE:
      return LoadCursorW(nullptr, IDC_SIZENWSE);
    case Pointer::Custom:
      if (look.cursor >= 1 && static_cast<size_t>(look.cursor) <= g_cursors.size()) {
        if (HCURSOR cursor = LoadCursorAt(g_cursors[static_cast<size_t>(look.cursor) - 1], DpiOf(over)))
          return cursor;
      }
      return LoadCursorW(nullptr, IDC_HAND);
    default:
      return LoadCursorW(nullptr, IDC_ARROW);
  }
}

}  // namespace platform::win32

namespace platform::backend {
using namespace win32;

// The popup is made afresh from the shared part's entries each time; a tab
// sets the shortcut label apart, at the right. The system's menu is modal:
// it has closed when this returns.
void ShowMenu(MenuId, const std::vector<MenuItem>& items, Form owner) {
  HMENU menu = ::CreatePopupMenu();
  for (const MenuItem& item : items) {
    UINT flags = item.id == 0 ? MF_SEPARATOR : MF_STRING | (item.checked ? MF_CHECKED : 0);
    Text label = item.shortcutLabel.empty() ? item.caption : item.caption + u"\t" + item.shortcutLabel;
    AppendMenuW(menu, flags, static_cast<UINT_PTR>(item.id), item.id == 0 ? nullptr : W(label));
  }
  HWND hwnd = ToHwnd(owner);
  POINT pt = {};
  GetCursorPos(&pt);
  // The owner must be in front, or a click elsewhere would not close the menu.
  SetForegroundWindow(hwnd);
  int chosen = static_cast<int>(
      TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_LEFTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, pt.x, pt.y, hwnd, nullptr));
  PostMessageW(hwnd, WM_NULL, 0, 0);
  DestroyMenu(menu);
  MenuClosed(chosen);
}

}  // namespace platform::backend

namespace platform {
using namespace win32;

Answer AskYesNo(Form owner, const Text& prompt, const Text& title) {
  CommonControls6 looks;
  int answer = MessageBoxW(ToHwnd(owner), W(prompt), W(title), MB_YESNO | MB_DEFBUTTON1);
  return answer == IDYES ? Answer::Yes : Answer::No;
}

void ShowError(Form owner, const Text& message, const Text& title) {
  CommonControls6 looks;
  MessageBoxW(ToHwnd(owner), W(message), W(title), MB_OK | MB_ICONERROR);
}

// One opening, owned by a window of ours: with no owner, Windows would let
// the data go the moment the clipboard is emptied.
bool ClipboardPut(Form owner, const Text& text) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
  void* target = memory ? GlobalLock(memory) : nullptr;
  if (!target) {
    if (memory)
      GlobalFree(memory);
    return false;
  }
  std::copy_n(text.c_str(), text.size() + 1, static_cast<char16_t*>(target));
  GlobalUnlock(memory);
  if (!OpenClipboardFor(owner)) {
    GlobalFree(memory);
    return false;
  }
  EmptyClipboard();
  bool done = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  if (!done)
    GlobalFree(memory);
  CloseClipboard();
  return done;
}

std::optional<Text> ClipboardGet(Form owner) {
  if (!OpenClipboardFor(owner))
    return std::nullopt;
  Text text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (auto* source = static_cast<const wchar_t*>(GlobalLock(data))) {
      size_t limit = GlobalSize(data) / sizeof(wchar_t);
      text = T(source, static_cast<size_t>(std::find(source, source + limit, L'\0') - source));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

DateTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

// Through UTC, where every second is as long as the next.
DateTime AddSeconds(const DateTime& when, int seconds) {
  SYSTEMTIME local = ToSystemTime(when), utc;
  bool zoned = TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
  FILETIME ft;
  if (!SystemTimeToFileTime(zoned ? &utc : &local, &ft))
    return when;
  ULARGE_INTEGER ticks = {{ft.dwLowDateTime, ft.dwHighDateTime}};
  ticks.QuadPart += static_cast<ULONGLONG>(static_cast<LONGLONG>(seconds) * 10000000LL);
  ft = {ticks.LowPart, ticks.HighPart};
  SYSTEMTIME st;
  if (!FileTimeToSystemTime(&ft, &st) || (zoned && !SystemTimeToTzSpecificLocalTime(nullptr, &st, &local))) {
    return when;
  }
  if (!zoned)
    local = st;
  return {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond, local.wMilliseconds};
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

void WaitForMessagesUntil(double deadline) {
  double left = deadline - MonotonicSeconds();
  // An endless wait (a deadline of infinity) is INFINITE, not a cast out of range.
  if (left > 0) {
    DWORD ms = left < 0x7FFFFFFF / 1000.0 ? static_cast<DWORD>(left * 1000.0 + 0.999) : INFINITE;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
  }
  PumpMessages();
}

void EndProcess() {
  ExitProcess(0);
}

int Run(void (*start)()) {
  // Libraries come from the system folder only: a program often runs from a
  // downloads folder, and a DLL planted beside it must never be loaded.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
    SetDllDirectoryW(L"");
  start();
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0)
    DispatchOne(msg);
  return 0;
}

// Mail programs on Windows cut or refuse a mailto: address much past 2,000
// characters. Wine 8.0's shell keeps a target in 1,024 characters on the
// stack: measured, a URL of 984 characters ends a 32-bit program and one of
// 988 a 64-bit one, and the handler's own command line (of 1,023 at most)
// holds the target too. 900 leaves room for a handler's command of about
// 120 characters.
size_t LongestShellTarget() {
  constexpr size_t kWindowsLongest = 2000;
  constexpr size_t kWineLongest = 900;
  return UnderWine() ? kWineLongest : kWindowsLongest;
}

// Without SEE_MASK_FLAG_NO_UI, Windows would show its own prompt when no
// program handles the target, and the caller's message would come on top.
ShellResult ShellOpen(Form owner, const Text& target) {
  if (target.size() > LongestShellTarget())
    return {ShellResult::Failed, SystemMessage(ERROR_FILENAME_EXCED_RANGE)};
  // The shell's handlers may be COM objects: their thread needs COM first.
  static bool com = [] {
    auto init = SystemCall<HRESULT(WINAPI*)(void*, DWORD)>(L"ole32.dll", "CoInitializeEx");
    return init && SUCCEEDED(init(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  }();
  (void)com;
  auto shellExecute = SystemCall<BOOL(WINAPI*)(SHELLEXECUTEINFOW*)>(L"shell32.dll", "ShellExecuteExW");
  if (!shellExecute)
    return {ShellResult::Failed, SystemMessage(ERROR_DLL_NOT_FOUND)};
  Text folder = ProgramFolder();
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.hwnd = ToHwnd(owner);
  info.lpFile = W(target);
  info.lpDirectory = folder.empty() ? nullptr : W(folder);
  info.nShow = SW_SHOWNORMAL;
  if (shellExecute(&info))
    return {};
  // The old result code where the system set no error.
  DWORD error = GetLastError();
  if (error == ERROR_SUCCESS)
    error = ErrorOfShellResult(reinterpret_cast<INT_PTR>(info.hInstApp));
  switch (error) {
    case ERROR_CANCELLED:
      return {ShellResult::Cancelled, {}};
    case ERROR_NO_ASSOCIATION:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return {ShellResult::NoProgram, SystemMessage(error)};
    default:
      return {ShellResult::Failed, SystemMessage(error)};
  }
}

void PlaySoundAsync(const Text& path) {
  constexpr UINT kAsync = 0x0001;  // SND_ASYNC
  if (auto play = SystemCall<BOOL(WINAPI*)(LPCWSTR, UINT)>(L"winmm.dll", "sndPlaySoundW"))
    play(W(path), kAsync);
}

Text ProgramFile(const Text& name) {
  return ProgramFolder() + u"\\" + name;
}

}  // namespace platform

namespace platform::win32 {

bool UnderWine() {
  static bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

Text ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  size_t slash = path.find_last_of(L"\\/");
  return T(path.c_str(), slash == std::wstring::npos ? 0 : slash);
}

}  // namespace platform::win32

namespace platform {
using namespace win32;

bool FileExists(const Text& path) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  return GetFileAttributesExW(W(path), GetFileExInfoStandard, &info) != FALSE;
}

// Every note asks for the same file: it is loaded once and shared, so no
// cursor is left behind when a note closes.
CursorId LoadCursorFile(const Text& path) {
  static std::map<Text, CursorId> loaded;
  if (auto it = loaded.find(path); it != loaded.end())
    return it->second;
  HCURSOR cursor = LoadCursorFromFileW(W(path));
  if (!cursor)
    return 0;
  g_cursors.push_back({path, {{0, cursor}}});
  CursorId id = static_cast<CursorId>(g_cursors.size());
  loaded[path] = id;
  return id;
}

// Where the ANSI code page is UTF-8 (an option of current Windows), every
// character has its exact form; elsewhere best-fit substitutes do not count.
std::optional<std::string> EncodeAnsi(const Text& text) {
  if (text.empty())
    return std::string();
  UINT codePage = GetACP();
  bool utf8 = codePage == CP_UTF8;
  DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* used = utf8 ? nullptr : &usedDefault;
  int size = static_cast<int>(text.size());
  int length = WideCharToMultiByte(codePage, flags, W(text), size, nullptr, 0, nullptr, used);
  if (length <= 0 || usedDefault)
    return std::nullopt;
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, flags, W(text), size, bytes.data(), length, nullptr, used);
  if (usedDefault)
    return std::nullopt;
  return bytes;
}

}  // namespace platform
