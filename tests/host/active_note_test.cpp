// The active-note scan over several loaded windows.
#include <functional>
#include <memory>
#include <vector>

#include "commands/active_note.h"
#include "host_test.h"
#include "menu/menu_form.h"
#include "notes/note.h"

namespace {

using pinaleaf::ForEachActiveNote;
using pinaleaf::Note;
using pinaleaf::UnreadableRecord;
using platform::Handle;
using Handles = std::vector<Handle>;

class ActiveNoteScan : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    for (auto& note : notes_) note = Note::Load();
    a_ = notes_[0]->window();
    b_ = notes_[1]->window();
    c_ = notes_[2]->window();
    menu_ = pinaleaf::MenuForm::Get().window();
  }

  // The windows the scan acts on, in order; `then` runs after each.
  Handles Scan(UnreadableRecord rule = UnreadableRecord::MatchesNone,
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
  Handle a_ = 0, b_ = 0, c_ = 0, menu_ = 0;
};

TEST_F(ActiveNoteScan, ARecordNamingALoadedNoteFindsOnlyThatNote) {
  ASSERT_EQ(platform::LoadedForms(), (Handles{a_, menu_, b_, c_}));
  RecordActive(b_);
  EXPECT_EQ(Scan(), Handles{b_});
  EXPECT_EQ(Scan(UnreadableRecord::MatchesAll), Handles{b_});
  // The record is compared as a number.
  sim::Store(u"ActivehWnd", u" " + pinaleaf::FormatInteger(c_) + u".0 ");
  EXPECT_EQ(Scan(), Handles{c_});
}

TEST_F(ActiveNoteScan, RecordsNamingNoNoteMatchNothing) {
  RecordActive(menu_);  // loaded, but not a note
  EXPECT_EQ(Scan(UnreadableRecord::MatchesAll), Handles{});
  RecordActive(notes_[1]->textArea());  // the text area, not the window
  EXPECT_EQ(Scan(UnreadableRecord::MatchesAll), Handles{});
  RecordActive(0);
  EXPECT_EQ(Scan(UnreadableRecord::MatchesAll), Handles{});
  notes_[1]->Unload();  // a stale handle
  RecordActive(b_);
  EXPECT_EQ(Scan(UnreadableRecord::MatchesAll), Handles{});
}

TEST_F(ActiveNoteScan, AnUnreadableRecordMatchesAsTheCallerSays) {
  for (const char16_t* record : {u"", u"abc", u"0x10010", u"65552abc"}) {
    sim::Store(u"ActivehWnd", record);
    EXPECT_EQ(Scan(), Handles{}) << pinaleaf::ToUtf8(record);
    EXPECT_EQ(Scan(UnreadableRecord::MatchesAll), (Handles{a_, b_, c_})) << pinaleaf::ToUtf8(record);
  }
  EXPECT_FALSE(sim::Stored(u"ActivehWnd").value().empty());  // the scan never writes it
}

TEST_F(ActiveNoteScan, TheRecordIsReadAfreshForEveryWindow) {
  // Each action names the next note: the scan follows on in the same pass,
  // but never goes back to an earlier window.
  RecordActive(a_);
  auto passOn = [&](Note& note) {
    RecordActive(note.window() == a_ ? b_ : note.window() == b_ ? c_ : a_);
  };
  EXPECT_EQ(Scan(UnreadableRecord::MatchesNone, passOn), (Handles{a_, b_, c_}));
  EXPECT_EQ(sim::Stored(u"ActivehWnd"), pinaleaf::FormatInteger(a_));
}

TEST_F(ActiveNoteScan, ActionsThatUnloadWindowsAreSafe) {
  sim::Store(u"ActivehWnd", u"x");
  // Unloading the window acted on: every note is still visited once.
  EXPECT_EQ(Scan(UnreadableRecord::MatchesAll, [](Note& note) { note.Unload(); }), (Handles{a_, b_, c_}));
  EXPECT_EQ(platform::LoadedForms(), Handles{menu_});

  // Unloading a window later in the list: it is skipped.
  SetUp();
  sim::Store(u"ActivehWnd", u"x");
  auto unloadC = [&](Note&) { notes_[2]->Unload(); };
  EXPECT_EQ(Scan(UnreadableRecord::MatchesAll, unloadC), (Handles{a_, b_}));
}

}  // namespace
