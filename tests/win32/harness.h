// Real input and the system's own view, for the Win32 tests: the program in
// this process or in one of its own. Also the contract tests' probe.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "probe.h"

namespace harness {

// Handles messages until `ready` or `ms` have passed; whether it got ready.
bool WaitUntil(const std::function<bool()>& ready, int ms);

// Mouse and keys through the system's input queue, at screen points: the
// pointer moved, then the button `down` (MOUSEEVENTF_LEFTDOWN or
// MOUSEEVENTF_RIGHTDOWN) clicked if any; the left button held from `from`
// to `to`, in small steps; a key pressed `times` times with Shift, Ctrl and
// Alt (`modifiers` 1, 2, 4) held; characters as typed.
void Mouse(POINT at, DWORD down = 0);
void Drag(POINT from, POINT to);
void Keys(WORD key, int modifiers = 0, int times = 1);
void Type(const std::wstring& text);
// A file beside the tests, and its bytes.
std::wstring Beside(const std::wstring& name);
std::string Bytes(const std::wstring& path);
// Makes mail_logger.exe, beside the tests, the desktop's mail program and
// web browser: it writes down exactly what the shell hands it. Starts an
// empty log.
void RegisterMailLogger();
// The target the mail program was handed last, in UTF-8.
std::string LastHanded();

// Another program holds the clipboard open from now, for `ms` (0: until the
// next call; below 0: no program).
void HoldClipboard(int ms);

// A program beside the tests, a process of its own, started with `arguments`.
PROCESS_INFORMATION Start(const wchar_t* name, const std::wstring& arguments = L"");

}  // namespace harness
