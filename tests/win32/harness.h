// Helpers for driving the real program from a test in the same process.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>

#include "platform/platform.h"

namespace harness {

// Handles messages for about `ms` milliseconds.
void Pump(int ms);
// Handles messages until `ready` or `ms` have passed; whether it got ready.
bool WaitUntil(const std::function<bool()>& ready, int ms);
// Unloads every form and empties HKCU\Software\Pinaleaf\1.0.
void Reset();
void Store(const wchar_t* key, const wchar_t* value);
// Runs read_setting.exe from the test's folder: another process reads the store.
std::wstring ReadInAnotherProcess(const wchar_t* key);
// A real left click at a screen point, through the system's input queue.
void ClickAt(POINT screen);
HWND ToHwnd(platform::Handle handle);
// The Unicode text on the clipboard ("<closed>" when it cannot be opened).
std::wstring ClipboardText();

// Starts the program in this process: the start-up note's window.
HWND StartNote();
HWND TextAreaOf(HWND note);
// The centre of a window on the screen.
POINT CentreOf(HWND hwnd);

// Mouse buttons through the system's input queue, at a screen point.
void MouseAt(POINT screen, DWORD buttonFlags);
// A real left-button drag from one screen point to another, sent from a
// second thread while this one pumps messages (a move or size loop may run
// in it).
void DragLeft(POINT from, POINT to);
// Presses the keys in order and releases them in reverse.
void PressKeys(std::initializer_list<WORD> keys);
// Runs `action` once after `ms`, from a thread timer: it fires inside modal
// loops (menus, message boxes) that the test thread is blocked in.
void RunSoon(int ms, std::function<void()> action);
// Whether RunSoon's action is still waiting.
bool Pending();
// A visible popup menu window (#32768) or dialog (#32770) of process `pid`
// (0: this process); null when there is none.
HWND VisibleWindowOfClass(const wchar_t* className, DWORD pid = 0);
// Chooses the popup entry reached by `downs` presses of Down (negative: Up).
void ChooseFromMenu(HWND menu, int downs);

}  // namespace harness
