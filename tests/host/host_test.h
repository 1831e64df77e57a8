// Shared by the host tests: a fresh simulated platform for every test, and
// the few steps most of them take.
#pragma once

#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "notes/note.h"
#include "notes/stay_on.h"
#include "app/app.h"
#include "notes/values.h"
#include "platform/sim/sim.h"

using platform::Handle;
using platform::Text;
using Handles = std::vector<Handle>;
using Texts = std::vector<Text>;

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    pinaleaf::SetAlwaysOnTop(true);
  }
};

// The text area of a note window: its one control.
inline Handle TextAreaOf(Handle note) {
  auto controls = sim::ControlsOf(note);
  return controls.empty() ? 0 : controls.front();
}

inline void RecordActive(Handle window) { sim::Store(u"ActivehWnd", pinaleaf::FormatInteger(window)); }

inline std::shared_ptr<pinaleaf::Note> ShowNote() {
  auto note = pinaleaf::Note::Load();
  note->Show();
  return note;
}

// Starts the program afresh on a store holding `stored`; returns the
// start-up note.
inline Handle StartWith(std::initializer_list<std::pair<const char16_t*, const char16_t*>> stored) {
  sim::Reset();
  for (const auto& [key, value] : stored) sim::Store(key, value);
  pinaleaf::StartProgram();
  return pinaleaf::StartupNoteWindow();
}

// Runs a command from the message loop, as a shortcut would; a command that
// ends the process is caught.
inline void RunCommand(void (*command)()) {
  platform::RunLater(command);
  sim::Advance(0);
}

inline void ChooseFromPopup(int item) {
  sim::SetPopupHandler([item](platform::MenuId, Handle) { return item; });
}
inline void RightPress(Handle target) { sim::MouseDown(target, platform::kRightButton, 0, 100, 100); }

// A loaded form that is no note, standing in for a dialog.
inline Handle LoadOtherForm(platform::FormKind kind = platform::FormKind::Dialog) {
  platform::FormSpec design;
  design.kind = kind;
  return platform::CreateForm(design, std::make_shared<platform::EventSink>());
}

// Whether a note's text area keeps the text box's own menu away.
inline bool IsHooked(Handle note) {
  const sim::Window* text = sim::Find(TextAreaOf(note));
  return text && text->contextMenuBlocked;
}

inline int LeftPx(Handle window) { return sim::Find(window)->leftPx; }
inline int TopPx(Handle window) { return sim::Find(window)->topPx; }

// The start-up note and a second note apart from it, the first one active.
class TwoNotes : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    pinaleaf::StartProgram();
    a_ = pinaleaf::Note::FromHandle(pinaleaf::StartupNoteWindow());
    b_ = ShowNote();
    platform::SetRect(b_->window(), {6000, 3000, 1995, 2355});
    RecordActive(a_->window());
  }

  std::shared_ptr<pinaleaf::Note> a_, b_;
};
