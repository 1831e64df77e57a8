// The real program as users meet it, a process of its own, walked at random
// with real keys and mouse from where a user starts: typing and pasting text
// of any length and script, every popup entry and shortcut, dragging and
// resizing (hard too), every dialog left by its buttons, Esc or its close box
// while the pointer wanders over other notes, e-mail, saving, a reminder that
// rings, notes made and closed, another program holding the clipboard, a file
// that cannot be written, no mail program. A model says what each note
// holds. After every step the program is alive, shows no message box the
// model does not expect, and each note holds what the model says, read from
// outside as the user would read it, as opaque as the model says.
//
//   PINALEAF_WALK_SEED=N    the walk to take (22 unless told)
//   PINALEAF_WALK_STEPS=N   its length (36 unless told)
// Each step is logged as it is taken; a failure prints the seed.
#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <optional>
#include <random>
#include <set>
#include <sstream>

#include "harness.h"

namespace {

using namespace harness;

const int kInch = 96;  // pixels, at the test desktop's 96 dpi

// The popup's entries, separators left out; the first thirteen have Ctrl keys.
const char* const kEntries[] = {"Cut",
                                "Copy",
                                "Paste",
                                "Select All",
                                "Set Reminder",
                                "Create New Note",
                                "Delete This Note",
                                "Font",
                                "Color",
                                "Email Note",
                                "Save Note to File",
                                "Insert Date",
                                "Insert Time",
                                "Default Translucency",
                                "Increase Translucency",
                                "Decrease Translucency",
                                "Always On Top",
                                "Email Author",
                                "Goto Web Site",
                                "Quit"};
const WORD kKeys[] = {'X', 'C', 'V', 'A', 'R', 'N', 'D', 'F', 'O', 'E', 'S', VK_F1, VK_F2};
enum { kCut, kCopy, kPaste, kSelectAll, kReminder, kNew, kDelete, kFont, kColor, kEmail, kSave, kDate, kTime };
enum { kDefaultAlpha = 13, kMoreTranslucent, kLessTranslucent, kAlwaysOnTop, kEmailAuthor, kWebSite, kQuit };

// Pieces of what users write: several scripts, an emoji's surrogate pair, a line break.
const wchar_t* const kPieces[] = {L"milk ",
                                  L"Tr\u00E8s ",
                                  L"Gr\u00FC\u00DFe ",
                                  L"\u041F\u0440\u0438\u0432\u0435\u0442 ",
                                  L"\u65E5\u672C\u8A9E",
                                  L"\U0001F600",
                                  L"\u05E9\u05DC\u05D5\u05DD ",
                                  L"& 50% ",
                                  L"a+b=c? ",
                                  L"\r"};

// What the model knows of a note: its window, what it holds, how opaque it is.
struct Note {
  HWND window;
  std::wstring text;
  int alpha;
};

RECT RectOf(HWND hwnd) {
  RECT rc = {};
  GetWindowRect(hwnd, &rc);
  return rc;
}
HWND EditOf(HWND note) {
  return FindWindowExW(note, nullptr, L"Edit", nullptr);
}
// As a text box keeps a typed line break.
std::wstring Lines(std::wstring text) {
  for (size_t at = 0; (at = text.find(L'\r', at)) != std::wstring::npos; at += 2)
    text.insert(at + 1, L"\n");
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
// A day as the user's short date.
std::wstring Date(std::time_t when) {
  std::tm t = *std::localtime(&when);
  SYSTEMTIME st = {WORD(t.tm_year + 1900), WORD(t.tm_mon + 1), 0, WORD(t.tm_mday)};
  wchar_t date[64];
  int length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, 64);
  return std::wstring(date, std::max(length, 1) - 1);
}
// The control with the keyboard in a program's window in front.
HWND Focus(HWND window) {
  GUITHREADINFO gui = {sizeof(gui)};
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);
  return gui.hwndFocus;
}
void Store(const wchar_t* key, const std::wstring& value) {
  platform::WriteStoredValue(u"Pinaleaf", u"1.0", {key, key + wcslen(key)}, {value.begin(), value.end()});
}

class Walk {
 public:
  explicit Walk(unsigned seed) : rng_(seed) {
    // The store as a user may have edited it by hand, and the alpha a note then shows: the nearest a command reaches.
    const std::pair<const wchar_t*, int> kAlphas[] = {{L"", 200}, {L"-20", 80}, {L"300", 254}, {L"92.5", 92}};
    auto [stored, alpha] = kAlphas[Pick(4)];
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Pinaleaf");
    Store(L"Translucency", stored);
    RegisterMailLogger();
    platform::ClipboardPut({}, u"");  // what the model takes it to hold
    program_.emplace();
    Log("seed ", seed, ", stored Translucency \"", Utf8(stored), "\"");
    notes_.push_back({program_->Notes().at(0), L"", alpha});
    alpha_ = alpha;
    GetWindowThreadProcessId(notes_[0].window, &pid_);
  }

  // Whether every step held, and Quit ended the program.
  // The kinds of step come in rounds, each kind once a round in a random order.
  bool Run(int steps) {
    int kinds[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    for (int step = 0; step < steps && Check(); ++step) {
      if (step % 12 == 0)
        std::shuffle(std::begin(kinds), std::end(kinds), rng_);
      switch (kinds[step % 12]) {
        case 0:
          TypeInto(Reachable(), Words(1 + Pick(12)));
          break;
        case 1:
          Paste();
          break;
        case 2:
        case 3:
          Command(Pick(kQuit));
          break;
        case 4:
          Command(kEmail);
          break;
        case 5:
          Command(kFont + Pick(2));
          break;
        case 6:
          Drag();
          break;
        case 7:
          Resize();
          break;
        case 8:
          Alarm();
          break;
        case 9:
          Command(kNew + Pick(2));
          break;
        case 10:
          Close(Reachable(), true);
          break;
        case 11:
          Command(kSave);
          break;
      }
    }
    return Check() && Command(kQuit) && Expect(program_->ExitCode(5000) == 0, "Quit did not end the program");
  }

 private:
  int Pick(int n) {
    return std::uniform_int_distribution<int>(0, n - 1)(rng_);
  }
  template <class... Parts>
  void Log(const Parts&... parts) {
    std::ostringstream line;
    line << "  ";
    (line << ... << parts) << "\n";
    std::clog << line.str();  // as it goes, should the walk itself not come back
  }
  bool Expect(bool held, const std::string& why) {
    if (!held && !failed_)
      Log("FAILED: ", why);
    failed_ = failed_ || !held;
    return held;
  }
  long Index(const Note* note) const {
    return note - notes_.data();
  }
  Note* Find(HWND window) {
    auto it = std::find_if(notes_.begin(), notes_.end(), [&](const Note& n) { return n.window == window; });
    return it == notes_.end() ? nullptr : &*it;
  }
  std::wstring Words(int pieces) {
    std::wstring text;
    for (int i = 0; i < pieces; ++i)
      text += kPieces[Pick(std::size(kPieces))];
    return text;
  }
  // Under Wine a long text takes seconds to lay out again in a large font.
  void Idle() {
    SendMessageTimeoutW(notes_[0].window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, nullptr);
  }

  // A point of `area` (from a tenth to four fifths of it) where `target` is in sight; none when it is covered there.
  static std::optional<POINT> Visible(HWND target, RECT area) {
    for (int i = 0; i < 36; ++i) {
      POINT at = {area.left + (area.right - area.left) * (10 + 14 * (i % 6)) / 100,
                  area.top + (area.bottom - area.top) * (10 + 14 * (i / 6)) / 100};
      if (WindowFromPoint(at) == target)
        return at;  // none off the screen
    }
    return std::nullopt;
  }
  static std::optional<POINT> InText(HWND note) {
    return Visible(EditOf(note), RectOf(EditOf(note)));
  }
  // A note whose text can be clicked, picked at random.
  Note* Reachable(HWND besides = nullptr) {
    std::vector<Note*> open;
    for (Note& note : notes_) {
      if (note.window != besides && InText(note.window))
        open.push_back(&note);
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
    if (Note* note = Find(GetParent(under)); note && under == EditOf(note->window))
      active_ = note->window;
  }
  // While a dialog is open the pointer crosses another note's text.
  void Wander(HWND besides) {
    Note* other = Reachable(besides);
    auto at = other ? InText(other->window) : std::nullopt;
    if (at)
      Log("the pointer crosses note ", Index(other));
    if (at)
      Point(*at);
  }
  // Into a note's text, the caret at its end.
  bool Enter(Note* note) {
    auto at = note ? InText(note->window) : std::nullopt;
    if (at)
      Point(*at, true);
    if (at)
      Keys({VK_CONTROL, VK_END});
    return at.has_value();
  }
  void TypeInto(Note* note, const std::wstring& text) {
    if (!Enter(note))
      return;
    Log("type ", text.size(), " units into note ", Index(note));
    Type(text);
    note->text += Lines(text);
  }

  // A window of the program's, once it is in front.
  HWND Dialog(const wchar_t* windowClass, const wchar_t* title) {
    HWND found = nullptr;
    auto inFront = [&] { return (found = FindWindowOf(pid_, windowClass, title)) && GetForegroundWindow() == found; };
    bool ready = WaitUntil(inFront, 5000);
    return Expect(ready, "no window " + Utf8(title)) ? found : nullptr;
  }
  // Leaves a dialog by its close box, the button named, or Esc where Esc cancels.
  void Leave(HWND dialog, const wchar_t* button, bool escape) {
    int way = Pick(escape ? 3 : 2);
    Log("leave by ", way == 0 ? "the close box" : way == 1 ? "its button" : "Esc");
    if (way == 2)
      Tap(VK_ESCAPE);
    if (way == 1)
      Point(CentreOf(FindWindowExW(dialog, nullptr, L"Button", button)), true);
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
    Expect(WaitUntil([&] { return !IsWindowVisible(window); }, 5000), "a window stays");
    Settle();
  }
  // A message box the model expects, answered with a key; what it said.
  std::string Answer(const wchar_t* title, WORD key) {
    HWND box = Dialog(L"#32770", title);
    std::string said = box ? Utf8(TextOf(GetDlgItem(box, 0xFFFF))) : "";  // where a message box keeps its text
    Log("message box ", Utf8(title), ": \"", said, "\"");
    if (box)
      Tap(key);
    if (box)
      Gone(box);
    return said;
  }

  void Paste() {
    std::wstring text;
    int length = 16 << Pick(10);  // 16 to 8192 units, as often short as long
    while (static_cast<int>(text.size()) < length)
      text += Lines(Words(1 + Pick(8)) + L"\r");
    platform::ClipboardPut({}, {text.begin(), text.end()});
    clipboard_ = text;
    Log("paste ", text.size(), " units");
    if (Note* note = Reachable())
      Command(kPaste, note);
  }

  // A popup entry, from the popup or by its Ctrl key, on a note, with the
  // caret at the end of its text. False when no note could be reached.
  bool Command(int entry, Note* note = nullptr) {
    note = note ? note : Reachable();
    auto at = note ? InText(note->window) : std::nullopt;
    if (!at || !Enter(note))
      return false;
    bool byKey = entry <= kTime && Pick(2);
    bool held = entry <= kPaste && Pick(3) == 0;  // another program holds the clipboard meanwhile
    Log(kEntries[entry], byKey ? " by its key" : " from the popup", " on note ", Index(note),
        held ? ", while another program holds the clipboard" : "");
    if (entry == kCut || entry == kCopy)
      Keys({VK_CONTROL, 'A'});
    if (byKey && held)
      HoldClipboard(300);
    if (byKey)
      Keys({VK_CONTROL, kKeys[entry]});
    if (!byKey) {
      Point(*at, true, true);
      if (!Expect(WaitUntil([&] { return program_->Popup() != nullptr; }, 3000), "no popup"))
        return false;
      RECT popup = RectOf(program_->Popup());  // it opens beside the pointer, or above it near the screen's edge
      MouseAt({popup.left > 10 ? popup.left - 5 : popup.right + 5, popup.top + 5});  // off it: its selection stays
      Tap(VK_DOWN, entry + 1);
      if (held)
        HoldClipboard(300);
      Tap(VK_RETURN);
      WaitUntil([&] { return program_->Popup() == nullptr; }, 3000);
    }
    if (held)
      probe::Wait(400);
    // Nothing goes unless it is on the clipboard; the text box's own copy takes nothing when nothing is selected.
    if ((entry == kCut || entry == kCopy) && !held && !(byKey && entry == kCopy && note->text.empty())) {
      clipboard_ = note->text;
    }
    if (entry == kCut && !held)
      note->text.clear();
    if (held)
      return true;
    std::wstring shown = TextOf(EditOf(note->window));
    switch (entry) {
      case kPaste:
        note->text += clipboard_;
        break;
      case kReminder:
        Reminder(false);
        break;
      case kNew:
        New();
        break;
      case kDelete:
        Close(note, false);
        break;
      case kFont:
        Font(note);
        break;
      case kColor:
        Color(note);
        break;
      case kEmail:
        Email();
        break;
      case kSave:
        Save(note);
        break;
      case kDate:
        note->text += Date(std::time(nullptr));
        break;
      case kTime:  // whatever second it was
        if (shown.starts_with(note->text) && shown.size() > note->text.size() + 6)
          note->text = shown;
        break;
      // The alpha all notes share steps by 20 between 80 and 254; the note acted on takes it.
      case kDefaultAlpha:
        note->alpha = alpha_ = 200;
        break;
      case kMoreTranslucent:
        note->alpha = alpha_ = std::max(alpha_, 100) - 20;
        break;
      case kLessTranslucent:
        note->alpha = alpha_ = std::min(alpha_, 234) + 20;
        break;
      case kAlwaysOnTop:
        onTop_ = !onTop_;
        break;
      case kEmailAuthor:
        Handed("mailto:support@pinaleaf.example");
        break;
      case kWebSite:
        Handed("https://www.pinaleaf.example/");
        break;
    }
    // The keyboard is back in the note it acted on, unless another window stays open.
    if (entry != kNew && entry != kDelete && entry != kEmail && entry != kReminder && entry != kQuit) {
      HWND window = note->window, text = EditOf(window);
      bool back = WaitUntil([&] { return GetForegroundWindow() == window && Focus(window) == text; }, 10000);
      Expect(back, std::string("the keyboard is not back after ") + kEntries[entry]);
    }
    return true;
  }
  void Handed(const std::string& target) {
    Expect(WaitUntil([&] { return LastHanded() == target; }, 10000), "the shell was not handed " + target);
  }

  // A new note, at the stored alpha.
  void New() {
    HWND made = nullptr;
    WaitUntil(
        [&] {
          for (HWND note : program_->Notes())
            made = Find(note) ? made : note;
          return made != nullptr;
        },
        3000);
    if (Expect(made, "no new note"))
      notes_.push_back({made, L"", alpha_});
    active_ = made;
  }
  // By Alt+F4, or after "Delete This Note": the last note asks first, and No keeps it.
  void Close(Note* note, bool byKeys) {
    if (byKeys && !Enter(note))
      return;
    if (byKeys)
      Log("Alt+F4 on note ", Index(note));
    if (byKeys)
      Keys({VK_MENU, VK_F4});
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
    if (!dialog)
      return;
    Wander(note->window);
    if (Pick(3) == 0)
      return Leave(dialog, L"Cancel", true);
    int style = Pick(4), colour = Pick(16);  // regular, italic, bold, bold italic; a colour of the list
    Log("font style ", style, ", colour ", colour);
    // Each list from its top: the dialog opens at what was chosen last, and Home moves only a list's caret.
    Keys({VK_MENU, 'Y'});
    Tap(VK_UP, 3);
    Tap(VK_DOWN, style);
    Keys({VK_MENU, 'C'});
    Tap(VK_UP, 15);
    Tap(VK_DOWN, colour);
    Tap(VK_RETURN);
    Gone(dialog);
    // Kept for new notes as chosen; the list's colours as the store keeps them (0x00BBGGRR).
    const int kColours[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
                            0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    std::wstring chosen = std::wstring(style & 2 ? L"True" : L"False") + (style & 1 ? L"True" : L"False") +
                          std::to_wstring(kColours[colour]);
    auto kept = [&] { return Stored(L"Bold") + Stored(L"Italic") + Stored(L"TextColor") == chosen; };
    Expect(WaitUntil(kept, 3000), "the font chosen is not kept");
  }
  void Color(Note* note) {
    HWND dialog = Dialog(L"#32770", L"Color");
    if (!dialog)
      return;
    Wander(note->window);
    if (Pick(3) == 0)
      return Leave(dialog, L"Cancel", true);
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
    POINT strip = {RectOf(note->window).left + 2, RectOf(note->window).top + 2};  // nothing covers it: it is in front
    bool painted = WaitUntil([&] { return Pixel(strip) == RGB(rgb[0], rgb[1], rgb[2]); }, 3000);
    Expect(painted, "the note is not in the colour chosen");
  }

  // The note mailed is the one active at Send. A mail cut short, or no mail program, is told.
  void Email() {
    HWND form = Dialog(L"PinaleafForm", L"E-mail Note");
    if (!form)
      return;
    const wchar_t* const kTo[] = {L"anna@example.com", L"Ben <ben@example.org>", L"chloe@example.net"};
    std::wstring to = kTo[Pick(3)];
    Type(to);
    Wander(nullptr);
    Note* mailed = Find(active_);
    bool noMailer = Pick(5) == 0;
    Log("send note ", mailed ? Index(mailed) : -1, " to ", Utf8(to), noMailer ? ", with no mail program" : "");
    RegisterMailLogger(!noMailer);
    Tap(VK_TAB);  // from the recipient to Send, which the keyboard presses
    Tap(VK_SPACE);
    if (std::find(recipients_.begin(), recipients_.end(), to) == recipients_.end())
      recipients_.push_back(to);
    std::string told;
    auto box = [&] { return FindWindowOf(pid_, L"#32770", L"E-mail Note"); };
    while (mailed && WaitUntil([&] { return box() || !MailLog().empty(); }, noMailer ? 3000 : 10000) && box()) {
      told += Answer(L"E-mail Note", VK_RETURN);
    }
    std::string whole = mailed ? Utf8(mailed->text) : "", body = Body(LastHanded());
    RegisterMailLogger();
    std::wstring stored;
    for (const std::wstring& recipient : recipients_)
      stored += L"," + recipient;
    Expect(Stored(L"EmailAddresses") == stored, "the recipients remembered are " + Utf8(Stored(L"EmailAddresses")));
    bool sent = noMailer ? told.find("No e-mail program is set up") != std::string::npos
                         : whole.starts_with(body) && (body == whole || told.find("left out") != std::string::npos);
    Expect(!mailed || sent, "the mail program was not handed the note, or the user not told why");
    Leave(form, L"Cancel", false);
  }

  // The note saved is the one the command began on, with what it holds when the dialog closes.
  void Save(Note* note) {
    HWND dialog = Dialog(L"#32770", L"Save As");
    if (!dialog)
      return;
    Wander(note->window);
    if (Pick(4) == 0)
      return Leave(dialog, L"Cancel", true);
    std::wstring path = Beside((L"walk" + std::to_wstring(Pick(3)) + L".txt").c_str());
    std::string before = Bytes(path);
    bool readOnly = !before.empty() && Pick(4) == 0;  // a file saved before, made read-only
    SetFileAttributesW(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
    Log("save note ", Index(note), " as ", Utf8(path), readOnly ? ", which is read-only" : "");
    Tap(VK_HOME);
    Keys({VK_SHIFT, VK_END});
    Type(path);
    Tap(VK_RETURN);
    Gone(dialog);
    if (readOnly)
      Answer(L"Save Note to File", VK_RETURN);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    Expect(Bytes(path) == (readOnly ? before : FileBytes(note->text)), "the file does not hold the note");
  }

  // Shows the reminder dialog; arms it when asked, then hides it.
  void Reminder(bool arm) {
    HWND dialog = Dialog(L"PinaleafForm", L"Reminder");
    if (!dialog)
      return;
    if (!arm)
      return Leave(dialog, L"Hide This Window", false);
    if (HWND set = FindWindowExW(dialog, nullptr, L"Button", L"Set Reminder"))
      Point(CentreOf(set), true);
    Point(CentreOf(FindWindowExW(dialog, nullptr, L"Button", L"Hide This Window")), true);
    Gone(dialog);
  }
  // The reminder rings on the active note, flashing; what the user then types into it stays.
  void Alarm() {
    Note* note = Reachable();
    if (!Enter(note))
      return;
    Log("a reminder for note ", Index(note));
    Keys({VK_CONTROL, 'R'});
    Reminder(true);
    if (auto at = InText(note->window))
      Point(*at);
    std::time_t due = std::time(nullptr) + 2;
    std::tm t = *std::localtime(&due);
    for (auto [key, value] : {std::pair{L"ReminderSeconds", t.tm_sec},
                              {L"ReminderMinutes", t.tm_min},
                              {L"ReminderHours", t.tm_hour},
                              {L"ReminderDay", t.tm_mday},
                              {L"ReminderMonth", t.tm_mon + 1},
                              {L"ReminderYear", t.tm_year + 1900}}) {
      Store(key, std::to_wstring(value));
    }
    bool rang = WaitUntil([&] { return TextOf(EditOf(note->window)) == L"Reminder!"; }, 5000);
    Expect(rang, "the active note did not ring");
    TypeInto(note, Words(1 + Pick(4)));
  }

  void Drag() {
    Note* note = &notes_[Pick(static_cast<int>(notes_.size()))];
    RECT rc = RectOf(note->window), edit = RectOf(EditOf(note->window));
    auto at = Visible(note->window, {rc.left, rc.top, rc.right, edit.top});
    if (!at)
      return;
    POINT by = {Pick(1280 - (rc.right - rc.left)) - rc.left, Pick(984 - (rc.bottom - rc.top)) - rc.top};
    Log("drag note ", Index(note), " by ", by.x, ",", by.y);
    harness::Drag(*at, {at->x + by.x, at->y + by.y});
    active_ = note->window;  // pressed
    Expect(RectOf(note->window).left == rc.left + by.x && RectOf(note->window).top == rc.top + by.y, "dropped");
  }
  // By the right band of the text area, its bottom band or their corner, sometimes past the opposite edge:
  // the edges held follow the pointer, down to an inch square; the others stay.
  void Resize() {
    Note* note = Reachable();
    if (!note)
      return;
    RECT rc = RectOf(note->window), edit = RectOf(EditOf(note->window));
    bool right = Pick(3) > 0, bottom = !right || Pick(2);
    POINT at = {right ? edit.right - 3 : (edit.left + edit.right) / 2,
                bottom ? edit.bottom - 3 : (edit.top + edit.bottom) / 2};
    if (WindowFromPoint(at) != EditOf(note->window))
      return;
    bool hard = resized_++ % 2 == 0;  // the first time too
    POINT to = {right && hard ? rc.left - 20 : at.x + Pick(161) - 80,
                bottom && hard ? rc.top - 20 : at.y + Pick(161) - 80};
    to = {std::clamp(to.x, 0L, 1279L), std::clamp(to.y, 0L, 983L)};
    Log(hard ? "resize hard" : "resize", " note ", Index(note), " from ", at.x, ",", at.y, " to ", to.x, ",", to.y);
    harness::Drag(at, to);
    active_ = note->window;
    RECT want = {rc.left, rc.top, right ? std::max(rc.right + to.x - at.x, rc.left + kInch) : rc.right,
                 bottom ? std::max(rc.bottom + to.y - at.y, rc.top + kInch) : rc.bottom};
    RECT now = RectOf(note->window);
    Expect(EqualRect(&now, &want) && RectOf(EditOf(note->window)).right == now.right, "the note is not as resized");
  }

  // After every step: alive, no message box the model does not expect, each
  // note holding what the model says, as opaque, in its band.
  bool Check() {
    Idle();
    if (failed_ || !Expect(program_->ExitCode(0) == STILL_ACTIVE, "the program ended"))
      return false;
    if (HWND box = FindWindowOf(pid_, L"#32770"))
      return Expect(false, "a message box is open: " + Utf8(TextOf(box)));
    if (!Expect(program_->Notes().size() == notes_.size(), "another number of notes"))
      return false;
    for (const Note& note : notes_) {
      std::wstring text;  // Wine's text box may take seconds over a long text in a large font
      WaitUntil([&] { return (text = TextOf(EditOf(note.window))) == note.text; }, 10000);
      // Where they part, and what follows there.
      size_t from = std::mismatch(text.begin(), text.end(), note.text.begin(), note.text.end()).first - text.begin();
      std::string differ = " \"" + Utf8(text.substr(from, 40)) + "\" from unit " + std::to_string(from);
      BYTE alpha = 0;
      GetLayeredWindowAttributes(note.window, nullptr, &alpha, nullptr);
      bool topmost = GetWindowLongW(note.window, GWL_EXSTYLE) & WS_EX_TOPMOST;
      std::string name = "note " + std::to_string(Index(&note));
      if (!Expect(text == note.text, name + " holds" + differ) || !Expect(alpha == note.alpha, name + "'s alpha") ||
          !Expect(topmost == onTop_, name + " is not in the band Always On Top says")) {
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
  int alpha_ = 200;        // the stored one
  std::wstring clipboard_;
  std::vector<std::wstring> recipients_;
  bool onTop_ = true, failed_ = false;
  int resized_ = 0;
};

unsigned FromEnvironment(const char* name, unsigned otherwise) {
  const char* value = std::getenv(name);
  return value && *value ? std::strtoul(value, nullptr, 10) : otherwise;
}

TEST(Walk, NothingTheUserTypesIsLostWhateverTheyDo) {
  unsigned seed = FromEnvironment("PINALEAF_WALK_SEED", 22);
  Walk walk(seed);
  bool held = walk.Run(static_cast<int>(FromEnvironment("PINALEAF_WALK_STEPS", 36)));
  EXPECT_TRUE(held) << "replay with PINALEAF_WALK_SEED=" << seed << ", the steps as logged above";
}

}  // namespace
