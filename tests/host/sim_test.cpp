// The simulated platform keeps the Win32 layer's rules: pixel rounding, when
// resize events come, safe unloading, timer order, the clock, process end.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host_test.h"

namespace {

using platform::Handle;
using platform::Rect;

struct Recorder : platform::EventSink {
  std::vector<std::string> events;
  std::function<void(Handle)> onClick, onTimer;
  void OnResize(Handle) override { events.push_back("resize"); }
  void OnClick(Handle h) override {
    events.push_back("click");
    if (onClick) onClick(h);
    events.push_back("clicked");  // the sink must outlive its own handler
  }
  void OnTimer(Handle h) override {
    if (onTimer) onTimer(h);
  }
  void OnUnload(Handle form) override {
    events.push_back("unload, controls " + std::to_string(sim::ControlsOf(form).size()));
  }
};

class Sim : public HostTest {
 protected:
  Handle NewForm(std::shared_ptr<Recorder> sink, Rect rect = {0, 0, 3000, 3000}) {
    platform::FormSpec spec;
    spec.rect = rect;
    return platform::CreateForm(spec, sink);
  }
  std::shared_ptr<Recorder> sink_ = std::make_shared<Recorder>();
};

TEST_F(Sim, TwipsRoundToPixelsHalfAwayFromZero) {
  Handle form = NewForm(sink_, {0, 0, 2000, 2000});
  EXPECT_EQ(platform::GetRect(form), (Rect{0, 0, 1995, 1995}));
  sim::SetDpi(120);  // 12 twips a pixel
  platform::SetRect(form, {6, -6, 2000, 17});
  EXPECT_EQ(platform::GetRect(form), (Rect{12, -12, 2004, 12}));
  platform::SetRect(form, {0, 0, -50, 5});  // no negative sizes
  EXPECT_EQ(platform::GetRect(form), (Rect{0, 0, 0, 0}));
}

TEST_F(Sim, ResizeEventsFollowTheFirstShowing) {
  Handle form = NewForm(sink_);
  platform::SetRect(form, {0, 0, 4000, 4000});
  EXPECT_TRUE(sink_->events.empty());
  platform::ShowForm(form);
  platform::ShowForm(form);
  EXPECT_EQ(sink_->events.size(), 1u);
  platform::SetRect(form, {500, 500, 4000, 4000});  // a move only
  platform::SetRect(form, {500, 500, 4005, 4000});  // the same pixels
  EXPECT_EQ(sink_->events.size(), 1u);
  platform::HideForm(form);
  platform::SetRect(form, {500, 500, 3000, 4000});
  sim::Resize(form, 3000, 4000);
  EXPECT_EQ(sink_->events, (std::vector<std::string>{"resize", "resize", "resize"}));
}

TEST_F(Sim, UnloadingIsSafeFromTheFormsOwnHandler) {
  auto other = std::make_shared<Recorder>();
  Handle first = NewForm(sink_), second = NewForm(other);
  Handle text = platform::CreateTextBox(first, {});
  platform::CreateTextBox(second, {});
  EXPECT_LT(first, second);  // distinct, never reused
  EXPECT_LT(second, text);
  sink_->onClick = [](Handle h) { platform::UnloadForm(h); };
  std::weak_ptr<Recorder> watch = sink_;
  sink_.reset();  // the platform holds the only reference now
  sim::Click(first);
  EXPECT_TRUE(watch.expired());
  EXPECT_FALSE(platform::IsLoaded(first));
  EXPECT_EQ(sim::Find(text), nullptr);
  EXPECT_EQ(platform::SinkOf(first), nullptr);
  EXPECT_EQ(platform::LoadedForms(), std::vector<Handle>{second});
  sim::Click(first);  // input to what is gone is ignored
  sim::KeyDown(text, 0x41, 0);

  platform::UnloadForm(second);
  EXPECT_EQ(other->events, std::vector<std::string>{"unload, controls 1"});
}

TEST_F(Sim, TimersFireInTimeOrderAndTasksRunFirst) {
  auto other = std::make_shared<Recorder>();
  Handle a = NewForm(sink_), b = NewForm(other);
  double start = platform::MonotonicSeconds();
  platform::SetTimer(b, 10);
  platform::SetTimer(a, 10);  // set later, created earlier: ticks first on a tie
  std::vector<std::string> order;
  sink_->onTimer = [&](Handle) { order.push_back("a"); };
  other->onTimer = [&](Handle h) {
    order.push_back("b");
    platform::RunLater([&] { order.push_back("task"); });
    platform::SetTimer(h, 15);  // from now on, every 15 ms
  };
  sim::Advance(30);
  EXPECT_EQ(order, (std::vector<std::string>{"a", "b", "task", "a", "b", "task", "a"}));
  EXPECT_NEAR(platform::MonotonicSeconds() - start, 0.030, 1e-9);
  EXPECT_EQ(platform::GetTimer(b), 15);

  // A wait ends at the next tick, or at the deadline when that comes first.
  order.clear();
  platform::WaitForMessagesUntil(platform::MonotonicSeconds() + 1.0);
  EXPECT_EQ(order, std::vector<std::string>{"a"});
  EXPECT_NEAR(platform::MonotonicSeconds() - start, 0.040, 1e-9);
  platform::SetTimer(a, 0);
  platform::SetTimer(b, 0);
  platform::WaitForMessagesUntil(platform::MonotonicSeconds() + 0.25);
  EXPECT_NEAR(platform::MonotonicSeconds() - start, 0.290, 1e-9);
  EXPECT_EQ(order.size(), 1u);
}

TEST_F(Sim, ClockCountsAcrossMidnightMonthAndYear) {
  using platform::DateTime;
  auto now = [] { return platform::FormatDateTime(platform::Now()); };
  EXPECT_EQ(now(), u"3/5/2026 2:55:30 PM");
  sim::SetNow({2026, 12, 31, 23, 59, 59});
  sim::Advance(999);
  EXPECT_EQ(now(), u"12/31/2026 11:59:59 PM");
  sim::Advance(1);
  EXPECT_EQ(now(), u"1/1/2027 12:00:00 AM");
  sim::SetNow({2028, 2, 28, 11, 59, 0});
  sim::Advance(60 * 1000);
  EXPECT_EQ(now(), u"2/28/2028 12:00:00 PM");
  sim::Advance(12 * 3600 * 1000);
  EXPECT_EQ(now(), u"2/29/2028 12:00:00 AM");  // a leap year
  sim::SetNow({2100, 2, 28, 23, 59, 59});
  sim::Advance(1000);
  EXPECT_EQ(platform::FormatShortDate(platform::Now()), u"3/1/2100");  // not one
  EXPECT_EQ(platform::FormatTime({2026, 1, 1, 9, 5, 7}), u"9:05:07 AM");
}

TEST_F(Sim, EndingTheProcessStopsEverything) {
  Handle form = NewForm(sink_);
  sink_->onClick = [](Handle) {
    platform::WriteStoredValue(u"Pinaleaf", u"1.0", u"Before", u"1");
    platform::EndProcess();
  };
  sim::Click(form);
  EXPECT_TRUE(sim::ProcessEnded());
  EXPECT_EQ(sim::Stored(u"Before"), u"1");
  platform::WriteStoredValue(u"Pinaleaf", u"1.0", u"After", u"1");
  EXPECT_EQ(sim::Stored(u"After"), std::nullopt);
  sim::Click(form);
  sim::Advance(100);
  EXPECT_EQ(sink_->events, std::vector<std::string>{"click"});
}

TEST_F(Sim, ServicesBehaveAsOnWindows) {
  // The store and file names ignore letter case.
  platform::WriteStoredValue(u"PINALEAF", u"1.0", u"activehwnd", u"7");
  EXPECT_EQ(sim::Stored(u"ActivehWnd"), u"7");
  EXPECT_EQ(platform::ReadStoredValue(u"Pinaleaf", u"1.0", u"Missing"), u"");
  sim::SetProgramDirectory(u"C:\\App");
  sim::AddFile(u"c:\\app\\hand-m.cur", true);
  EXPECT_NE(platform::LoadCursorFile(u"C:\\App\\HAND-M.CUR"), 0);

  EXPECT_EQ(platform::EncodeAnsi(u"a\r\n\u20AC\u00E9\u00FF\u2122"), "a\r\n\x80\xE9\xFF\x99");
  for (const char16_t* none : {u"\u0081", u"\u0100", u"\u3042", u"\xD83D\xDE00"}) {
    EXPECT_EQ(platform::EncodeAnsi(none), std::nullopt);
  }

  Handle text = platform::CreateTextBox(NewForm(sink_), {});
  platform::SetText(text, u"ab\U0001F600cd");
  platform::SetSelection(text, 2, 99);  // held to the text
  EXPECT_EQ(platform::GetSelLength(text), 4);
  platform::SetSelection(text, 2, 2);
  platform::ReplaceSelection(text, u"-");
  EXPECT_EQ(platform::GetText(text), u"ab-cd");
  EXPECT_EQ(platform::GetSelStart(text), 3);
}

}  // namespace
