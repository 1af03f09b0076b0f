// The whole program, left in one of the ways a process can end. Not a gtest
// program: each run owns its toolkit from start to end and ends the process
// itself; the exit-paths test starts it once per way and reads its status.
//
//   app_exit_paths <how> [status]
//
// how: quit, last-window-closed, exit-with-about, exit-with-credits,
//      lost-display (the X server named by DISPLAY is stopped under it: the
//      process id of that server comes in VANTOREL_KILL_PID).
#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/about_window.h"
#include "app/credit_window.h"
#include "app/menu.h"
#include "app/shell.h"
#include "fw/fw.h"
#include "fw/testing.h"
#include "main_window/window1.h"

namespace {

std::string how;
int status = 0;

// Opens About, then Credits from its button, as the user would.
void OpenCredits() {
  implicit::Window1()->AppleAbout_Action();
  implicit::AboutWindow()->PushButton1_Action();
}

void Leave() {
  if (how == "quit") {
    fw::testing::ChooseMenuItem(*implicit::Window1(), "FileQuit");
  } else if (how == "last-window-closed") {
    implicit::Window1()->Close();
  } else if (how == "exit-with-about") {
    implicit::Window1()->AppleAbout_Action();
    std::exit(status);
  } else if (how == "exit-with-credits") {
    OpenCredits();
    // Let the rotor turn and the sound start before the process goes.
    QTimer::singleShot(50, [] { std::exit(status); });
  } else if (how == "lost-display") {
    OpenCredits();
    QTimer::singleShot(50, [] {
      const char* pid = std::getenv("VANTOREL_KILL_PID");
      if (pid != nullptr) kill(static_cast<pid_t>(std::atol(pid)), SIGKILL);
    });
  } else {
    std::fprintf(stderr, "app_exit_paths: no way out named \"%s\"\n", how.c_str());
    std::exit(2);
  }
}

void ScheduleLeaving() { fw::testing::CallSoon(Leave); }

// Registered before the runtime exists, so it runs after the runtime is
// taken down, whichever way the process ends: it tells what was left.
void TellWhatWasLeft() {
  std::string left;
  if (fw::GetImplicitWindow("Window1.Window1") || fw::GetImplicitWindow("AboutWindow.AboutWindow") ||
      fw::GetImplicitWindow("CreditWindow.CreditWindow"))
    left += " a window";
  if (fw::TheApplication() != nullptr) left += " the application object";
  if (Menu::implicitInstance != nullptr) left += " the menu bar";
  if (!fw::RegisteredFileTypes().empty()) left += " the file type";
  std::fprintf(stderr, "app_exit_paths: %s\n",
               left.empty() ? "everything released" : ("left:" + left).c_str());
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(ScheduleLeaving)

int main(int argc, char** argv) {
  if (argc > 1) how = argv[1];
  if (argc > 2) status = std::atoi(argv[2]);
  std::atexit(TellWhatWasLeft);
  return shell::Run(argc, argv);
}
