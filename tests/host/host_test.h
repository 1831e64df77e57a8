// Shared by the host tests: each test is a new process (a fresh simulated
// platform and a fresh Program), the program started and a second note
// apart from the first; the start-up note is active, with the keyboard.
#pragma once

#include <gtest/gtest.h>

#include <optional>

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

inline TextBox TextAreaOf(Form note) { return TextBox(sim::ControlsOf(note).at(0).number()); }
inline void RecordActive(Window window) { Sys().store[u"ActivehWnd"] = FormatInteger(window.number()); }
// Runs a popup entry's command as the message loop would.
inline void RunEntry(Id id) { sim::Run([id] { RunMenuCommand(id); }); }

class Process : public ::testing::Test {
 protected:
  void SetUp() override {
    a_ = Start({});
    b_ = Note::Load()->window();
    ShowForm(b_);
    SetRect(b_, {6000, 3000, 1995, 2355});
    sim::Click(TextAreaOf(a_));
  }
  // A new process with these settings stored, started: its first note.
  Form Start(std::initializer_list<std::pair<const char16_t*, const char16_t*>> stored) {
    program_.reset();
    sim::Reset();
    program_.emplace();
    for (auto [key, value] : stored) Sys().store[key] = value;
    sim::Run(StartProgram);
    return StartupNoteWindow();
  }
  std::optional<Program> program_;
  Form a_, b_;
};
