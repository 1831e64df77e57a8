// What the program relies on from the platform, written once and run twice:
// against the simulated platform on the host, and against the Win32 layer
// under Wine. Where they disagree, the simulated platform is wrong.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "probe.h"

namespace {

using namespace platform;
constexpr int kTab = 0x09;

struct Recorder : EventSink {
  std::string events;
  std::function<void()> onUnload, onTimer;
  bool closable = true;
  void OnResize(Handle) override { events += "resize "; }
  void OnGotFocus(Handle) override { events += "focus "; }
  void OnChange(Handle) override { events += "change "; }
  void OnTimer(Handle) override {
    events += "tick ";
    if (onTimer) onTimer();
  }
  bool OnCloseRequest(Handle) override { return closable; }
  void OnUnload(Handle) override {
    events += "unload ";
    if (onUnload) onUnload();
  }
};

class Contract : public ::testing::Test {
 protected:
  void SetUp() override { probe::Reset(); }
  void TearDown() override { probe::Reset(); }
  // A form with a text box, as a note is made; shown when asked.
  Handle Note(std::shared_ptr<Recorder> sink, Rect rect = {1500, 1500, 3000, 2000}) {
    Handle form = CreateForm({.caption = u"Form1", .rect = rect, .backColor = 0x00C0FFFF}, sink);
    texts_[form] = CreateTextBox(form, {.rect = {0, 360, 3000, 1500}});
    return form;
  }
  std::map<Handle, Handle> texts_;
  std::shared_ptr<Recorder> a_ = std::make_shared<Recorder>(), b_ = std::make_shared<Recorder>();
};

TEST_F(Contract, FormsLoadInOrderHearOfTheirFirstShowingAndUnloadOnce) {
  Handle a = Note(a_), b = CreateForm({.kind = FormKind::Dialog, .caption = u"Dialog", .rect = {0, 0, 3000, 1500}}, b_);
  Handle hidden = CreateForm({.kind = FormKind::Hidden}, std::make_shared<Recorder>());
  EXPECT_EQ(LoadedForms(), (std::vector<Handle>{a, b, hidden}));
  EXPECT_EQ(SinkOf(a), a_);
  EXPECT_EQ(GetRect(a), (Rect{1500, 1500, 3000, 1995}));  // whole pixels: 2000 twips are 133
  EXPECT_EQ(a_->events, "");
  ShowForm(a);
  ShowForm(a);
  SetRect(a, {1500, 1500, 3000, 2000});  // the same size: nothing to hear
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
  EXPECT_EQ(std::pair(IsLoaded(b), b_->events), std::pair(false, std::string("unload ")));
  // Unloaded again from inside its own unload: once is all.
  a_->events.clear();
  a_->onUnload = [&] { UnloadForm(a); };
  UnloadForm(a);
  EXPECT_EQ(std::pair(IsLoaded(a), a_->events), std::pair(false, std::string("unload ")));
  EXPECT_EQ(LoadedForms(), std::vector<Handle>{hidden});
}

TEST_F(Contract, OneTimerPerFormTicksUntilStoppedAndMayUnloadItsForm) {
  Handle a = Note(a_);
  SetTimer(a, 50);
  probe::Wait(400);
  size_t ticks = a_->events.size() / 5;
  EXPECT_GE(ticks, 3u);
  EXPECT_LE(ticks, 9u);
  EXPECT_EQ(GetTimer(a), 50);
  SetTimer(a, 0);
  a_->events.clear();
  probe::Wait(200);
  EXPECT_EQ(a_->events, "");
  a_->onTimer = [&] { UnloadForm(a); };
  SetTimer(a, 10);
  probe::Wait(200);
  EXPECT_EQ(std::pair(IsLoaded(a), a_->events), std::pair(false, std::string("tick unload ")));
}

TEST_F(Contract, ShowingActivatesAHiddenFormAndZOrderMovesActivateOnlyWhenAsked) {
  Handle a = Note(a_), b = Note(b_, {6000, 1500, 3000, 2000});
  ShowForm(a);
  ShowForm(b);
  EXPECT_EQ(std::tuple(probe::ActiveForm(), GetFocus(), probe::ZOrder()),
            std::tuple(b, texts_[b], std::vector<Handle>{b, a}));
  ShowForm(a);  // shown already: stays behind
  EXPECT_EQ(std::pair(probe::ActiveForm(), probe::ZOrder()), std::pair(b, std::vector<Handle>{b, a}));
  SetZOrder(a, ZOrder::Top, false);
  EXPECT_EQ(std::tuple(probe::ActiveForm(), GetFocus(), probe::ZOrder()),
            std::tuple(b, texts_[b], std::vector<Handle>{a, b}));
  SetZOrder(a, ZOrder::Top, true);
  EXPECT_EQ(std::pair(probe::ActiveForm(), GetFocus()), std::pair(a, texts_[a]));
  // Topmost forms stand above the rest, whatever comes to the top of its band.
  SetZOrder(b, ZOrder::Topmost, false);
  SetZOrder(a, ZOrder::Top, false);
  EXPECT_EQ(std::tuple(probe::ActiveForm(), probe::ZOrder(), probe::IsTopmost(b)),
            std::tuple(a, std::vector<Handle>{b, a}, true));
  EXPECT_TRUE(GetExtendedStyle(b) & kTopmostStyle);
  SetZOrder(b, ZOrder::NotTopmost, false);
  EXPECT_FALSE(probe::IsTopmost(b));
  // The active form hidden: the next one of ours down takes over.
  HideForm(a);
  EXPECT_EQ(probe::ActiveForm(), b);
}

TEST_F(Contract, TheFocusLeavesADisabledControlAndComesBackWhereItWasWithItsForm) {
  Handle a = Note(a_), text = texts_[a];
  ShowForm(a);
  SetEnabled(text, false);
  EXPECT_EQ(std::pair(GetFocus(), FocusedControl()), std::pair(Handle{0}, text));
  SetEnabled(text, true);
  EXPECT_EQ(GetFocus(), 0);
  SetEnabled(text, false);
  SetFocus(text);  // a disabled control takes nothing
  EXPECT_EQ(GetFocus(), 0);
  SetEnabled(text, true);
  // A dialog: the first control that can take it, Tab and Shift+Tab in
  // creation order, and where it was when the dialog comes back.
  Handle d = CreateForm({.kind = FormKind::Dialog, .caption = u"Dialog", .rect = {3000, 3000, 4000, 2000}}, b_);
  CreateLabel(d, {100, 100, 2000, 300}, u"Label", {});
  Handle combo = CreateComboBox(d, {100, 500, 2000, 300}, {});
  Handle first = CreateButton(d, {100, 1000, 1000, 400}, u"One", {});
  Handle second = CreateButton(d, {1200, 1000, 1000, 400}, u"Two", {});
  ShowForm(d);
  EXPECT_EQ(GetFocus(), combo);
  probe::Key(kTab);
  probe::Key(kTab);
  EXPECT_EQ(GetFocus(), second);
  probe::Key(kTab, kShift);
  EXPECT_EQ(GetFocus(), first);
  probe::Click(text);  // the user goes to the note: its form comes forward
  EXPECT_EQ(std::pair(probe::ActiveForm(), GetFocus()), std::pair(a, text));
  SetZOrder(d, ZOrder::Top, true);
  EXPECT_EQ(GetFocus(), first);
  // A form with nothing to take the focus takes it itself, and hears of it.
  Handle bare = CreateForm({.rect = {9000, 1500, 1000, 1000}}, a_);
  a_->events.clear();
  ShowForm(bare);
  EXPECT_EQ(std::pair(GetFocus(), a_->events), std::pair(bare, std::string("focus resize ")));
  EXPECT_EQ(b_->events, "resize ");  // the dialog's showing; moving the focus about raises nothing
}

TEST_F(Contract, TextBoxesHoldTheSelectionInsideAndTheCaretAfterWhatReplacedIt) {
  Handle a = Note(a_), text = texts_[a];
  const Text kMixed = u"ab\U0001F600cd";  // the emoji is two units
  SetText(text, kMixed);
  EXPECT_EQ(std::pair(GetText(text), GetSelStart(text)), std::pair(kMixed, 0));
  SetSelection(text, 2, 100);
  EXPECT_EQ(GetSelectedText(text), u"\U0001F600cd");
  SetSelection(text, 100, 5);
  EXPECT_EQ(std::pair(GetSelStart(text), GetSelectedText(text)), std::pair(6, Text()));
  SetSelection(text, 1, 3);
  ReplaceSelection(text, u"XYZ");
  EXPECT_EQ(std::tuple(GetText(text), GetSelStart(text), GetSelectedText(text)),
            std::tuple(Text(u"aXYZcd"), 4, Text()));
  SetText(text, u"new");
  EXPECT_EQ(GetSelStart(text), 0);
  EXPECT_EQ(a_->events, "");  // neither raises a change
}

TEST_F(Contract, TheClipboardCarriesAnyTextAndStaysAsItWasWhileAnotherProgramHoldsIt) {
  Handle a = Note(a_);
  for (const Text& text : {Text(u"Gr\u00FC\u00DFe \u65E5\u672C \U0001F600\r\n"), Text()}) {
    EXPECT_TRUE(ClipboardPut(a, text));
    EXPECT_EQ(ClipboardGet(a), text);
  }
  ClipboardPut(a, u"kept");
  probe::HoldClipboard(true);
  EXPECT_FALSE(ClipboardPut(a, u"lost"));
  EXPECT_EQ(ClipboardGet(a), std::nullopt);
  probe::HoldClipboard(false);
  EXPECT_EQ(ClipboardGet(a), u"kept");
}

TEST_F(Contract, AnsiIsWindows1252WithNoSubstitutes) {
  EXPECT_EQ(EncodeAnsi(u"Gr\u00FC\u00DFe \u20AC\u2122\u00FF"), "Gr\xFC\xDF" "e \x80\x99\xFF");
  EXPECT_EQ(EncodeAnsi(u""), "");
  for (const Text& none : {Text(u"\u65E5"), Text(u"\u0100"), Text(u"\U0001F600"), Text(u"\u0080")}) {
    EXPECT_EQ(EncodeAnsi(none), std::nullopt) << static_cast<int>(none[0]);
  }
  // Of the C1 controls only the five that 1252 leaves undefined have bytes.
  std::string c1;
  for (char16_t c = 0x80; c < 0xA0; ++c) {
    if (auto bytes = EncodeAnsi(Text(1, c))) c1 += *bytes;
  }
  EXPECT_EQ(c1, "\x81\x8D\x8F\x90\x9D");
}

TEST_F(Contract, TheStoreKeepsAnyTextPerKeyWhateverTheLetterCase) {
  const Text face = u"\u5B8B\u4F53 \U0001F600";
  WriteStoredValue(u"Pinaleaf", u"1.0", u"Font", face);
  EXPECT_EQ(ReadStoredValue(u"Pinaleaf", u"1.0", u"FONT"), face);
  WriteStoredValue(u"Pinaleaf", u"1.0", u"Font", u"");
  EXPECT_EQ(ReadStoredValue(u"Pinaleaf", u"1.0", u"Font"), u"");
  EXPECT_EQ(ReadStoredValue(u"Pinaleaf", u"1.0", u"NeverWritten"), u"");
}

TEST_F(Contract, TheClockCarriesOverDaysMonthsAndYears) {
  auto fields = [](const DateTime& t) { return std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second); };
  EXPECT_EQ(fields(AddSeconds({2026, 12, 31, 23, 55, 0}, 600)), std::tuple(2027, 1, 1, 0, 5, 0));
  EXPECT_EQ(fields(AddSeconds({2028, 2, 28, 23, 59, 59}, 1)), std::tuple(2028, 2, 29, 0, 0, 0));
  DateTime now = Now();
  EXPECT_TRUE(now.year >= 2026 && now.millisecond >= 0 && now.millisecond < 1000);
  EXPECT_EQ(FormatShortDate({2026, 3, 5}), u"3/5/2026");
  EXPECT_EQ(FormatTime({2026, 3, 5, 0, 5, 7}), u"12:05:07 AM");
}

TEST_F(Contract, OnlyALayeredWindowTakesLayeredAttributes) {
  Handle a = Note(a_);
  EXPECT_FALSE(SetLayeredAttributes(a, 0, 128, kLayeredAlpha));
  EXPECT_NE(SetExtendedStyle(a, GetExtendedStyle(a) | kLayeredStyle), 0u);
  EXPECT_TRUE(SetLayeredAttributes(a, 0, 128, kLayeredAlpha));
}

}  // namespace
