// Shared by the host tests: a fresh simulated platform for every test.
#pragma once

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

