#include "app/shell.h"

#include <exception>

#include "app/loaders.h"
#include "app/menu.h"
#include "fw/exceptions.h"
#include "main_window/window1.h"

namespace FileTypes {

std::shared_ptr<fw::FileType> pApplicationApplefile;

void Initialize() {
  pApplicationApplefile = std::make_shared<fw::FileType>();
  pApplicationApplefile->SetName("application/applefile");
  pApplicationApplefile->SetExtensions("");
  pApplicationApplefile->SetMacType("BINA");
  pApplicationApplefile->SetMacCreator("ZUZE");
  // Registering gives the type's name, which nothing here needs.
  (void)pApplicationApplefile->Register();
}

}  // namespace FileTypes

namespace shell {

std::shared_ptr<fw::PluginEntrypointsTable> pluginEntrypoints;

void Initialize() {}

void RuntimeInitExternalClasses() { fw::RuntimeInitExternalClasses(); }

void InitPluginEntrypoints() { pluginEntrypoints = fw::RuntimeAllocatePluginEntrypointsTable(0); }

void InitFileTypes() { FileTypes::Initialize(); }

void NewAppInstance() {
  auto app = std::make_unique<App>();
  app->SetMenuBar(implicit::Menu());
  fw::RegisterAppObject(std::move(app));
}

void ApplicationAddMenuHandlers() {}

void MakeDefaultView() { (void)implicit::Window1(); }

void Startup() {
  RuntimeInitExternalClasses();
  InitPluginEntrypoints();
  InitFileTypes();
  NewAppInstance();
  ApplicationAddMenuHandlers();
  MakeDefaultView();
}

int Main() {
  try {
    fw::RunFrameworkInitialization(Startup);
    fw::RuntimeRun();
  } catch (...) {
    fw::UnhandledException(std::current_exception());
  }
  return 0;
}

void Finalize() {
  permaSound_Exit();
  fw::ReleaseWindowLists();
  FileTypes::pApplicationApplefile.reset();
  Menu::implicitInstance.reset();
}

int Run(int /*argc*/, char** argv) {
  // The program has no command-line options: only the program's name goes
  // on to the toolkit, so no argument can change how it runs.
  static int toolkitArgc = 1;
  fw::RuntimeInit(toolkitArgc, argv);
  // The globals go in their order on whatever road the run ends, the toolkit
  // ending the process when the display goes away among them.
  fw::SetShutdownRoutine(Finalize);
  Initialize();
  Main();
  return fw::RuntimeExit();
}

}  // namespace shell
