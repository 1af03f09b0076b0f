#include <QApplication>
#include <QFont>
#include <QStyleFactory>

#include <cxxabi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <typeinfo>

#include "internal.h"

namespace fw {
namespace {

struct Runtime {
  std::unique_ptr<QApplication> qt;
  std::unique_ptr<Application> app;
  int exitStatus = 0;
};

Runtime& TheRuntime() {
  static Runtime runtime;
  return runtime;
}

}  // namespace

Application::~Application() = default;

FolderItemPtr Application::ExecutableFile() {
  const std::string& forced = detail::ExecutablePathOverride();
  if (!forced.empty()) return std::make_shared<FolderItem>(forced);
  if (QCoreApplication::instance() == nullptr) return nullptr;
  const QString path = QCoreApplication::applicationFilePath();
  if (path.isEmpty()) return nullptr;
  return std::make_shared<FolderItem>(path.toStdString());
}

namespace {
// typeid names are mangled ("St13runtime_error"); the report is for people.
std::string ReadableClassName(const std::exception& e) {
  const char* mangled = typeid(e).name();
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> readable(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
  return status == 0 && readable ? std::string(readable.get()) : std::string(mangled);
}
}  // namespace

void UnhandledException(const std::exception& e) {
  const auto* runtime = dynamic_cast<const RuntimeException*>(&e);
  const std::string name = runtime ? runtime->ClassName() : ReadableClassName(e);
  std::fprintf(stderr, "Unhandled %s: %s\n", name.c_str(), e.what());
  std::fflush(stderr);
}

bool DisplayAvailable() {
  for (const char* var : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(var);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

void RuntimeInit(int& argc, char** argv) {
  Runtime& rt = TheRuntime();
  if (rt.qt) return;
  rt.qt = std::make_unique<QApplication>(argc, argv);
  // One look on every desktop, so the fixed layout fits wherever it runs.
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(style);
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("Times"), QStringLiteral("Liberation Serif"));
  QApplication::setQuitOnLastWindowClosed(true);
}

void RunFrameworkInitialization(const std::function<void()>& startup) { startup(); }

void RuntimeInitExternalClasses() {}

std::shared_ptr<PluginEntrypointsTable> RuntimeAllocatePluginEntrypointsTable(int count) {
  auto table = std::make_shared<PluginEntrypointsTable>();
  table->entries.assign(static_cast<std::size_t>(std::max(count, 0)), nullptr);
  return table;
}

void RegisterAppObject(std::unique_ptr<Application> app) {
  if (!app) throw NilObjectException("nil application object");
  TheRuntime().app = std::move(app);
}

Application* TheApplication() { return TheRuntime().app.get(); }

void RuntimeRun() {
  Runtime& rt = TheRuntime();
  if (!rt.qt) return;
  rt.exitStatus = QApplication::exec();
}

void Quit() {
  if (QCoreApplication::instance()) QCoreApplication::exit(0);
}

int RuntimeExit() {
  Runtime& rt = TheRuntime();
  ReleaseWindowLists();
  rt.app.reset();
  rt.qt.reset();
  return rt.exitStatus;
}

}  // namespace fw
