#include <filesystem>
#include <memory>
#include <string>

#include "internal.h"

namespace fw {

Application::~Application() = default;

FolderItemPtr Application::ExecutableFile() {
  const std::string& forced = detail::ExecutablePathOverride();
  if (!forced.empty()) return std::make_shared<FolderItem>(forced);
  // The bytes of the path as the system keeps them: the toolkit's own answer
  // is text, which loses any byte that isn't UTF-8, and with it the folder.
  std::error_code failed;
  const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", failed);
  if (failed || path.empty()) return nullptr;
  return std::make_shared<FolderItem>(path.string());
}

void RegisterAppObject(std::unique_ptr<Application> app) {
  if (!app) throw NilObjectException("nil application object");
  detail::Runtime* rt = detail::TheRuntime();
  if (rt == nullptr) throw NilObjectException("no runtime to hold the application object");
  rt->app = std::move(app);
}

Application* TheApplication() {
  const detail::Runtime* rt = detail::TheRuntime();
  return rt ? rt->app.get() : nullptr;
}

}  // namespace fw
