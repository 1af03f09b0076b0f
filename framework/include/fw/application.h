#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "fw/files.h"
#include "fw/menu.h"

namespace fw {

class Application {
 public:
  virtual ~Application();
  const std::shared_ptr<MenuBar>& GetMenuBar() const { return menuBar_; }
  void SetMenuBar(std::shared_ptr<MenuBar> bar) { menuBar_ = std::move(bar); }
  // The running executable, as the file system names it.
  static FolderItemPtr ExecutableFile();

 private:
  std::shared_ptr<MenuBar> menuBar_;
};

// A run, in the order the program's start-up and shut-down call it.

// Brings up the runtime (the GUI toolkit). Call once, before anything else.
// Where no display can be opened it says so in one line and ends the
// process with status 1.
void RuntimeInit(int& argc, char** argv);
// The program's releases of its own globals. The runtime's teardown runs
// it once, before it takes down the windows, the application object and
// the toolkit, on every way out: RuntimeExit, or exit() called by the
// toolkit (the display went away) or by a handler. On that last road it
// runs inside a destructor, so it must not throw.
void SetShutdownRoutine(std::function<void()> routine);
// Calls the start-up routine back once; an exception from it comes back out.
// Kept on purpose: the program hands its start-up to the framework, and the
// framework calls it back, in the order start-up is described.
void RunFrameworkInitialization(const std::function<void()>& startup);
// Kept on purpose, though it does nothing (native classes need no tables
// set up), so that start-up reads in the order it is described.
void RuntimeInitExternalClasses();
// Kept on purpose for the same reason: the program has no plug-ins, and
// the table it asks for has no use beyond standing in start-up's order.
struct PluginEntrypointsTable {
  std::vector<void*> entries;
};
std::shared_ptr<PluginEntrypointsTable> RuntimeAllocatePluginEntrypointsTable(int count);
// From now on the framework holds the application object.
void RegisterAppObject(std::unique_ptr<Application> app);
Application* TheApplication();
// The event loop; returns when the application quits. An exception that
// escapes a handler is reported and the loop goes on.
void RuntimeRun();
// Ends the event loop.
void Quit();
// Releases the framework's lists of windows (open, implicit, waiting to be
// redrawn): every window left is destroyed.
void ReleaseWindowLists();
// Takes the run down (the program's shut-down routine, any windows still
// left, the application object, the toolkit, in that order) and gives the exit
// status: 0 after a normal quit, 1 once UnhandledException has been called
// during the run.
int RuntimeExit();

}  // namespace fw
