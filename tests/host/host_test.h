// Shared by the host tests: each test is a new process (a fresh simulated
// platform and a fresh Program), and the few steps most of them take.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "app/app.h"
#include "notes/note.h"
#include "notes/program.h"
#include "notes/settings.h"
#include "notes/values.h"
#include "platform/sim/sim.h"
#include "probe.h"

using namespace pinaleaf;
using namespace platform;
using sim::Sys;
using Id = CommandId;
using Stored = std::initializer_list<std::pair<const char16_t*, const char16_t*>>;

inline TextBox TextAreaOf(Form note) { return TextBox(sim::ControlsOf(note).at(0).number()); }
inline void RecordActive(Window window) { Sys().store[u"ActivehWnd"] = FormatInteger(window.number()); }
inline Text Recorded() { return sim::Stored(u"ActivehWnd").value_or(u""); }
// Runs a popup entry's command as the message loop would.
inline void RunEntry(Id id) { sim::Run([id] { RunMenuCommand(id); }); }
// The user chooses this entry from the popup a right press opens.
inline void Choose(Id id) { Sys().popup = [id](MenuId, Form) { return static_cast<int>(id); }; }
inline void RightPress(Window target) { sim::MouseDown(target, kRightButton, 0, 100, 100); }

class Process : public ::testing::Test {
 protected:
  void SetUp() override { Start({}, false); }
  // A new process with these settings stored; started, it shows its first note.
  Form Start(Stored stored, bool run = true) {
    program_.reset();
    sim::Reset();
    program_.emplace();
    for (auto [key, value] : stored) Sys().store[key] = value;
    if (run) sim::Run(StartProgram);
    return StartupNoteWindow();
  }
  std::optional<Program> program_;
};

// The program as it starts, and a second note apart from the first; the
// start-up note is active, with the keyboard in its text area.
class TwoNotes : public Process {
 protected:
  void SetUp() override {
    a_ = Start({});
    b_ = Note::Load()->window();
    ShowForm(b_);
    SetRect(b_, {6000, 3000, 1995, 2355});
    sim::Click(TextAreaOf(a_));
  }
  Form a_, b_;
};
