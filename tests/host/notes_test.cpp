// A note's load sequence, the active-note scan, the events that record a note
// as the active one, and the text-area fit.
#include <functional>
#include <memory>
#include <tuple>

#include "notes/active_note.h"
#include "notes/stay_on.h"
#include "host_test.h"
#include "app/app.h"
#include "notes/note.h"

namespace {

using namespace pinaleaf;
using platform::Font;
using platform::Rect;

using NoteLoad = HostTest;

TEST_F(NoteLoad, AnEmptyStoreGivesTheDesignNoteAndWritesNothing) {
  Handle note = StartWith({}), text = TextAreaOf(note), menu = (*MenuForm::Current()).window();
  EXPECT_EQ(platform::GetRect(note), (Rect{2025, 2055, 1995, 2355}));
  EXPECT_EQ(std::tuple(platform::GetBackColor(text), platform::GetFont(text)), std::tuple(kNoteYellow, Font{}));
  EXPECT_TRUE(IsHooked(note) && platform::IsTopmost(note));
  EXPECT_EQ(sim::StoreWrites(), 0);
  EXPECT_EQ(platform::LoadedForms(), (Handles{note, menu}));  // the menu host after the note, hidden
  EXPECT_FALSE(platform::IsVisible(menu));
  // The first tick comes after the showing and stops the timer.
  EXPECT_EQ(platform::GetTimer(note), 1);
  sim::Advance(1);
  EXPECT_EQ(platform::GetTimer(note), 0);
}

TEST_F(NoteLoad, StoredStyleAppliesOnlyWhereItConverts) {
  Handle text = TextAreaOf(StartWith({{u"TextColor", u"16711680"}, {u"Bold", u"True"}, {u"Italic", u"-1"},
                                      {u"Underline", u" true "}, {u"Strikethru", u"2.5"},
                                      {u"Font", u"Courier New"}, {u"Size", u"10.5"}}));
  EXPECT_EQ(platform::GetForeColor(text), 0x00FF0000u);
  EXPECT_EQ(platform::GetFont(text), (Font{.name = u"Courier New", .size = 10.5f, .bold = true, .italic = true,
                                           .underline = true, .strikethrough = true}));
  EXPECT_EQ(platform::GetFont(TextAreaOf(StartWith({{u"Size", u"2048"}}))).size, 2048.0f);
  // 1e-50 is a positive double but a 0-point font.
  for (const char16_t* size : {u"abc", u"0", u"-3", u"2049", u"nan", u"1e-50"}) {
    EXPECT_EQ(platform::GetFont(TextAreaOf(StartWith({{u"Size", size}}))).size, 9.0f) << ToUtf8(size);
  }
  for (const char16_t* color : {u"12abc", u"2147483648", u"0x0000FF", u"1.5"}) {
    EXPECT_EQ(platform::GetForeColor(TextAreaOf(StartWith({{u"TextColor", color}}))), platform::kWindowTextColor)
        << ToUtf8(color);
  }
  EXPECT_EQ(platform::GetFont(TextAreaOf(StartWith({{u"Bold", u"yes"}, {u"Font", u""}}))), Font{});
}

TEST_F(NoteLoad, StoredAlwaysOnTopSetsTheSharedCheckAndTheZOrder) {
  for (auto [stored, on] : {std::pair{u"False", false}, {u"0", false}, {u"true", true}, {u"garbage", true}}) {
    Handle note = StartWith({{u"AlwaysOnTop", stored}});
    EXPECT_EQ(platform::IsTopmost(note), on) << ToUtf8(stored);
    EXPECT_EQ(AlwaysOnTop(), on) << ToUtf8(stored);
  }
}

class ActiveNoteScan : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    for (auto& note : notes_) note = Note::Load();
    menu_ = MenuForm::Load(Commands()).window();
  }
  Handle W(int i) const { return notes_[i]->window(); }
  // The windows the scan acts on, in order; `then` runs after each.
  static Handles Scan(UnreadableRecord rule = UnreadableRecord::MatchesNone,
                      std::function<void(Note&)> then = nullptr) {
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
  Handle menu_ = 0;
};

TEST_F(ActiveNoteScan, TheRecordNamesOneLoadedNoteByNumber) {
  ASSERT_EQ(platform::LoadedForms(), (Handles{W(0), W(1), W(2), menu_}));
  RecordActive(W(1));
  EXPECT_EQ(Scan(UnreadableRecord::MatchesAll), Handles{W(1)});
  sim::Store(u"ActivehWnd", u" " + FormatInteger(W(2)) + u".0 ");
  EXPECT_EQ(Scan(), Handles{W(2)});
  // Text that is no number matches every note or none, as the caller says.
  for (const char16_t* record : {u"", u"0x10010", u"65552abc"}) {
    sim::Store(u"ActivehWnd", record);
    EXPECT_EQ(Scan(), Handles{}) << ToUtf8(record);
    EXPECT_EQ(Scan(UnreadableRecord::MatchesAll), (Handles{W(0), W(1), W(2)})) << ToUtf8(record);
  }
  // The menu host, a text area, no window, a closed note: none, whatever the rule.
  notes_[2]->Unload();
  for (Handle record : {menu_, notes_[1]->textArea(), Handle{0}, W(2)}) {
    RecordActive(record);
    EXPECT_EQ(Scan(UnreadableRecord::MatchesAll), Handles{}) << record;
  }
  EXPECT_EQ(sim::StoreWrites(), 0);
}

TEST_F(ActiveNoteScan, TheRecordIsReadAfreshForEveryWindowAndActionsMayUnloadWindows) {
  // Each action names the next note: the scan follows on but never goes back.
  RecordActive(W(0));
  auto passOn = [&](Note& note) { RecordActive(note.window() == W(0) ? W(1) : note.window() == W(1) ? W(2) : W(0)); };
  EXPECT_EQ(Scan(UnreadableRecord::MatchesNone, passOn), (Handles{W(0), W(1), W(2)}));
  sim::Store(u"ActivehWnd", u"x");
  EXPECT_EQ(Scan(UnreadableRecord::MatchesAll, [&](Note&) { notes_[2]->Unload(); }), (Handles{W(0), W(1)}));
  EXPECT_EQ(Scan(UnreadableRecord::MatchesAll, [](Note& note) { note.Unload(); }), (Handles{W(0), W(1)}));
  EXPECT_EQ(platform::LoadedForms(), Handles{menu_});
}

using NoteEvents = TwoNotes;

TEST_F(NoteEvents, PointerAndFocusRecordTheNoteOtherEventsNothing) {
  Handle note = b_->window(), text = b_->textArea();
  const std::function<void()> events[] = {
      [&] { sim::Click(note, 100, 100); },   [&] { sim::Click(text, 100, 100); },
      [&] { sim::Focus(note); },             [&] { sim::MouseMove(text, 0, 0, 10, 10); },
      [&] { sim::MouseDown(note, platform::kMiddleButton, platform::kShift, 50, 50); },
      [&] { sim::MouseDown(text, platform::kMiddleButton, 0, 1950, 1950); },
  };
  for (size_t i = 0; i < std::size(events); ++i) {
    RecordActive(a_->window());
    events[i]();
    EXPECT_EQ(sim::Stored(u"ActivehWnd"), FormatInteger(note)) << "event " << i;
  }
  RecordActive(a_->window());
  sim::MouseMove(note, 0, 0, 100, 100);  // the strip: only the pointer changes
  sim::KeyDown(text, 0x41, platform::kCtrl);
  sim::Resize(note, 3000, 3000);
  sim::Advance(5);
  ShowNote();
  platform::SetEnabled(text, false);  // as while its popup is open
  sim::Click(text, 10, 10);
  sim::MouseMove(text, 0, 0, 10, 10);
  EXPECT_EQ(sim::Stored(u"ActivehWnd"), FormatInteger(a_->window()));
}

TEST_F(NoteEvents, AResizeFitsTheActiveNotesTextAreaWhicheverNoteWasResized) {
  Handle a = a_->window(), text = a_->textArea();
  RecordActive(b_->window());
  platform::SetRect(a, {2025, 2055, 2400, 2400});
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 1995, 1995}));
  RecordActive(a);
  // 4000 twips are 267 pixels, read back as 4005; 4005 - 355 rounds to 3645.
  sim::Resize(b_->window(), 3000, 4000);
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 2400, 2040}));
  sim::Resize(a, 3000, 4000);
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 3000, 3645}));
  EXPECT_EQ(platform::GetRect(b_->textArea()), (Rect{0, 360, 1995, 1995}));
  // Too low for a text area: the width follows, the height stays.
  sim::Resize(a, 2400, 345);
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 2400, 3645}));
  // An unreadable record fits every note.
  sim::Store(u"ActivehWnd", u"not a number");
  sim::Resize(a, 2100, 2100);
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 2100, 1740}));
  EXPECT_EQ(platform::GetRect(b_->textArea()), (Rect{0, 360, 3000, 3645}));
  // Exactly 355 high (71 pixels at 288 dpi) is not too low.
  sim::SetDpi(288);
  sim::Resize(a, 2400, 355);
  EXPECT_EQ(platform::GetRect(text).height, 0);
}

TEST_F(NoteEvents, TheFirstShowingFitsOnlyWhenTheRecordSaysSo) {
  // At 120 dpi the design text area (2000 twips, 167 pixels) differs from a
  // fitted one (166 pixels).
  auto widthPx = [](const char16_t* record) {
    sim::Reset();
    sim::SetDpi(120);
    if (record) sim::Store(u"ActivehWnd", record);
    StartProgram();
    return sim::Find(TextAreaOf(StartupNoteWindow()))->widthPx;
  };
  EXPECT_EQ(widthPx(nullptr), 166);   // first run: fits every note
  EXPECT_EQ(widthPx(u"123456"), 167);  // an old run's note
}

}  // namespace
