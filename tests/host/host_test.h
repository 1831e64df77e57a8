// Shared by the host tests: a fresh simulated platform for every test.
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "notes/values.h"
#include "platform/sim/sim.h"

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
};

// The text area of a note window: its one control.
inline platform::Handle TextAreaOf(platform::Handle note) {
  auto controls = sim::ControlsOf(note);
  return controls.empty() ? 0 : controls.front();
}

inline void RecordActive(platform::Handle window) {
  sim::Store(u"ActivehWnd", pinaleaf::FormatInteger(window));
}

// Runs a command from the message loop, as a shortcut would: the record
// stays as it is, and a command that ends the process is caught.
inline void RunCommand(void (*command)()) {
  platform::RunLater(command);
  sim::Advance(0);
}

// Answers every popup with `item` (0 dismisses).
inline void ChooseFromPopup(int item) {
  sim::SetPopupHandler([item](platform::MenuId, platform::Handle) { return item; });
}

// A loaded form that is no note, standing in for a dialog.
inline platform::Handle LoadOtherForm(platform::FormKind kind = platform::FormKind::Dialog) {
  platform::FormSpec spec;
  spec.kind = kind;
  return platform::CreateForm(spec, std::make_shared<platform::EventSink>());
}

// Whether a note's text area keeps the text box's own menu away; false once
// the note is gone.
inline bool IsHooked(platform::Handle note) {
  const sim::Window* text = sim::Find(TextAreaOf(note));
  return text && text->contextMenuBlocked;
}
