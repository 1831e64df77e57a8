// A note's events: which of them record it as the active note, and the
// text-area fit that every resize runs.
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host_test.h"
#include "menu/menu_form.h"
#include "notes/note.h"
#include "notes/program.h"

namespace {

using pinaleaf::FormatInteger;
using pinaleaf::Note;
using platform::Handle;
using platform::Rect;

class NoteEvents : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    first_ = Note::Load();
    first_->Show();
    second_ = Note::Load();
    second_->Show();
  }

  std::shared_ptr<Note> first_, second_;
};

TEST_F(NoteEvents, TouchingTheWindowOrItsTextAreaRecordsTheWindow) {
  Handle note = second_->window(), text = second_->textArea();
  std::vector<std::pair<std::string, std::function<void()>>> events = {
      {"click on the window", [&] { sim::Click(note, 100, 100); }},
      {"click in the text area", [&] { sim::Click(text, 100, 100); }},
      {"focus of the window", [&] { sim::Focus(note); }},
      {"move over the text area", [&] { sim::MouseMove(text, 0, 0, 10, 10); }},
  };
  for (int button : {platform::kLeftButton, platform::kRightButton, platform::kMiddleButton}) {
    events.push_back({"press on the window, button " + std::to_string(button),
                      [=] { sim::MouseDown(note, button, platform::kShift, 50, 50); }});
    events.push_back({"press in the text area, button " + std::to_string(button),
                      [=] { sim::MouseDown(text, button, 0, 50, 50); }});
  }
  for (auto& [name, raise] : events) {
    RecordActive(first_->window());
    raise();
    EXPECT_EQ(sim::Stored(u"ActivehWnd"), FormatInteger(note)) << name;
  }
  // A left press puts the focus in the text area, as the edit control does.
  EXPECT_EQ(platform::FocusedControl(), text);
}

TEST_F(NoteEvents, OtherEventsRecordNothing) {
  Handle note = second_->window(), text = second_->textArea();
  sim::MouseMove(note, 0, 0, 100, 100);  // the strip: only the pointer changes
  sim::KeyDown(text, 0x41, 0);
  sim::KeyDown(text, 0x41, platform::kCtrl);
  sim::Resize(note, 3000, 3000);
  sim::Advance(5);  // the timer's tick
  Note::Load()->Show();
  EXPECT_EQ(sim::Stored(u"ActivehWnd"), std::nullopt);

  // A disabled text area hears nothing at all.
  platform::SetEnabled(text, false);
  sim::Click(text, 10, 10);
  sim::MouseDown(text, platform::kRightButton, 0, 10, 10);
  sim::MouseMove(text, 0, 0, 10, 10);
  EXPECT_EQ(sim::Stored(u"ActivehWnd"), std::nullopt);
}

// Alt+F4 closes that very note as "Delete This Note" would: silently while
// another note is open, and the only note only after the last-note question.
TEST_F(NoteEvents, ClosingNotesUnloadsThemAndTheLastEndsTheProgram) {
  Handle first = first_->window(), second = second_->window();
  Handle menu = pinaleaf::MenuForm::Get().window();
  RecordActive(second);
  sim::Close(first);
  EXPECT_FALSE(platform::IsLoaded(first));
  EXPECT_TRUE(sim::MessageBoxes().empty());
  sim::Close(menu);  // the menu host refuses
  EXPECT_TRUE(platform::IsLoaded(menu));

  sim::Close(second);  // No keeps it
  ASSERT_EQ(sim::MessageBoxes().size(), 1u);
  EXPECT_EQ(sim::MessageBoxes()[0].prompt, u"This is the last note. Would you like to quit?");
  EXPECT_EQ(sim::MessageBoxes()[0].title, u"Quit?");
  EXPECT_TRUE(platform::IsLoaded(second));
  EXPECT_FALSE(sim::ProcessEnded());

  sim::QueueAnswer(platform::Answer::Yes);
  sim::Close(second);
  EXPECT_EQ(sim::MessageBoxes().size(), 2u);
  EXPECT_TRUE(sim::ProcessEnded());
}

using TextAreaFit = NoteEvents;

TEST_F(TextAreaFit, ResizingTheActiveNoteFitsItsTextArea) {
  Handle note = first_->window(), text = first_->textArea();
  RecordActive(note);
  sim::Resize(note, 3000, 4000);
  // 4000 twips are 267 pixels, read back as 4005; 4005 - 355 rounds to 3645.
  EXPECT_EQ(platform::GetRect(note).height, 4005);
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 3000, 3645}));

  // Too low for a text area: the width follows, the height stays.
  sim::Resize(note, 2400, 345);
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 2400, 3645}));
  sim::Resize(note, 2400, 1500);
  EXPECT_EQ(platform::GetRect(text), (Rect{0, 360, 2400, 1140}));
}

TEST_F(TextAreaFit, TheFitActsOnTheActiveNoteNotOnTheNoteResized) {
  Handle first = first_->window(), second = second_->window();
  RecordActive(second);
  platform::SetRect(first, {2025, 2055, 2400, 2400});
  EXPECT_EQ(platform::GetRect(first_->textArea()), (Rect{0, 360, 1995, 1995}));

  RecordActive(first);
  sim::Resize(second, 3000, 3000);
  EXPECT_EQ(platform::GetRect(first_->textArea()), (Rect{0, 360, 2400, 2040}));
  EXPECT_EQ(platform::GetRect(second_->textArea()), (Rect{0, 360, 1995, 1995}));

  // An unreadable record fits every note; the menu host, no note, is passed over.
  sim::Store(u"ActivehWnd", u"not a number");
  sim::Resize(first, 2100, 2100);
  EXPECT_EQ(platform::GetRect(first_->textArea()), (Rect{0, 360, 2100, 1740}));
  EXPECT_EQ(platform::GetRect(second_->textArea()), (Rect{0, 360, 3000, 2640}));
}

TEST_F(TextAreaFit, TheFirstShowingFitsOnlyWhenTheRecordSaysSo) {
  // At 120 dpi the design text area (2000 twips, 167 pixels) differs from a
  // fitted one (166 pixels), so the fit shows.
  auto startupTextArea = [](const char16_t* record) {
    sim::Reset();
    sim::SetDpi(120);
    if (record) sim::Store(u"ActivehWnd", record);
    pinaleaf::StartProgram();
    const sim::Window* area = sim::Find(TextAreaOf(pinaleaf::StartupNoteWindow()));
    return std::make_pair(area->widthPx, area->heightPx);
  };
  EXPECT_EQ(startupTextArea(nullptr), std::make_pair(166, 166));      // first run: fits all
  EXPECT_EQ(startupTextArea(u"123456"), std::make_pair(167, 167));  // an old run's note
}

}  // namespace
