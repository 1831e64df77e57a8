// Helpers for driving the real program from a test in the same process.
#pragma once

#include <windows.h>

#include <string>

#include "platform/platform.h"

namespace harness {

// Handles messages for about `ms` milliseconds.
void Pump(int ms);
// Unloads every form and empties HKCU\Software\Pinaleaf\1.0.
void Reset();
void Store(const wchar_t* key, const wchar_t* value);
// Runs read_setting.exe from the test's folder: another process reads the store.
std::wstring ReadInAnotherProcess(const wchar_t* key);
// A real left click at a screen point, through the system's input queue.
void ClickAt(POINT screen);
HWND ToHwnd(platform::Handle handle);

}  // namespace harness
