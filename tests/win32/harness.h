// Real input and the system's own view, for the Win32 tests: the program in
// this process or in one of its own. Also the contract tests' probe.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "probe.h"

namespace harness {

// Handles messages until `ready` or `ms` have passed; whether it got ready.
bool WaitUntil(const std::function<bool()>& ready, int ms);

// Mouse and keys through the system's input queue, at screen points.
void MouseAt(POINT at);
void ClickAt(POINT at, bool right = false);
// The left button held from `from` to `to`, in small steps.
void Drag(POINT from, POINT to);
// Pressed in order, released in reverse, `times` times; then characters as
// typed.
void Keys(const std::vector<WORD>& keys, int times = 1);
void Type(const std::wstring& text);
POINT CentreOf(HWND hwnd);
// The colour on the screen at a point.
COLORREF Pixel(POINT at);
// A file beside the tests.
std::wstring Beside(const wchar_t* name);
// Makes mail_logger.exe, beside the tests, the desktop's mail program and
// web browser: it writes down exactly what the shell hands it. Starts an
// empty log.
void RegisterMailLogger();
// A file's bytes; what the mail program was handed so far, in UTF-8, a line each.
std::string Bytes(const std::wstring& path);
std::string MailLog();
std::string LastHanded();  // the target in its last line

// Another program holds the clipboard open from now, for `ms` (0: until it
// is ended).
PROCESS_INFORMATION HoldClipboard(int ms);

// A program beside the tests, a process of its own, started with `arguments`.
PROCESS_INFORMATION Start(const wchar_t* name, const std::wstring& arguments = L"");

}  // namespace harness
