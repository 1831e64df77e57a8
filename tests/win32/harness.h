// Real input and the system's own view, for the Win32 tests: the walk's
// driver, with the program in a process of its own, and the contract tests'
// probe, with it in this one.
#pragma once

#include <process.h>
#include <windows.h>

#include <fstream>
#include <regex>
#include <thread>

#include "probe.h"

namespace harness {

using namespace std;

// Handles messages until `ready` or `ms` have passed; whether it got ready.
bool WaitUntil(const auto& ready, int ms) {
  for (DWORD end = GetTickCount() + ms; !ready(); probe::Wait(10)) {
    if (LONG(end - GetTickCount()) <= 0)
      return false;
  }
  return true;
}

// A file beside the tests, and its bytes.
inline wstring Beside(const wstring& name) {
  wchar_t exe[MAX_PATH];
  wstring path(exe, GetModuleFileNameW(nullptr, exe, MAX_PATH));
  return path.erase(path.find_last_of(L"\\/") + 1) + name;
}
inline string Bytes(const wstring& path) {
  ifstream file(path.c_str(), ios::binary);
  return {istreambuf_iterator<char>(file), {}};
}

// A program beside the tests, a process of its own, started with `argument`.
inline HANDLE Start(const wchar_t* name, const wchar_t* argument = nullptr) {
  return HANDLE(_wspawnl(_P_NOWAIT, Beside(name).c_str(), name, argument, nullptr));
}

// Input through the system's queue, at screen points, and time for it to
// be handled.
inline void Send(vector<INPUT> inputs) {
  SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
  probe::Wait(150);
}

inline INPUT MouseInput(POINT at, DWORD buttons) {
  return {
      INPUT_MOUSE,
      {.mi = {at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1), at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1), 0,
              MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttons}}};
}

// The pointer moved to `at`, then the button `down` (MOUSEEVENTF_LEFTDOWN or
// MOUSEEVENTF_RIGHTDOWN) clicked there, if any: a button's up flag is the
// bit after its down flag.
inline void Mouse(POINT at, DWORD down = 0) {
  Send({MouseInput(at, 0), MouseInput(at, down), MouseInput(at, down * 2)});
}

// The left button held from `from` to `to`, from a second thread, so that a
// move or size loop may run in this one.
inline void Drag(POINT from, POINT to) {
  Mouse(from);
  thread mover([=] {
    for (LONG i = 0; i <= 10; ++i) {  // pressed, moved a tenth of the way at a time, released
      INPUT input = MouseInput({from.x + (to.x - from.x) * i / 10, from.y + (to.y - from.y) * i / 10},
                               i == 0    ? MOUSEEVENTF_LEFTDOWN
                               : i == 10 ? MOUSEEVENTF_LEFTUP
                                         : 0);
      SendInput(1, &input, sizeof input);
      Sleep(30);
    }
  });
  probe::Wait(800);
  mover.join();
  probe::Wait(200);
}

// A key, or with KEYEVENTF_UNICODE a character (the key 0).
inline INPUT KeyInput(WORD key, DWORD flags, wchar_t unicode = 0) {
  return {INPUT_KEYBOARD, {.ki = {key, unicode, flags}}};
}

// A key pressed `times` times with Shift, Ctrl and Alt (`modifiers` 1, 2, 4)
// held.
inline void Keys(WORD key, int modifiers, int times = 1) {
  vector<INPUT> inputs;
  auto held = [&](DWORD flags) {
    for (int bit = 0; bit < 3; ++bit) {
      if (modifiers >> bit & 1)
        inputs.push_back(KeyInput(VK_SHIFT + bit, flags));  // VK_SHIFT, VK_CONTROL, VK_MENU
    }
  };
  held(0);
  for (int i = 0; i < times; ++i)
    inputs.insert(inputs.end(), {KeyInput(key, 0), KeyInput(key, KEYEVENTF_KEYUP)});
  held(KEYEVENTF_KEYUP);
  Send(inputs);
}

// Typed by the key the layout has for a character, with Shift where it needs
// it (a capital letter, "&"), a line end by Return; else as a character no
// key of it makes.
inline void Type(const wstring& text) {
  for (wchar_t c : text) {
    SHORT key = VkKeyScanW(c == '\n' ? '\r' : c);
    if (key == -1 || key >> 8 > 1)
      Send({KeyInput(0, KEYEVENTF_UNICODE, c), KeyInput(0, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, c)});
    else
      Keys(LOBYTE(key), key >> 8);
  }
}

// A fresh account: nothing stored yet, and mail_logger.exe, beside the
// tests, the desktop's mail program and web browser with an empty log: it
// writes down exactly what the shell hands it, its quoted path and then the
// target, a line each.
inline void FreshAccount() {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pinaleaf");
  wstring command = L"\"" + Beside(L"mail_logger.exe") + L"\" %1";
  for (auto scheme :
       {L"Software\\Classes\\mailto\\shell\\open\\command", L"Software\\Classes\\https\\shell\\open\\command"})
    RegSetValueW(HKEY_LOCAL_MACHINE, scheme, REG_SZ, command.c_str(), 0);  // the key's default value
  DeleteFileW(Beside(L"shell.log").c_str());
}
// The target the mail program was handed last, in UTF-8.
inline string LastHanded() {
  smatch line;
  string log = Bytes(Beside(L"shell.log"));
  return regex_search(log, line, regex("\" (.*)\n$")) ? line[1].str() : "";
}

// Another program holds the clipboard open from now, for `ms` (below 0: no
// program), once this one can no longer open it. The holder of the call
// before is ended first.
inline void HoldClipboard(int ms) {
  static HANDLE holder = nullptr;
  TerminateProcess(holder, 0);  // none, or one that has ended: nothing
  WaitForSingleObject(holder, 5000);
  if (ms >= 0) {
    holder = Start(L"clipboard_holder.exe", to_wstring(ms).c_str());
    WaitUntil([] { return !OpenClipboard(nullptr) || !CloseClipboard(); }, 10000);
  }
}

}  // namespace harness
