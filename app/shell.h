// The program's life from process start to exit: start-up through the
// framework's initialisation, the event loop, and the ordered releases of
// shut-down.
#pragma once

#include <memory>

#include "fw/application.h"
#include "fw/files.h"

// The application object; it handles nothing of its own.
class App : public fw::Application {};

namespace FileTypes {
extern std::shared_ptr<fw::FileType> pApplicationApplefile;
void Initialize();
}  // namespace FileTypes

namespace shell {

extern std::shared_ptr<fw::PluginEntrypointsTable> pluginEntrypoints;

void Initialize();  // the class tables: nothing to set up for native classes
int Main();         // framework initialisation and event loop; always 0
void Startup();
void RuntimeInitExternalClasses();
void InitPluginEntrypoints();
void InitFileTypes();
void NewAppInstance();
void ApplicationAddMenuHandlers();
void MakeDefaultView();
void Finalize();  // run by the runtime's teardown, on every way out; throws nothing

// The whole process: returns the exit status.
int Run(int argc, char** argv);

}  // namespace shell
