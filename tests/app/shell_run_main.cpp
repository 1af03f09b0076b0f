// The whole process as main() runs it, with Quit chosen from the menu as
// soon as the event loop turns. Not a gtest program: shell::Run brings the
// toolkit up and tears it down itself, which one gtest process can't share
// with other tests. The quit is scheduled from the toolkit's own start-up
// hook, so that shell::Run alone decides how the toolkit is made.
#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <string>

#include "app/menu.h"
#include "app/shell.h"
#include "fw/fw.h"
#include "fw/testing.h"

namespace {

struct Seen {
  bool mainWindowOpen = false, quitChosen = false, leftToRight = false;
  qsizetype toolkitArguments = -1;
} seen;

void ScheduleQuit() {
  fw::testing::CallSoon([] {
    seen.toolkitArguments = QCoreApplication::arguments().size();
    seen.leftToRight = QGuiApplication::layoutDirection() == Qt::LeftToRight;
    fw::Window* main = fw::GetImplicitWindow("Window1.Window1");
    seen.mainWindowOpen = main != nullptr && main->IsVisible();
    seen.quitChosen = main != nullptr && fw::testing::ChooseMenuItem(*main, "FileQuit");
    if (!seen.quitChosen) fw::Quit();
  });
}

int failures = 0;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "FAILED: %s\n", what);
  ++failures;
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(ScheduleQuit)

int main(int argc, char** argv) {
  const int status = shell::Run(argc, argv);

  Check(status == 0, "exit status 0");
  Check(seen.mainWindowOpen, "the main window was open while the loop ran");
  Check(seen.quitChosen, "Quit could be chosen");
  Check(seen.toolkitArguments == 1, "the toolkit saw only the program's name");
  Check(seen.leftToRight, "the layout runs left to right");
  Check(fw::RegisteredFileTypes().empty(), "no file type left registered");
  Check(Menu::implicitInstance == nullptr, "the menu bar released");
  Check(fw::TheApplication() == nullptr, "the application object released");
  Check(fw::GetImplicitWindow("Window1.Window1") == nullptr, "no window left");
  std::fprintf(stderr, "%d argument(s) after the program name; %d failure(s)\n", argc - 1, failures);
  return failures == 0 ? 0 : 1;
}
