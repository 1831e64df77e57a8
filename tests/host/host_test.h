// Shared by the host tests: a fresh simulated platform for every test, and
// the few steps most of them take.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "commands/common_dialog.h"
#include "notes/note.h"
#include "notes/stay_on.h"
#include "notes/values.h"
#include "platform/sim/sim.h"

using platform::Handle;
using platform::Text;
using Handles = std::vector<Handle>;
using Texts = std::vector<Text>;

// The program's own state lives as long as a process: each test is a new one.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    pinaleaf::SetAlwaysOnTop(true);
    pinaleaf::CommonDialog1() = {};
  }
  static sim::System& Sys() { return sim::Sys(); }
};

inline std::string U8(const Text& text) { return pinaleaf::ToUtf8(text); }
inline Handle TextAreaOf(Handle note) { return sim::ControlsOf(note).at(0); }
inline void RecordActive(Handle window) { sim::Sys().store[u"ActivehWnd"] = pinaleaf::FormatInteger(window); }

// Runs a popup entry's command as the message loop would.
inline void RunEntry(int item) {
  sim::Run([item] { pinaleaf::RunMenuCommand(item); });
}

// The user chooses this entry from the popup a right press opens.
inline void Choose(int item) {
  sim::Sys().popup = [item](platform::MenuId, Handle) { return item; };
}
inline void RightPress(Handle target) { sim::MouseDown(target, platform::kRightButton, 0, 100, 100); }

// The program as it starts, and a second note apart from the first; the
// start-up note is active, with the keyboard in its text area.
class TwoNotes : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    sim::Run(pinaleaf::StartProgram);
    a_ = pinaleaf::StartupNoteWindow();
    auto b = pinaleaf::Note::Load();
    b->Show();
    b_ = b->window();
    platform::SetRect(b_, {6000, 3000, 1995, 2355});
    sim::Click(TextAreaOf(a_));
  }
  Handle a_ = 0, b_ = 0;
};
