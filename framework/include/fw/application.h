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

// Brings up the runtime (the GUI toolkit). Call once, before anything else.
void RuntimeInit(int& argc, char** argv);
// The program's releases of its own globals for a process that ends before
// RuntimeExit: exit() called by the toolkit (the display went away) or by a
// handler. It runs once, before the framework takes down the windows, the
// application object and the toolkit, in that order. RuntimeExit doesn't
// run it: on the ordinary road the program releases its globals itself.
void SetEarlyExitRoutine(std::function<void()> routine);
// Calls the start-up routine back once; an exception from it comes back out.
void RunFrameworkInitialization(const std::function<void()>& startup);
void RuntimeInitExternalClasses();
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
// Takes the runtime down (the windows, the application object, the toolkit,
// in that order) and gives the exit status: 0 after a normal quit.
int RuntimeExit();

// Where no display can be opened the runtime can't start; this tells why.
bool DisplayAvailable();

}  // namespace fw
