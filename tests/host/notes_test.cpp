// A note: its load, the active-note scan, the events that record it, the
// text-area fit, moving and resizing, and translucency.
#include <functional>
#include <tuple>

#include "host_test.h"
#include "notes/active_note.h"
#include "notes/move_resize.h"
#include "notes/translucency.h"
#include "notes/translucent_form.h"

namespace {

using namespace pinaleaf;
using platform::Font;
using platform::Rect;

Handle StartWith(std::initializer_list<std::pair<const char16_t*, const char16_t*>> stored) {
  sim::Reset();
  SetAlwaysOnTop(true);
  for (auto [key, value] : stored) sim::Sys().store[key] = value;
  sim::Run(StartProgram);
  return StartupNoteWindow();
}

using NoteLoad = HostTest;

TEST_F(NoteLoad, StoredStyleAppliesWhereItConvertsAndNothingIsWritten) {
  Handle note = StartWith({}), text = TextAreaOf(note);
  EXPECT_EQ(platform::GetRect(note), (Rect{2025, 2055, 1995, 2355}));
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 1995, 1995}));
  EXPECT_EQ(std::tuple(platform::GetBackColor(text), platform::GetFont(text), platform::GetText(text)),
            std::tuple(kNoteYellow, Font{}, Text()));
  EXPECT_TRUE(sim::Find(text)->contextMenuBlocked && sim::Find(note)->topmost);
  EXPECT_TRUE(Sys().store.empty());
  ASSERT_EQ(platform::LoadedForms().size(), 2u);  // the menu host, hidden, after the note
  EXPECT_FALSE(platform::IsVisible(platform::LoadedForms()[1]));

  text = TextAreaOf(StartWith({{u"TextColor", u"16711680"}, {u"Bold", u"True"}, {u"Italic", u"-1"},
                               {u"Underline", u" true "}, {u"Strikethru", u"2.5"}, {u"Font", u"Courier New"},
                               {u"Size", u"10.5"}}));
  EXPECT_EQ(platform::GetForeColor(text), 0x00FF0000u);
  EXPECT_EQ(platform::GetFont(text), (Font{u"Courier New", 10.5f, true, true, true, true}));
  // 1e-50 is a positive number but a 0-point font.
  for (const char16_t* bad : {u"abc", u"0", u"-3", u"2049", u"nan", u"1e-50"}) {
    EXPECT_EQ(platform::GetFont(TextAreaOf(StartWith({{u"Size", bad}}))).size, 9.0f) << U8(bad);
  }
  for (const char16_t* bad : {u"12abc", u"2147483648", u"0x0000FF", u"1.5"}) {
    EXPECT_EQ(platform::GetForeColor(TextAreaOf(StartWith({{u"TextColor", bad}}))), platform::kWindowTextColor);
  }
  EXPECT_EQ(platform::GetFont(TextAreaOf(StartWith({{u"Bold", u"yes"}, {u"Font", u""}}))), Font{});
  // Unreadable or missing: the switch keeps its design state, on.
  for (auto [stored, on] : {std::pair{u"False", false}, {u"0", false}, {u"garbage", true}}) {
    Handle loaded = StartWith({{u"AlwaysOnTop", stored}});
    EXPECT_EQ(std::pair(sim::Find(loaded)->topmost, AlwaysOnTop()), std::pair(on, on)) << U8(stored);
  }
}

class ActiveNoteScan : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    for (auto& note : notes_) note = Note::Load();
  }
  Handle W(int i) const { return notes_[i]->window(); }
  static Handles Scan(UnreadableRecord rule = UnreadableRecord::MatchesNone, std::function<void(Note&)> then = {}) {
    Handles seen;
    ForEachActiveNote(
        [&](Note& note) {
          seen.push_back(note.window());
          if (then) then(note);
        },
        rule);
    return seen;
  }
  std::shared_ptr<Note> notes_[3];
};

TEST_F(ActiveNoteScan, TheRecordNamesOneNoteByNumberAndIsReadAfreshAfterEachAction) {
  Sys().store[u"ActivehWnd"] = u" " + FormatInteger(W(2)) + u".0 ";
  EXPECT_EQ(Scan(), Handles{W(2)});
  for (const char16_t* record : {u"", u"0x10010", u"65552abc"}) {
    Sys().store[u"ActivehWnd"] = record;
    EXPECT_EQ(Scan(), Handles{}) << U8(record);
    EXPECT_EQ(Scan(UnreadableRecord::MatchesAll), (Handles{W(0), W(1), W(2)})) << U8(record);
  }
  // A text area, no window, a closed note: none, whatever the rule.
  notes_[2]->Unload();
  for (Handle record : {notes_[1]->textArea(), Handle{0}, W(2)}) {
    RecordActive(record);
    EXPECT_EQ(Scan(UnreadableRecord::MatchesAll), Handles{}) << record;
  }
  // Each action names the next note: the scan follows on, never back.
  notes_[2] = Note::Load();
  RecordActive(W(0));
  auto passOn = [&](Note& note) { RecordActive(note.window() == W(0) ? W(1) : note.window() == W(1) ? W(2) : W(0)); };
  EXPECT_EQ(Scan(UnreadableRecord::MatchesNone, passOn), (Handles{W(0), W(1), W(2)}));
  Sys().store[u"ActivehWnd"] = u"x";
  EXPECT_EQ(Scan(UnreadableRecord::MatchesAll, [](Note& note) { note.Unload(); }), (Handles{W(0), W(1), W(2)}));
  EXPECT_TRUE(platform::LoadedForms().empty());
}

using NoteEvents = TwoNotes;

TEST_F(NoteEvents, PointerPressesAndFocusRecordTheNoteOtherEventsNothing) {
  Handle text = TextAreaOf(b_);
  const std::function<void()> events[] = {
      [&] { sim::Click(b_, 100, 100); },
      [&] { sim::Click(text, 100, 100); },
      [&] { platform::SetFocus(b_); },
      [&] { sim::MouseMove(text, 0, 0, 10, 10); },
      [&] { sim::MouseDown(b_, platform::kMiddleButton, platform::kShift, 50, 50); },
      [&] { sim::MouseDown(text, platform::kMiddleButton, 0, 1950, 1950); },
  };
  for (const auto& event : events) {
    RecordActive(a_);
    event();
    EXPECT_EQ(sim::Stored(u"ActivehWnd"), FormatInteger(b_));
  }
  RecordActive(a_);
  sim::MouseMove(b_, 0, 0, 100, 100);  // the strip: only the pointer changes
  sim::Key('A', platform::kShift);
  platform::SetRect(b_, {6000, 3000, 3000, 3000});
  sim::Advance(5);
  platform::SetEnabled(text, false);  // as while its popup is open
  sim::Click(text, 10, 10);
  sim::MouseMove(text, 0, 0, 10, 10);
  EXPECT_EQ(sim::Stored(u"ActivehWnd"), FormatInteger(a_));
}

TEST_F(NoteEvents, AResizeFitsTheActiveNotesTextArea) {
  Handle text = TextAreaOf(a_);
  RecordActive(b_);
  platform::SetRect(a_, {2025, 2055, 2400, 2400});
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 1995, 1995}));
  RecordActive(a_);
  platform::SetRect(b_, {6000, 3000, 3000, 4000});
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 2400, 2040}));
  // 4000 twips are 267 pixels, read back as 4005; 4005 - 355 rounds to 3645.
  platform::SetRect(a_, {2025, 2055, 3000, 4000});
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 3000, 3645}));
  EXPECT_EQ(platform::GetRect(TextAreaOf(b_)), (Rect{0, 360, 1995, 1995}));
  platform::SetRect(a_, {2025, 2055, 2400, 345});  // too low: the height stays
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 2400, 3645}));
  Sys().store[u"ActivehWnd"] = u"not a number";  // fits every note
  platform::SetRect(a_, {2025, 2055, 2100, 2100});
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 2100, 1740}));
  EXPECT_EQ(platform::GetRect(TextAreaOf(b_)), (Rect{0, 360, 3000, 3645}));
  // At 120 dpi a design text area (167 pixels) differs from a fitted one
  // (166): the first showing fits only what the record names.
  for (auto [record, widthPx] : {std::pair{u"", 166}, {u"123456", 167}}) {
    sim::Reset();
    sim::SetDpi(120);
    Sys().store[u"ActivehWnd"] = record;
    sim::Run(StartProgram);
    EXPECT_EQ(sim::Find(TextAreaOf(StartupNoteWindow()))->widthPx, widthPx) << U8(record);
  }
}

class MoveResize : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    sim::SetDpi(288);  // 5 twips to the pixel: the twips below are whole pixels
    note_ = Note::Load();
    note_->Show();
    platform::SetRect(text(), {0, 360, 4000, 1000});  // not square: the bands follow each side
    Sys().moveSizeLoop = [this](Handle form, int code) {
      loops_.push_back(code);
      platform::SetRect(form, dropped_);
    };
  }
  Handle note() const { return note_->window(); }
  Handle text() const { return note_->textArea(); }
  std::shared_ptr<Note> note_;
  std::vector<int> loops_;
  Rect dropped_{5000, 4000, 4400, 1600};
};

TEST_F(MoveResize, PressesOnTheStripMoveAndOnTheFarBandsResize) {
  using namespace platform;
  sim::MouseDown(note(), kLeftButton, 0, 500, 100);
  EXPECT_EQ(loops_, std::vector{+kHitCaption});
  EXPECT_EQ(GetRect(note()), dropped_);
  sim::MouseDown(note(), kMiddleButton, 0, 500, 100);
  struct Case {
    int x, y, code;  // 0: no loop, the caret goes there
  };
  for (Case c : {Case{3805, 500, kHitRight}, {1000, 955, kHitBottom}, {3900, 50, kHitTopRight},
                 {50, 960, kHitBottomLeft}, {3950, 990, kHitBottomRight}, {3800, 500, 0}, {1000, 950, 0}}) {
    SCOPED_TRACE(testing::Message() << c.x << ", " << c.y);
    SetRect(note(), {0, 0, 4000, 1360});
    SetRect(text(), {0, 360, 4000, 1000});
    SetFocus(note());
    loops_.clear();
    sim::MouseDown(text(), kLeftButton, 0, c.x, c.y);
    EXPECT_EQ(loops_, c.code ? std::vector{c.code} : std::vector<int>{});
    if (c.code) {
      EXPECT_EQ(GetRect(text()), (Rect{0, 360, 4400, 1245}));
    }
    EXPECT_EQ(GetFocus() == text(), c.code == 0);  // the press was the loop's, not the caret's
  }
  // The corner shows size NW-SE; the rest of the bands the I-beam, the strip the hand.
  auto pointerAt = [&](Handle target, int x, int y) {
    sim::MouseMove(target, 0, 0, x, y);
    return sim::PointerOf(note()).first;
  };
  EXPECT_EQ(pointerAt(note(), 500, 100), Pointer::Custom);
  EXPECT_EQ(pointerAt(text(), 3900, 500), Pointer::IBeam);
  EXPECT_EQ(pointerAt(text(), 3801, 951), Pointer::SizeNWSE);
  EXPECT_EQ(pointerAt(text(), 3800, 990), Pointer::IBeam);
  // A note closed during the loop is left alone afterwards.
  Sys().moveSizeLoop = [](Handle form, int) { UnloadForm(form); };
  sim::MouseDown(text(), kLeftButton, 0, 3950, 990);
  EXPECT_FALSE(IsLoaded(note()));
}

TEST_F(MoveResize, TheStripShowsTheCursorFileBesideTheProgramWhenItLoads) {
  EXPECT_EQ(sim::PointerOf(note()).second, 0);  // none: the system's hand
  Sys().programDirectory = u"C:\\App";
  Sys().cursors[u"C:\\HAND-M.CUR"] = true;
  Sys().cursors[u"c:\\app\\hand-m.cur"] = false;
  EXPECT_EQ(Note::Load()->customPointer(), 0);
  Sys().cursors[u"C:\\App\\HAND-M.CUR"] = true;
  auto note = Note::Load();
  note->Show();
  sim::MouseMove(note->window(), 0, 0, 500, 100);
  EXPECT_NE(note->customPointer(), 0);
  EXPECT_EQ(sim::PointerOf(note->window()), std::pair(platform::Pointer::Custom, note->customPointer()));
}

int AlphaOf(Handle window) { return sim::Find(window)->layeredAlpha; }
bool Layered(Handle window) { return platform::GetExtendedStyle(window) & platform::kLayeredStyle; }

using Translucency = HostTest;

TEST_F(Translucency, TheControllerKeepsOnlyWhatTheSystemTook) {
  platform::FormSpec design;
  Handle w = platform::CreateForm(design, nullptr), other = platform::CreateForm(design, nullptr);
  {
    CTranslucentForm form;
    form.SetHwnd(w);
    EXPECT_EQ(std::pair(Layered(w), AlphaOf(w)), std::pair(true, 255));
    form.SetAlpha(120);
    Sys().layeredCallsFail = true;
    form.SetAlpha(30);
    EXPECT_EQ(std::pair(form.Alpha(), AlphaOf(w)), std::pair(std::uint8_t{120}, 120));
    // A system colour key is resolved for the system and kept as given.
    form.SetColorKey(0x80000005);
    EXPECT_EQ(std::pair(form.GetMode(), form.ColorKey()), std::pair(+CTranslucentForm::kColorKey, 0x80000005u));
    Sys().layeredCallsFail = false;
    form.SetAlpha(77);
    EXPECT_EQ(std::tuple(form.GetMode(), AlphaOf(w)), std::tuple(2, 77));
    Sys().styleWritesFail = true;  // stops before any layered call
    form.SetMode(CTranslucentForm::kColorKey);
    form.SetAlpha(50);
    EXPECT_EQ(AlphaOf(w), 77);
    Sys().styleWritesFail = false;
    form.SetHwnd(other);  // detaches the first window
    EXPECT_EQ(std::tuple(Layered(w), AlphaOf(w), Layered(other)), std::tuple(false, 255, true));
  }
  EXPECT_EQ(std::tuple(Layered(other), AlphaOf(other)), std::tuple(false, 255));  // destruction detaches
  Sys().majorVersion = 4;
  CTranslucentForm old;
  old.SetHwnd(w);
  old.SetAlpha(100);
  EXPECT_EQ(std::tuple(old.Hwnd(), old.Alpha(), Layered(w)), std::tuple(0, 255, false));
}

TEST_F(Translucency, ANoteTakesTheStoredAlphaInTheNextSlotOneTickAfterItsLoad) {
  for (auto [stored, alpha] : {std::pair<Text, int>{u"", 200}, {u"0", 0}, {u"255", 255}, {u"256", 200},
                               {u"12.5", 200}}) {
    Sys().store[u"Translucency"] = stored;
    auto note = Note::Load();
    note->Show();
    EXPECT_FALSE(Layered(note->window()));
    sim::Advance(1);
    EXPECT_EQ(std::tuple(AlphaOf(note->window()), platform::GetTimer(note->window())), std::tuple(alpha, 0));
  }
  EXPECT_EQ(sim::Stored(u"TransCount"), u"6");
  std::vector<Handle> stepped;
  for (auto [stored, slot, next] : {std::tuple<Text, int, Text>{u"junk", 1, u"2"}, {u"0", 1, u"2"},
                                    {u"32767", 32767, u"1"}}) {
    Sys().store[u"TransCount"] = stored;
    stepped.push_back(Note::Load()->window());
    sim::Advance(1);
    EXPECT_EQ(TranslucencySlot(slot)->Hwnd(), stepped.back());
    EXPECT_EQ(sim::Stored(u"TransCount"), next);
  }
  // Slot 1 was filled again: the window it held before stays translucent.
  EXPECT_EQ(AlphaOf(stepped[0]), 200);
}

TEST_F(Translucency, CommandsStepTheStoredAlphaAndRestepOnlyTheActiveNote) {
  const int more = kIncreaseTranslucencyItem, less = kDecreaseTranslucencyItem;
  for (auto [item, from, to] : {std::tuple{more, u"200", u"180"}, {more, u"95", u"80"}, {more, u"junk", u"180"},
                                {less, u"234", u"254"}, {less, u"250", u"254"}, {less, u"300", u"220"},
                                {kDefaultTranslucencyItem, u"80", u"200"}}) {
    Sys().store[u"Translucency"] = from;
    RunEntry(item);
    EXPECT_EQ(sim::Stored(u"Translucency"), Text(to)) << item << " from " << U8(from);
  }
  Handle a = Note::Load()->window(), b = Note::Load()->window();
  sim::Advance(1);
  RecordActive(a);
  RunEntry(more);  // 180
  EXPECT_EQ(AlphaOf(a), 200);
  sim::Advance(1);
  EXPECT_EQ(std::pair(AlphaOf(a), AlphaOf(b)), std::pair(180, 200));
  Sys().store[u"ActivehWnd"] = u"junk";
  RunEntry(more);
  sim::Advance(5);
  EXPECT_EQ(std::pair(AlphaOf(a), AlphaOf(b)), std::pair(180, 200));
}

}  // namespace
