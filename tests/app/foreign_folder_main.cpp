// The whole program, copied by its test into a folder whose name is not
// UTF-8 with the build's Resources beside it; Credits is pressed as soon as
// the event loop turns. Not a gtest program: it owns its toolkit from start
// to end as the program does, finds its files from its own path as the
// program does, says on its standard error what was amiss, and ends with
// status 1 if anything was.
#include <QCoreApplication>

#include <cstdio>
#include <exception>

#include "app/about_window.h"
#include "app/credit_window.h"
#include "app/loaders.h"
#include "app/shell.h"
#include "fw/fw.h"
#include "fw/testing.h"
#include "main_window/window1.h"
#include "rotor.h"

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "FAILED: %s\n", what);
  ++failures;
}

// As the user would: About from the menu, then its Credits button.
void PressCredits() {
  Window1* main = implicit::Window1();
  Check(fw::testing::ChooseMenuItem(*main, "AppleAbout"), "About could be chosen");
  auto* about = dynamic_cast<AboutWindow*>(fw::GetImplicitWindow("AboutWindow.AboutWindow"));
  Check(about != nullptr, "the About window opened");
  if (about != nullptr) fw::testing::Click(about->Get<fw::Control>("PushButton1"));
  auto* credits = dynamic_cast<CreditWindow*>(fw::GetImplicitWindow("CreditWindow.CreditWindow"));
  Check(credits != nullptr, "pressing Credits opened the Credits window");
  if (credits != nullptr) {
    rotor::StopClock(*credits);
    Check(credits->Backdrop() != nullptr, "the Credits window shows its picture");
    Check(rotor::Tick(*credits) == rotor::Drawn::Prop, "the first tick drew the rotor's first frame");
    Check(rotor::Tick(*credits) == rotor::Drawn::Prop1, "the second tick drew its second frame");
  }
  const fw::SoundPtr sound = finale();
  Check(sound != nullptr, "the fanfare was found");
  Check(sound != nullptr && fw::testing::PlayCount(*sound) == 1, "the fanfare was played");
  Check(sound != nullptr && !fw::testing::Samples(*sound).bytes.empty(),
        "the fanfare's samples were read");
}

// Whatever happened, the run ends.
void PressCreditsAndQuit() {
  try {
    PressCredits();
  } catch (...) {
    fw::UnhandledException(std::current_exception());
    Check(false, "nothing escaped");
  }
  fw::Quit();
}

void SchedulePress() { fw::testing::CallSoon(PressCreditsAndQuit); }

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(SchedulePress)

int main(int argc, char** argv) {
  const int status = shell::Run(argc, argv);
  Check(status == 0, "exit status 0");
  std::fprintf(stderr, "app_foreign_folder: %d failure(s)\n", failures);
  return failures == 0 ? 0 : 1;
}
