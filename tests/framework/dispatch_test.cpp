// The boundary between the event loop and the program's handlers: an
// exception is reported with its class and message and the loop goes on;
// and timers, which tick through the same boundary while their window
// lives.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "probe.h"

namespace {

using fw::ControlClass;
using probe::Probe;

// Every handler of this probe throws what `failure` makes; the button
// "Count" keeps working.
class ThrowingProbe : public Probe {
 public:
  static inline std::function<void()> failure;

  void Layout() override {
    auto bar = std::make_shared<fw::MenuBar>();
    auto menu = std::make_shared<fw::MenuItem>();
    menu->SetName("FileMenu");
    menu->SetText("File");
    auto item = std::make_shared<fw::MenuItem>();
    item->SetName("FileFail");
    item->SetText("Fail");
    item->SetKeyboardShortcut("Cmd+F");
    menu->Append(item);
    bar->Append(menu);
    SetMenuBar(bar);
    Probe::Layout();
  }
  void CreateControls() override {
    auto fail = [] { failure(); };
    Add<fw::PushButton>(ControlClass::PushButton, "Fail",
                        {.left = 10, .top = 10, .width = 80, .height = 24, .text = "Fail"})
        .InstallHandler(fw::kActionEvent, fail);
    Add<fw::PushButton>(ControlClass::PushButton, "Count",
                        {.left = 100, .top = 10, .width = 80, .height = 24, .text = "Count"})
        .InstallHandler(fw::kActionEvent, [this] { ++counted; });
    Add<fw::RadioButton>(ControlClass::RadioButton, "Radio",
                         {.left = 10, .top = 40, .width = 80, .height = 20, .text = "Fail"})
        .InstallHandler(fw::kActionEvent, fail);
    Add<fw::Timer>(ControlClass::Timer, "Tick", {}).InstallHandler(fw::kActionEvent, fail);
  }
  void AddMenuHandlers(fw::Window&) override {
    AddMenuHandler("FileFail", [] {
      failure();
      return true;
    });
  }
  bool Event_MouseDown(int, int) override {
    failure();
    return true;
  }
  int counted = 0;
};

struct ThrowCase {
  const char* name;
  std::function<void(ThrowingProbe&)> trigger;
  friend void PrintTo(const ThrowCase& row, std::ostream* os) { *os << row.name; }
};

class ThrowingTest : public probe::FrameworkTest {
 protected:
  void SetUp() override {
    ThrowingProbe::failure = [] { throw fw::NilObjectException("probe handler failed"); };
    w = fw::ImplicitInstance<ThrowingProbe>();
    fw::testing::ProcessEvents();
  }
  void TearDown() override {
    ThrowingProbe::failure = nullptr;
    probe::FrameworkTest::TearDown();
  }
  ThrowingProbe* w = nullptr;
};

class HandlerException : public ThrowingTest, public ::testing::WithParamInterface<ThrowCase> {};

TEST_P(HandlerException, IsReportedAndTheLoopGoesOn) {
  ::testing::internal::CaptureStderr();
  GetParam().trigger(*w);
  fw::testing::ProcessEvents();
  const std::string report = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(report.find("NilObjectException"), std::string::npos) << report;
  EXPECT_NE(report.find("probe handler failed"), std::string::npos) << report;
  // Nothing was left half-done: the window takes the next click.
  EXPECT_TRUE(w->IsOpen());
  fw::testing::Click(w->Get<fw::Control>("Count"));
  EXPECT_EQ(w->counted, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HandlerException,
    ::testing::Values(
        ThrowCase{"PushButtonClick", [](ThrowingProbe& w) { fw::testing::Click(w.Get<fw::Control>("Fail")); }},
        ThrowCase{"PushButtonPressedWithMouse", [](ThrowingProbe& w) { fw::testing::PressMouse(w, 30, 20); }},
        ThrowCase{"RadioClick", [](ThrowingProbe& w) { fw::testing::Click(w.Get<fw::Control>("Radio")); }},
        ThrowCase{"TimerFire", [](ThrowingProbe& w) { w.Get<fw::Timer>("Tick").Fire(); }},
        ThrowCase{"MenuHandler", [](ThrowingProbe& w) { fw::testing::ChooseMenuItem(w, "FileFail"); }},
        ThrowCase{"MenuShortcut", [](ThrowingProbe& w) { fw::testing::PressShortcut(w, "Cmd+F"); }},
        ThrowCase{"MouseDown", [](ThrowingProbe& w) { fw::testing::PressMouse(w, 200, 120); }},
        ThrowCase{"CallSoon", [](ThrowingProbe&) {
                    fw::testing::CallSoon([] { ThrowingProbe::failure(); });
                  }}),
    probe::RowName());

struct ClassCase {
  const char* name;
  std::function<void()> failure;
  const char* reported;
  friend void PrintTo(const ClassCase& row, std::ostream* os) { *os << row.name; }
};

class ExceptionClass : public ThrowingTest, public ::testing::WithParamInterface<ClassCase> {};

// The report names the class as a reader knows it, for the program's own
// exceptions and for the standard library's.
TEST_P(ExceptionClass, IsNamedReadably) {
  ThrowingProbe::failure = GetParam().failure;
  ::testing::internal::CaptureStderr();
  fw::testing::Click(w->Get<fw::Control>("Fail"));
  const std::string report = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(report.find(GetParam().reported), std::string::npos) << report;
  EXPECT_NE(report.find("went wrong"), std::string::npos) << report;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ExceptionClass,
    ::testing::Values(
        ClassCase{"NilObject", [] { throw fw::NilObjectException("went wrong"); }, "NilObjectException"},
        ClassCase{"Runtime", [] { throw fw::RuntimeException("went wrong"); }, "RuntimeException"},
        ClassCase{"StdRuntimeError", [] { throw std::runtime_error("went wrong"); }, "std::runtime_error"},
        ClassCase{"StdOutOfRange", [] { throw std::out_of_range("went wrong"); }, "std::out_of_range"}),
    probe::RowName());

TEST_F(ThrowingTest, ThrowingCallbackDoesNotStopTheLoopFromQuitting) {
  ::testing::internal::CaptureStderr();
  fw::testing::CallSoon([] { ThrowingProbe::failure(); });
  fw::testing::CallSoon([] { fw::Quit(); });
  const bool quitByItself = probe::RunUntilQuit(*w);
  const std::string report = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(quitByItself);
  EXPECT_NE(report.find("NilObjectException"), std::string::npos) << report;
}

// --- handlers that replace themselves ----------------------------------------

// A handler may install another in its own place while it runs, and go on
// using what it captured.
class RebindProbe : public Probe {
 public:
  void CreateControls() override {
    Add<fw::PushButton>(ControlClass::PushButton, "Button",
                        {.left = 10, .top = 10, .width = 80, .height = 24, .text = "Push"});
    Add<fw::RadioButton>(ControlClass::RadioButton, "Radio",
                         {.left = 10, .top = 40, .width = 80, .height = 20, .text = "Radio"});
    Add<fw::Timer>(ControlClass::Timer, "Tick", {});
    Add<fw::Canvas>(ControlClass::Canvas, "Canvas",
                    {.left = 100, .top = 40, .width = 40, .height = 40});
  }
  std::vector<std::string> log;
};

struct RebindCase {
  const char* name;
  const char* control;
  std::function<void(RebindProbe&)> trigger;
  friend void PrintTo(const RebindCase& row, std::ostream* os) { *os << row.name; }
};

class HandlerRebinding : public probe::FrameworkTest,
                         public ::testing::WithParamInterface<RebindCase> {};

TEST_P(HandlerRebinding, RunsToItsEndAndTheNewHandlerTakesOver) {
  const RebindCase& row = GetParam();
  RebindProbe* w = fw::ImplicitInstance<RebindProbe>();
  fw::testing::ProcessEvents();
  fw::Control& control = w->Get<fw::Control>(row.control);
  const std::string said(64, 'a');  // long enough to live on the heap
  auto install = [&](std::function<void()> handler) {
    if (auto* canvas = dynamic_cast<fw::Canvas*>(&control))
      canvas->InstallPaintHandler([handler](fw::Graphics&) { handler(); });
    else
      control.InstallHandler(fw::kActionEvent, std::move(handler));
  };
  install([w, said, install] {
    install([w] { w->log.push_back("second"); });
    w->log.push_back(said);
  });
  row.trigger(*w);
  if (auto* radio = dynamic_cast<fw::RadioButton*>(&control)) radio->SetValue(false);
  row.trigger(*w);
  EXPECT_EQ(w->log, (std::vector<std::string>{said, "second"}));
}

INSTANTIATE_TEST_SUITE_P(
    Table, HandlerRebinding,
    ::testing::Values(
        RebindCase{"PushButton", "Button",
                   [](RebindProbe& w) { fw::testing::Click(w.Get<fw::Control>("Button")); }},
        RebindCase{"RadioClick", "Radio",
                   [](RebindProbe& w) { fw::testing::Click(w.Get<fw::Control>("Radio")); }},
        RebindCase{"RadioSetValue", "Radio",
                   [](RebindProbe& w) { w.Get<fw::RadioButton>("Radio").SetValue(true); }},
        RebindCase{"TimerFire", "Tick", [](RebindProbe& w) { w.Get<fw::Timer>("Tick").Fire(); }},
        RebindCase{"CanvasRefresh", "Canvas",
                   [](RebindProbe& w) { w.Get<fw::Canvas>("Canvas").Refresh(true); }}),
    probe::RowName());

// --- timers -----------------------------------------------------------------

// A timer under test, and a clock on the same window that quits the loop
// at the first of its own ticks at which `done` holds, given how often the
// clock has ticked. Timers fire in the order they fall due, so a timer of
// shorter period that runs has come due at every tick of the clock.
class TimerProbe : public Probe {
 public:
  static inline int mode = 0;

  void CreateControls() override {
    Add<fw::Timer>(ControlClass::Timer, "T", {.mode = mode, .period = 1})
        .InstallHandler(fw::kActionEvent, [ticks = ticks] { ++*ticks; });
  }
  void StartClock(int period, std::function<bool(int clockTicks)> done) {
    auto ticked = std::make_shared<int>(0);
    Add<fw::Timer>(ControlClass::Timer, "Clock", {.mode = 2, .period = period})
        .InstallHandler(fw::kActionEvent, [ticked, done = std::move(done)] {
          if (done(++*ticked)) fw::Quit();
        });
  }
  std::shared_ptr<int> ticks = std::make_shared<int>(0);
};

struct ModeCase {
  const char* name;
  int mode;
  int fewest, most;
  friend void PrintTo(const ModeCase& row, std::ostream* os) { *os << row.name; }
};

class TimerMode : public probe::FrameworkTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(TimerMode, TicksAsItsModeSays) {
  const ModeCase& row = GetParam();
  TimerProbe::mode = row.mode;
  TimerProbe* w = fw::ImplicitInstance<TimerProbe>();
  EXPECT_EQ(w->Get<fw::Timer>("T").Mode(), row.mode);
  // The loop runs until the timer has ticked as often as it must, and for
  // ten ticks of a 5 ms clock, each of which finds a 1 ms timer due again
  // if it runs on when it should not.
  w->StartClock(5, [ticks = w->ticks, fewest = row.fewest](int clockTicks) {
    return clockTicks >= 10 && *ticks >= fewest;
  });
  ASSERT_TRUE(probe::RunUntilQuit(*w));
  EXPECT_GE(*w->ticks, row.fewest);
  EXPECT_LE(*w->ticks, row.most);
}

INSTANTIATE_TEST_SUITE_P(Table, TimerMode,
                         ::testing::Values(ModeCase{"Off", 0, 0, 0}, ModeCase{"Once", 1, 1, 1},
                                           ModeCase{"Repeating", 2, 3, 1000000}),
                         probe::RowName());

TEST_F(ThrowingTest, TimerTicksRepeatedlyAndItsExceptionsDoNotStopIt) {
  auto ticks = std::make_shared<int>(0);
  ThrowingProbe::failure = [ticks] {
    if (++*ticks == 3) fw::Quit();
    throw fw::NilObjectException("tick failed");
  };
  ::testing::internal::CaptureStderr();
  fw::Timer& tick = w->Get<fw::Timer>("Tick");
  tick.SetPeriod(1);
  tick.SetMode(2);
  const bool quitByItself = probe::RunUntilQuit(*w);
  tick.SetMode(0);
  const std::string report = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(quitByItself);
  EXPECT_EQ(*ticks, 3);
  EXPECT_NE(report.find("tick failed"), std::string::npos);
}

class TimerTest : public probe::FrameworkTest {};

TEST_F(TimerTest, StopsWithItsWindow) {
  TimerProbe::mode = 2;
  TimerProbe* w = fw::ImplicitInstance<TimerProbe>();
  std::shared_ptr<int> ticks = w->ticks;
  w->StartClock(2, [ticks](int) { return *ticks > 0; });
  ASSERT_TRUE(probe::RunUntilQuit(*w));

  w->Close();
  const int atClose = *ticks;
  fw::testing::ProcessEvents();

  // The loop runs on with another window's clock: the closed window's timer
  // stays silent.
  TimerProbe::mode = 0;
  auto* other = fw::ImplicitInstance<TimerProbe>();
  other->StartClock(2, [](int clockTicks) { return clockTicks >= 10; });
  ASSERT_TRUE(probe::RunUntilQuit(*other));
  EXPECT_EQ(*ticks, atClose);
}

}  // namespace
