#include "harness.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace harness {

HWND ToHwnd(platform::Handle handle) { return reinterpret_cast<HWND>(static_cast<intptr_t>(handle)); }

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

}  // namespace harness
