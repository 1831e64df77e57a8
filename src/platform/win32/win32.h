// Shared between the Win32 platform files; never included above the platform.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <unordered_map>

#include "platform/backend.h"
#include "platform/platform.h"

namespace platform::win32 {

inline HWND ToHwnd(Window window) {
  return reinterpret_cast<HWND>(static_cast<intptr_t>(window.number()));
}
// Window handles carry 32 significant bits on 64-bit Windows too.
inline std::int32_t NumberOf(HWND hwnd) {
  return static_cast<std::int32_t>(reinterpret_cast<intptr_t>(hwnd));
}
template <class Kind = Window>
Kind Of(HWND hwnd) {
  return Kind(NumberOf(hwnd));
}

}  // namespace platform::win32

namespace platform::backend {

// What the Win32 layer keeps of a form or a control, in the slot of the
// shared part's record; its brush and font go with it.
struct WindowData {
  HBRUSH backBrush = nullptr;
  bool leftPressed = false;  // a left press on it, for its click
  // Forms.
  FormKind kind = FormKind::Note;
  int dpi = 96;  // of the monitor the form was last on
  Twips minWidth = 0, minHeight = 0;
  // Controls.
  HWND form = nullptr;
  HFONT hfont = nullptr;

  WindowData() = default;
  WindowData(const WindowData&) = delete;
  WindowData& operator=(const WindowData&) = delete;
  ~WindowData() {
    if (backBrush)
      DeleteObject(backBrush);
    if (hfont)
      DeleteObject(hfont);
  }
};

}  // namespace platform::backend

namespace platform::win32 {

using backend::WindowData;

// Text is UTF-16 on both sides of the boundary: only the type differs.
inline const wchar_t* W(const Text& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline Text T(const wchar_t* text, size_t length) {
  return Text(reinterpret_cast<const char16_t*>(text), length);
}
inline Text T(const wchar_t* text) {
  return T(text, wcslen(text));
}

inline SYSTEMTIME ToSystemTime(const DateTime& when) {
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(when.year);
  st.wMonth = static_cast<WORD>(when.month);
  st.wDay = static_cast<WORD>(when.day);
  st.wHour = static_cast<WORD>(when.hour);
  st.wMinute = static_cast<WORD>(when.minute);
  st.wSecond = static_cast<WORD>(when.second);
  st.wMilliseconds = static_cast<WORD>(when.millisecond);
  return st;
}

// What the layer keeps of a form, or a control, of ours; null for anything else.
WindowData* FindForm(HWND hwnd);
WindowData* FindControl(HWND hwnd);
// The form or control of ours that `hwnd` is, or lies inside (the edit field
// of a combo box); null for anything else.
HWND OwnWindowOf(HWND hwnd);

int DpiOf(HWND hwnd);  // none: the primary monitor's
// The DPI the process started with, which LOGPIXELSY and the system metrics
// keep (the font dialog turns heights into points with it).
int SystemDpi();
int TwipsToPixels(Twips twips, int dpi);
Twips PixelsToTwips(int pixels, int dpi);
COLORREF ColorRef(Color color);
HFONT MakeFont(const Font& font, int dpi);
int ModifierState();  // Shift 1, Ctrl 2, Alt 4
Key KeyOf(WPARAM virtualKey);
// The same for a mouse message, whose wParam carries Shift and Ctrl.
int MouseModifierState(WPARAM wParam);
// A mouse message's point in twips of the window; its button (a press); the
// buttons held (a move).
Twips X(LPARAM lParam, HWND hwnd);
Twips Y(LPARAM lParam, HWND hwnd);
MouseButton ButtonOf(UINT msg);
int ButtonsHeld(WPARAM wParam);
// A press of a mouse button on a form or control, raised as its OnMouseDown
// (a left press marked in `leftPressed` first, for the click); whether the
// sink handled it. A move, raised as OnMouseMove.
bool DeliverMouseDown(Window self, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool& leftPressed);
void DeliverMouseMove(Window self, HWND hwnd, WPARAM wParam, LPARAM lParam);
// Tab, arrows and mnemonics in dialog forms; true when the message was used.
bool HandleDialogKeys(MSG& msg);
// One message of a loop of ours: dialog keys first, then the window's own.
void DispatchOne(MSG& msg);
// The pointer to show over `over`, at the size of its monitor's scale.
HCURSOR CursorFor(const backend::Look& look, HWND over);
// A brush of the colour, in place of `brush`.
void SetBrush(HBRUSH& brush, Color color);

// Subclass procedure of every control; reports its events to the form's sink.
LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void RegisterControl(HWND control, HWND form, std::shared_ptr<WindowData> data, backend::ControlKind kind,
                     const backend::Look& look);

// A function of a system library that only some commands use, loaded from
// the system folder the first time it is asked for; null when it is not there.
FARPROC SystemFunction(const wchar_t* library, const char* name);
template <class F>
F SystemCall(const wchar_t* library, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(SystemFunction(library, name)));
}

// Version 6 of the common controls (the look of buttons, lists, the calendar,
// message boxes and the standard dialogs), active for the life of one of
// these. Named in the program's manifest it would load comctl32 at every
// start, for the notes' edit boxes, which look the same without it.
class CommonControls6 {
 public:
  CommonControls6();
  ~CommonControls6();
  CommonControls6(const CommonControls6&) = delete;
  CommonControls6& operator=(const CommonControls6&) = delete;

 private:
  ULONG_PTR cookie_ = 0;
};

// The folder of the program's executable, without a trailing separator.
Text ProgramFolder();

// Whether the system is Wine, some of whose calls fail where Windows' hold.
bool UnderWine();

// The system's words for an error code.
Text SystemMessage(DWORD error);

// How many text boxes have their context menu blocked (for the soak test).
size_t BlockedContextMenus();

}  // namespace platform::win32
