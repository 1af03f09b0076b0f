// The Credits window: its look, the rotor animation tick by tick, the
// fanfare, and what it does when its files are missing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/about_window.h"
#include "app/credit_window.h"
#include "app/loaders.h"
#include "gui/fixture.h"
#include "resource_layout.h"
#include "rotor.h"
#include "support/lines.h"
#include "support/pipe_watchdog.h"
#include "support/saved_picture.h"

namespace {

constexpr const char* kCreditsClass = "CreditWindow.CreditWindow";
constexpr fw::Color kBand = fw::HexColor(0xD2F0ED);
constexpr fw::Color kBlack{0, 0, 0};
constexpr fw::Color kWhite{255, 255, 255};

CreditWindow* OpenCredits() {
  CreditWindow* w = implicit::CreditWindow();
  rotor::StopClock(*w);
  return w;
}

std::vector<std::string> Ticks(CreditWindow& w, int count) {
  std::vector<std::string> drawn;
  for (int i = 0; i < count; ++i) drawn.emplace_back(rotor::Name(rotor::Tick(w)));
  return drawn;
}

class CreditsTest : public FreshApp {};

TEST_F(CreditsTest, WindowLooksAsLaidOut) {
  CreditWindow* w = implicit::CreditWindow();
  const fw::Timer& timer = w->Get<fw::Timer>("Timer1");
  EXPECT_EQ(timer.Mode(), 2);
  EXPECT_EQ(timer.Period(), 1);
  rotor::StopClock(*w);
  fw::testing::ProcessEvents();
  EXPECT_EQ(fw::testing::Look(*w), (fw::testing::WindowLook{.contentWidth = 190,
                                                              .contentHeight = 270,
                                                              .title = "Credits",
                                                              .fixedSize = true,
                                                              .closeButton = false,
                                                              .minimizeButton = true,
                                                              .maximizeButton = false,
                                                              .dialog = true,
                                                              .menuBar = false}));
  ASSERT_NE(w->Backdrop(), nullptr);
  EXPECT_EQ(w->Backdrop().get(), CreditsHeli().get());

  const auto& rect = w->Get<fw::Rectangle>("Rectangle1");
  EXPECT_EQ(rect.Left(), 0);
  EXPECT_EQ(rect.Top(), 240);
  EXPECT_EQ(rect.Width(), 190);
  EXPECT_EQ(rect.Height(), 30);
  EXPECT_EQ(rect.FillColor(), kBand);
  EXPECT_EQ(rect.BorderWidth(), 1);
}

// The band at the bottom: framed in black, filled inside, across the whole
// width; the picture above it stays the picture.
TEST_F(CreditsTest, BandCoversTheBottomThirtyRows) {
  CreditWindow* w = OpenCredits();
  fw::testing::ProcessEvents();
  const fw::PicturePtr heli = CreditsHeli();
  ASSERT_NE(heli, nullptr);
  for (int y = 240; y < 270; ++y) {
    for (int x = 0; x < 190; ++x) {
      const bool edge = y == 240 || y == 269 || x == 0 || x == 189;
      const fw::Color shown = fw::testing::ShownPixel(*w, x, y);
      if (shown != (edge ? kBlack : kBand)) {
        ADD_FAILURE() << "pixel " << x << "," << y;
        return;
      }
    }
  }
  for (int x : {0, 60, 189}) EXPECT_EQ(fw::testing::ShownPixel(*w, x, 239), heli->Pixel(x, 239)) << x;
}

TEST_F(CreditsTest, OpeningPlaysTheFanfareOnceAndStartsAtFrameZero) {
  CreditWindow* w = OpenCredits();
  ASSERT_NE(finale(), nullptr);
  EXPECT_EQ(fw::testing::PlayCount(*finale()), 1);
  EXPECT_EQ(w->n, 0);
  EXPECT_EQ(implicit::CreditWindow(), w);
  EXPECT_EQ(fw::testing::PlayCount(*finale()), 1);
}

TEST_F(CreditsTest, TicksTurnTheRotorThroughItsFrames) {
  CreditWindow* w = OpenCredits();
  const std::vector<std::string> expected = {
      "Prop",  "Prop1", "Prop2", "Prop3",   "nothing", "Prop2", "Prop1", "nothing", "nothing",
      "Prop1", "Prop2", "Prop3", "nothing", "Prop2",   "Prop1", "nothing", "nothing", "Prop1"};
  EXPECT_EQ(Ticks(*w, static_cast<int>(expected.size())), expected);
}

TEST_F(CreditsTest, CounterStaysInItsRange) {
  CreditWindow* w = OpenCredits();
  for (int tick = 0; tick < 100; ++tick) {
    SCOPED_TRACE("tick " + std::to_string(tick + 1));
    ASSERT_GE(w->n, 0);
    ASSERT_LE(w->n, 8);
    w->Timer1_Action();
    ASSERT_GE(w->n, 1);
    ASSERT_LE(w->n, 8);
  }
}

// What a person sees is what was drawn: a tick shows at once.
TEST_F(CreditsTest, TickShowsOnScreen) {
  CreditWindow* w = OpenCredits();
  fw::testing::ProcessEvents();
  w->Timer1_Action();
  const fw::PicturePtr frame = Prop();
  ASSERT_NE(frame, nullptr);
  for (int y = 0; y < rotor::kSize; y += 11)
    for (int x = 0; x < rotor::kSize; x += 11)
      EXPECT_EQ(fw::testing::ShownPixel(*w, rotor::kX + x, rotor::kY + y), frame->Pixel(x, y));
}

// The clock runs by itself in the event loop.
TEST_F(CreditsTest, ClockTurnsTheRotorWhileTheLoopRuns) {
  CreditWindow* w = implicit::CreditWindow();
  EXPECT_TRUE(fw::testing::RunEventsUntil([w] { return w->n != 0; }));
}

TEST_F(CreditsTest, MouseDownClosesAndReportsUnhandled) {
  CreditWindow* w = OpenCredits();
  EXPECT_FALSE(w->Event_MouseDown(10, 10));
  EXPECT_FALSE(w->IsOpen());
  EXPECT_EQ(fw::GetImplicitWindow(kCreditsClass), nullptr);
}

TEST_F(CreditsTest, PressOnTheBandOrThePictureCloses) {
  struct Row {
    const char* name;
    int x, y;
  };
  for (const Row& row : {Row{"picture", 20, 20}, Row{"band", 95, 255}}) {
    SCOPED_TRACE(row.name);
    CreditWindow* w = OpenCredits();
    fw::testing::ProcessEvents();
    fw::testing::PressMouse(*w, row.x, row.y);
    EXPECT_EQ(fw::GetImplicitWindow(kCreditsClass), nullptr);
    fw::testing::ProcessEvents();
  }
}

// A press the window system delivers after the one that closed the window
// (one it had queued, say) reaches a window that is closed and not yet
// gone: it must not bring up a new Credits window nor its fanfare.
TEST_F(CreditsTest, SecondPressOnTheClosedWindowOpensNoNewOne) {
  CreditWindow* w = OpenCredits();
  fw::testing::ProcessEvents();
  ASSERT_TRUE(fw::testing::PressMouseOnPlatformWindow(*w, 20, 20));
  ASSERT_EQ(fw::GetImplicitWindow(kCreditsClass), nullptr);
  const int held = fw::testing::WindowsHeld();
  ASSERT_TRUE(fw::testing::PressMouseOnPlatformWindow(*w, 20, 20));
  EXPECT_EQ(fw::testing::WindowsHeld(), held);
  ASSERT_NE(finale(), nullptr);
  EXPECT_EQ(fw::testing::PlayCount(*finale()), 1);
}

// A closed window's clock must not bring a window back: the ticks that are
// still due when it closes find nothing to draw on.
TEST_F(CreditsTest, ClosedWindowStaysClosedWhileItsClockIsDue) {
  CreditWindow* w = implicit::CreditWindow();
  fw::testing::ProcessEvents();
  fw::testing::PressMouse(*w, 20, 20);
  ASSERT_EQ(fw::GetImplicitWindow(kCreditsClass), nullptr);
  // The window's clock ticks every millisecond.
  ASSERT_TRUE(fw::testing::RunClockTicks(1, 3));
  EXPECT_EQ(fw::GetImplicitWindow(kCreditsClass), nullptr);
  ASSERT_NE(finale(), nullptr);
  EXPECT_EQ(fw::testing::PlayCount(*finale()), 1);
}

TEST_F(CreditsTest, ReopenedWindowIsNewPlaysAgainAndStartsOver) {
  CreditWindow* first = OpenCredits();
  Ticks(*first, 5);
  fw::testing::PressMouse(*first, 20, 20);
  // Until the loop turns the first window still exists, so the new one
  // can't share its address.
  CreditWindow* second = OpenCredits();
  EXPECT_NE(second, first);
  EXPECT_EQ(fw::testing::PlayCount(*finale()), 2);
  EXPECT_EQ(second->n, 0);
  EXPECT_EQ(Ticks(*second, 2), (std::vector<std::string>{"Prop", "Prop1"}));
}

TEST_F(CreditsTest, ReopenedFromTheAboutWindowPlaysAgain) {
  Window1* main = implicit::Window1();
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    ASSERT_TRUE(fw::testing::ChooseMenuItem(*main, "AppleAbout"));
    auto* about = dynamic_cast<AboutWindow*>(fw::GetImplicitWindow("AboutWindow.AboutWindow"));
    ASSERT_NE(about, nullptr);
    fw::testing::Click(about->Get<fw::Control>("PushButton1"));
    auto* credits = dynamic_cast<CreditWindow*>(fw::GetImplicitWindow(kCreditsClass));
    ASSERT_NE(credits, nullptr);
    rotor::StopClock(*credits);
    EXPECT_EQ(fw::testing::PlayCount(*finale()), round);
    EXPECT_EQ(rotor::Name(rotor::Tick(*credits)), std::string("Prop"));
    rotor::Tick(*credits);
    fw::testing::PressMouse(*credits, 20, 20);
    EXPECT_EQ(fw::GetImplicitWindow(kCreditsClass), nullptr);
    fw::testing::ProcessEvents();
  }
}

// --- with files missing ------------------------------------------------------

TEST_F(CreditsTest, WithoutTheSoundItOpensSilentlyAndStillTurns) {
  ResourceLayout layout;
  layout.PutAllBut({"finale"});
  CreditWindow* w = nullptr;
  EXPECT_NO_THROW(w = OpenCredits());
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->IsOpen());
  EXPECT_EQ(finale(), nullptr);
  EXPECT_EQ(w->n, 0);
  EXPECT_EQ(Ticks(*w, 3), (std::vector<std::string>{"Prop", "Prop1", "Prop2"}));
}

// Handlers run from the event loop report what escapes them; nothing must.
TEST_F(CreditsTest, WithoutTheSoundTheAboutButtonOpensItQuietly) {
  ResourceLayout layout;
  layout.PutAllBut({"finale"});
  Window1* main = implicit::Window1();
  ASSERT_TRUE(fw::testing::ChooseMenuItem(*main, "AppleAbout"));
  auto* about = dynamic_cast<AboutWindow*>(fw::GetImplicitWindow("AboutWindow.AboutWindow"));
  ASSERT_NE(about, nullptr);
  ::testing::internal::CaptureStderr();
  fw::testing::Click(about->Get<fw::Control>("PushButton1"));
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err.find("Unhandled"), std::string::npos) << err;
  EXPECT_NE(fw::GetImplicitWindow(kCreditsClass), nullptr);
}

struct MissingFrameRow {
  const char* name;
  const char* file;
  std::vector<std::string> ticks;
};

class MissingFrameTest : public FreshApp, public ::testing::WithParamInterface<MissingFrameRow> {};

TEST_P(MissingFrameTest, TickDrawsNothingAndTheWindowGoesOn) {
  ResourceLayout layout;
  layout.PutAllBut({GetParam().file});
  CreditWindow* w = OpenCredits();
  EXPECT_EQ(Ticks(*w, static_cast<int>(GetParam().ticks.size())), GetParam().ticks);
  EXPECT_TRUE(w->IsOpen());
  EXPECT_EQ(w->n, static_cast<int>(GetParam().ticks.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Credits, MissingFrameTest,
    ::testing::Values(
        MissingFrameRow{"Prop", "Prop.png", {"nothing", "Prop1", "Prop2", "Prop3"}},
        MissingFrameRow{"Prop1", "Prop1.png", {"Prop", "nothing", "Prop2", "Prop3", "nothing", "Prop2", "nothing"}},
        MissingFrameRow{"Prop2", "Prop2.png", {"Prop", "Prop1", "nothing", "Prop3", "nothing", "nothing"}},
        MissingFrameRow{"Prop3", "Prop3.png", {"Prop", "Prop1", "Prop2", "nothing", "nothing"}}),
    [](const ::testing::TestParamInfo<MissingFrameRow>& info) { return std::string(info.param.name); });

// A rotor frame that is there but can't be read is tried again at every
// tick, and picked up at the next tick once it is put right; what the log
// gets of it is one line, however long the rotor turns.
struct BrokenFrameRow {
  const char* name;
  const char* file;
  std::function<void(const std::filesystem::path&)> breakIt;
  friend void PrintTo(const BrokenFrameRow& row, std::ostream* os) { *os << row.name; }
};

void ReplaceByPipe(const std::filesystem::path& p) {
  std::filesystem::remove(p);
  ASSERT_EQ(mkfifo(p.c_str(), 0600), 0);
}

class BrokenFrameTest : public FreshApp, public ::testing::WithParamInterface<BrokenFrameRow> {};

TEST_P(BrokenFrameTest, IsReportedOnceAndPickedUpWhenMended) {
  ResourceLayout layout;
  layout.PutAll();
  const std::filesystem::path file = layout.Resources() / GetParam().file;
  GetParam().breakIt(file);
  std::optional<PipeWatchdog> watchdog;
  if (std::filesystem::is_fifo(file)) watchdog.emplace(file);
  CreditWindow* w = OpenCredits();
  ::testing::internal::CaptureStderr();
  const std::vector<std::string> ticks = Ticks(*w, 400);
  const std::string err = ::testing::internal::GetCapturedStderr();
  if (watchdog) {
    ASSERT_FALSE(watchdog->Rescued()) << "a tick waited in the pipe's open";
  }
  const std::vector<std::string> lines = LinesOf(err);
  ASSERT_EQ(lines.size(), 1u) << err;
  EXPECT_NE(lines[0].find(file.string()), std::string::npos) << lines[0];
  EXPECT_TRUE(w->IsOpen());
  EXPECT_EQ(std::count(ticks.begin(), ticks.end(), std::string("something else")), 0);

  std::filesystem::remove(file);
  layout.Put(GetParam().file);
  // The cycle shows Prop1 at its first and last ticks; Prop only at the first.
  if (std::string(GetParam().file) == "Prop1.png") {
    const std::vector<std::string> next = Ticks(*w, 8);
    EXPECT_NE(std::find(next.begin(), next.end(), "Prop1"), next.end())
        << ::testing::PrintToString(next);
  } else {
    EXPECT_NE(Prop(), nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Credits, BrokenFrameTest,
    ::testing::Values(
        BrokenFrameRow{"TruncatedProp1", "Prop1.png",
                       [](const std::filesystem::path& p) { std::filesystem::resize_file(p, 100); }},
        BrokenFrameRow{"Prop1IsAPipe", "Prop1.png",
                       ReplaceByPipe},
        BrokenFrameRow{"PropIsAPipe", "Prop.png",
                       ReplaceByPipe}),
    [](const ::testing::TestParamInfo<BrokenFrameRow>& info) { return std::string(info.param.name); });

TEST_F(CreditsTest, WithoutTheBackdropTheWindowIsWhite) {
  ResourceLayout layout;
  layout.PutAllBut({"CreditsHeli.jpg"});
  CreditWindow* w = OpenCredits();
  fw::testing::ProcessEvents();
  EXPECT_EQ(w->Backdrop(), nullptr);
  for (int y : {5, 60, 200, 235}) {
    EXPECT_EQ(w->GetGraphics().Pixel(10, y), kWhite) << y;
    EXPECT_EQ(fw::testing::ShownPixel(*w, 10, y), kWhite) << y;
  }
  EXPECT_EQ(fw::testing::ShownPixel(*w, 95, 255), kBand);
  EXPECT_EQ(Ticks(*w, 1), std::vector<std::string>{"Prop"});
}

// A fanfare cut off inside its samples is no sound the toolkit can play:
// the window opens silently, says why once, and the rotor turns.
TEST_F(CreditsTest, WithTheSoundCutShortItOpensSilentlyAndStillTurns) {
  ResourceLayout layout;
  layout.PutAll();
  const std::filesystem::path sound = layout.Resources() / "finale";
  std::filesystem::resize_file(sound, std::filesystem::file_size(sound) - 1000);
  CreditWindow* w = nullptr;
  ::testing::internal::CaptureStderr();
  EXPECT_NO_THROW(w = OpenCredits());
  // What the window's files give, among what the toolkit says of the window.
  std::vector<std::string> lines;
  for (const std::string& line : LinesOf(::testing::internal::GetCapturedStderr()))
    if (line.rfind("Sound ", 0) == 0 || line.rfind("Picture ", 0) == 0) lines.push_back(line);
  ASSERT_EQ(lines.size(), 1u) << ::testing::PrintToString(lines);
  EXPECT_EQ(lines[0].rfind("Sound " + sound.string() + " can't be played: ", 0), 0u) << lines[0];
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->IsOpen());
  EXPECT_EQ(finale(), nullptr);
  EXPECT_EQ(Ticks(*w, 3), (std::vector<std::string>{"Prop", "Prop1", "Prop2"}));
}

// The saved picture is the Credits window a few ticks on: the backdrop, the
// rotor frame the last tick drew at its place over it, the band below.
TEST_F(CreditsTest, Screenshot) {
  CreditWindow* w = OpenCredits();
  ASSERT_EQ(Ticks(*w, 3).back(), "Prop2");
  fw::testing::ProcessEvents();
  const fw::PicturePtr picture = saved::SaveAndReadBack(*w, "credits-window.png");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Width(), 190);
  EXPECT_EQ(picture->Height(), 270);

  const fw::PicturePtr heli = CreditsHeli(), frame = Prop2();
  ASSERT_NE(heli, nullptr);
  ASSERT_NE(frame, nullptr);
  const saved::Box rotorBox{rotor::kX, rotor::kY, rotor::kSize, rotor::kSize};
  const saved::Expectation backdrop = saved::Copy(*heli, 0, 0);
  EXPECT_TRUE(saved::Shows(*picture, {0, 0, 190, 240}, [&](int x, int y) -> std::optional<fw::Color> {
    if (rotorBox.Contains(x, y)) return std::nullopt;
    return backdrop(x, y);
  }));
  EXPECT_TRUE(saved::Shows(*picture, rotorBox, saved::Copy(*frame, rotor::kX, rotor::kY)));
  EXPECT_TRUE(saved::Filled(*picture, {1, 241, 188, 28}, kBand));
}

}  // namespace
