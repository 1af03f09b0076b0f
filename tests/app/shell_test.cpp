// Start-up and shut-down of the application, in process, and the real
// executable's refusal to start where there is no display.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/loaders.h"
#include "app/menu.h"
#include "app/shell.h"
#include "fw/fw.h"
#include "fw/testing.h"
#include "gui/fixture.h"
#include "resource_layout.h"
#include "child_process.h"

namespace {

class ShellTest : public FreshApp {
 protected:
  void SetUp() override {
    FreshApp::SetUp();
    FileTypes::pApplicationApplefile.reset();
  }
  void TearDown() override {
    FileTypes::pApplicationApplefile.reset();
    FreshApp::TearDown();
  }
};

TEST_F(ShellTest, StartupRegistersTheFileTypeTheAppAndTheMainWindow) {
  ASSERT_TRUE(fw::RegisteredFileTypes().empty());
  const fw::Application* before = fw::TheApplication();
  shell::Startup();

  const std::vector<fw::RegisteredFileType> types = fw::RegisteredFileTypes();
  ASSERT_EQ(types.size(), 1u);
  EXPECT_EQ(types[0].name, "application/applefile");
  EXPECT_EQ(types[0].creator, "ZUZE");
  EXPECT_EQ(types[0].type, "BINA");
  EXPECT_EQ(types[0].extensions, "");

  fw::Application* app = fw::TheApplication();
  ASSERT_NE(app, nullptr);
  EXPECT_NE(app, before);
  EXPECT_NE(dynamic_cast<App*>(app), nullptr);
  fw::Window* main = fw::GetImplicitWindow("Window1.Window1");
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(main->IsVisible());
  ASSERT_NE(Menu::implicitInstance, nullptr);
  EXPECT_EQ(app->GetMenuBar().get(), Menu::implicitInstance.get());
  EXPECT_EQ(main->GetMenuBar().get(), Menu::implicitInstance.get());
}

// The application gets the bar before any window exists, so the window
// finds it made and shares it.
TEST_F(ShellTest, AppObjectHoldsTheMenuBarBeforeTheMainWindowExists) {
  shell::InitFileTypes();
  shell::NewAppInstance();
  ASSERT_NE(fw::TheApplication(), nullptr);
  const std::shared_ptr<fw::MenuBar> bar = fw::TheApplication()->GetMenuBar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar.get(), Menu::implicitInstance.get());
  EXPECT_EQ(fw::GetImplicitWindow("Window1.Window1"), nullptr);
  shell::MakeDefaultView();
  fw::Window* main = fw::GetImplicitWindow("Window1.Window1");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->GetMenuBar().get(), bar.get());
}

TEST_F(ShellTest, InitialisingTheFileTypesAgainKeepsOneEntry) {
  shell::InitFileTypes();
  shell::InitFileTypes();
  EXPECT_EQ(fw::RegisteredFileTypes().size(), 1u);
}

// What each release step finds done when the next one runs.
struct ReleaseLog {
  bool windowGone = false, windowSawSoundGone = false, windowSawMenu = false;
  std::size_t typesWhenWindowWent = 99;
  bool menuGone = false, menuSawWindowGone = false;
  std::size_t typesWhenMenuWent = 99;
};

class ProbeWindow : public fw::Window {
 public:
  ProbeWindow(ReleaseLog& log, std::weak_ptr<fw::Sound> sound)
      : fw::Window("ProbeWindow.ProbeWindow"), log_(log), sound_(std::move(sound)) {}
  ~ProbeWindow() override {
    log_.windowGone = true;
    log_.windowSawSoundGone = sound_.expired();
    log_.windowSawMenu = Menu::implicitInstance != nullptr;
    log_.typesWhenWindowWent = fw::RegisteredFileTypes().size();
  }

 private:
  ReleaseLog& log_;
  std::weak_ptr<fw::Sound> sound_;
};

class ProbeMenu : public Menu {
 public:
  explicit ProbeMenu(ReleaseLog& log) : log_(log) {}
  ~ProbeMenu() override {
    log_.menuGone = true;
    log_.menuSawWindowGone = log_.windowGone;
    log_.typesWhenMenuWent = fw::RegisteredFileTypes().size();
  }

 private:
  ReleaseLog& log_;
};

TEST_F(ShellTest, FinalizeReleasesSoundWindowsFileTypeAndMenuInThatOrder) {
  ReleaseLog log;
  fw::SoundPtr sound = finale();
  ASSERT_NE(sound, nullptr);
  // Only the cache may hold the sound, or its release can't be seen.
  const std::weak_ptr<fw::Sound> cached = sound;
  sound.reset();
  fw::detail::AdoptWindow(std::make_unique<ProbeWindow>(log, cached)).Constructor();
  FileTypes::Initialize();
  Menu::implicitInstance = std::make_shared<ProbeMenu>(log);

  shell::Finalize();

  EXPECT_TRUE(cached.expired());
  EXPECT_TRUE(log.windowGone);
  EXPECT_TRUE(log.windowSawSoundGone);
  EXPECT_EQ(log.typesWhenWindowWent, 1u);
  EXPECT_TRUE(log.windowSawMenu);
  EXPECT_TRUE(log.menuGone);
  EXPECT_TRUE(log.menuSawWindowGone);
  EXPECT_EQ(log.typesWhenMenuWent, 0u);
  EXPECT_TRUE(fw::RegisteredFileTypes().empty());
  EXPECT_EQ(FileTypes::pApplicationApplefile, nullptr);
  EXPECT_EQ(Menu::implicitInstance, nullptr);
  EXPECT_EQ(fw::GetImplicitWindow("ProbeWindow.ProbeWindow"), nullptr);
  EXPECT_EQ(finale(), nullptr);
}

TEST_F(ShellTest, MainRunsTheLoopUntilQuitIsChosen) {
  bool chosen = false;
  fw::testing::CallSoon([&chosen] {
    fw::Window* main = fw::GetImplicitWindow("Window1.Window1");
    chosen = main != nullptr && fw::testing::ChooseMenuItem(*main, "FileQuit");
    // Never leave the loop running when the menu failed.
    if (!chosen) fw::Quit();
  });
  EXPECT_EQ(shell::Main(), 0);
  EXPECT_TRUE(chosen);
  EXPECT_NE(fw::GetImplicitWindow("Window1.Window1"), nullptr);
  shell::Finalize();
  EXPECT_EQ(fw::GetImplicitWindow("Window1.Window1"), nullptr);
  EXPECT_TRUE(fw::RegisteredFileTypes().empty());
}

// A window of another class where the main window's accessor looks makes
// the start-up routine raise, as any failure in it would.
class Impostor : public fw::Window {
 public:
  Impostor() : fw::Window("Window1.Window1") {}
};

TEST_F(ShellTest, ExceptionFromStartupSkipsTheLoopAndIsReported) {
  fw::detail::AdoptWindow(std::make_unique<Impostor>());
  bool loopRan = false;
  fw::testing::CallSoon([&loopRan] {
    loopRan = true;
    fw::Quit();
  });
  ::testing::internal::CaptureStderr();
  const int status = shell::Main();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(loopRan);
  EXPECT_NE(err.find("NilObjectException"), std::string::npos) << err;
  EXPECT_NE(err.find("window of another class"), std::string::npos) << err;
  fw::testing::ProcessEvents();  // runs the pending call with no loop to end
}

// --- the real executable -----------------------------------------------------

Outcome RunExecutable(const std::vector<std::string>& env) {
  return Spawn((BuildDir() / "bin" / "vantorel").string(), {"--extra", "argument"}, env);
}

// Without a display to show the window on the program can't run: it says
// why in one line of its own and ends with status 1, also where a display
// is named but can't be reached, rather than the toolkit's abort.
struct NoDisplayRow {
  const char* name;
  std::vector<std::string> env;
  const char* says;
  friend void PrintTo(const NoDisplayRow& row, std::ostream* os) { *os << row.name; }
};

class NoDisplayTest : public ::testing::TestWithParam<NoDisplayRow> {};

TEST_P(NoDisplayTest, ExecutableExitsWithStatusOneAndSaysWhyInOneLine) {
  const Outcome out = RunExecutable(GetParam().env);
  EXPECT_TRUE(out.exited) << "ended by signal " << out.signal << ":\n" << out.err;
  EXPECT_EQ(out.status, 1) << out.err;
  EXPECT_NE(out.err.find(GetParam().says), std::string::npos) << out.err;
  EXPECT_NE(out.err.find("vantorel: "), std::string::npos) << out.err;
  // Where the display is what is missing, the user is told where it runs.
  const bool aboutTheDisplay = std::string(GetParam().says).find("display") != std::string::npos;
  EXPECT_EQ(out.err.find("Run it on a desktop, or under xvfb-run.") != std::string::npos,
            aboutTheDisplay)
      << out.err;
  ASSERT_FALSE(out.err.empty());
  EXPECT_EQ(out.err.find('\n'), out.err.size() - 1) << "more than one line:\n" << out.err;
}

INSTANTIATE_TEST_SUITE_P(
    Shell, NoDisplayTest,
    ::testing::Values(
        NoDisplayRow{"EmptyEnvironment", {}, "cannot open a display"},
        NoDisplayRow{"OnlyHomeAndPath", {"HOME=/tmp", "PATH=/usr/bin:/bin"}, "cannot open a display"},
        NoDisplayRow{"DisplayVariablesBlank",
                     {"DISPLAY=", "WAYLAND_DISPLAY=", "QT_QPA_PLATFORM="}, "cannot open a display"},
        NoDisplayRow{"LocalDisplayWithNoServer", {"DISPLAY=:199", "PATH=/usr/bin:/bin"},
                     "cannot open display \":199\""},
        NoDisplayRow{"NetworkDisplayWithNoServer", {"DISPLAY=127.0.0.1:199"},
                     "cannot open display \"127.0.0.1:199\""},
        NoDisplayRow{"X11AskedForByName", {"DISPLAY=:199", "QT_QPA_PLATFORM=xcb"},
                     "cannot open display \":199\""},
        // The toolkit's window system here is X11, so a Wayland name alone
        // leaves it without a display.
        NoDisplayRow{"OnlyAWaylandDisplay", {"WAYLAND_DISPLAY=vantorel-wayland-199"},
                     "cannot open a display"},

        NoDisplayRow{"X11LastInAListToTry", {"DISPLAY=:199", "QT_QPA_PLATFORM=wayland;xcb"},
                     "cannot open display \":199\""},
        NoDisplayRow{"UnknownWindowSystem", {"QT_QPA_PLATFORM=no-such-platform"},
                     "cannot start the window system \"no-such-platform\""}),
    [](const ::testing::TestParamInfo<NoDisplayRow>& info) { return std::string(info.param.name); });

}  // namespace
