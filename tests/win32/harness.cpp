#include "harness.h"

#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace harness {
using namespace std;
namespace {

void Send(vector<INPUT> inputs) {
  SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
  probe::Wait(150);
}

// A key, or with `unicode` a character (the key 0).
INPUT KeyInput(WORD key, bool up, wchar_t unicode = 0) {
  return {INPUT_KEYBOARD,
          {.ki = {key, unicode, DWORD((up ? KEYEVENTF_KEYUP : 0) | (unicode ? KEYEVENTF_UNICODE : 0))}}};
}

INPUT MouseInput(POINT at, DWORD buttons) {
  return {
      INPUT_MOUSE,
      {.mi = {at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1), at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1), 0,
              MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttons}}};
}

}  // namespace

PROCESS_INFORMATION Start(const wchar_t* name, const wstring& arguments) {
  wstring command = L"\"" + Beside(name) + L"\" " + arguments;
  STARTUPINFOW si = {sizeof(si)};
  PROCESS_INFORMATION pi = {};
  CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  return pi;
}

wstring Beside(const wstring& name) {
  wchar_t exe[MAX_PATH];
  wstring path(exe, GetModuleFileNameW(nullptr, exe, MAX_PATH));
  return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

bool WaitUntil(const function<bool()>& ready, int ms) {
  for (DWORD end = GetTickCount() + ms; !ready(); probe::Wait(10)) {
    if (LONG(end - GetTickCount()) <= 0)
      return false;
  }
  return true;
}

// A button's up flag is the bit after its down flag.
void Mouse(POINT at, DWORD down) {
  vector<INPUT> inputs = {MouseInput(at, 0)};
  if (down)
    inputs.insert(inputs.end(), {MouseInput(at, down), MouseInput(at, down * 2)});
  Send(inputs);
}

// From a second thread, so that a move or size loop may run in this one.
void Drag(POINT from, POINT to) {
  Mouse(from);
  thread mover([=] {
    for (LONG i = -1; i <= 10; ++i) {  // pressed, moved a tenth of the way at a time, released
      LONG step = max(i, 0L);
      INPUT input = MouseInput({from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10},
                               i < 0     ? MOUSEEVENTF_LEFTDOWN
                               : i == 10 ? MOUSEEVENTF_LEFTUP
                                         : 0);
      SendInput(1, &input, sizeof(INPUT));
      Sleep(30);
    }
  });
  probe::Wait(800);
  mover.join();
  probe::Wait(200);
}

void Keys(WORD key, int modifiers, int times) {
  vector<INPUT> inputs;
  auto held = [&](bool up) {
    for (int bit = 0; bit < 3; ++bit) {
      if (modifiers >> bit & 1)
        inputs.push_back(KeyInput(VK_SHIFT + bit, up));  // VK_SHIFT, VK_CONTROL, VK_MENU
    }
  };
  held(false);
  for (int i = 0; i < times; ++i)
    inputs.insert(inputs.end(), {KeyInput(key, false), KeyInput(key, true)});
  held(true);
  Send(inputs);
}

// By the key the layout has for a character, with Shift where it needs it
// (a capital letter, "&"), a line end by Return; else as a character no key
// of it makes.
void Type(const wstring& text) {
  for (wchar_t c : text) {
    SHORT key = VkKeyScanW(c == '\n' ? '\r' : c);
    if (key == -1 || key >> 8 > 1)
      Send({KeyInput(0, false, c), KeyInput(0, true, c)});
    else
      Keys(LOBYTE(key), key >> 8);
  }
}

void RegisterMailLogger() {
  wstring command = L"\"" + Beside(L"mail_logger.exe") + L"\" %1";
  for (auto scheme :
       {L"Software\\Classes\\mailto\\shell\\open\\command", L"Software\\Classes\\https\\shell\\open\\command"})
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, scheme, nullptr, REG_SZ, command.c_str(),
                    DWORD((command.size() + 1) * sizeof(wchar_t)));
  DeleteFileW(Beside(L"shell.log").c_str());
}

string Bytes(const wstring& path) {
  ostringstream bytes;
  bytes << ifstream(path.c_str(), ios::binary).rdbuf();
  return bytes.str();
}

// The mail program writes its command line, a line each: its quoted path,
// then the target.
string LastHanded() {
  smatch line;
  string log = Bytes(Beside(L"shell.log"));
  return regex_search(log, line, regex("\" (.*)\n$")) ? line[1].str() : "";
}

// The holder of the call before is ended first.
void HoldClipboard(int ms) {
  static PROCESS_INFORMATION holder = {};
  TerminateProcess(holder.hProcess, 0);  // none, or one that has ended: nothing
  WaitForSingleObject(holder.hProcess, 5000);
  if (ms < 0)
    return;
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, L"PinaleafClipboardHeld");
  holder = Start(L"clipboard_holder.exe", ms ? to_wstring(ms) : L"");
  WaitForSingleObject(held, 10000);
  CloseHandle(held);
}

}  // namespace harness
