// Shared between the Win32 platform files; never included above the platform.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"

namespace platform::win32 {

inline HWND ToHwnd(Handle handle) { return reinterpret_cast<HWND>(static_cast<intptr_t>(handle)); }
// Window handles carry 32 significant bits on 64-bit Windows too.
inline Handle ToHandle(HWND hwnd) {
  return static_cast<Handle>(reinterpret_cast<intptr_t>(hwnd));
}

struct FormData {
  std::shared_ptr<EventSink> sink;
  FormKind kind = FormKind::Note;
  Color backColor = kButtonFaceColor;
  HBRUSH backBrush = nullptr;
  bool shownOnce = false;
  bool leftPressed = false;  // a left press on the form itself, for its click
  Pointer pointer = Pointer::Default;
  CursorId customCursor = 0;
  int timerMs = 0;
  HWND lastFocus = nullptr;  // the control that last held the focus
  int dpi = 96;              // of the monitor the form was last on
};

struct ControlData {
  HWND form = nullptr;
  WNDPROC original = nullptr;
  bool textBox = false;
  bool leftPressed = false;
  Color backColor = 0x00FFFFFF;
  Color foreColor = kWindowTextColor;
  HBRUSH backBrush = nullptr;
  Font font;
  HFONT hfont = nullptr;
};

// Text is UTF-16 on both sides of the boundary: only the type differs.
inline const wchar_t* W(const Text& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline Text T(const wchar_t* text, size_t length) { return Text(reinterpret_cast<const char16_t*>(text), length); }
inline Text T(const wchar_t* text) { return T(text, wcslen(text)); }

inline SYSTEMTIME ToSystemTime(const DateTime& when) {
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(when.year);
  st.wMonth = static_cast<WORD>(when.month);
  st.wDay = static_cast<WORD>(when.day);
  st.wHour = static_cast<WORD>(when.hour);
  st.wMinute = static_cast<WORD>(when.minute);
  st.wSecond = static_cast<WORD>(when.second);
  return st;
}

FormData* FindForm(HWND hwnd);
ControlData* FindControl(HWND hwnd);
// The form a window belongs to: itself for a form, the parent for a control.
HWND FormOf(HWND hwnd);

int DpiOf(HWND hwnd);  // 0 gives the system's
int TwipsToPixels(Twips twips, int dpi);
Twips PixelsToTwips(int pixels, int dpi);
COLORREF ResolveColor(Color color);
HFONT MakeFont(const Font& font, int dpi);
int ModifierState();  // Shift 1, Ctrl 2, Alt 4
// The same for a mouse message, whose wParam carries Shift and Ctrl.
int MouseModifierState(WPARAM wParam);
// Tab, arrows and mnemonics in dialog forms; true when the message was used.
bool HandleDialogKeys(MSG& msg);
HCURSOR CursorFor(Pointer shape, CursorId custom);

// Subclass procedure of every control; reports its events to the form's sink.
LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void RegisterControl(HWND control, HWND form, ControlData data);
void ForgetControl(HWND control);

// Runs `handler` on the form's sink, keeping the sink alive meanwhile.
template <class F>
void Dispatch(HWND form, F&& handler) {
  FormData* data = FindForm(form);
  if (!data || !data->sink) return;
  std::shared_ptr<EventSink> sink = data->sink;
  handler(*sink);
}

}  // namespace platform::win32
