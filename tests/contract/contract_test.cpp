// What the program relies on from the platform, written once and run on
// each: the simulated platform on the host, the Win32 layer under Wine and
// the Qt layer under Xvfb. Where they disagree, the simulated platform is
// wrong.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/platform.h"
#include "probe.h"

namespace {

using namespace platform;
using namespace std;

struct Recorder : EventSink {
  string events;
  function<void()> onUnload = [] {}, onTimer = [] {};
  bool closable = true;
  void OnResize(Form) override {
    events += "resize ";
  }
  void OnGotFocus(Form) override {
    events += "focus ";
  }
  void OnChange(Control) override {
    events += "change ";
  }
  bool OnCloseRequest(Form) override {
    return closable;
  }
  void OnTimer(Form) override {
    events += "tick ";
    onTimer();
  }
  void OnUnload(Form) override {
    events += "unload ";
    onUnload();
  }
};

class Contract : public ::testing::Test {
 protected:
  void SetUp() override {
    probe::Reset();
  }
  void TearDown() override {
    probe::Reset();
  }
  // A form with a text box, as a note is made; shown when asked.
  Form Note(const shared_ptr<Recorder>& sink, Rect rect = {1500, 1500, 3000, 2000}) {
    Form form = CreateForm({.caption = u"Form1", .rect = rect, .backColor = 0x00C0FFFF}, sink);
    text_ = CreateTextBox(form, {.rect = {0, 360, 3000, 1500}});
    return form;
  }
  Form Dialog(const shared_ptr<Recorder>& sink) {
    return CreateForm({.kind = FormKind::Dialog, .caption = u"Dialog", .rect = {3000, 3000, 4000, 2000}}, sink);
  }
  // The active form, the window with the focus and our shown forms from
  // the top, by the names given them ("-": none, or one not named).
  string Seen() {
    auto name = [&](Window window) {
      for (auto& [named, as] : names_) {
        if (named == window)
          return as;
      }
      return string("-");
    };
    string seen = name(probe::ActiveForm()) + " " + name(GetFocus()) + " ";
    for (Form form : probe::ZOrder())
      seen += name(form);
    return seen;
  }
  vector<pair<Window, string>> names_;
  TextBox text_;  // of the last note made
  shared_ptr<Recorder> a_ = make_shared<Recorder>(), b_ = make_shared<Recorder>();
};

TEST_F(Contract, FormsLoadInOrderHearOfTheirFirstShowingAndUnloadOnce) {
  Form a = Note(a_), b = Dialog(b_), hidden = CreateForm({.kind = FormKind::Hidden}, make_shared<Recorder>());
  EXPECT_EQ(LoadedForms(), (vector<Form>{a, b, hidden}));
  EXPECT_EQ(SinkOf(a), a_);
  EXPECT_EQ(GetRect(a), (Rect{1500, 1500, 3000, 1995}));  // whole pixels: 2000 twips are 133
  EXPECT_EQ(pair(ScreenRect(), WorkArea(a)), pair(Rect{0, 0, 19200, 15360}, Rect{0, 0, 19200, 14760}));
  SetRect(a, {1500, 1500, 2400, 2000});  // not shown yet: nothing to hear
  EXPECT_EQ(a_->events, "");
  ShowForm(a);
  ShowForm(a);
  SetRect(a, {1000, 1000, 2400, 2000});  // the same size: nothing to hear
  SetRect(a, {1500, 1500, 3600, 2000});
  ShowForm(hidden);
  EXPECT_EQ(a_->events, "resize resize ");
  EXPECT_FALSE(IsVisible(hidden));
  // The close box: the sink decides.
  b_->closable = false;
  probe::Close(b);
  EXPECT_TRUE(IsLoaded(b));
  b_->closable = true;
  probe::Close(b);
  EXPECT_EQ(pair(IsLoaded(b), b_->events), pair(false, string("unload ")));
  // Only a layered form takes an alpha.
  EXPECT_TRUE(!SetLayeredAlpha(a, 128) && SetLayered(a, true) && SetLayeredAlpha(a, 128));
  // Unloaded by its own timer's tick, and again from inside its own unload: once is all.
  a_->events.clear();
  a_->onTimer = a_->onUnload = [&] { UnloadForm(a); };
  SetTimer(a, 10);
  probe::Wait(200);
  EXPECT_EQ(pair(IsLoaded(a), a_->events), pair(false, string("tick unload ")));
  EXPECT_EQ(LoadedForms(), vector<Form>{hidden});
}

TEST_F(Contract, ShowingActivatesAHiddenFormAndZOrderMovesActivateOnlyWhenAskedAndOnlyWhatIsShown) {
  Form a = Note(a_);
  names_ = {{a, "a"}, {text_, "A"}};
  Form b = Note(b_, {6000, 1500, 3000, 2000});
  names_.insert(names_.end(), {{b, "b"}, {text_, "B"}});
  ShowForm(a);
  ShowForm(b);
  EXPECT_EQ(Seen(), "b B ba");
  ShowForm(a);  // shown already: stays behind
  EXPECT_EQ(Seen(), "b B ba");
  SetZOrder(a, ZOrder::Top, false);
  EXPECT_EQ(Seen(), "b B ab");
  SetZOrder(a, ZOrder::Top, true);
  EXPECT_EQ(Seen(), "a A ab");
  // Topmost forms stand above the rest, whatever comes to the top of its band.
  SetZOrder(b, ZOrder::Topmost, false);
  SetZOrder(b, ZOrder::Top, false);
  SetZOrder(a, ZOrder::Top, false);
  EXPECT_EQ(Seen(), "a A ba");
  EXPECT_TRUE(probe::IsTopmost(b));
  SetZOrder(a, ZOrder::Topmost, false);  // of several topmost forms, the one raised comes first
  EXPECT_EQ(Seen(), "a A ab");
  SetZOrder(b, ZOrder::Top, false);
  EXPECT_EQ(Seen(), "a A ba");
  SetZOrder(b, ZOrder::NotTopmost, false);
  EXPECT_FALSE(probe::IsTopmost(b));
  // A hidden form is never made the active one, by the focus or the z-order.
  Form hidden = Note(make_shared<Recorder>(), {9000, 1500, 3000, 2000});
  SetFocus(text_);
  SetZOrder(hidden, ZOrder::Top, true);
  EXPECT_EQ(Seen(), "a A ab");
  // The active form hidden: the next one of ours down takes over.
  HideForm(a);
  EXPECT_EQ(Seen(), "b B b");
}

TEST_F(Contract, TheFocusLeavesADisabledControlAndComesBackWhereItWasWithItsForm) {
  Form a = Note(a_);
  TextBox text = text_;
  ShowForm(a);
  SetEnabled(text, false);
  EXPECT_EQ(pair(GetFocus(), FocusedTextBox()), pair(Window(), text));
  SetEnabled(text, true);
  EXPECT_EQ(GetFocus(), Window());
  SetEnabled(text, false);
  SetFocus(text);  // a disabled control takes nothing
  EXPECT_EQ(GetFocus(), Window());
  SetEnabled(text, true);
  // A dialog: the first control that can take it, Tab and Shift+Tab in
  // creation order, and where it was when the dialog comes back.
  Form d = Dialog(b_);
  CreateLabel(d, {100, 100, 2000, 300}, u"Label", {});
  ComboBox combo = CreateComboBox(d, {100, 500, 2000, 300}, {});
  Button first = CreateButton(d, {100, 1000, 1000, 400}, u"One", {}, [&] { b_->events += "press 3 "; });
  Button second = CreateButton(d, {1200, 1000, 1000, 400}, u"Three", {}, [&] { b_->events += "press 5 "; });
  ShowForm(d);
  EXPECT_EQ(pair(GetFocus(), FocusedTextBox()), pair(Window(combo), TextBox()));
  // Enter and Esc in the combo box press nothing; on a button Enter and
  // Space press it.
  b_->events.clear();
  for (Key key : {Key::Enter, Key::Escape, Key::Tab, Key::Enter, Key::Tab, Key::Space})
    probe::Press(key);
  EXPECT_EQ(pair(GetFocus(), b_->events), pair(Window(second), string("press 3 press 5 ")));
  probe::Press(Key::Tab, kShift);
  EXPECT_EQ(GetFocus(), Window(first));
  // A click presses a button and gives it the focus; a label takes none, a
  // disabled button hears nothing.
  Label label = CreateLabel(d, {2400, 1000, 1000, 400}, u"Label", {});
  SetEnabled(first, false);
  b_->events.clear();
  for (Window target : {Window(label), Window(first), Window(second)})
    probe::Click(target);
  EXPECT_EQ(pair(GetFocus(), b_->events), pair(Window(second), string("press 5 ")));
  SetEnabled(first, true);
  probe::Press(Key::Tab, kShift);
  probe::Click(text);  // the user goes to the note: its form comes forward
  EXPECT_EQ(pair(probe::ActiveForm(), GetFocus()), pair(a, Window(text)));
  SetZOrder(d, ZOrder::Top, true);
  EXPECT_EQ(GetFocus(), Window(first));
  probe::Click(text);
  SetEnabled(first, false);  // the control that had it can take it no more: the first one that can
  SetZOrder(d, ZOrder::Top, true);
  EXPECT_EQ(GetFocus(), Window(combo));
  // A form with nothing to take the focus takes it itself, and hears of it.
  Form bare = CreateForm({.rect = {9000, 1500, 1000, 1000}}, a_);
  a_->events.clear();
  ShowForm(bare);
  EXPECT_EQ(pair(GetFocus(), a_->events), pair(Window(bare), string("focus resize ")));
}

TEST_F(Contract, TextBoxesHoldTheSelectionInsideAndTheCaretAfterWhatReplacedIt) {
  Note(a_);
  TextBox text = text_;
  const Text kMixed = u"ab\U0001F600cd";  // the emoji is two units
  SetText(text, kMixed);
  EXPECT_EQ(pair(GetText(text), GetSelStart(text)), pair(kMixed, 0));
  auto selection = [&](int start, int length) {
    SetSelection(text, start, length);
    return pair(GetSelStart(text), GetSelectedText(text));
  };
  EXPECT_EQ(selection(2, 100), pair(2, Text(u"\U0001F600cd")));
  EXPECT_EQ(selection(100, 5), pair(6, Text()));
  EXPECT_EQ(selection(4, -3), pair(1, Text(u"b\U0001F600")));   // backwards
  EXPECT_EQ(selection(2, -5), pair(2, Text(u"\U0001F600cd")));  // an offset below 0 is past the end
  EXPECT_EQ(selection(-1, 0), pair(6, Text()));                 // -1 drops the selection
  SetSelection(text, 1, 3);
  ReplaceSelection(text, u"XYZ");
  EXPECT_EQ(tuple(GetText(text), GetSelStart(text), GetSelectedText(text)), tuple(Text(u"aXYZcd"), 4, Text()));
  SetText(text, u"new");
  EXPECT_EQ(GetSelStart(text), 0);
  EXPECT_EQ(a_->events, "");  // neither raises a change
}

// What the system keeps and hands on: any text whole on the clipboard, in
// the store whatever the letter case, in a file at any length of path (245
// characters with the temporary file beside it, and past 260), to the shell
// at the longest length it takes (a longer one refused); the clipboard as it
// was while another program holds it.
TEST_F(Contract, TheSystemKeepsAndHandsOnAnyTextWhole) {
  Form a = Note(a_);
  const Text face = u"\u5B8B\u4F53 \U0001F600" + Text(100, u'x');  // longer than a first guess at its size
  WriteStoredValue(u"Pinaleaf", u"1.0", u"Font", face);
  EXPECT_EQ(ReadStoredValue(u"Pinaleaf", u"1.0", u"FONT"), face);
  WriteStoredValue(u"Pinaleaf", u"1.0", u"Font", u"");
  EXPECT_EQ(ReadStoredValue(u"Pinaleaf", u"1.0", u"Font"), u"");
  EXPECT_EQ(ReadStoredValue(u"Pinaleaf", u"1.0", u"NeverWritten"), u"");
  for (size_t length : {245, 261}) {
    Text path = ProgramFile(u"");
    path += Text(length - path.size(), u'n');
    for (const char* bytes : {"made", "replaced"}) {
      EXPECT_EQ(WriteFileReplacing(path, bytes), nullopt) << path.size();
      EXPECT_EQ(probe::FileBytes(path), bytes);
    }
  }
  Text url = u"mailto:anna@example.com?Subject=Gr%C3%BC%C3%9Fe%20&Body=";
  while (url.size() + 10 <= LongestShellTarget())
    url += u"%E6%97%A5x";
  url += Text(LongestShellTarget() - url.size(), u'y');
  EXPECT_EQ(ShellOpen(a, url).outcome, ShellResult::Opened);
  EXPECT_EQ(probe::LastShellTarget(), url);
  EXPECT_EQ(ShellOpen(a, url + u"y").outcome, ShellResult::Failed);
  EXPECT_EQ(probe::LastShellTarget(), url);
  for (const Text& text : {Text(u"Gr\u00FC\u00DFe \u65E5\u672C \U0001F600\r\n"), Text()}) {
    EXPECT_TRUE(ClipboardPut(a, text));
    EXPECT_EQ(ClipboardGet(a), text);
  }
  ClipboardPut(a, u"kept");
  if (!probe::HoldClipboard(true))
    return;
  EXPECT_FALSE(ClipboardPut(a, u"lost"));
  EXPECT_EQ(ClipboardGet(a), nullopt);
  probe::HoldClipboard(false);
  EXPECT_EQ(ClipboardGet(a), u"kept");
}

// Windows-1252, with no best-fit substitute (A for \u0100) and nothing for a
// character it lacks, and the date and time as an en-US Windows writes them;
// or UTF-8, where only a lone surrogate has no form (Linux follows its locale
// for dates).
TEST_F(Contract, AnsiDatesAndTimesAreTheSystemsOwn) {
  if (probe::AnsiIsUtf8()) {
    EXPECT_EQ(EncodeAnsi(u"\u20AC\U0001F600"), optional<string>("\xE2\x82\xAC\xF0\x9F\x98\x80"));
    EXPECT_EQ(EncodeAnsi(Text{u'a', char16_t(0xD800)}), nullopt);
    return;
  }
  EXPECT_EQ(EncodeAnsi(u"\u20AC\u2122\u00FF"), optional<string>("\x80\x99\xFF"));
  for (Text none : {u"\u65E5", u"\u0100", u"\U0001F600", u"\u0080"})
    EXPECT_EQ(EncodeAnsi(none), nullopt);
  EXPECT_EQ(FormatShortDate({2026, 3, 5, 0, 0, 0}), u"3/5/2026");
  for (auto [hour, time] : {pair(0, u"12:07:09 AM"), {12, u"12:07:09 PM"}, {23, u"11:07:09 PM"}})
    EXPECT_EQ(FormatTime({2026, 3, 5, hour, 7, 9}), time);
}

// Where a screen shows it: a change of the user's colours (a theme, high
// contrast) reaches what is drawn in them: a dialog's face, a label on it
// and a note's text.
TEST_F(Contract, FormsAndTextFollowTheUsersColourScheme) {
  Form note = Note(a_), dialog = Dialog(b_);
  Label label = CreateLabel(dialog, {100, 100, 3000, 400}, u"WWWW", {});
  SetText(text_, u"WWWW");
  ShowForm(note);
  ShowForm(dialog);
  Color face = ResolveColor(0x8000000F), ink = ResolveColor(0x80000008);  // the scheme's, to put back
  if (!probe::SetScheme(0x000000, 0x00FF00))
    GTEST_SKIP() << "nothing drawn";  // high contrast
  EXPECT_EQ(probe::PixelAt(dialog, 2, 2), 0x000000u);
  EXPECT_EQ(probe::PixelAt(label, 180, 5), 0x000000u);  // beside its text: the face
  EXPECT_TRUE(probe::Shows(label, 0x00FF00) && probe::Shows(text_, 0x00FF00));
  probe::SetScheme(face, ink);
}

}  // namespace
