// The real program as users meet it, a process of its own, walked at random
// with real keys and mouse from where a user starts: typing and pasting text
// of any length and script, every popup entry and shortcut, dragging and
// resizing (hard too), every dialog left by its buttons, Esc or its close box
// while the pointer wanders over other notes, e-mail, saving, a reminder that
// rings, notes made and closed, another program holding the clipboard, a file
// that cannot be written, no mail program. A model says what each note
// holds. After every step the program is alive, shows no message box the
// model does not expect, and each note holds what the model says, read from
// outside as the user would read it. The first look at each window is
// checked against a description of the screen (screen.h).
//
//   PINALEAF_WALK_SEED=N    the walk to take (22 unless told)
//   PINALEAF_WALK_STEPS=N   its length (40 unless told)
// A failure prints the seed and the steps that led to it.
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <random>
#include <set>
#include <sstream>

#include "harness.h"

namespace {

using namespace harness;
using screen::Utf8;

const int kInch = 96;  // pixels, at the test desktop's 96 dpi

// The popup's entries, separators left out, and the Ctrl keys of the first thirteen.
const char* const kEntries[] = {"Cut", "Copy", "Paste", "Select All", "Set Reminder", "Create New Note",
                                "Delete This Note", "Font", "Color", "Email Note", "Save Note to File",
                                "Insert Date", "Insert Time", "Default Translucency", "Increase Translucency",
                                "Decrease Translucency", "Always On Top", "Email Author", "Goto Web Site", "Quit"};
const char kKeys[] = "XCVARNDFOES\x70\x71";  // F1 and F2 last
enum { kCut, kCopy, kPaste, kSelectAll, kReminder, kNew, kDelete, kFont, kColor, kEmail, kSave, kDate, kTime };
enum { kAlwaysOnTop = 16, kEmailAuthor, kWebSite, kQuit };

// Pieces of what users write: several scripts, an emoji's surrogate pair, a line break.
const wchar_t* const kPieces[] = {L"milk ", L"Tr\u00E8s ", L"Gr\u00FC\u00DFe ", L"\u041F\u0440\u0438\u0432\u0435\u0442 ",
                                  L"\u65E5\u672C\u8A9E", L"\U0001F600", L"\u05E9\u05DC\u05D5\u05DD ", L"& 50% ",
                                  L"a+b=c? ", L"\r"};

// How windows look, as Outline() writes them.
const char kNoteLooks[] = R"(client=133x157
  Edit at=0,24 size=133x133 font="Arial 9pt" focus
)";
const char kEmailLooks[] = R"(client=312x109
  ComboBox at=8,32 size=289x23 font="Arial 9.75pt" focus
  Button "Send" at=8,64 size=137x33 font="Arial 9.75pt"
  Button "Cancel" at=152,64 size=149x33 font="Arial 9.75pt"
  Static "Enter e-mail recepients" at=8,8 size=257x17 font="Arial 9.75pt"
)";
const char kReminderLooks[] = R"(client=288x324
  Static "Time for Reminder to Go Off:" at=8,8 size=273x17 font="Arial 9.75pt bold"
  Static "Date for Reminder to Go Off:" at=8,64 size=273x17 font="Arial 9.75pt bold"
  SysMonthCal32 at=8,80 size=273x185 focus
  SysDateTimePick32 at=16,32 size=105x25 font="Arial 9pt"
  Button "Set Reminder" at=8,288 size=137x28 font="Arial 9pt"
  Static "" at=8,264 size=273x18 font="Arial 9pt"
  Button "Hide This Window" at=152,288 size=129x28 font="Arial 9pt"
  Static "Default: 10 mins from now." at=128,32 size=153x17 font="Arial 9pt"
)";
const char kPopupLooks[] = R"~("Cut" "Ctrl+X"
"Copy" "Ctrl+C"
"Paste" "Ctrl+V"
"Select All" "Ctrl+A"
----
"Set Reminder" "Ctrl+R"
----
"Create New Note" "Ctrl+N"
"Delete This Note" "Ctrl+D"
----
"Font..." "Ctrl+F"
"Color..." "Ctrl+O"
----
"Email Note" "Ctrl+E"
"Save Note to File" "Ctrl+S"
----
"Insert Date" "Ctrl+F1"
"Insert Time" "Ctrl+F2"
----
"Defeault Translucency"
"Increase Translucency"
"Decrease Translucency"
"Always On Top" checked
----
"Email Author Suggestions / Bugs"
"Goto Pinaleaf.example"
"Quit (Remove All Notes)" "Ctrl+Q"
)~";

// What the model knows of a note: its window and what it holds.
struct Note {
  HWND window;
  std::wstring text;
};

RECT RectOf(HWND hwnd) {
  RECT rc = {};
  GetWindowRect(hwnd, &rc);
  return rc;
}
HWND EditOf(HWND note) { return FindWindowExW(note, nullptr, L"Edit", nullptr); }
// As a text box keeps a typed line break.
std::wstring Lines(std::wstring text) {
  for (size_t at = 0; (at = text.find(L'\r', at)) != std::wstring::npos; at += 2) text.insert(at + 1, L"\n");
  return text;
}
// A saved file's bytes: Windows-1252 when every character has its form there, else UTF-8 after a byte-order mark.
std::string FileBytes(const std::wstring& text) {
  BOOL lossy = FALSE;
  int size = static_cast<int>(text.size());
  std::string ansi(text.size(), '\0');
  int n = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, text.data(), size, ansi.data(), size, nullptr, &lossy);
  return lossy || n != size ? "\xEF\xBB\xBF" + Utf8(text) : ansi;
}
// A mailto: body, percent-decoded.
std::string Body(const std::string& url) {
  std::string bytes;
  for (size_t i = std::min(url.size(), url.find("&Body=") + 6); i < url.size(); ++i) {
    bool escaped = url[i] == '%' && i + 2 < url.size();
    bytes += escaped ? static_cast<char>(std::stoi(url.substr(i + 1, 2), nullptr, 16)) : url[i];
    i += escaped ? 2 : 0;
  }
  return bytes;
}
// The day as the user's short date.
std::wstring Date(std::time_t when) {
  std::tm t = *std::localtime(&when);
  SYSTEMTIME st = {WORD(t.tm_year + 1900), WORD(t.tm_mon + 1), 0, WORD(t.tm_mday)};
  wchar_t date[64];
  return std::wstring(date, std::max(GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 64), 1) - 1);
}
// The control with the keyboard in the program's window in front.
HWND Focus(HWND window) {
  GUITHREADINFO gui = {sizeof(gui)};
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);
  return gui.hwndFocus;
}
COLORREF Pixel(POINT at) {
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, at.x, at.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

class Walk {
 public:
  explicit Walk(unsigned seed) : rng_(seed) {
    // The store as a user may have edited it by hand.
    const wchar_t* const kAlphas[] = {L"", L"0", L"5", L"-20", L"255", L"300", L"junk", L"120"};
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pinaleaf");
    Store(L"Translucency", kAlphas[Pick(8)]);
    RegisterMailLogger();
    program_.emplace(false);
    Log("seed ", seed, ", stored Translucency \"", Utf8(Stored(L"Translucency")), "\"");
    notes_.push_back({program_->Notes().at(0), L""});
    GetWindowThreadProcessId(notes_[0].window, &pid_);
    // The first note: light yellow, frameless, topmost, translucent, no taskbar button, the keyboard in its text.
    HWND note = notes_[0].window;
    LONG style = GetWindowLongW(note, GWL_STYLE), ex = GetWindowLongW(note, GWL_EXSTYLE);
    LONG bits = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED;
    bool framed = style & (WS_CAPTION | WS_THICKFRAME | WS_BORDER);
    Looks("note", note, kNoteLooks, {135, 137}, !framed && (ex & bits) == bits && Pixel({136, 138}) == RGB(255, 255, 192));
  }

  // Whether every step held, and Quit ended the program writing nothing.
  bool Run(int steps) {
    for (int step = 0; step < steps && Check(); ++step) {
      switch (Pick(12)) {
        case 0: TypeInto(Reachable(), Words(1 + Pick(12))); break;
        case 1: Paste(); break;
        case 2:
        case 3:
        case 4: Command(Pick(kQuit)); break;
        case 5: Command(Pick(2) ? kEmail : kSave); break;
        case 6: Command(Pick(2) ? kFont : kColor); break;
        case 7: Drag(); break;
        case 8: Resize(); break;
        case 9: Alarm(); break;
        case 10: Command(Pick(2) ? kNew : kDelete); break;
        case 11: Close(Reachable(), true); break;
      }
    }
    if (!Check() || !Command(kQuit)) return false;
    return Expect(program_->ExitCode(5000) == 0, "Quit did not end the program") && Expect(Kept() == kept_, "Quit wrote");
  }

  std::string Trace() const { return trace_.str(); }

 private:
  static std::wstring Kept() { return Stored(L"ActivehWnd") + Stored(L"TransCount") + Stored(L"AlwaysOnTop"); }
  static void Store(const wchar_t* key, const std::wstring& value) {
    platform::WriteStoredValue(u"Pinaleaf", u"1.0", {key, key + wcslen(key)}, {value.begin(), value.end()});
  }
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  template <class... Parts>
  void Log(const Parts&... parts) {
    trace_ << "  ";
    (trace_ << ... << parts) << "\n";
  }
  bool Expect(bool held, const std::string& why) {
    if (!held && !failed_) Log("FAILED: ", why);
    failed_ = failed_ || !held;
    return held;
  }
  bool Fail(const std::string& why) { return Expect(false, why); }
  int Index(const Note* note) const { return static_cast<int>(note - notes_.data()); }
  Note* Find(HWND window) {
    auto it = std::find_if(notes_.begin(), notes_.end(), [&](const Note& n) { return n.window == window; });
    return it == notes_.end() ? nullptr : &*it;
  }
  std::wstring Words(int pieces) {
    std::wstring text;
    for (int i = 0; i < pieces; ++i) text += kPieces[Pick(std::size(kPieces))];
    return text;
  }

  // A point within `area` (its fractions from .1 to .8) where `target` is in sight; none when it is covered there.
  static std::optional<POINT> Visible(HWND target, RECT area) {
    for (int i = 0; i < 36; ++i) {
      POINT at = {area.left + (area.right - area.left) * (10 + 14 * (i % 6)) / 100,
                  area.top + (area.bottom - area.top) * (10 + 14 * (i / 6)) / 100};
      if (at.x >= 0 && at.y >= 0 && at.x < 1280 && at.y < 984 && WindowFromPoint(at) == target) return at;
    }
    return std::nullopt;
  }
  static std::optional<POINT> InText(HWND note) { return Visible(EditOf(note), RectOf(EditOf(note))); }
  // A note whose text can be clicked, picked at random.
  Note* Reachable(HWND besides = nullptr) {
    std::vector<Note*> open;
    for (Note& note : notes_) {
      if (note.window != besides && InText(note.window)) open.push_back(&note);
    }
    return open.empty() ? nullptr : open[Pick(static_cast<int>(open.size()))];
  }

  // The pointer moves there, or clicks: a note whose text area it lands on
  // becomes the active note. So does one left under it when a window above goes.
  void Point(POINT at, bool click = false, bool right = false) {
    click ? ClickAt(at, right) : MouseAt(at);
    Settle();
  }
  void Settle() {
    POINT at;
    GetCursorPos(&at);
    HWND under = WindowFromPoint(at);
    if (Note* note = Find(GetParent(under)); note && under == EditOf(note->window)) active_ = note->window;
  }
  // While a dialog is open the pointer crosses another note's text.
  void Wander(HWND besides) {
    if (Note* other = Reachable(besides)) {
      Log("the pointer crosses note ", Index(other));
      Point(*InText(other->window));
    }
  }
  // Into a note's text, the caret at its end.
  bool Enter(Note* note) {
    auto at = note ? InText(note->window) : std::nullopt;
    if (at) Point(*at, true);
    if (at) Keys({VK_CONTROL, VK_END});
    return at.has_value();
  }
  void TypeInto(Note* note, const std::wstring& text) {
    if (!Enter(note)) return;
    Log("type ", text.size(), " units into note ", Index(note));
    if (Pick(4) == 0) {  // keys that open no menu here, and one that does nothing
      Keys({VK_SHIFT, VK_F10});
      Tap(VK_APPS);
      Keys({VK_CONTROL, 'Q'});
    }
    Type(text);
    note->text += Lines(text);
  }

  // A window of the program's, once it is in front.
  HWND Dialog(const wchar_t* windowClass, const wchar_t* title) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(pid_, windowClass, title)) && GetForegroundWindow() == found; }, 5000);
    return Expect(found && GetForegroundWindow() == found, "no window " + Utf8(title)) ? found : nullptr;
  }
  // Leaves a dialog by its close box, the button named, or Esc where Esc cancels.
  void Leave(HWND dialog, const wchar_t* button, bool escape) {
    int way = Pick(escape ? 3 : 2);
    Log("leave by ", way == 0 ? "the close box" : way == 1 ? "its button" : "Esc");
    if (way == 2) Tap(VK_ESCAPE);
    if (way == 1) Point(CentreOf(FindWindowExW(dialog, nullptr, L"Button", button)), true);
    RECT rc = RectOf(dialog);
    for (POINT at = {rc.right - 2, rc.top + 8}; way == 0 && at.x > rc.right - 60; --at.x) {
      if (SendMessageW(dialog, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)) == HTCLOSE) {
        Point(at, true);
        break;
      }
    }
    Gone(dialog);
  }
  void Gone(HWND window) {
    Expect(WaitUntil([&] { return !IsWindowVisible(window); }, 5000), "a window stays: " + Utf8(TextOf(window)));
    Settle();
  }
  // A message box the model expects, answered with a key; what it said.
  std::string Answer(const wchar_t* title, WORD key) {
    HWND box = Dialog(L"#32770", title);
    std::string said = box ? Utf8(TextOf(GetDlgItem(box, 0xFFFF))) : "";  // where a message box keeps its text
    Log("message box ", Utf8(title), ": \"", said, "\"");
    if (box) Tap(key);
    if (box) Gone(box);
    return said;
  }
  // What the description shows; the first time for each kind of window.
  // A window's controls as the user meets them: kind, caption, place and size within the window, font, the keyboard.
  std::string Outline(HWND window) {
    std::string fonts = "\n" + program_->Describe();
    RECT client;
    GetClientRect(window, &client);
    std::string out = "client=" + std::to_string(client.right) + "x" + std::to_string(client.bottom) + "\n";
    for (HWND control = GetWindow(window, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
      wchar_t kind[32] = {};
      GetClassNameW(control, kind, 32);
      RECT rc = RectOf(control);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rc), 2);
      size_t font = fonts.find("\n" + std::to_string(reinterpret_cast<uintptr_t>(control)) + " ");
      bool captioned = kind == std::wstring(L"Button") || kind == std::wstring(L"Static");
      out += "  " + Utf8(kind) + (captioned ? " \"" + Utf8(TextOf(control)) + "\"" : "") + " at=" +
             std::to_string(rc.left) + "," + std::to_string(rc.top) + " size=" + std::to_string(rc.right - rc.left) +
             "x" + std::to_string(rc.bottom - rc.top) +
             (font == std::string::npos ? "" : fonts.substr(fonts.find(' ', font + 1), fonts.find('\n', font + 1) - fonts.find(' ', font + 1))) +
             (control == Focus(window) || IsChild(control, Focus(window)) ? " focus\n" : "\n");
    }
    return out;
  }
  // The first time a kind of window is met: its outline, its place on the screen, and what else is said of it.
  void Looks(const char* kind, HWND window, const std::string& outline, POINT at, bool also = true) {
    if (!looked_.insert(kind).second) return;
    std::string now = Outline(window);
    RECT rc = RectOf(window);
    Expect(now == outline && (at.x < 0 || (rc.left == at.x && rc.top == at.y)) && also,
           std::string("the ") + kind + " does not look as it should:\n" + now);
  }
  // The scheme's button face, on the form and on its labels.
  bool OnFace(HWND form, HWND label) {
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    RECT rc = RectOf(form), text = RectOf(label);
    return Pixel({rc.left + 2, rc.bottom - 3}) == face && Pixel({text.right - 2, text.top + 1}) == face;
  }
  // The keyboard back in a note, which is in front.
  bool Typing(HWND note) { return GetForegroundWindow() == note && Focus(note) == EditOf(note); }

  void Paste() {
    std::wstring text;
    int length = 1 << Pick(14);  // 1 to 8192 units, as often short as long
    while (static_cast<int>(text.size()) < length) text += Lines(Words(1 + Pick(8)) + L"\r");
    platform::ClipboardPut({}, {text.begin(), text.end()});
    clipboard_ = text;
    Note* note = Reachable();
    Log("paste ", text.size(), " units");
    if (note) Command(kPaste, note);
  }

  // A popup entry, from the popup or by its Ctrl key, on a note, with the
  // caret at the end of its text. False when another program held the
  // clipboard, or no note could be reached.
  bool Command(int entry, Note* note = nullptr) {
    note = note ? note : Reachable();
    if (!Enter(note)) return false;
    if (entry == kQuit) kept_ = Kept();
    auto at = InText(note->window);
    bool byKey = entry <= kTime && Pick(2);
    bool held = entry <= kPaste && !byKey && Pick(3) == 0;  // another program holds the clipboard meanwhile
    Log(kEntries[entry], byKey ? " by its key" : " from the popup", " on note ", Index(note),
        held ? ", while another program holds the clipboard" : "");
    if (entry == kCut || entry == kCopy) Keys({VK_CONTROL, 'A'});
    if (byKey && entry == kNew) Keys({VK_CONTROL, VK_SHIFT, 'N'});  // only Ctrl alone makes a note
    if (byKey && entry == kNew) Keys({VK_MENU, 'N'});
    if (byKey) Keys({VK_CONTROL, WORD(kKeys[entry])});
    for (int opened = looked_.count("popup"); !byKey && opened < 2; ++opened) {
      Point(*at, true, true);
      if (!WaitUntil([&] { return program_->Popup() != nullptr; }, 3000)) return Fail("no popup");
      RECT popup = RectOf(program_->Popup());  // it opens beside the pointer, or above it near the screen's edge
      MouseAt({popup.left > 10 ? popup.left - 5 : popup.right + 5, popup.top + 5});  // its selection stays then
      if (opened > 0) break;
      if (looked_.insert("popup").second) {
        Expect(program_->Describe().find(kPopupLooks) != std::string::npos, "the popup:\n" + program_->Describe());
      }
      ClickAt({popup.left + 30, popup.top + 10}, true);  // a right click in it chooses nothing
      Expect(program_->Popup() != nullptr, "a right click chose from the popup");
      Tap(VK_ESCAPE);
    }
    if (!byKey) {
      Tap(VK_DOWN, entry + 1);
      if (held) HoldClipboard(300);
      Tap(VK_RETURN);
      WaitUntil([&] { return program_->Popup() == nullptr; }, 3000);
    }
    if (held) probe::Wait(400);
    if (entry == kCut || entry == kCopy) {  // nothing goes unless it is on the clipboard
      clipboard_ = held || (byKey && note->text.empty()) ? clipboard_ : note->text;  // the text box copies nothing when nothing is selected
      if (entry == kCut && !held) note->text.clear();
      Expect(platform::ClipboardGet({}) == platform::Text(clipboard_.begin(), clipboard_.end()), "the clipboard");
    }
    if (held) return false;
    std::wstring shown = TextOf(EditOf(note->window));
    switch (entry) {
      case kPaste: note->text += clipboard_; break;
      case kReminder: Reminder(false); break;
      case kNew: New(); break;
      case kDelete: Close(note, false); break;
      case kFont: Font(note); break;
      case kColor: Color(note); break;
      case kEmail: Email(); break;
      case kSave: Save(note); break;
      case kDate: note->text += Date(std::time(nullptr)); break;
      case kTime:  // whatever second it was
        if (shown.starts_with(note->text) && shown.size() > note->text.size() + 6) note->text = shown;
        break;
      case kAlwaysOnTop: onTop_ = !onTop_; break;
      case kEmailAuthor: Handed("mailto:support@pinaleaf.example"); break;
      case kWebSite: Handed("https://www.pinaleaf.example/"); break;
    }
    // The keyboard is back in the note it acted on, unless another window stays open.
    if (entry != kNew && entry != kDelete && entry != kEmail && entry != kReminder && entry != kQuit) {
      Idle();
      Expect(WaitUntil([&] { return Typing(note->window); }, 3000), "the keyboard is not back after " + std::string(kEntries[entry]));
    }
    return true;
  }
  void Handed(const std::string& target) {
    Expect(WaitUntil([&] { return LastHanded() == target; }, 10000), "the shell was not handed " + target);
  }

  void New() {
    HWND made = nullptr;
    WaitUntil([&] {
      for (HWND note : program_->Notes()) made = Find(note) ? made : note;
      return made != nullptr;
    }, 3000);
    if (Expect(made, "no new note")) notes_.push_back({made, L""});
    active_ = made;
  }
  // By Alt+F4, or after "Delete This Note": the last note asks first, and No keeps it.
  void Close(Note* note, bool byKeys) {
    if (byKeys && Enter(note)) {
      Log("Alt+F4 on note ", Index(note));
      Keys({VK_MENU, VK_F4});
    } else if (byKeys) {
      return;
    }
    if (notes_.size() == 1) {
      Answer(L"Quit?", 'N');
      return;
    }
    HWND gone = note->window;
    notes_.erase(notes_.begin() + Index(note));
    Gone(gone);
  }

  // The dialogs act on the note they opened for, whatever the pointer crosses meanwhile.
  void Font(Note* note) {
    HWND dialog = Dialog(L"#32770", L"Font");
    if (!dialog) return;
    HWND face = GetDlgItem(dialog, 0x470), size = GetDlgItem(dialog, 0x472);  // the dialog's face and size lists
    Expect(TextOf(face) == L"Arial" && TextOf(size) == L"16" && IsChild(face, Focus(dialog)), "the font dialog opens so");
    Wander(note->window);
    if (Pick(3) == 0) return Leave(dialog, L"Cancel", true);
    const char* const kStyles[] = {"", " italic", " bold", " bold italic"};
    int points = 9 << Pick(3), style = Pick(4), colour = Pick(16);  // 9, 18 or 36 pt: whole pixels at 96 dpi
    Log("font ", points, "pt", kStyles[style], ", colour ", colour, " of the list");
    Keys({VK_MENU, 'S'});
    Type(std::to_wstring(points));
    // Each list from its top: the dialog opens at what was chosen last, and Home moves only a list's caret.
    Keys({VK_MENU, 'Y'});
    Tap(VK_UP, 3);
    Tap(VK_DOWN, style);
    Keys({VK_MENU, 'C'});
    Tap(VK_UP, 15);
    Tap(VK_DOWN, colour);
    Tap(VK_RETURN);
    Gone(dialog);
    Idle();
    std::string font = "font=\"Arial " + std::to_string(points) + "pt" + kStyles[style];
    Expect(Outline(note->window).find(font + "\"") != std::string::npos, "the note is not in the font chosen");
    // The list's colours, as the store keeps them (0x00BBGGRR).
    const int kColours[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
                            0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    Expect(Stored(L"TextColor") == std::to_wstring(kColours[colour]), "the text colour chosen is not kept");
  }
  void Color(Note* note) {
    HWND dialog = Dialog(L"#32770", L"Color");
    if (!dialog) return;
    Wander(note->window);
    if (Pick(3) == 0) return Leave(dialog, L"Cancel", true);
    int rgb[3] = {Pick(256), Pick(256), Pick(256)};
    Log("colour ", rgb[0], ",", rgb[1], ",", rgb[2]);
    Keys({VK_MENU, 'D'});
    Keys({VK_MENU, 'R'});
    for (int value : rgb) {
      Type(std::to_wstring(value));
      Tap(VK_TAB);
    }
    Tap(VK_RETURN);
    Gone(dialog);
    // The strip and the text area alike, where nothing covers them.
    RECT rc = RectOf(note->window), text = RectOf(EditOf(note->window));
    HDC screen = GetDC(nullptr);
    for (POINT at : {POINT{rc.left + 2, rc.top + 2}, POINT{text.right - 3, text.bottom - 3}}) {
      HWND under = WindowFromPoint(at);
      if (under == note->window || under == EditOf(note->window)) {
        Expect(GetPixel(screen, at.x, at.y) == RGB(rgb[0], rgb[1], rgb[2]), "the note is not in the colour chosen");
      }
    }
    ReleaseDC(nullptr, screen);
  }

  // The note mailed is the one active at Send.
  void Email() {
    HWND form = Dialog(L"PinaleafForm", L"E-mail Note");
    if (!form) return;
    HWND label = FindWindowExW(form, nullptr, L"Static", nullptr);
    Looks("e-mail form", form, kEmailLooks, {-1, -1}, OnFace(form, label));
    const wchar_t* const kTo[] = {L"anna@example.com", L"Ben <ben@example.org>", L"chloe@example.net"};
    std::wstring to = kTo[Pick(3)];
    Type(to);
    Wander(nullptr);
    Note* mailed = Find(active_);
    bool noMailer = Pick(5) == 0;
    Log("send note ", mailed ? Index(mailed) : -1, " to ", Utf8(to), noMailer ? ", with no mail program" : "");
    if (noMailer) {
      std::wstring nowhere = L"\"" + Beside(L"no_such_mail_program.exe") + L"\" %1";
      RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\mailto\\shell\\open\\command", nullptr, REG_SZ,
                      nowhere.c_str(), static_cast<DWORD>((nowhere.size() + 1) * sizeof(wchar_t)));
    }
    size_t logged = MailLog().size();
    Point(CentreOf(FindWindowExW(form, nullptr, L"Button", L"Send")), true);
    if (std::find(recipients_.begin(), recipients_.end(), to) == recipients_.end()) recipients_.push_back(to);
    std::string told;  // a mail cut short, or no mail program, is told
    auto box = [&] { return FindWindowOf(pid_, L"#32770", L"E-mail Note"); };
    while (mailed && WaitUntil([&] { return box() || MailLog().size() > logged; }, noMailer ? 3000 : 10000) && box()) {
      told += Answer(L"E-mail Note", VK_RETURN);
    }
    if (noMailer) RegisterMailLogger();
    std::wstring stored;
    for (const std::wstring& recipient : recipients_) stored += L"," + recipient;
    Expect(Stored(L"EmailAddresses") == stored, "the recipients remembered are " + Utf8(Stored(L"EmailAddresses")));
    std::string whole = mailed ? Utf8(mailed->text) : "", body = Body(LastHanded());
    if (mailed && noMailer) {
      Expect(told.find("No program could open") != std::string::npos, "no word of the missing mail program");
    } else if (mailed) {
      Expect(LastHanded().starts_with("mailto:") && whole.starts_with(body), "the mail program was not handed the note");
      Expect(body == whole || told.find("left out") != std::string::npos, "a mail cut short, and no word of it");
    }
    Leave(form, L"Cancel", false);
  }

  // The note saved is the one the command began on, with what it holds when the dialog closes.
  void Save(Note* note) {
    HWND dialog = Dialog(L"#32770", L"Save As");
    if (!dialog) return;
    Wander(note->window);
    if (Pick(4) == 0) return Leave(dialog, L"Cancel", true);
    std::wstring path = Beside((L"walk" + std::to_wstring(Pick(3)) + L".txt").c_str());
    std::string before = Bytes(path);  // a file saved before may be read-only or hidden now
    DWORD attributes = before.empty() ? 0 : (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN) & (1 << Pick(4));
    SetFileAttributesW(path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
    Log("save note ", Index(note), " as ", Utf8(path), ", attributes ", attributes);
    Tap(VK_HOME);
    Keys({VK_SHIFT, VK_END});
    Type(path);
    Tap(VK_RETURN);
    Gone(dialog);
    if (attributes == FILE_ATTRIBUTE_READONLY) Answer(L"Save Note to File", VK_RETURN);
    DWORD kept = GetFileAttributesW(path.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    Expect(kept == attributes, "the file lost its attributes");
    Expect(Bytes(path) == (attributes == FILE_ATTRIBUTE_READONLY ? before : FileBytes(note->text)), "the file");
  }

  // Shows the reminder dialog; arms it when asked, then hides it.
  void Reminder(bool arm) {
    HWND dialog = Dialog(L"PinaleafForm", L"Reminder");
    if (!dialog) return;
    HWND label3 = GetWindow(FindWindowExW(dialog, nullptr, L"Button", nullptr), GW_HWNDNEXT);  // the empty label
    bool named = TextOf(dialog).starts_with(L"Reminder [");
    Looks("reminder dialog", dialog, kReminderLooks, {493, 271}, named && OnFace(dialog, label3));
    if (!arm) return Leave(dialog, L"Hide This Window", false);
    if (HWND set = FindWindowExW(dialog, nullptr, L"Button", L"Set Reminder")) {
      Point(CentreOf(set), true);
      // The moment set, shown below the calendar (the control after that button): its day is
      // the calendar's, ten minutes after the dialog opened in this walk.
      std::wstring shown = TextOf(GetWindow(set, GW_HWNDNEXT));
      bool day = shown.starts_with(Date(started_ + 600)) || shown.starts_with(Date(std::time(nullptr) + 600));
      Expect(day, "the moment set is " + Utf8(shown));
    }
    Point(CentreOf(FindWindowExW(dialog, nullptr, L"Button", L"Hide This Window")), true);
    Gone(dialog);
  }
  // The reminder rings on the active note, flashing; what the user then types into it stays.
  void Alarm() {
    Note* note = Reachable();
    if (!Enter(note)) return;
    Log("a reminder for note ", Index(note));
    Keys({VK_CONTROL, 'R'});
    Reminder(true);
    Point(*InText(note->window));
    std::time_t due = std::time(nullptr) + 2;
    std::tm t = *std::localtime(&due);
    for (auto [key, value] : {std::pair{L"ReminderSeconds", t.tm_sec}, {L"ReminderMinutes", t.tm_min},
                              {L"ReminderHours", t.tm_hour}, {L"ReminderDay", t.tm_mday},
                              {L"ReminderMonth", t.tm_mon + 1}, {L"ReminderYear", t.tm_year + 1900}}) {
      Store(key, std::to_wstring(value));
    }
    std::set<COLORREF> flashed;
    HDC screen = GetDC(nullptr);
    POINT strip = {RectOf(note->window).left + 2, RectOf(note->window).top + 2};
    WaitUntil([&] {
      if (TextOf(EditOf(note->window)) == L"Reminder!") flashed.insert(GetPixel(screen, strip.x, strip.y));
      return flashed.size() >= 3;
    }, 5000);
    ReleaseDC(nullptr, screen);
    Expect(flashed.count(RGB(255, 255, 255)) && flashed.count(0), "the active note did not ring, white and black");
    TypeInto(note, Words(1 + Pick(4)));
  }

  void Drag() {
    Note* note = &notes_[Pick(static_cast<int>(notes_.size()))];
    RECT rc = RectOf(note->window), edit = RectOf(EditOf(note->window));
    auto at = Visible(note->window, {rc.left, rc.top, rc.right, edit.top});
    if (!at) return;
    POINT by = {Pick(1280 - (rc.right - rc.left)) - rc.left, Pick(984 - (rc.bottom - rc.top)) - rc.top};
    Log("drag note ", Index(note), " by ", by.x, ",", by.y);
    harness::Drag(*at, {at->x + by.x, at->y + by.y});
    active_ = note->window;  // pressed
    Expect(RectOf(note->window).left == rc.left + by.x && RectOf(note->window).top == rc.top + by.y, "dropped");
  }
  // By a band or corner of the text area, sometimes past the opposite edge:
  // the edges held follow the pointer, down to an inch square; the others stay.
  void Resize() {
    Note* note = Reachable();
    if (!note) return;
    RECT rc = RectOf(note->window), edit = RectOf(EditOf(note->window));
    // Where it is held, in fractions of the text area, and which edges follow: -1 the left or top, 1 the right or bottom.
    const int kZones[][4] = {{100, 50, 1, 0}, {50, 100, 0, 1}, {100, 100, 1, 1}, {0, 100, -1, 1}, {100, 0, 1, -1}};
    const int* z = kZones[Pick(5)];
    POINT at = {edit.left + 2 + (edit.right - edit.left - 4) * z[0] / 100,
                edit.top + 2 + (edit.bottom - edit.top - 4) * z[1] / 100};
    bool hard = Pick(3) == 0;
    POINT to = {at.x + Pick(161) - 80, at.y + Pick(161) - 80};
    if (hard && z[2]) to.x = z[2] > 0 ? rc.left - 20 : rc.right + 20;
    if (hard && z[3]) to.y = z[3] > 0 ? rc.top - 20 : rc.bottom + 20;
    to = {std::clamp(to.x, 0L, 1279L), std::clamp(to.y, 0L, 983L)};
    if (WindowFromPoint(at) != EditOf(note->window)) return;
    Log(hard ? "resize hard" : "resize", " note ", Index(note), " from ", at.x, ",", at.y, " to ", to.x, ",", to.y);
    harness::Drag(at, to);
    active_ = note->window;
    RECT want = rc;
    if (z[2] > 0) want.right = std::max(rc.right + to.x - at.x, rc.left + kInch);
    if (z[2] < 0) want.left = std::min(rc.left + to.x - at.x, rc.right - kInch);
    if (z[3] > 0) want.bottom = std::max(rc.bottom + to.y - at.y, rc.top + kInch);
    if (z[3] < 0) want.top = std::min(rc.top + to.y - at.y, rc.bottom - kInch);
    RECT now = RectOf(note->window);
    bool held = std::abs(now.left - want.left) <= 1 && std::abs(now.top - want.top) <= 1 && now.right == want.right &&
                now.bottom == want.bottom;  // Wine stops a left or top edge a pixel short
    Expect(held && RectOf(EditOf(note->window)).right == now.right, "the note is not as it was resized");
  }

  // After every step: alive, no message box the model does not expect, each
  // note as the model has it, in sight and within reach.
  // Under Wine a long text takes seconds to lay out again in a large font.
  void Idle() { SendMessageTimeoutW(notes_[0].window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr); }
  bool Check() {
    Idle();
    if (failed_ || !Expect(program_->ExitCode(0) == STILL_ACTIVE, "the program ended")) return false;
    if (HWND box = FindWindowOf(pid_, L"#32770")) return Fail("a message box is open: " + Utf8(TextOf(box)));
    if (program_->Notes().size() != notes_.size()) return Fail(std::to_string(program_->Notes().size()) + " notes");
    for (const Note& note : notes_) {
      std::wstring text = TextOf(EditOf(note.window));
      BYTE alpha = 0;
      RECT rc = RectOf(note.window), edit = RectOf(EditOf(note.window));
      bool seen = GetLayeredWindowAttributes(note.window, nullptr, &alpha, nullptr) && alpha >= 64;
      bool reached = rc.right - rc.left >= kInch / 2 && edit.bottom - edit.top >= kInch / 3 &&
                     edit.right - edit.left >= kInch / 2;
      bool topmost = GetWindowLongW(note.window, GWL_EXSTYLE) & WS_EX_TOPMOST;
      std::string name = "note " + std::to_string(Index(&note));
      std::string have = Utf8(text.substr(0, 60)) + "\" (" + std::to_string(text.size()) + " units)";
      std::string want = Utf8(note.text.substr(0, 60)) + "\" (" + std::to_string(note.text.size()) + ")";
      if (!Expect(text == note.text, name + " holds \"" + have + ", not \"" + want)) return false;
      if (!Expect(seen && reached, name + " can hardly be seen or reached") ||
          !Expect(topmost == onTop_, name + " is not in its band as Always On Top says")) {
        return false;
      }
    }
    return true;
  }

  std::mt19937 rng_;
  std::optional<Program> program_;
  DWORD pid_ = 0;
  std::vector<Note> notes_;
  HWND active_ = nullptr;  // the note the program takes as active
  std::wstring clipboard_;
  std::vector<std::wstring> recipients_;
  bool onTop_ = true, failed_ = false;
  std::set<std::string> looked_;
  std::wstring kept_;  // what the store holds before Quit
  std::time_t started_ = std::time(nullptr);
  std::ostringstream trace_;
};

unsigned FromEnvironment(const char* name, unsigned otherwise) {
  const char* value = std::getenv(name);
  return value && *value ? static_cast<unsigned>(std::strtoul(value, nullptr, 10)) : otherwise;
}

TEST(Walk, NothingTheUserTypesIsLostWhateverTheyDo) {
  unsigned seed = FromEnvironment("PINALEAF_WALK_SEED", 22);
  Walk walk(seed);
  bool held = walk.Run(static_cast<int>(FromEnvironment("PINALEAF_WALK_STEPS", 40)));
  EXPECT_TRUE(held) << "replay with PINALEAF_WALK_SEED=" << seed << ":\n" << walk.Trace();
}

}  // namespace
