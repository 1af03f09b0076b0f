// A run's life, from the toolkit's start to the process's end: the runtime
// object that holds the run, its start (and what is said when it can't
// start), the event loop, and the one road by which the run is taken down,
// whichever way the process ends.
#include <QApplication>
#include <QFont>
#include <QStyleFactory>

#include <cxxabi.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "internal.h"
#include "messages.h"

namespace fw {
namespace detail {
namespace {
Runtime* runtime = nullptr;
}  // namespace

Runtime* TheRuntime() { return runtime; }
}  // namespace detail

namespace {

using detail::Runtime;

// The one order in which a run is taken down, whichever way it ends: the
// program's own releases, the windows, the application object with its
// menu bar, and the toolkit last. The program's routine is taken out before
// it runs, so that it runs once.
void TearDown() {
  Runtime* rt = detail::runtime;
  if (rt == nullptr) return;
  const std::function<void()> programShutdown = std::move(rt->programShutdown);
  rt->programShutdown = nullptr;
  if (programShutdown) programShutdown();
  ReleaseWindowLists();
  rt->app.reset();
  rt->qt.reset();
  detail::runtime = nullptr;
  delete rt;
}

// exit() from inside the toolkit (a display that went away) or from a
// handler never comes back to RuntimeExit. The language destroys the
// exiting thread's thread_local objects before any object of static
// storage and before any atexit function, so the guard's destructor takes
// the run down while everything the toolkit keeps in statics is still
// there, as it is at the end of an ordinary run. After RuntimeExit it finds
// nothing to do.
struct TearDownAtExit {
  TearDownAtExit() = default;
  TearDownAtExit(const TearDownAtExit&) = delete;
  TearDownAtExit& operator=(const TearDownAtExit&) = delete;
  ~TearDownAtExit() { TearDown(); }
};

std::string ProgramName(const char* path) {
  if (path == nullptr || *path == '\0') return "the program";
  const char* slash = std::strrchr(path, '/');
  return slash != nullptr && slash[1] != '\0' ? slash + 1 : path;
}

// Why the toolkit could not start, from what it said on its way, with the
// display or window system named as the user named it.
std::string WhyNotStarted(const std::vector<QString>& said) {
  // The platform may be a list to try in turn ("wayland;xcb"), each name
  // with options after a colon; where X11 is on it, X11 is what failed.
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  const QString names = QString::fromLocal8Bit(platform != nullptr ? platform : "");
  bool x11 = names.trimmed().isEmpty();
  for (const QString& entry : names.split(QLatin1Char(';'), Qt::SkipEmptyParts))
    x11 = x11 || entry.section(QLatin1Char(':'), 0, 0).trimmed() == QLatin1String("xcb");
  if (!x11) return std::string("cannot start the window system \"") + platform + "\"";
  for (const QString& s : said) {
    if (!s.contains(QLatin1String("could not connect to display"), Qt::CaseInsensitive)) continue;
    const char* display = std::getenv("DISPLAY");
    const std::string which = display == nullptr || *display == '\0'
                                  ? std::string("a display")
                                  : std::string("display \"") + display + "\"";
    return "cannot open " + which + ". Run it on a desktop, or under xvfb-run.";
  }
  // Something else, such as a window-system plugin that would not load: the
  // toolkit's word on the plugin, or else the fatal message itself, which
  // comes last, rather than whatever it happened to say first.
  QString why = said.empty() ? QString() : said.back();
  for (const QString& s : said)
    if (s.contains(QLatin1String("platform plugin"), Qt::CaseInsensitive)) {
      why = s;
      break;
    }
  why = why.section(QLatin1Char('\n'), 0, 0).trimmed();
  if (why.isEmpty()) return "cannot start the window system";
  return "cannot start the window system: " + why.toStdString();
}

}  // namespace

void RuntimeInit(int& argc, char** argv) {
  if (detail::runtime != nullptr) return;
  // The X client library writes to its connection without asking the
  // system to spare the process: where the display has gone, that write
  // would end the process by SIGPIPE. Ignored, the write fails instead, the
  // library marks the connection broken, and the toolkit ends the run as it
  // does for any lost display, with its message and status 1.
  std::signal(SIGPIPE, SIG_IGN);
  detail::runtime = new Runtime;
  {
    // Where the toolkit can't open its display it says so at length and
    // aborts. One line of ours and status 1 say it instead; nothing of the
    // run exists yet but the toolkit's half-made application, so the
    // process ends at once, without any destructor. What it says on its
    // way to a start that works is printed after all.
    const std::string program = ProgramName(argc > 0 && argv != nullptr ? argv[0] : nullptr);
    const detail::HeldMessages held([&program](const std::vector<QString>& said) {
      std::fprintf(stderr, "%s: %s\n", program.c_str(), WhyNotStarted(said).c_str());
      std::fflush(nullptr);
      std::_Exit(1);
    });
    detail::runtime->qt = std::make_unique<QApplication>(argc, argv);
  }
  // The toolkit's thread, which is the one that exits when the toolkit ends
  // the process.
  thread_local TearDownAtExit guard;
  (void)guard;
  // One look on every desktop, so the fixed layout fits wherever it runs.
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(style);
  QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
  QFont::insertSubstitution(QStringLiteral("Times"), QStringLiteral("Liberation Serif"));
  QApplication::setQuitOnLastWindowClosed(true);
}

void SetShutdownRoutine(std::function<void()> routine) {
  if (detail::runtime != nullptr) detail::runtime->programShutdown = std::move(routine);
}

void RunFrameworkInitialization(const std::function<void()>& startup) { startup(); }

void RuntimeInitExternalClasses() {}

std::shared_ptr<PluginEntrypointsTable> RuntimeAllocatePluginEntrypointsTable(int count) {
  auto table = std::make_shared<PluginEntrypointsTable>();
  table->entries.assign(static_cast<std::size_t>(std::max(count, 0)), nullptr);
  return table;
}

void RuntimeRun() {
  if (detail::runtime == nullptr) return;
  detail::runtime->exitStatus = QApplication::exec();
}

void Quit() {
  if (QCoreApplication::instance()) QCoreApplication::exit(0);
}

int RuntimeExit() {
  const Runtime* rt = detail::runtime;
  // A run that an exception ended never got to say how it went otherwise.
  const int status = rt == nullptr ? 0 : rt->exitStatus != 0 ? rt->exitStatus : rt->failed ? 1 : 0;
  TearDown();
  return status;
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

namespace detail {
void ReportUnhandled(const std::exception_ptr& e) {
  try {
    // No exception at all is still one of unknown class.
    if (e) std::rethrow_exception(e);
    throw nullptr;
  } catch (const std::exception& caught) {
    const auto* runtime = dynamic_cast<const RuntimeException*>(&caught);
    const std::string name = runtime ? runtime->ClassName() : ReadableClassName(caught);
    std::fprintf(stderr, "Unhandled %s: %s\n", name.c_str(), caught.what());
  } catch (...) {
    std::fprintf(stderr, "Unhandled exception of unknown class\n");
  }
  std::fflush(stderr);
}
}  // namespace detail

void UnhandledException(std::exception_ptr e) {
  detail::ReportUnhandled(e);
  if (Runtime* rt = detail::runtime) rt->failed = true;
}

}  // namespace fw
