// Shared by the host tests: a fresh simulated platform for every test, and
// the few steps most of them take.
#pragma once

#include <gtest/gtest.h>

#include "app/app.h"
#include "commands/common_dialog.h"
#include "notes/note.h"
#include "notes/stay_on.h"
#include "notes/values.h"
#include "platform/sim/sim.h"

using namespace pinaleaf;
using namespace platform;
using sim::Sys;
using Handles = std::vector<Handle>;

// The program's own state lives as long as a process: each test is a new one.
inline void NewProcess() {
  sim::Reset();
  SetAlwaysOnTop(true);
  CommonDialog1() = {};
}

inline Handle TextAreaOf(Handle note) { return sim::ControlsOf(note).at(0); }
inline void RecordActive(Handle window) { Sys().store[u"ActivehWnd"] = FormatInteger(window); }
inline Text Recorded() { return sim::Stored(u"ActivehWnd").value_or(u""); }

// Runs a popup entry's command as the message loop would.
inline void RunEntry(int item) { sim::Run([item] { RunMenuCommand(item); }); }

// The user chooses this entry from the popup a right press opens.
inline void Choose(int item) { Sys().popup = [item](MenuId, Handle) { return item; }; }
inline void RightPress(Handle target) { sim::MouseDown(target, kRightButton, 0, 100, 100); }

// The program as it starts, and a second note apart from the first; the
// start-up note is active, with the keyboard in its text area.
class TwoNotes : public ::testing::Test {
 protected:
  void SetUp() override {
    NewProcess();
    sim::Run(StartProgram);
    a_ = StartupNoteWindow();
    b_ = Note::Load()->window();
    ShowForm(b_);
    SetRect(b_, {6000, 3000, 1995, 2355});
    sim::Click(TextAreaOf(a_));
  }
  Handle a_ = 0, b_ = 0;
};
