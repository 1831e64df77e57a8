#include "walk.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <iostream>
#include <map>
#include <numeric>
#include <random>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

namespace walk {
namespace {

using Point = pair<int, int>;

// The popup as the user reads it, the check mark on Always On Top.
const string kPopup =
    "Cut\tCtrl+X\nCopy\tCtrl+C\nPaste\tCtrl+V\nSelect All\tCtrl+A\n-\nSet Reminder\tCtrl+R\n-\n"
    "Create New Note\tCtrl+N\nDelete This Note\tCtrl+D\n-\nFont...\tCtrl+F\nColor...\tCtrl+O\n-\n"
    "Email Note\tCtrl+E\nSave Note to File\tCtrl+S\n-\nInsert Date\tCtrl+F1\nInsert Time\tCtrl+F2\n-\n"
    "Defeault Translucency\nIncrease Translucency\nDecrease Translucency\n*Always On Top\n-\n"
    "Email Author Suggestions / Bugs\nGoto Pinaleaf.example\nQuit (Remove All Notes)\tCtrl+Q\n";
// The entries in their order, separators left out; the first thirteen and Quit have Ctrl keys.
enum { kCut, kCopy, kPaste, kSelectAll, kReminder, kNew, kDelete, kFont, kColor, kEmail, kSave, kDate, kTime };
enum { kDefaultAlpha = 13, kMoreTranslucent, kLessTranslucent, kOnTop, kAuthor, kWebSite, kQuit, kEntries };
const char* const kKeys[] = {"x", "c", "v", "a", "r", "n", "d", "f", "o", "e", "s", "F1", "F2", "q"};
// The other kinds of step, after the entries from the popup and by their keys.
enum { kTyping = kEntries + 14, kPasted, kDragged, kAlarm, kAltF4, kDragInText, kLongName, kRound };
// The sixteen colours of the font dialog's list, as 0x00BBGGRR.
const unsigned kColours[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080,
                             0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
const unsigned kYellow = 0xC0FFFF;
// Pieces of what users write: several scripts, an emoji, a line end.
const char* const kPieces[] = {"milk ", "Très ", "Grüße ", "Привет ",      "日本語",
                               "😀",     "שלום ", "& 50% ", "Sam: a+b=c? ", "\n"};
const char* const kMoment[] = {"ReminderDay",   "ReminderMonth",   "ReminderYear",
                               "ReminderHours", "ReminderMinutes", "ReminderSeconds"};

// A local time as the reminder's six keys hold it (the date given, else its own).
string Moment(time_t at, const string& date = "") {
  tm t = *localtime(&at);
  return (date.empty() ? Printed("%d %d %d", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900) : date) +
         Printed(" %d %d %d", t.tm_hour, t.tm_min, t.tm_sec);
}
// Line ends as the model keeps them: CR LF and CR are one "\n".
string OneLineEnd(const string& text) {
  return regex_replace(text, regex("\r\n?"), "\n");
}
// Whether `ready` comes true within `ms`.
bool Soon(const function<bool()>& ready, int ms = 10000) {
  for (int waited = 0; !ready(); waited += 20) {
    if (waited > ms)
      return false;
    this_thread::sleep_for(chrono::milliseconds(20));
  }
  return true;
}

// The window or note of that number in a list; none.
template <class T>
T* In(vector<T>& list, Id id) {
  auto it = ranges::find_if(list, [&](const T& t) { return t.id == id; });
  return it == list.end() ? nullptr : &*it;
}

struct Box {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const Box&) const = default;
};
istream& operator>>(istream& in, Box& b) {
  return in >> b.x >> b.y >> b.w >> b.h;
}
// A window as the description shows it; for a note, its text area and what it shows.
struct Window {
  Id id = 0;
  Box box, text;
  int alpha = 0, topmost = 0;
  string title, shown;
  bool ours = true;
  // The program's own window other than a note, whose title starts so.
  bool Titled(const string& start) const {
    return ours && shown.empty() && title.starts_with(start);
  }
};
// What the screen shows.
struct Seen {
  vector<Window> windows;  // the front one first
  Id keyboard = 0;
  int inText = 0;
  string pointer, popup, calendar;
  Box popupBox, calendarBox;
  Window* Of(Id id) {
    return In(windows, id);
  }
  // The note on top at a point; 0 when another window is.
  Id At(Point at) const {
    for (const Window& w : windows) {
      Box b = w.box;
      if (at.first >= b.x && at.second >= b.y && at.first < b.x + b.w && at.second < b.y + b.h)
        return w.shown.empty() ? 0 : w.id;
    }
    return 0;
  }
  long Shown(const string& title) const {
    return ranges::count_if(windows, [&](auto& w) { return w.Titled(title); });
  }
};

Seen Parse(const string& description) {
  Seen seen;
  istringstream in(description);
  auto bytes = [&] {
    size_t count = 0;
    in >> count;
    in.ignore();
    string text(count, '\0');
    in.read(text.data(), streamsize(count));
    return text;
  };
  for (string word; in >> word;) {
    Window w{.ours = word == "window"}, *note = nullptr;
    if (word == "window" || word == "other") {
      in >> w.id >> w.box >> w.alpha >> w.topmost;
      w.title = bytes();
      seen.windows.push_back(w);
    }
    if (word == "note" && in >> w.id >> w.text && (note = seen.Of(w.id)))
      tie(note->text, note->shown) = pair(w.text, bytes());
    if (word == "keyboard")
      in >> seen.keyboard >> seen.inText;
    if (word == "pointer")
      in >> seen.pointer;
    if (word == "popup" && in >> seen.popupBox)
      seen.popup = bytes();
    if (word == "calendar" && in >> seen.calendarBox)
      getline(in >> ws, seen.calendar);
  }
  return seen;
}

// How a note's text is drawn: its height in pixels, bold, italic, underline,
// strikeout, its colour and the note's, the face.
struct Style {
  int px = 12, bold = 0, italic = 0, underline = 0, strike = 0;
  unsigned fore = 0, back = kYellow;
  string face = "Arial";
};
struct Note {
  Id id;
  string text;
  int alpha;
  Style s;
  // What a description shows of it.
  string Shown() const {
    return Printed("%d %d %d %d %d %u %u ", s.px, s.bold, s.italic, s.underline, s.strike, s.fore, s.back) + s.face +
           "\n" + text;
  }
};

class Walker {
 public:
  explicit Walker(unsigned seed) : rng_(seed) {
  }

  // The kinds of step come in rounds, each kind once a round in an order of
  // the seed's; each step is checked as soon as it is taken.
  bool Run(int steps) {
    Launch();
    vector<int> kinds(kRound);
    iota(kinds.begin(), kinds.end(), 0);
    for (int step = 0; step < steps && Check(); ++step) {
      if (step % kRound == 0)
        ranges::shuffle(kinds, rng_);
      int kind = kinds[step % kRound];
      clog << Printed("  step %d, kind %d\n", step, kind);
      // Translucency again and again reaches its limit.
      int times = (kind == kMoreTranslucent || kind == kLessTranslucent) && Pick(2) ? 7 : 1;
      for (int i = 0; i < times; ++i) {
        if (kind < kTyping)  // the fourteenth key is Quit's
          Command(kind == kTyping - 1 ? kQuit : kind % kEntries, kind >= kEntries);
        else
          Other(kind);
      }
    }
    ending_ = true;
    if (Check())
      Command(kQuit, false);
    return !failed_;
  }

 private:
  bool Expect(bool held, const string& why) {
    if (!held && !failed_)
      clog << "  FAILED: " << why << "\n  The screen:\n" << Describe() << "\n";
    failed_ = failed_ || !held;
    return held;
  }
  bool Wait(const function<bool()>& ready, const string& why) {
    return Expect(Soon(ready), why);
  }
  int Pick(int n) {
    return uniform_int_distribution<int>(0, n - 1)(rng_);
  }
  long Index(const Note* note) const {
    return note - notes_.data();
  }
  Note* Find(Id id) {
    return In(notes_, id);
  }
  string Words(int pieces) {
    string text;
    for (int i = 0; i < pieces; ++i)
      text += kPieces[Pick(size(kPieces))];
    return text;
  }
  Seen See() {
    return Parse(Describe());
  }
  // What a note's text area holds, as seen now or then.
  string Holds(const Note& note) {
    return Holds(See(), note);
  }
  static string Holds(Seen seen, const Note& note) {
    string shown = seen.Of(note.id) ? seen.Of(note.id)->shown : "";
    return shown.substr(shown.find('\n') + 1);  // all of it with no line end: none
  }
  // The window that has the keyboard, when it is the program's, of this title.
  Id Front(const string& title) {
    Seen seen = See();
    Window* w = seen.Of(seen.keyboard);
    return w && w->Titled(title) ? w->id : 0;
  }

  // The program as a user starts it (at first on a fresh account): one note
  // at its place, drawn in the style stored.
  void Launch() {
    Start(notes_.empty());
    Window note;
    Wait(
        [&] {
          for (const Window& w : See().windows)
            note = w.shown.empty() ? note : w;
          return note.box == Box{135, 137, 133, 157};
        },
        "no note at its place");
    notes_ = {{note.id, "", alpha_, font_}};
    keyboard_ = note.id;
    dialog_ = {};
    armed_ = false;
    clipboard_ = OneLineEnd(Clipboard());  // which may have gone with the program
  }
  void Restart() {
    Wait([&] { return !Running(); }, "the program did not end");
    if (!ending_)
      Launch();
  }

  // After every step, once the program has done what it does: running, no
  // window the model does not expect, each note holding and showing what
  // the model says, the keyboard in the note it says, and the clipboard,
  // the store, the files and the shell as it says.
  bool Check() {
    string why;
    if (failed_ || !Expect(Running(), "the program ended"))
      return false;
    Soon([&] { return (why = Differences()).empty(); });
    return Expect(why.empty(), why);
  }
  string Differences() {
    Seen seen = See();
    string why;
    // Whether it holds other than it should, from which byte on.
    auto differs = [&](const string& what, const string& is, const string& want) {
      size_t from = mismatch(is.begin(), is.end(), want.begin(), want.end()).first - is.begin();
      why = what + Printed(" holds from byte %zu \"", from) + is.substr(from, 40) + "\", not \"" +
            want.substr(from, 40) + "\"";
      return is != want;
    };
    if (seen.Shown("") || !seen.popup.empty() ||
        ranges::count_if(seen.windows, [](auto& w) { return !w.shown.empty(); }) != ssize(notes_))
      return "another number of notes or another window shows";
    for (const Note& note : notes_) {
      Window w = seen.Of(note.id) ? *seen.Of(note.id) : Window();
      if (differs(Printed("note %ld at its alpha and on top or not", Index(&note)),
                  Printed("%d %d ", w.alpha, w.topmost) + w.shown,
                  Printed("%d %d ", note.alpha, onTop_) + note.Shown()))
        return why;
    }
    if (!seen.inText || !Find(seen.keyboard) || (keyboard_ && seen.keyboard != keyboard_))
      return "the keyboard is not in the note it should be";
    if (differs("the clipboard", OneLineEnd(Clipboard()), clipboard_) || differs("the shell", Handed(), handed_))
      return why;
    for (auto& [key, value] : stored_) {
      if (differs(key, Stored(key), value))
        return why;
    }
    for (auto& [name, text] : files_) {
      if (differs(name, File(name), Saved(text)))
        return why;
    }
    return "";
  }

  // A point of a note's text area (from a tenth to four fifths of it, from
  // its top or its bottom, or of the strip above) where it is on top; none
  // (-1) when it is covered there.
  Point Visible(const Note* note, bool strip = false, bool fromBottom = false) {
    Seen seen = See();
    Window* w = note ? seen.Of(note->id) : nullptr;
    Box a = w ? strip ? Box{w->box.x, w->box.y, w->box.w, w->text.y - w->box.y} : w->text : Box();
    for (int j = 0, i = fromBottom ? 35 : 0; w && j < 36; ++j, i = fromBottom ? 35 - j : j) {
      Point at = {a.x + a.w * (10 + 14 * (i % 6)) / 100, a.y + a.h * (10 + 14 * (i / 6)) / 100};
      if (seen.At(at) == note->id)
        return at;
    }
    return {-1, -1};
  }
  // A note whose text can be clicked, picked at random.
  Note* Reachable(Id besides = 0) {
    vector<Note*> open;
    for (Note& note : notes_) {
      if (note.id != besides && Visible(&note).first >= 0)
        open.push_back(&note);
    }
    return open.empty() ? nullptr : open[Pick(ssize(open))];
  }
  // Into a note's text, the caret at its end: the note is the active one.
  bool Enter(Note* note) {
    auto [x, y] = Visible(note);
    if (x >= 0) {
      Click(x, y);  // which a window manager may take a moment to pass on
      Wait([&] { return See().keyboard == note->id; }, "the keyboard did not come with the click");
      Key("End", 2);
      active_ = keyboard_ = note->id;
    }
    return x >= 0;
  }
  // Keys split by "|": "=" and text typed, else a key's name, after "A+"
  // with Alt or "S+" with Shift, and "*" and how often.
  void Keys(const string& script) {
    istringstream keys(script);
    smatch part;
    for (string key; getline(keys, key, '|');) {
      if (key[0] == '=')
        Type(key.substr(1));
      else if (regex_match(key, part, regex("([AS]\\+)?([^*]+)\\*?(\\d*)")))
        Key(part[2], part[1] == "A+" ? 4 : part[1] == "S+", part[3].length() ? stoi(part[3]) : 1);
    }
  }
  // A dialog or message box that came, left by Enter once filled in, or by
  // Esc (No, "n", in a question) or its close box; that it goes is checked
  // with the rest.
  bool Answer(const string& title, int way, const string& fill = "") {
    Id dialog = 0;
    if (!Wait([&] { return (dialog = Front(title)) != 0; }, "no window " + title))
      return false;
    if (way == 0)
      Keys(fill);
    if (way < 2)
      Key(way == 0 ? "Return" : fill.empty() ? "n" : "Escape");
    else
      CloseBox(dialog);
    return true;
  }

  // A popup entry, from the popup or by its Ctrl key, on a note reached by
  // the mouse, with the caret at the end or the start of its text, or all of
  // it selected.
  void Command(int entry, bool byKey) {
    Note* note = Reachable();
    if (!Enter(note))
      return;
    Point at = Visible(note, false, true);                 // the popup opens away from where the text was clicked
    int caret = Pick(3), way = Pick(3) ? 0 : 1 + Pick(2);  // the caret at the end, at the start, all selected
    if (caret > 0)
      Key(caret == 1 ? "Home" : "a", 2);
    string selected = caret == 2 ? note->text : "";
    time_t before = time(nullptr);
    clog << "  " << Caption(entry) << (byKey ? " by its key\n" : "\n");
    if (byKey)
      Key(kKeys[min(entry, 13)], 2);
    else if (!Popup(entry, at))
      return;
    bool done = !byKey || !selected.empty();  // the text box's own keys do nothing with nothing selected
    if ((entry == kCut || entry == kCopy) && done)
      clipboard_ = selected;
    if (entry == kCut && done)
      note->text = note->text.substr(selected.size());
    if (entry == kPaste)
      note->text = caret == 2 ? clipboard_ : caret == 1 ? clipboard_ + note->text : note->text + clipboard_;
    if (entry == kSelectAll)  // then copied, to see what is selected
      Key("c", 2);
    if (entry == kSelectAll && !note->text.empty())
      clipboard_ = note->text;
    if (entry == kReminder)
      Reminder(*note, before);
    if (entry == kNew)
      New(*note);
    if (entry == kDelete)
      Close(*note);
    if (entry == kFont || entry == kColor || entry == kSave)
      Dialog(*note, entry, way);
    if (entry == kEmail)
      Email();
    if (entry == kDate || entry == kTime)
      Inserted(*note, entry == kDate, caret > 0, before);
    // The alpha all notes share steps by 20 between 80 and 254; the note acted on takes it.
    const int kAlphas[] = {200, max(alpha_, 100) - 20, min(alpha_, 234) + 20};
    if (entry >= kDefaultAlpha && entry <= kLessTranslucent) {
      note->alpha = alpha_ = kAlphas[entry - kDefaultAlpha];
      stored_["Translucency"] = to_string(alpha_);
    }
    if (entry == kOnTop)
      stored_["AlwaysOnTop"] = (onTop_ = !onTop_) ? "True" : "False";
    if (entry == kAuthor || entry == kWebSite)
      handed_ = entry == kAuthor ? "mailto:support@pinaleaf.example" : "https://www.pinaleaf.example/";
    if (entry == kQuit && !byKey)
      Restart();
  }

  // Opens the popup, sees it as the user reads it, chooses the entry by its caption.
  bool Popup(int entry, Point at) {
    Click(at.first, at.second, true);
    Seen seen;
    Wait([&] { return !(seen = See()).popup.empty(); }, "no popup");
    string want = kPopup, caption = Caption(entry);
    if (!onTop_)
      want.erase(want.find("*Always"), 1);
    if (!Expect(seen.popup == want, "the popup reads:\n" + seen.popup))
      return false;
    // Off it, so that its selection stays (it opens beside the pointer, or above it near the screen's edge).
    Box popup = seen.popupBox;
    Move(popup.x > 10 ? popup.x - 5 : popup.x + popup.w + 5, popup.y + 5);
    int index = 0;
    istringstream lines(seen.popup);
    for (string line; getline(lines, line) && line.find(caption) > 1;)
      index += line != "-";
    Key("Down", 0, index + 1);
    if (entry <= kPaste && Pick(3) == 0)  // which the program waits out; the text box's own keys do not
      HoldClipboard();
    Key("Return");
    return true;
  }
  static string Caption(int entry) {
    istringstream lines(kPopup);
    string line;
    for (int i = 0; i <= entry; i += line != "-")
      getline(lines, line);
    return line.substr(line[0] == '*', line.find('\t') - (line[0] == '*'));
  }

  // The font, colour and save dialogs, filled in by the keys they share on
  // both platforms, each list from its top. The chosen font is drawn and
  // kept for new notes, the colour is the note's, and the file holds what
  // the note holds.
  void Dialog(Note& note, int entry, int way) {
    const int kSizes[] = {8, 11, 14, 20};
    int style = Pick(3), size = kSizes[Pick(4)], colour = Pick(16), underline = Pick(2), strike = Pick(2);
    int red = Pick(256), green = Pick(256), blue = Pick(256);
    string face = Pick(2) ? "Liberation Sans" : "Liberation Serif", name = Printed("walk%d.txt", Pick(3));
    way = entry == kSave && !saves_++ ? 0 : way;  // the first name typed without its ending, which the dialog adds
    if (entry == kFont && fonts_ < 2) {  // italic, then bold italic, underlined, not struck out: each flag apart
      way = 0;
      style = ++fonts_;
      underline = !dialog_.underline;
      strike = dialog_.strike;
    }
    // The colours from the top, past a custom one below them (Linux).
    string fill = Printed("A+u*%d|A+k*%d|A+f|%s%s|A+y|%s|A+s|=%d|A+c|Up*16|Down*%d", underline, strike, given.font[0],
                          face.c_str(), given.font[style + 1], size, colour);
    if (entry == kColor)
      fill = Printed("A+d|A+r|=%d|Tab|=%d|Tab|=%d|Tab", red, green, blue);
    if (entry == kSave)
      fill = "Home|S+End|=" + given.folder + name.substr(0, saves_ == 1 || Pick(2) ? 5 : 9);
    if (!Answer(given.titles[min(entry - kFont, 2)], way, fill) || way)
      return;
    if (entry == kColor)
      note.s.back = static_cast<unsigned>(red | green << 8 | blue << 16);
    if (entry == kSave)
      files_[name] = note.text;
    if (entry != kFont)
      return;
    note.s = {(size * 4 + 1) / 3,  // points at 96 dpi, rounded
              style / 2,          style > 0, underline != dialog_.underline, strike != dialog_.strike, kColours[colour],
              note.s.back,        face};
    font_ = dialog_ = note.s;
    font_.back = kYellow;
    const char* const kFlags[] = {"False", "True"};
    stored_["Font"] = face;
    stored_["Size"] = to_string(size);
    stored_["TextColor"] = to_string(font_.fore);
    stored_["Bold"] = kFlags[font_.bold];
    stored_["Italic"] = kFlags[font_.italic];
    stored_["Underline"] = kFlags[font_.underline];
    stored_["Strikethru"] = kFlags[font_.strike];
  }

  // The date or the time at the caret, as the program writes it: with the
  // day and the last digits of the year, or the hour, minutes and seconds.
  void Inserted(Note& note, bool date, bool atStart, time_t from) {
    string shown, inserted;
    if (Wait([&] { return (shown = Holds(note)) != note.text; }, "nothing was inserted"))
      inserted = atStart ? shown.substr(0, shown.size() - note.text.size()) : shown.substr(note.text.size());
    for (time_t at = from; at <= time(nullptr); ++at) {
      tm t = *localtime(&at);
      bool written =
          date ? inserted.find(to_string(t.tm_mday)) != string::npos &&
                     inserted.find(to_string(t.tm_year % 100)) != string::npos
               : regex_search(inserted, regex(Printed("(^|[^:\\d])\\d\\d?:%02d:%02d([^:\\d]|$)", t.tm_min, t.tm_sec)));
      note.text = written ? shown : note.text;
    }
  }
  // A new note over the active one, in its style, at the stored alpha, with the keyboard.
  void New(const Note& from) {
    Seen seen;
    if (Wait([&] { return (seen = See()).inText && !Find(seen.keyboard); }, "no new note"))
      notes_.push_back({seen.keyboard, "", alpha_, from.s});
    notes_.back().s.back = kYellow;
    keyboard_ = seen.keyboard;
  }
  // Closed, after "Delete This Note" or Alt+F4: the last note asks first,
  // and Enter, its default answer, ends the program. The keyboard stays in a note.
  void Close(const Note& note) {
    int yes = Pick(2);
    keyboard_ = 0;
    if (notes_.size() == 1)
      Answer("Quit?", 1 - yes);
    if (notes_.size() == 1 && yes)
      Restart();
    else if (notes_.size() > 1) {
      notes_.erase(notes_.begin() + Index(&note));
      TypedAtOnce("milk ");
    }
  }
  // Typed straight after a note closed, text reaches the note that takes
  // the keyboard, where its caret was (in place of its selection).
  void TypedAtOnce(const string& typed) {
    Type(typed);
    Wait(
        [&] {
          Seen seen = See();
          for (Note& note : notes_) {
            string shown = Holds(seen, note), rest = shown;
            rest.erase(mismatch(shown.begin(), shown.end(), note.text.begin(), note.text.end()).first - shown.begin(),
                       typed.size());
            if ((shown.size() == note.text.size() + typed.size() && rest == note.text) || shown == typed) {
              note.text = shown;
              return true;
            }
          }
          return false;
        },
        "what was typed straight after a note closed went elsewhere");
  }

  // The dialog, shown afresh, names the active note and offers ten minutes
  // ahead, on the day the user may pick on the calendar; armed, it stays
  // when closed, says so when shown again, and is disarmed there. Its
  // buttons where the user sees them.
  void Reminder(const Note& note, time_t before) {
    string caption = note.text.empty() ? "Reminder [empty note]" : "Reminder [" + note.text + "]", stored;
    Id dialog = 0;
    if (!Wait([&] { return dialog = Front(armed_ ? "Reminder [Enabled]" : caption); }, "no dialog " + caption))
      return;
    int hide = Pick(2), pick = Pick(2) && !armed_, x = Pick(100), y = Pick(35);
    Seen seen = See();
    Box c = seen.calendarBox, b = seen.Of(dialog)->box;  // the calendar's days
    // Across the middle of the screen, and a little above it.
    Expect(abs(b.x + b.w / 2 - 640) < 40 && abs(b.y + b.h / 2 - 450) < 40, Printed("the dialog at %d,%d", b.x, b.y));
    if (pick)
      Click(c.x + c.w * (x + 1) / 102, c.y + c.h * (40 + y) / 100);
    string day = pick ? See().calendar : "";
    Click(b.x + 76, b.y + 302);  // "Set Reminder", or "Disable Reminder"
    Wait([&] { return Front(armed_ ? "Reminder [Disabled]" : "Reminder [Enabled]"); }, "not armed or disarmed");
    for (const char* key : kMoment)
      stored += (stored.empty() ? "" : " ") + Stored(key);
    bool offered = armed_;
    for (time_t at = before; at <= time(nullptr); ++at)
      offered = offered || stored == Moment(at + 600, day);
    Expect(offered, "armed for " + stored + ", not " + Moment(before + 600, day) + ": ten minutes on");
    armed_ = !armed_;
    if (armed_ && hide)
      Click(b.x + 216, b.y + 302);  // "Hide This Window"
    else
      CloseBox(dialog);
    keyboard_ = 0;
  }
  // The reminder rings on the active note, which shows "Reminder!"; what the
  // user then types goes into their own text.
  void Alarm(Note* note) {
    time_t before = time(nullptr);
    if (!armed_ && Enter(note)) {
      Key("r", 2);
      Reminder(*note, before);
    }
    if (!Enter(note))
      return;
    istringstream due(Moment(time(nullptr) + 2));  // as edited by hand
    for (const char* key : kMoment) {
      string value;
      due >> value;
      Store(key, value);
    }
    Wait([&] { return Holds(*note) == "Reminder!"; }, "the active note did not ring");
    string words = Words(1 + Pick(4));
    Type(words);
    note->text += words;
  }

  // The note mailed is the one active at Send, the pointer having crossed
  // another: the mail program is handed its text, whole or with the user
  // told what is left out. Recipients are remembered.
  void Email() {
    const char* const kTo[] = {"anna@example.com", "Ben <ben@example.org>", "chloe@example.net"};
    string to = kTo[Pick(3)], body;
    Note* mailed = Reachable(active_);
    Point at = Visible(mailed);
    int cancel = Pick(2);
    if (!Wait([&] { return Front("E-mail Note"); }, "no e-mail form"))
      return;
    Type(to);
    if (mailed)
      Move(at.first, at.second);
    mailed = mailed ? mailed : Find(active_);
    Key("Tab");  // from the recipient to Send
    Key("space");
    bool told =
        Soon([&] { return See().Shown("E-mail Note") > 1 || Handed() != handed_; }) && See().Shown("E-mail Note") > 1;
    if (told)
      Key("Return");
    Soon([&] { return Handed() != handed_; });
    handed_ = Handed();
    for (size_t i = handed_.find("&Body=") + 6; i > 5 && i < handed_.size(); ++i) {  // percent-decoded
      bool escaped = handed_[i] == '%';
      body += escaped ? char(stoi(handed_.substr(i + 1, 2), nullptr, 16)) : handed_[i];
      i += escaped ? 2 : 0;
    }
    body = OneLineEnd(body);
    Expect(mailed->text.starts_with(body) && (body == mailed->text || told), "mailed: " + handed_.substr(0, 80));
    string& list = stored_["EmailAddresses"];
    list += (list + ",").find("," + to + ",") == string::npos ? "," + to : "";
    Key("Tab", 0, cancel);  // to Cancel
    if (cancel)
      Key("space");
    else
      CloseBox(Front("E-mail Note"));
    keyboard_ = 0;
  }

  // The other kinds of step.
  void Other(int kind) {
    Note* note = Reachable();
    Point at = Visible(note);
    if (at.first < 0)
      return;
    if (kind == kTyping && Enter(note)) {  // the menu key and Shift+F10 open no menu there
      string words = Words(1 + Pick(12));
      Key("Menu");
      Key("F10", 1);
      Type(words);
      note->text += words;
    }
    if (kind == kPasted) {  // a paste of any length, its line ends as another program wrote them
      const char* const kEnds[] = {"\r\n", "\r", "\n"};
      string pasted;
      for (int length = 16 << Pick(10); ssize(pasted) < length;) {
        for (char c : Words(1 + Pick(8)) + "\n")
          pasted += c == '\n' ? kEnds[given.linux ? Pick(3) : 0] : string(1, c);
      }
      SetClipboard(pasted);
      clipboard_ = OneLineEnd(pasted);
      Command(kPaste, Pick(2));
    }
    if (kind == kDragged)
      DragByEachZone(*note);
    if (kind == kAlarm)
      Alarm(note);
    if (kind == kAltF4 && Enter(note)) {  // as "Delete This Note"
      Key("F4", 4);
      Close(*note);
    }
    if (kind == kDragInText && Enter(note)) {  // a drag in selected text only selects, into another note or not
      Point to = Visible(Reachable());
      Key("a", 2);
      Drag(at.first, at.second, to.first < 0 ? at.first : to.first, to.first < 0 ? at.second : to.second);
    }
    // A name longer than the system allows never ends the program: Wine's
    // dialog would, so there it is refused with a word and the dialog stays.
    if (kind == kLongName && Enter(note)) {
      Key("s", 2);
      if (Wait([&] { return Front(given.titles[2]); }, "no save dialog"))
        Keys("Home|S+End|=C:\\" + string(270, 'a') + ".txt|Return");
      if (!given.linux)
        Answer(string(given.titles[2]) +
                   "\nThis file name is too long. With its folder and its ending it may have at most 259 characters.",
               0);
      for (int i = 0; i < 3 && Soon([&] { return See().Shown("") > 0; }, 2000); ++i)
        Key("Escape");
    }
  }

  // The pointer over each zone: the program's hand on the strip, the I-beam
  // over the text, size NW-SE where the right and bottom 5 % bands meet, the
  // I-beam in the bottom band alone; at the first pixels inside the bands,
  // and the last outside. Then dragged by the strip, by the right band of
  // the text area, its bottom band and their corner: the edges held follow
  // the pointer, down to an inch square; the others stay, and the text area
  // fits.
  void DragByEachZone(Note& note) {
    Window w = *See().Of(note.id);
    Box b = w.box, t = w.text;
    int inX = t.x + t.w * 95 / 100 + 1, inY = t.y + t.h * 95 / 100 + 1;
    const tuple<int, int, const char*> kZones[] = {{b.x + b.w / 2, b.y + 4, "custom"},
                                                   {t.x + t.w / 2, t.y + t.h / 2, "ibeam"},
                                                   {inX, inY, "nwse"},
                                                   {inX - 1, t.y + t.h - 2, "ibeam"}};
    for (auto [x, y, shape] : kZones) {
      if (See().At({x, y}) != note.id)
        continue;
      Move(x, y);
      string want = shape;
      Wait([&] { return See().pointer == want; }, "the pointer is not " + want);
      active_ = y >= t.y ? note.id : active_;
    }
    for (int i = 0, first = Pick(4); i < 4; ++i) {  // each zone in turn
      int zone = (first + i) % 4, right = zone & 1, bottom = zone / 2, dx = Pick(400) - 240, dy = Pick(400) - 240;
      w = *See().Of(note.id);
      tie(b, t) = pair(w.box, w.text);
      Point from = zone ? Point(right ? t.x + t.w - 3 : t.x + t.w / 2, bottom ? t.y + t.h - 3 : t.y + t.h / 2)
                        : Visible(&note, true);
      // Each edge kept 25 pixels inside the work area, where no window manager holds it back.
      dx = clamp(dx, zone ? -b.w : 25 - b.x, 1255 - b.x - b.w);
      dy = clamp(dy, zone ? -b.h : 25 - b.y, 959 - b.y - b.h);
      Box want = zone ? Box{b.x, b.y, right ? max(b.w + dx, 96) : b.w, bottom ? max(b.h + dy, 96) : b.h}
                      : Box{b.x + dx, b.y + dy, b.w, b.h};
      if (See().At(from) != note.id)
        continue;
      Drag(from.first, from.second, from.first + dx, from.second + dy);
      active_ = keyboard_ = note.id;  // the press brought it to the front
      Wait(
          [&] {
            w = *See().Of(note.id);
            return w.box == want && w.text.w == want.w;
          },
          "not as dragged");
    }
  }

  mt19937 rng_;
  vector<Note> notes_;
  Style font_, dialog_;        // the style stored for new notes; the font dialog's last answer
  Id active_ = 0;              // the note the program takes as active
  Id keyboard_ = 0;            // the note whose text has the keyboard; 0: any note
  int alpha_ = 200;            // the stored one
  int fonts_ = 0, saves_ = 0;  // fonts chosen and saves begun so far
  bool onTop_ = true, armed_ = false, failed_ = false, ending_ = false;
  string clipboard_, handed_;
  map<string, string> stored_, files_;  // what the store holds; what each file was saved with
};

}  // namespace

bool Walk() {
  const char *seed = getenv("PINALEAF_WALK_SEED"), *steps = getenv("PINALEAF_WALK_STEPS");
  unsigned from = seed && *seed ? stoul(seed) : 22;
  bool held = Walker(from).Run(steps && *steps ? stoi(steps) : kRound);
  clog << "  walked from seed " << from << "\n";
  return held;
}

}  // namespace walk
