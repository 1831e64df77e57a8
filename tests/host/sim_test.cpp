// The simulated platform keeps the rules of Windows that the other tests
// lean on: pixel rounding, timers and the clock, focus, process end.
#include <functional>
#include <memory>
#include <string>

#include "host_test.h"

namespace {

using platform::Rect;

struct Recorder : platform::EventSink {
  std::string events;
  std::function<void()> onClick;
  bool handlePress = false;
  bool OnMouseDown(Handle, int, int, platform::Twips, platform::Twips) override { return handlePress; }
  void OnClick(Handle) override {
    events += "click ";
    if (onClick) onClick();
  }
  void OnTimer(Handle form) override { events += std::to_string(form) + " "; }
};

class Sim : public HostTest {
 protected:
  Handle NewForm() {
    platform::FormSpec design;
    design.rect = {0, 0, 2000, 2000};
    return platform::CreateForm(design, sink_);
  }
  std::shared_ptr<Recorder> sink_ = std::make_shared<Recorder>();
};

TEST_F(Sim, TwipsRoundToWholePixelsHalfAwayFromZero) {
  Handle form = NewForm();
  EXPECT_EQ(platform::GetRect(form), (Rect{0, 0, 1995, 1995}));
  sim::SetDpi(120);  // 12 twips a pixel
  platform::SetRect(form, {6, -6, 2000, 17});
  EXPECT_EQ(platform::GetRect(form), (Rect{12, -12, 2004, 12}));
  platform::SetRect(form, {0, 0, -50, 5});
  EXPECT_EQ(platform::GetRect(form), (Rect{0, 0, 0, 0}));
}

TEST_F(Sim, TimersFireInTimeOrderTasksFirstAndWaitsEndAtTheNextTick) {
  Handle a = NewForm(), b = NewForm();
  std::string tick = std::to_string(a) + " ", tock = std::to_string(b) + " ";
  double start = platform::MonotonicSeconds();
  platform::SetTimer(b, 10);
  platform::SetTimer(a, 15);
  platform::RunLater([&] { sink_->events += "task "; });
  sim::Advance(30);
  EXPECT_EQ(sink_->events, "task " + tock + tick + tock + tick + tock);  // a tie goes to the earlier form
  platform::WaitForMessagesUntil(platform::MonotonicSeconds() + 1.0);
  EXPECT_NEAR(platform::MonotonicSeconds() - start, 0.040, 1e-9);
  platform::SetTimer(a, 0);
  platform::SetTimer(b, 0);
  platform::WaitForMessagesUntil(platform::MonotonicSeconds() + 0.25);
  EXPECT_NEAR(platform::MonotonicSeconds() - start, 0.290, 1e-9);
  for (auto [from, to] : {std::pair<platform::DateTime, Text>{{2026, 12, 31, 23, 59, 59}, u"1/1/2027 12:00:00 AM"},
                          {{2028, 2, 28, 23, 59, 59}, u"2/29/2028 12:00:00 AM"},
                          {{2100, 2, 28, 23, 59, 59}, u"3/1/2100 12:00:00 AM"}}) {
    sim::SetNow(from);
    sim::Advance(1000);
    EXPECT_EQ(platform::FormatDateTime(platform::Now()), to);
  }
}

TEST_F(Sim, ALeftPressFocusesATextBoxUnlessHandledAndDisabledControlsHearNothing) {
  Handle text = platform::CreateTextBox(NewForm(), {});
  sim::MouseDown(text, platform::kRightButton, 0, 0, 0);
  sink_->handlePress = true;
  sim::MouseDown(text, platform::kLeftButton, 0, 0, 0);
  EXPECT_EQ(platform::FocusedControl(), 0);
  sink_->handlePress = false;
  sim::Click(text);
  EXPECT_EQ(platform::FocusedControl(), text);
  platform::SetEnabled(text, false);
  sim::Click(text);
  EXPECT_EQ(sink_->events, "click ");
}

TEST_F(Sim, EndingTheProcessStopsEverything) {
  Handle form = NewForm();
  sink_->onClick = [] {
    platform::WriteStoredValue(u"Pinaleaf", u"1.0", u"Before", u"1");
    platform::EndProcess();
  };
  platform::SetTimer(form, 10);
  sim::Click(form);
  EXPECT_TRUE(sim::ProcessEnded());
  platform::WriteStoredValue(u"Pinaleaf", u"1.0", u"After", u"1");
  sim::Click(form);
  sim::Advance(100);
  EXPECT_EQ(sink_->events, "click ");
  EXPECT_EQ(sim::Stored(u"Before"), u"1");
  EXPECT_EQ(sim::Stored(u"After"), std::nullopt);
}

}  // namespace
