#include "harness.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>

#include "app/app.h"
#include "notes/note.h"
#include <iterator>
#include <thread>
#include <vector>

namespace harness {

HWND ToHwnd(platform::Handle handle) { return reinterpret_cast<HWND>(static_cast<intptr_t>(handle)); }

std::wstring ClipboardText() {
  std::wstring text;
  if (!OpenClipboard(nullptr)) return L"<closed>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

void Pump(int ms) {
  DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

bool WaitUntil(const std::function<bool()>& ready, int ms) {
  DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  for (;;) {
    if (ready()) return true;
    if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(1);
  }
}

void Reset() {
  for (platform::Handle form : platform::LoadedForms()) platform::UnloadForm(form);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pinaleaf");
  Pump(20);
}

void Store(const wchar_t* key, const wchar_t* value) {
  HKEY hkey;
  RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Pinaleaf\\1.0", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hkey,
                  nullptr);
  RegSetValueExW(hkey, key, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                 static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
  RegCloseKey(hkey);
}

std::wstring ReadInAnotherProcess(const wchar_t* key) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring folder(exe);
  folder.resize(folder.find_last_of(L"\\/") + 1);
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring out = std::wstring(temp) + L"pinaleaf-read-setting.txt";
  DeleteFileW(out.c_str());
  std::wstring command = L"\"" + folder + L"read_setting.exe\" " + key + L" \"" + out + L"\"";
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return L"<could not start read_setting.exe>";
  }
  WaitForSingleObject(pi.hProcess, 30000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::ifstream file(out.c_str(), std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

void ClickAt(POINT screen) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT inputs[3] = {};
  for (INPUT& input : inputs) {
    input.type = INPUT_MOUSE;
    input.mi.dx = screen.x * 65535 / (width - 1);
    input.mi.dy = screen.y * 65535 / (height - 1);
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  }
  inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  SendInput(3, inputs, sizeof(INPUT));
  Pump(150);
}

HWND StartNote() {
  pinaleaf::StartProgram();
  Pump(100);
  return ToHwnd(pinaleaf::StartupNoteWindow());
}

HWND TextAreaOf(HWND note) { return GetWindow(note, GW_CHILD); }

POINT CentreOf(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

void MouseAt(POINT screen, DWORD buttonFlags) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = screen.x * 65535 / (width - 1);
  input.mi.dy = screen.y * 65535 / (height - 1);
  input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttonFlags;
  SendInput(1, &input, sizeof(INPUT));
}

void DragLeft(POINT from, POINT to) {
  std::thread mover([=] {
    MouseAt(from, 0);
    Sleep(100);
    MouseAt(from, MOUSEEVENTF_LEFTDOWN);
    Sleep(150);
    const int steps = 10;
    for (int i = 1; i <= steps; ++i) {
      MouseAt({from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps}, 0);
      Sleep(30);
    }
    Sleep(100);
    MouseAt(to, MOUSEEVENTF_LEFTUP);
  });
  Pump(1200);
  mover.join();
  Pump(200);
}

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> inputs;
  for (WORD key : keys) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto it = keys.end(); it != keys.begin();) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *--it;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

namespace {
std::function<void()> g_soon;
UINT_PTR g_soonTimer = 0;

void CALLBACK SoonProc(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  g_soonTimer = 0;
  auto action = std::move(g_soon);
  g_soon = nullptr;
  if (action) action();
}

struct Search {
  const wchar_t* className;
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  wchar_t name[64];
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == search->pid && IsWindowVisible(hwnd) && GetClassNameW(hwnd, name, 64) &&
      wcscmp(name, search->className) == 0) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

void RunSoon(int ms, std::function<void()> action) {
  if (g_soonTimer) KillTimer(nullptr, g_soonTimer);
  g_soon = std::move(action);
  g_soonTimer = SetTimer(nullptr, 0, static_cast<UINT>(ms), SoonProc);
}

bool Pending() { return g_soonTimer != 0; }

HWND VisibleWindowOfClass(const wchar_t* className, DWORD pid) {
  Search search = {className, pid ? pid : GetCurrentProcessId(), nullptr};
  EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A popup that opened under the pointer drops its keyboard selection on the
// next pointer move: move the pointer off it first, then send the keys.
void ChooseFromMenu(HWND menu, int downs) {
  RECT rc;
  GetWindowRect(menu, &rc);
  SetCursorPos(rc.left - 20, rc.top - 20);
  RunSoon(150, [menu, downs] {
    WPARAM key = downs >= 0 ? VK_DOWN : VK_UP;
    for (int i = 0; i < (downs >= 0 ? downs : -downs); ++i) PostMessageW(menu, WM_KEYDOWN, key, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  });
}

}  // namespace harness

// Shared by every Win32 test program: the common controls the program's own
// entry point would register.
int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_DATE_CLASSES;
  InitCommonControlsEx(&controls);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
