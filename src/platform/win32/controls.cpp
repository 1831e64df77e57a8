// Controls on forms: the text box, and the events every control reports.

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/win32/win32.h"

namespace platform::win32 {
namespace {

// Text boxes whose context menu is blocked, and the procedure the block replaced.
std::unordered_map<HWND, WNDPROC> g_contextMenuHooks;
// Every control's procedure that ControlProc replaced, until the control's
// last message: its record goes before the window does.
std::unordered_map<HWND, WNDPROC> g_replaced;

}  // namespace

WindowData* FindControl(HWND hwnd) {
  return backend::KindOf(Of(hwnd)) ? backend::DataOf(Of(hwnd)) : nullptr;
}

void RegisterControl(HWND control, HWND form, std::shared_ptr<WindowData> data, backend::ControlKind kind,
                     const backend::Look& look) {
  data->form = form;
  g_replaced[control] =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlProc)));
  backend::AddControl(Of<Control>(control), Of<Form>(form), kind, look, std::move(data));
}

size_t BlockedContextMenus() {
  return g_contextMenuHooks.size();
}

HFONT MakeFont(const Font& font, int dpi) {
  LOGFONTW lf = {};
  lf.lfHeight = -static_cast<LONG>(std::lround(static_cast<double>(font.size) * dpi / 72.0));
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.italic;
  lf.lfUnderline = font.underline;
  lf.lfStrikeOut = font.strikethrough;
  // Any character set: a symbol face (Wingdings, Symbol) then shows its own
  // glyphs instead of being replaced by a text face.
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = CLEARTYPE_QUALITY;
  size_t length = std::min(font.name.size(), static_cast<size_t>(LF_FACESIZE - 1));
  std::copy_n(font.name.begin(), length, lf.lfFaceName);
  return CreateFontIndirectW(&lf);
}

// A control whose record is gone (its form is being destroyed) goes on with
// the procedure it replaced, which may be another program's subclass (an
// accessibility tool's) that must hear the control's end too.
LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto replaced = g_replaced.find(hwnd);
  WNDPROC original = replaced != g_replaced.end() ? replaced->second : DefWindowProcW;
  if (msg == WM_NCDESTROY && replaced != g_replaced.end())
    g_replaced.erase(replaced);
  WindowData* data = FindControl(hwnd);
  if (!data)
    return CallWindowProcW(original, hwnd, msg, wParam, lParam);
  Window self = Of(hwnd);
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      bool handled = DeliverMouseDown(self, hwnd, msg, wParam, lParam, data->leftPressed);
      // The handler may have closed the note this control belongs to.
      if (handled || !FindControl(hwnd)) {
        if (WindowData* still = FindControl(hwnd))
          still->leftPressed = false;
        return 0;
      }
      break;
    }
    case WM_LBUTTONUP: {
      bool click = data->leftPressed;
      data->leftPressed = false;
      LRESULT result = CallWindowProcW(original, hwnd, msg, wParam, lParam);
      if (click && FindControl(hwnd))
        backend::Deliver(self, [&](EventSink& s) { s.OnClick(self); });
      return result;
    }
    case WM_MOUSEMOVE:
      DeliverMouseMove(self, hwnd, wParam, lParam);
      if (!FindControl(hwnd))
        return 0;
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      Key key = KeyOf(wParam);
      backend::Deliver(self, [&](EventSink& s) { s.OnKeyDown(Of<Control>(hwnd), key, ModifierState()); });
      if (!FindControl(hwnd))
        return 0;
      break;
    }
    case WM_SETFOCUS:
      backend::FocusMovedTo(self);
      break;
    // Its own cut would take the selection away even when the clipboard could
    // not be opened.
    case WM_CUT: {
      bool handled = false;
      backend::Deliver(self, [&](EventSink& s) { handled = s.OnCut(Of<TextBox>(hwnd)); });
      if (handled || !FindControl(hwnd))
        return 0;
      break;
    }
    case WM_SETCURSOR:
      if (const backend::Look* look = backend::LookOf(Of(data->form));
          look && LOWORD(lParam) == HTCLIENT && look->pointer != Pointer::Default) {
        ::SetCursor(CursorFor(*look, hwnd));
        return TRUE;
      }
      break;
  }
  return CallWindowProcW(original, hwnd, msg, wParam, lParam);
}

// Swallows WM_CONTEXTMENU (mouse, menu key, Shift+F10) so the text box never
// opens its own menu; everything else goes on to the replaced procedure.
LRESULT CALLBACK ContextMenuWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CONTEXTMENU)
    return 1;
  auto it = g_contextMenuHooks.find(hwnd);
  WNDPROC previous = it != g_contextMenuHooks.end() ? it->second : ControlProc;  // which it is put on
  if (msg == WM_NCDESTROY && it != g_contextMenuHooks.end())
    g_contextMenuHooks.erase(it);
  return CallWindowProcW(previous, hwnd, msg, wParam, lParam);
}

}  // namespace platform::win32

namespace platform {
using namespace win32;

namespace {

// A child control of a form, subclassed so it reports its events; a combo
// box's list gets `extraHeight` below the height given.
using backend::ControlKind;
using backend::OnForm;

HWND CreateChild(Form form, ControlKind kind, const wchar_t* className, const Text& text, DWORD style, const Rect& rect,
                 const backend::Look& look, bool hasFont, Twips extraHeight = 0) {
  HWND parent = ToHwnd(form);
  if (!FindForm(parent))
    return nullptr;
  int dpi = DpiOf(parent);
  std::optional<CommonControls6> looks;
  if (kind != ControlKind::TextBox)
    looks.emplace();
  HWND hwnd = CreateWindowExW(0, className, W(text), WS_CHILD | WS_VISIBLE | style, TwipsToPixels(rect.left, dpi),
                              TwipsToPixels(rect.top, dpi), TwipsToPixels(rect.width, dpi),
                              TwipsToPixels(rect.height + extraHeight, dpi), parent, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
  if (!hwnd)
    return nullptr;
  auto data = std::make_shared<WindowData>();
  SetBrush(data->backBrush, look.backColor);
  if (hasFont) {
    data->hfont = MakeFont(look.font, dpi);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(data->hfont), FALSE);
  }
  RegisterControl(hwnd, parent, std::move(data), kind, look);
  return hwnd;
}

}  // namespace

TextBox CreateTextBox(Form form, const TextBoxSpec& design) {
  HWND hwnd = CreateChild(form, ControlKind::TextBox, L"EDIT", design.text,
                          WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL, design.rect,
                          {design.backColor, design.foreColor, design.font}, true);
  // Lift the default 32K limit: a note holds whatever the user pastes.
  if (hwnd)
    SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);
  return Of<TextBox>(hwnd);
}

Label CreateLabel(Form form, const Rect& rect, const Text& caption, const Font& font) {
  return Of<Label>(
      CreateChild(form, ControlKind::Label, L"STATIC", caption, SS_LEFT | SS_NOPREFIX, rect, OnForm(form, font), true));
}

Button CreateButton(Form form, const Rect& rect, const Text& caption, const Font& font, std::function<void()> pressed) {
  Button button = Of<Button>(CreateChild(form, ControlKind::Button, L"BUTTON", caption, BS_PUSHBUTTON | WS_TABSTOP,
                                         rect, backend::OnForm(form, font), true));
  backend::SetPressed(button, std::move(pressed));
  return button;
}

// The height given is the edit field's; the drop-down list gets room below.
ComboBox CreateComboBox(Form form, const Rect& rect, const Font& font) {
  DWORD style = CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
  return Of<ComboBox>(
      CreateChild(form, ControlKind::ComboBox, L"COMBOBOX", u"", style, rect, OnForm(form, font), true, 3000));
}

void ComboAdd(ComboBox combo, const Text& item) {
  SendMessageW(ToHwnd(combo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(item)));
}

int ComboCount(ComboBox combo) {
  LRESULT count = SendMessageW(ToHwnd(combo), CB_GETCOUNT, 0, 0);
  return count == CB_ERR ? 0 : static_cast<int>(count);
}

Text ComboItem(ComboBox combo, int index) {
  HWND hwnd = ToHwnd(combo);
  LRESULT length = SendMessageW(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR)
    return {};
  std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
  buffer.resize(static_cast<size_t>(length));
  return Text(reinterpret_cast<const char16_t*>(buffer.c_str()), buffer.size());
}

void ComboSelect(ComboBox combo, int index) {
  SendMessageW(ToHwnd(combo), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

// The calendar and the time picker come from the common controls, which only
// the reminder dialog needs: registered on first use.
void RegisterDateControls() {
  static bool done = [] {
    CommonControls6 looks;  // the library is loaded here
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES};
    auto init = SystemCall<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(L"comctl32.dll", "InitCommonControlsEx");
    return init && init(&controls);
  }();
  (void)done;
}

// With a font of its own at the form's scale: the system's would be at the
// scale the process started with, and the month could outgrow the control.
Calendar CreateMonthCalendar(Form form, const Rect& rect) {
  RegisterDateControls();
  return Of<Calendar>(
      CreateChild(form, ControlKind::Calendar, MONTHCAL_CLASSW, u"", WS_TABSTOP, rect, OnForm(form, {}), true));
}

Date GetCalendarDate(Calendar calendar) {
  SYSTEMTIME st = {};
  SendMessageW(ToHwnd(calendar), MCM_GETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
  return {st.wYear, st.wMonth, st.wDay};
}

void SetCalendarDate(Calendar calendar, const Date& date) {
  SYSTEMTIME st = ToSystemTime({date.year, date.month, date.day, 0, 0, 0});
  SendMessageW(ToHwnd(calendar), MCM_SETCURSEL, 0, reinterpret_cast<LPARAM>(&st));
}

TimePicker CreateTimePicker(Form form, const Rect& rect, const Font& font) {
  RegisterDateControls();
  DWORD style = DTS_TIMEFORMAT | DTS_UPDOWN | WS_TABSTOP;
  return Of<TimePicker>(
      CreateChild(form, ControlKind::TimePicker, DATETIMEPICK_CLASSW, u"", style, rect, OnForm(form, font), true));
}

TimeOfDay GetPickerTime(TimePicker picker) {
  SYSTEMTIME st = {};
  SendMessageW(ToHwnd(picker), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  return {st.wHour, st.wMinute, st.wSecond};
}

// Only the time of day is set; the date part stays as it was.
void SetPickerTime(TimePicker picker, const TimeOfDay& time) {
  HWND hwnd = ToHwnd(picker);
  SYSTEMTIME st = {};
  SendMessageW(hwnd, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
  st.wHour = static_cast<WORD>(time.hour);
  st.wMinute = static_cast<WORD>(time.minute);
  st.wSecond = static_cast<WORD>(time.second);
  st.wMilliseconds = 0;
  SendMessageW(hwnd, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void SetControlVisible(Control control, bool visible) {
  if (FindControl(ToHwnd(control)))
    ShowWindow(ToHwnd(control), visible ? SW_SHOWNA : SW_HIDE);
}

Text GetText(Control control) {
  return GetCaption(control);
}

void SetText(TextBox textBox, const Text& text) {
  SetWindowTextW(ToHwnd(textBox), W(text));
}

int GetSelStart(TextBox textBox) {
  DWORD start = 0, end = 0;
  SendMessageW(ToHwnd(textBox), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void SetSelection(TextBox textBox, int start, int length) {
  SendMessageW(ToHwnd(textBox), EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(start + length));
}

Text GetSelectedText(TextBox textBox) {
  DWORD from = 0, to = 0;
  SendMessageW(ToHwnd(textBox), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  Text text = GetText(textBox);
  return text.substr(std::min<size_t>(from, text.size()), to > from ? to - from : 0);
}

void ReplaceSelection(TextBox textBox, const Text& text) {
  SendMessageW(ToHwnd(textBox), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(W(text)));
}

void SetEnabled(Control control, bool enabled) {
  EnableWindow(ToHwnd(control), enabled);
}

bool IsEnabled(Control control) {
  return IsWindowEnabled(ToHwnd(control)) != FALSE;
}

}  // namespace platform

namespace platform::backend {

// The system activates the control's form.
void FocusControl(Control control) {
  ::SetFocus(win32::ToHwnd(control));
}

}  // namespace platform::backend

namespace platform {
using namespace win32;

Window GetFocus() {
  return Of(OwnWindowOf(::GetFocus()));
}

}  // namespace platform

namespace platform::backend {
using namespace win32;

void FontChanged(Control control) {
  HWND hwnd = ToHwnd(control);
  WindowData* data = FindControl(hwnd);
  if (!data)
    return;
  HFONT old = data->hfont;
  data->hfont = MakeFont(LookOf(control)->font, DpiOf(hwnd));
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(data->hfont), TRUE);
  if (old)
    DeleteObject(old);
}

}  // namespace platform::backend

namespace platform {
using namespace win32;

void BlockContextMenu(TextBox textBox) {
  HWND hwnd = ToHwnd(textBox);
  if (!FindControl(hwnd))
    return;
  auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  if (current == &ContextMenuWndProc)
    return;  // hooked already
  g_contextMenuHooks[hwnd] =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ContextMenuWndProc)));
}

// Puts the replaced procedure back and forgets it; a second time there is
// nothing left to do.
void UnblockContextMenu(TextBox textBox) {
  HWND hwnd = ToHwnd(textBox);
  auto it = g_contextMenuHooks.find(hwnd);
  if (it == g_contextMenuHooks.end())
    return;
  if (IsWindow(hwnd))
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second));
  g_contextMenuHooks.erase(it);
}

}  // namespace platform
