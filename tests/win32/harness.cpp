#include "harness.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <thread>

namespace harness {
namespace {

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  probe::Wait(150);
}

// A key, or with `unicode` a character (the key 0).
INPUT KeyInput(WORD key, bool up, wchar_t unicode = 0) {
  INPUT input = {INPUT_KEYBOARD};
  input.ki = {key, unicode, static_cast<DWORD>((up ? KEYEVENTF_KEYUP : 0) | (unicode ? KEYEVENTF_UNICODE : 0))};
  return input;
}

INPUT MouseInput(POINT at, DWORD buttons) {
  INPUT input = {INPUT_MOUSE};
  input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttons;
  return input;
}

}  // namespace

PROCESS_INFORMATION Start(const wchar_t* name, const std::wstring& arguments) {
  std::wstring command = L"\"" + Beside(name) + L"\" " + arguments;
  STARTUPINFOW si = {sizeof(si)};
  PROCESS_INFORMATION pi = {};
  CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  return pi;
}

std::wstring Beside(const wchar_t* name) {
  wchar_t exe[MAX_PATH];
  std::wstring path(exe, GetModuleFileNameW(nullptr, exe, MAX_PATH));
  return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

bool WaitUntil(const std::function<bool()>& ready, int ms) {
  for (DWORD end = GetTickCount() + static_cast<DWORD>(ms); !ready(); probe::Wait(10)) {
    if (static_cast<LONG>(end - GetTickCount()) <= 0)
      return false;
  }
  return true;
}

void MouseAt(POINT at) {
  Send({MouseInput(at, 0)});
}

void ClickAt(POINT at, bool right) {
  Send({MouseInput(at, 0), MouseInput(at, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
        MouseInput(at, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)});
}

// From a second thread, so that a move or size loop may run in this one.
void Drag(POINT from, POINT to) {
  MouseAt(from);
  std::thread mover([=] {
    for (LONG i = -1, step = 0; i <= 10; step = std::max(++i, 0L), Sleep(30)) {  // down, moves, up
      POINT at = {from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10};
      INPUT input = MouseInput(at, i < 0 ? MOUSEEVENTF_LEFTDOWN : i == 10 ? MOUSEEVENTF_LEFTUP : 0);
      SendInput(1, &input, sizeof(INPUT));
    }
  });
  probe::Wait(800);
  mover.join();
  probe::Wait(200);
}

void Keys(const std::vector<WORD>& keys, int times) {
  std::vector<INPUT> inputs;
  for (int i = 0; i < times; ++i) {
    for (WORD key : keys)
      inputs.push_back(KeyInput(key, false));
    for (auto it = keys.end(); it != keys.begin();)
      inputs.push_back(KeyInput(*--it, true));
  }
  Send(inputs);
}

// By the key the layout has for a character, with Shift where it needs it
// (a capital letter, "&"); else as a character no key of it makes.
void Type(const std::wstring& text) {
  for (wchar_t c : text) {
    SHORT key = VkKeyScanW(c);
    if (key == -1 || key >> 8 > 1)
      Send({KeyInput(0, false, c), KeyInput(0, true, c)});
    else
      Keys(key >> 8 ? std::vector<WORD>{VK_SHIFT, LOBYTE(key)} : std::vector<WORD>{LOBYTE(key)});
  }
}

POINT CentreOf(HWND hwnd) {
  RECT rc;
  GetWindowRect(hwnd, &rc);
  return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

void RegisterMailLogger() {
  std::wstring command = L"\"" + Beside(L"mail_logger.exe") + L"\" %1";
  for (std::wstring scheme : {L"Software\\Classes\\mailto", L"Software\\Classes\\https"}) {
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, scheme.c_str(), L"URL Protocol", REG_SZ, L"", sizeof(wchar_t));
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, (scheme + L"\\shell\\open\\command").c_str(), nullptr, REG_SZ, command.c_str(),
                    static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  }
  DeleteFileW(Beside(L"shell.log").c_str());
}

std::string Bytes(const std::wstring& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path.c_str(), std::ios::binary).rdbuf();
  return bytes.str();
}

COLORREF Pixel(POINT at) {
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

std::string MailLog() {
  return Bytes(Beside(L"shell.log"));
}

// The mail program writes its command line: its quoted path, then the target.
std::string LastHanded() {
  std::string log = MailLog();
  if (!log.empty())
    log.pop_back();  // the last line's end
  std::string line = log.substr(log.rfind('\n') + 1);
  return line.substr(std::min(line.size(), line.find("\" ") + 2));
}

PROCESS_INFORMATION HoldClipboard(int ms) {
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, L"PinaleafClipboardHeld");
  PROCESS_INFORMATION holder = Start(L"clipboard_holder.exe", ms ? std::to_wstring(ms) : L"");
  WaitForSingleObject(held, 10000);
  CloseHandle(held);
  return holder;
}

}  // namespace harness
