// The whole program, left in one of the ways a process can end. Not a gtest
// program: each run owns its toolkit from start to end and ends the process
// itself; the exit-paths test starts it once per way and reads its status.
//
//   app_exit_paths <how> [status]
//
// how: quit, last-window-closed, exit-with-about, exit-with-credits,
//      lost-display (the X server named by DISPLAY is killed under it),
//      broken-display-write (the process's own connection to that server
//      breaks under its next write); and quit-as-credits-opens,
//      exit-as-credits-opens, lost-display-as-credits-opens, which leave
//      the moment the Credits window has opened and asked for its fanfare;
//      handler-throws-then-quit, where a handler's exception is reported
//      and the run goes on to Quit; startup-throws, where start-up meets a window of another class where
//      the main window's accessor looks, and so never reaches the loop;
//      file-type-left-at-exit, which registers the file type and returns
//      from main with no runtime, so that no shut-down routine releases it.
//      The process id of the X server comes in VANTOREL_X_SERVER_PID.
#include <QCoreApplication>

#include <dirent.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "app/about_window.h"
#include "app/credit_window.h"
#include "app/loaders.h"
#include "app/menu.h"
#include "app/shell.h"
#include "fw/fw.h"
#include "fw/testing.h"
#include "main_window/window1.h"

namespace {

std::string how;
int status = 0;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "app_exit_paths: %s\n", what);
  std::exit(2);
}

// Opens About, then Credits from its button, as the user would. The
// Credits window asks for its fanfare as it opens.
void OpenCredits() {
  implicit::Window1()->AppleAbout_Action();
  implicit::AboutWindow()->PushButton1_Action();
  if (finale() == nullptr || fw::testing::PlayCount(*finale()) == 0)
    Fail("the Credits window did not ask for its fanfare");
}

// Opens Credits and calls `then` once from a tick of the Credits clock,
// after the tick: by then the rotor has turned and been shown.
void AtACreditsTick(std::function<void()> then) {
  OpenCredits();
  CreditWindow* credits = implicit::CreditWindow();
  auto pending = std::make_shared<std::function<void()>>(std::move(then));
  credits->Get<fw::Timer>("Timer1").InstallHandler(fw::kActionEvent, [credits, pending] {
    credits->Timer1_Action();
    if (!*pending) return;
    const std::function<void()> now = std::move(*pending);
    *pending = nullptr;
    now();
  });
}

pid_t XServerPid() {
  const char* pid = std::getenv("VANTOREL_X_SERVER_PID");
  if (pid == nullptr || *pid == '\0') Fail("no VANTOREL_X_SERVER_PID");
  return static_cast<pid_t>(std::atol(pid));
}

// The process's own connection to the X server: the socket whose peer is
// one of the server's, whose names hold ".X11-unix".
int XConnection() {
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return -1;
  int found = -1;
  while (const dirent* entry = readdir(dir)) {
    const int fd = std::atoi(entry->d_name);
    sockaddr_un peer{};
    socklen_t size = sizeof peer;
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9' ||
        getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) != 0 ||
        peer.sun_family != AF_UNIX || size <= offsetof(sockaddr_un, sun_path))
      continue;
    // An abstract name starts with a zero byte; a string_view keeps it.
    const std::string_view name(peer.sun_path, size - offsetof(sockaddr_un, sun_path));
    if (name.find(".X11-unix") != std::string_view::npos) found = fd;
  }
  closedir(dir);
  return found;
}

// Stops the process and comes back once it stands stopped: the signal
// takes effect a moment after it is sent.
void Stop(pid_t pid) {
  kill(pid, SIGSTOP);
  const std::string statPath = "/proc/" + std::to_string(pid) + "/stat";
  for (;;) {
    std::ifstream stat(statPath);
    const std::string line((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t name = line.rfind(')');
    if (name == std::string::npos || name + 2 >= line.size()) return;  // gone
    if (line[name + 2] == 'T' || line[name + 2] == 't') return;
    sched_yield();
  }
}

// The write side of the connection is shut down, and at once the next tick
// repaints and the toolkit writes to the server. The server stands still
// meanwhile, so that it can't answer the shut-down connection by closing
// it: the toolkit learns of the break only from its own write.
void BreakTheDisplayUnderAWrite() {
  const pid_t server = XServerPid();
  const int connection = XConnection();
  if (connection < 0) Fail("no connection to the X server among the open files");
  Stop(server);
  shutdown(connection, SHUT_WR);
  implicit::CreditWindow()->Timer1_Action();
  kill(server, SIGCONT);
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
    AtACreditsTick([] { std::exit(status); });
  } else if (how == "lost-display") {
    AtACreditsTick([] { kill(XServerPid(), SIGKILL); });
  } else if (how == "broken-display-write") {
    AtACreditsTick(BreakTheDisplayUnderAWrite);
  } else if (how == "handler-throws-then-quit") {
    // Leave runs as a handler does: what escapes it is the framework's.
    fw::testing::CallSoon([] { fw::testing::ChooseMenuItem(*implicit::Window1(), "FileQuit"); });
    throw fw::NilObjectException("a handler's own fault");
  } else if (how == "quit-as-credits-opens") {
    OpenCredits();
    fw::testing::ChooseMenuItem(*implicit::Window1(), "FileQuit");
  } else if (how == "exit-as-credits-opens") {
    OpenCredits();
    std::exit(status);
  } else if (how == "lost-display-as-credits-opens") {
    OpenCredits();
    kill(XServerPid(), SIGKILL);
  } else {
    Fail(("no way out named \"" + how + "\"").c_str());
  }
}

class Impostor : public fw::Window {
 public:
  Impostor() : fw::Window("Window1.Window1") {}
};

// Runs as the toolkit comes up inside shell::Run, before the start-up
// routine: the only moment at which a run can be set up to fail there.
void ScheduleLeaving() {
  if (how == "startup-throws") fw::detail::AdoptWindow(std::make_unique<Impostor>());
  else fw::testing::CallSoon(Leave);
}

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
  if (how == "file-type-left-at-exit") {
    FileTypes::Initialize();
    return status;
  }
  return shell::Run(argc, argv);
}
