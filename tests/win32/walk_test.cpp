// A seeded random walk over what a user does with the real program, by real
// keys and mouse: typing and pasting text of any length and script, every
// popup entry and shortcut, dragging and resizing (hard too), every dialog
// left by its buttons, Esc or its close box while the pointer wanders over
// other notes, e-mail, saving, a reminder that rings, notes made and closed,
// another program holding the clipboard, a file that cannot be written, no
// mail program. A model says what each note holds. After every step the
// program is alive, shows no message box the model does not expect, and each
// note holds, as the user would read it, what the model says.
//
//   PINALEAF_WALK_SEED=N    the walk to take (22 unless told)
//   PINALEAF_WALK_STEPS=N   its length (40); a longer run takes more
// A failure prints the seed and the steps that led to it.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <random>
#include <sstream>

#include "harness.h"

namespace {

using namespace harness;

const int kInch = 96;  // pixels, at the test desktop's 96 dpi

// The popup's entries, separators left out, and their Ctrl keys.
struct Entry {
  const char* name;
  WORD key;
};
const Entry kEntries[] = {
    {"Cut", 'X'},           {"Copy", 'C'},        {"Paste", 'V'},       {"Select All", 'A'},
    {"Set Reminder", 'R'},  {"New", 'N'},         {"Delete", 'D'},      {"Font", 'F'},
    {"Color", 'O'},         {"Email Note", 'E'},  {"Save", 'S'},        {"Insert Date", VK_F1},
    {"Insert Time", VK_F2}, {"Translucency", 0},  {"More", 0},          {"Less", 0},
    {"Always On Top", 0},   {"Email Author", 0},  {"Web Site", 0},      {"Quit", 0},
};
enum { kCut, kCopy, kPaste, kSelectAll, kReminder, kNew, kDelete, kFont, kColor, kEmail, kSave, kDate, kTime };
enum { kAlwaysOnTop = 16, kEmailAuthor, kWebSite, kQuit };

// Pieces of what users write: several scripts, an emoji's surrogate pair, a line break.
const wchar_t* const kPieces[] = {L"milk ",   L"Tr\u00E8s ", L"Gr\u00FC\u00DFe ", L"\u041F\u0440\u0438\u0432\u0435\u0442 ",
                                  L"\u65E5\u672C\u8A9E", L"\U0001F600", L"\u05E9\u05DC\u05D5\u05DD ", L"& 50% ",
                                  L"a+b=c? ", L"\r"};

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
// As a text box keeps typed line breaks.
std::wstring Lines(std::wstring text) {
  for (size_t at = 0; (at = text.find(L'\r', at)) != std::wstring::npos; at += 2) text.insert(at + 1, L"\n");
  return text;
}
std::string Utf8(const std::wstring& text) {
  std::string bytes(text.size() * 4, '\0');
  int size = static_cast<int>(text.size()), room = static_cast<int>(bytes.size());
  bytes.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data(), room, nullptr, nullptr)));
  return bytes;
}
// A saved file's bytes: Windows-1252 when every character has its form there, else UTF-8 after a byte-order mark.
std::string FileBytes(const std::wstring& text) {
  BOOL lossy = FALSE;
  std::string ansi(text.size(), '\0');
  int size = static_cast<int>(text.size());
  int n = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, text.data(), size, ansi.data(), size, nullptr, &lossy);
  return lossy || n != size ? "\xEF\xBB\xBF" + Utf8(text) : ansi;
}
std::string Decoded(const std::string& escaped) {
  std::string bytes;
  for (size_t i = 0; i < escaped.size(); ++i) {
    bool pair = escaped[i] == '%' && i + 2 < escaped.size();
    bytes += pair ? static_cast<char>(std::stoi(escaped.substr(i + 1, 2), nullptr, 16)) : escaped[i];
    i += pair ? 2 : 0;
  }
  return bytes;
}
// What the mail program or the browser was handed last.
std::string Handed() {
  std::string log = MailLog();
  log = log.substr(0, log.size() - std::min<size_t>(log.size(), 1));
  std::string line = log.substr(log.rfind('\n') + 1);
  return line.substr(std::min(line.size(), line.find("\" ") + 2));
}
void Store(const wchar_t* key, const std::wstring& value) {
  platform::WriteStoredValue(u"Pinaleaf", u"1.0", {key, key + wcslen(key)}, {value.begin(), value.end()});
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
    trace_ << "seed " << seed << ", stored Translucency \"" << Utf8(Stored(L"Translucency")) << "\"\n";
    notes_.push_back({program_->Notes().at(0), L""});
    GetWindowThreadProcessId(notes_[0].window, &pid_);
  }

  // Whether every step held, and the program ended with Quit.
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
        case 11: CloseByKeys(); break;
      }
    }
    if (!Check() || !Command(kQuit)) return false;
    return program_->ExitCode(5000) == 0 || Fail("Quit did not end the program");
  }

  std::string Trace() const { return trace_.str(); }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  void Log(const std::string& what) { trace_ << "  " << what << "\n"; }
  bool Fail(const std::string& why) {
    if (!failed_) trace_ << "FAILED: " << why << "\n";
    failed_ = true;
    return false;
  }
  int Index(const Note* note) const { return static_cast<int>(note - notes_.data()); }
  std::string Name(const Note* note) const { return "note " + std::to_string(Index(note)); }
  Note* Find(HWND window) {
    auto it = std::find_if(notes_.begin(), notes_.end(), [&](const Note& n) { return n.window == window; });
    return it == notes_.end() ? nullptr : &*it;
  }
  std::wstring Words(int pieces) {
    std::wstring text;
    for (int i = 0; i < pieces; ++i) text += kPieces[Pick(std::size(kPieces))];
    return text;
  }

  // A point within the fractions given of `area` where `target` is in sight; none when it is covered there.
  std::optional<POINT> Visible(HWND target, RECT area, double x0, double x1, double y0, double y1) {
    for (int i = 0; i < 36; ++i) {
      POINT at = {area.left + LONG((area.right - area.left) * (x0 + (x1 - x0) * (i % 6) / 5)),
                  area.top + LONG((area.bottom - area.top) * (y0 + (y1 - y0) * (i / 6) / 5))};
      if (at.x >= 0 && at.y >= 0 && at.x < 1280 && at.y < 984 && WindowFromPoint(at) == target) return at;
    }
    return std::nullopt;
  }
  std::optional<POINT> InText(HWND note) { return Visible(EditOf(note), RectOf(EditOf(note)), .1, .8, .1, .8); }
  // A note whose text can be clicked, picked at random.
  Note* Reachable(HWND besides = nullptr) {
    std::vector<Note*> open;
    for (Note& note : notes_) {
      if (note.window != besides && InText(note.window)) open.push_back(&note);
    }
    return open.empty() ? nullptr : open[Pick(static_cast<int>(open.size()))];
  }

  // The pointer moves there, or clicks: a note whose text area it lands on becomes the active note.
  void Point(POINT at, bool click = false, bool right = false) {
    click ? ClickAt(at, right) : MouseAt(at);
    Settle();
  }
  // The window the pointer rests on hears of it when the one above goes.
  void Settle() {
    POINT at;
    GetCursorPos(&at);
    HWND under = WindowFromPoint(at);
    if (Note* note = Find(GetParent(under)); note && under == EditOf(note->window)) active_ = note->window;
  }
  // While a dialog is open the pointer crosses another note's text.
  void Wander(HWND besides) {
    if (Note* other = Reachable(besides)) {
      Log("the pointer crosses " + Name(other));
      Point(*InText(other->window));
    }
  }
  // Into a note's text, the caret at its end.
  bool Enter(Note* note) {
    auto at = note ? InText(note->window) : std::nullopt;
    if (!at) return false;
    Point(*at, true);
    Keys({VK_CONTROL, VK_END});
    return true;
  }
  void TypeInto(Note* note, const std::wstring& text) {
    if (!Enter(note)) return;
    Log("type " + std::to_string(text.size()) + " units into " + Name(note));
    Type(text);
    note->text += Lines(text);
  }

  // A window of the program's with this title, once it is in front.
  HWND Dialog(const wchar_t* windowClass, const wchar_t* title, int ms = 5000) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(pid_, windowClass, title)) && GetForegroundWindow() == found; }, ms);
    return found && GetForegroundWindow() == found ? found : nullptr;
  }
  // Leaves a dialog by its close box, the button named, or Esc where Esc cancels.
  void Leave(HWND dialog, const wchar_t* button, bool escape) {
    int way = Pick(escape ? 3 : 2);
    Log(std::string("leave by ") + (way == 0 ? "the close box" : way == 1 ? "its button" : "Esc"));
    if (way == 2) Keys({VK_ESCAPE});
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
    if (!WaitUntil([&] { return !IsWindowVisible(window); }, 5000)) Fail("a window did not go: " + Utf8(TextOf(window)));
    Settle();
  }
  // A message box the model expects, answered with a key; what it said.
  std::string Answer(const wchar_t* title, WORD key) {
    HWND box = Dialog(L"#32770", title);
    if (!box) {
      Fail("no message box " + Utf8(title));
      return "";
    }
    std::string said = Utf8(TextOf(GetDlgItem(box, 0xFFFF)));  // a message box keeps its text there
    Log("message box " + Utf8(title) + ": \"" + said + "\"");
    Keys({key});
    Gone(box);
    return said;
  }

  void Paste() {
    std::wstring text;
    int length = 1 << Pick(14);  // 1 to 8192 units, as often short as long
    while (static_cast<int>(text.size()) < length) text += Lines(Words(1 + Pick(8)) + L"\r");
    platform::ClipboardPut({}, {text.begin(), text.end()});
    clipboard_ = text;
    Note* note = Reachable();
    Log("paste " + std::to_string(text.size()) + " units");
    if (note && Command(kPaste, note)) note->text += text;
  }

  // A popup entry, from the popup or by its Ctrl key, on a note, with the
  // caret at the end of its text. False when another program held the
  // clipboard, or no note could be reached.
  bool Command(int entry, Note* note = nullptr) {
    note = note ? note : Reachable();
    if (!Enter(note)) return false;
    auto at = InText(note->window);
    bool byKey = kEntries[entry].key && Pick(2);
    bool held = entry <= kPaste && !byKey && Pick(3) == 0;  // another program holds the clipboard meanwhile
    Log(std::string(kEntries[entry].name) + (byKey ? " by its key" : " from the popup") + " on " + Name(note) +
        (held ? ", while another program holds the clipboard" : ""));
    if (entry == kCut || entry == kCopy) Keys({VK_CONTROL, 'A'});
    if (byKey) {
      Keys({VK_CONTROL, kEntries[entry].key});
    } else {
      Point(*at, true, true);
      if (!WaitUntil([&] { return program_->Popup() != nullptr; }, 3000)) return Fail("no popup");
      MouseAt({at->x - 5, at->y - 5});  // a pointer moving over a popup clears its selection under Wine
      Tap(VK_DOWN, entry + 1);
      if (held) HoldClipboard(300);
      Keys({VK_RETURN});
      WaitUntil([&] { return program_->Popup() == nullptr; }, 3000);
    }
    if (held) probe::Wait(400);
    if (entry == kCut || entry == kCopy) {
      clipboard_ = held ? clipboard_ : note->text;
      if (entry == kCut && !held) note->text.clear();
      if (platform::ClipboardGet({}) != platform::Text(clipboard_.begin(), clipboard_.end())) {
        Fail("the clipboard does not hold what it should");
      }
    }
    if (held) return false;
    switch (entry) {
      case kReminder: Reminder(false); break;
      case kNew: New(); break;
      case kDelete: Delete(note); break;
      case kFont: Font(note); break;
      case kColor: Color(note); break;
      case kEmail: Email(); break;
      case kSave: Save(note); break;
      case kDate: {
        char date[64];
        int length = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 64);
        note->text += std::wstring(date, date + std::max(length - 1, 0));
        break;
      }
      case kTime: Time(note); break;
      case kAlwaysOnTop: onTop_ = !onTop_; break;
      case kEmailAuthor: Opened("mailto:support@pinaleaf.example"); break;
      case kWebSite: Opened("https://www.pinaleaf.example/"); break;
    }
    return true;
  }

  void Opened(const std::string& target) {
    if (!WaitUntil([&] { return Handed() == target; }, 10000)) Fail("the shell was not handed " + target);
  }
  // The time inserted, whatever second it was.
  void Time(Note* note) {
    std::wstring now = TextOf(EditOf(note->window));
    if (now.starts_with(note->text) && now.size() > note->text.size() && now.size() < note->text.size() + 16) {
      note->text = now;
    }
  }

  void New() {
    HWND made = nullptr;
    WaitUntil([&] {
      for (HWND note : program_->Notes()) made = Find(note) ? made : note;
      return made != nullptr;
    }, 3000);
    if (!made) return void(Fail("no new note"));
    notes_.push_back({made, L""});
    active_ = made;
    Settle();
  }
  void Delete(Note* note) {
    if (notes_.size() == 1) return void(Answer(L"Quit?", 'N'));
    HWND gone = note->window;
    notes_.erase(notes_.begin() + Index(note));
    Gone(gone);
  }
  // Alt+F4 in a note closes it as "Delete This Note" does.
  void CloseByKeys() {
    Note* note = Reachable();
    if (!Enter(note)) return;
    Log("Alt+F4 on " + Name(note));
    Keys({VK_MENU, VK_F4});
    Delete(note);
  }

  void Font(Note* note) {
    HWND dialog = Dialog(L"#32770", L"Font");
    if (!dialog) return void(Fail("no font dialog"));
    Wander(note->window);
    if (Pick(3) == 0) return Leave(dialog, L"Cancel", true);
    static const char* const kStyles[] = {"", " italic", " bold", " bold italic"};
    int size = 9 << Pick(3), style = Pick(4);  // 9, 18 or 36 pt: whole pixels at 96 dpi
    Log("font " + std::to_string(size) + "pt" + kStyles[style]);
    Keys({VK_MENU, 'S'});
    Type(std::to_wstring(size));
    Keys({VK_MENU, 'Y'});
    Keys({VK_HOME});
    Tap(VK_DOWN, style);
    Keys({VK_RETURN});
    Gone(dialog);
    shows_.push_back({note->window, "  Edit font=\"Arial " + std::to_string(size) + "pt" + kStyles[style] + "*\""});
  }
  void Color(Note* note) {
    HWND dialog = Dialog(L"#32770", L"Color");
    if (!dialog) return void(Fail("no colour dialog"));
    Wander(note->window);
    if (Pick(3) == 0) return Leave(dialog, L"Cancel", true);
    int rgb[3] = {128 + Pick(128), 128 + Pick(128), 128 + Pick(128)};
    Log("colour " + std::to_string(rgb[0]) + "," + std::to_string(rgb[1]) + "," + std::to_string(rgb[2]));
    Keys({VK_MENU, 'D'});
    Keys({VK_MENU, 'R'});
    for (int value : rgb) {
      Type(std::to_wstring(value));
      Keys({VK_TAB});
    }
    Keys({VK_RETURN});
    Gone(dialog);
    colours_.push_back({note->window, RGB(rgb[0], rgb[1], rgb[2])});
  }

  void Email() {
    HWND form = Dialog(L"PinaleafForm", L"E-mail Note");
    if (!form) return void(Fail("no e-mail form"));
    static const wchar_t* const kTo[] = {L"anna@example.com", L"Ben <ben@example.org>", L"chloe@example.net"};
    std::wstring to = kTo[Pick(3)];
    Type(to);
    Wander(nullptr);  // the note mailed is the one active at Send
    Note* mailed = Find(active_);
    bool noMailer = Pick(5) == 0;
    Log("send " + (mailed ? Name(mailed) : "no note") + " to " + Utf8(to) + (noMailer ? ", with no mail program" : ""));
    if (noMailer) {
      std::wstring nowhere = L"\"" + Beside(L"no_such_mail_program.exe") + L"\" %1";
      RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\mailto\\shell\\open\\command", nullptr, REG_SZ,
                      nowhere.c_str(), static_cast<DWORD>((nowhere.size() + 1) * sizeof(wchar_t)));
    }
    size_t logged = MailLog().size();
    Point(CentreOf(FindWindowExW(form, nullptr, L"Button", L"Send")), true);
    if (std::find(recipients_.begin(), recipients_.end(), to) == recipients_.end()) recipients_.push_back(to);
    std::string told;
    auto mailBox = [&] { return FindWindowOf(pid_, L"#32770", L"E-mail Note"); };
    while (mailed && WaitUntil([&] { return mailBox() || MailLog().size() > logged; }, noMailer ? 3000 : 10000)) {
      if (!mailBox()) break;
      told += Answer(L"E-mail Note", VK_RETURN);
    }
    if (noMailer) RegisterMailLogger();
    std::wstring stored = L"";
    for (const std::wstring& r : recipients_) stored += L"," + r;
    if (Stored(L"EmailAddresses") != stored) Fail("the recipients remembered are " + Utf8(Stored(L"EmailAddresses")));
    std::string whole = mailed ? Utf8(mailed->text) : "", handed = Handed();
    std::string body = Decoded(handed.substr(std::min(handed.size(), handed.find("&Body=") + 6)));
    if (!mailed || noMailer) {
      if (mailed && told.find("No program could open") == std::string::npos) Fail("no word of the missing mail program");
    } else if (!handed.starts_with("mailto:") || !whole.starts_with(body)) {
      Fail("the mail program was not handed the note's text");
    } else if (body.size() < whole.size() && told.find("left out") == std::string::npos) {
      Fail("a mail cut short, and no word of it");
    }
    Leave(form, L"Cancel", false);
  }

  void Save(Note* note) {
    HWND dialog = Dialog(L"#32770", L"Save As");
    if (!dialog) return void(Fail("no save dialog"));
    Wander(note->window);
    if (Pick(4) == 0) return Leave(dialog, L"Cancel", true);
    std::wstring path = Beside((L"walk" + std::to_wstring(Pick(3)) + L".txt").c_str());
    bool readOnly = Pick(4) == 0;
    std::string before = Bytes(path);
    SetFileAttributesW(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
    Log("save " + Name(note) + " as " + Utf8(path) + (readOnly ? ", a read-only file" : ""));
    Keys({VK_HOME});
    Keys({VK_SHIFT, VK_END});
    Type(path);
    Keys({VK_RETURN});
    Gone(dialog);
    if (readOnly) Answer(L"Save Note to File", VK_RETURN);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::string bytes = Bytes(path), wanted = readOnly ? before : FileBytes(note->text);
    if (bytes != wanted) Fail("the file holds " + std::to_string(bytes.size()) + " bytes, not " + std::to_string(wanted.size()));
  }

  // Shows the reminder dialog's work: arms it when asked, then hides it.
  void Reminder(bool arm) {
    HWND dialog = Dialog(L"PinaleafForm", L"Reminder");
    if (!dialog) return void(Fail("no reminder dialog"));
    if (!arm) return Leave(dialog, L"Hide This Window", false);
    if (HWND set = FindWindowExW(dialog, nullptr, L"Button", L"Set Reminder")) Point(CentreOf(set), true);
    Point(CentreOf(FindWindowExW(dialog, nullptr, L"Button", L"Hide This Window")), true);
    Gone(dialog);
  }
  // The reminder rings on the active note; what the user types into it then stays.
  void Alarm() {
    Note* note = Reachable();
    if (!Enter(note)) return;
    Log("a reminder for " + Name(note));
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
    Note* ringing = nullptr;
    WaitUntil([&] {
      for (Note& n : notes_) ringing = TextOf(EditOf(n.window)) == L"Reminder!" ? &n : ringing;
      return ringing != nullptr;
    }, 5000);
    if (!ringing || ringing != Find(active_)) return void(Fail("the active note did not ring"));
    probe::Wait(500);
    TypeInto(ringing, Words(1 + Pick(4)));
  }

  void Drag() {
    Note* note = &notes_[Pick(static_cast<int>(notes_.size()))];
    RECT rc = RectOf(note->window), edit = RectOf(EditOf(note->window));
    auto at = Visible(note->window, {rc.left, rc.top, rc.right, edit.top}, .1, .9, .2, .8);
    if (!at) return;
    POINT by = {Pick(1280 - (rc.right - rc.left)) - rc.left, Pick(984 - (rc.bottom - rc.top)) - rc.top};
    Log("drag " + Name(note) + " by " + std::to_string(by.x) + "," + std::to_string(by.y));
    harness::Drag(*at, {at->x + by.x, at->y + by.y});
    active_ = note->window;  // pressed
    Settle();
    RECT now = RectOf(note->window);
    if (now.left != rc.left + by.x || now.top != rc.top + by.y) Fail("the note is not where it was dropped");
  }
  // By a band or corner of the text area, sometimes past the opposite edge.
  void Resize() {
    Note* note = Reachable();
    if (!note) return;
    RECT rc = RectOf(note->window), edit = RectOf(EditOf(note->window));
    struct Zone {
      const char* name;
      double x, y;
      bool left, top, right, bottom;
    };
    const Zone kZones[] = {{"right band", 1, .5, 0, 0, 1, 0}, {"bottom band", .5, 1, 0, 0, 0, 1},
                           {"corner", 1, 1, 0, 0, 1, 1},      {"bottom-left", 0, 1, 1, 0, 0, 1},
                           {"top-right", 1, 0, 0, 1, 1, 0}};
    const Zone& z = kZones[Pick(5)];
    POINT at = {edit.left + 2 + LONG((edit.right - edit.left - 4) * z.x),
                edit.top + 2 + LONG((edit.bottom - edit.top - 4) * z.y)};
    if (WindowFromPoint(at) != EditOf(note->window)) return;
    bool hard = Pick(3) == 0;
    POINT to = {at.x + Pick(161) - 80, at.y + Pick(161) - 80};
    if (hard) to = {z.left ? rc.right + 20 : z.right ? rc.left - 20 : at.x, z.top ? rc.bottom + 20 : z.bottom ? rc.top - 20 : at.y};
    to = {std::clamp(to.x, 0L, 1279L), std::clamp(to.y, 0L, 983L)};
    Log(std::string(hard ? "resize hard by the " : "resize by the ") + z.name + " of " + Name(note) + " to " +
        std::to_string(to.x) + "," + std::to_string(to.y));
    harness::Drag(at, to);
    active_ = note->window;
    Settle();
    // The edges held follow the pointer, down to an inch square; the others stay.
    RECT want = rc;
    if (z.right) want.right = std::max(rc.right + to.x - at.x, rc.left + kInch);
    if (z.left) want.left = std::min(rc.left + to.x - at.x, rc.right - kInch);
    if (z.bottom) want.bottom = std::max(rc.bottom + to.y - at.y, rc.top + kInch);
    if (z.top) want.top = std::min(rc.top + to.y - at.y, rc.bottom - kInch);
    RECT now = RectOf(note->window);
    bool held = std::abs(now.left - want.left) <= 1 && std::abs(now.top - want.top) <= 1 && now.right == want.right &&
                now.bottom == want.bottom;  // Wine stops a left or top edge a pixel short
    if (!held || RectOf(EditOf(note->window)).right != now.right) Fail("the note is not as it was resized");
  }

  // After every step: alive, no message box the model does not expect, each
  // note as the model has it, in sight and within reach.
  bool Check() {
    if (failed_) return false;
    if (program_->ExitCode(0) != STILL_ACTIVE) return Fail("the program ended");
    if (HWND box = FindWindowOf(pid_, L"#32770")) return Fail("a message box is open: " + Utf8(TextOf(box)));
    if (program_->Notes().size() != notes_.size()) return Fail(std::to_string(program_->Notes().size()) + " notes shown");
    for (const Note& note : notes_) {
      std::wstring text = TextOf(EditOf(note.window));
      if (text != note.text) {
        return Fail(Name(&note) + " holds \"" + Utf8(text.substr(0, 60)) + "\" (" + std::to_string(text.size()) +
                    " units), not \"" + Utf8(note.text.substr(0, 60)) + "\" (" + std::to_string(note.text.size()) + ")");
      }
      BYTE alpha = 0;
      DWORD flags = 0;
      RECT rc = RectOf(note.window), edit = RectOf(EditOf(note.window));
      bool seen = GetLayeredWindowAttributes(note.window, nullptr, &alpha, &flags) && alpha >= 64;
      bool reached = rc.right - rc.left >= kInch / 2 && edit.bottom - edit.top >= kInch / 3 &&
                     edit.right - edit.left >= kInch / 2;
      if (!seen || !reached) return Fail(Name(&note) + " can hardly be seen or reached");
      if (bool(GetWindowLongW(note.window, GWL_EXSTYLE) & WS_EX_TOPMOST) != onTop_) return Fail("Always On Top does not hold");
    }
    for (auto& [window, shows] : shows_) {
      RECT rc = RectOf(window);
      std::string at = std::to_string(rc.left) + "," + std::to_string(rc.top);
      if (Find(window) && !program_->Shows("PinaleafForm \"Form1\" at=" + at + "\n" + shows)) return Fail("not shown: " + shows);
    }
    for (auto [window, colour] : colours_) {  // the strip, where nothing covers it
      RECT rc = RectOf(window);
      POINT strip = {(rc.left + rc.right) / 2, rc.top + 4};
      HDC screen = GetDC(nullptr);
      COLORREF seen = GetPixel(screen, strip.x, strip.y);
      ReleaseDC(nullptr, screen);
      if (Find(window) && WindowFromPoint(strip) == window && seen != colour) return Fail("the note is not in the colour chosen");
    }
    shows_.clear();
    colours_.clear();
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
  std::vector<std::pair<HWND, std::string>> shows_;  // what the description shows of a note after a dialog
  std::vector<std::pair<HWND, COLORREF>> colours_;
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
