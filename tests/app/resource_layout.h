// A throw-away installation: "<dir>/bin/vantorel" (never created; only its
// path matters) beside "<dir>/Resources" holding copies of whichever real
// resource files a test asks for.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "app/loaders.h"
#include "fw/application.h"
#include "fw/testing.h"

namespace fs = std::filesystem;

inline const std::vector<std::string>& AllResourceFiles() {
  static const std::vector<std::string> files = {
      "Prop.png",         "Prop1.png",    "Prop2.png",    "Prop3.png",
      "CreditsHeli.jpg",  "ehang184.jpg", "Popup2.png",   "volocopter-two-1.jpg",
      "Multidrone.png",   "Kivo-15.png",  "Openframe.png", "Windshield.png",
      "Streamlined.png",  "Singleseat.png", "sbys.png",   "tandem.png",
      "finale"};
  return files;
}

// The build tree's Resources folder, found the way the program finds it.
inline fs::path RealResources() {
  fw::testing::SetExecutablePath("");
  fw::FolderItemPtr exe = fw::Application::ExecutableFile();
  if (!exe) return {};
  return fs::path(exe->Path()).parent_path().parent_path() / "Resources";
}

// The directory the test executables are built into is build/tests.
inline fs::path BuildDir() { return RealResources().parent_path(); }

class ResourceLayout {
 public:
  enum class Folder { Present, Absent };

  explicit ResourceLayout(Folder folder = Folder::Present) : real_(RealResources()) {
    std::string pattern = (fs::temp_directory_path() / "vantorel-layout-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      ADD_FAILURE() << "no temporary directory";
      return;
    }
    root_ = pattern;
    if (folder == Folder::Present) fs::create_directory(Resources());
    fw::testing::SetExecutablePath((root_ / "bin" / "vantorel").string());
  }
  ~ResourceLayout() {
    fw::testing::SetExecutablePath("");
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }
  ResourceLayout(const ResourceLayout&) = delete;
  ResourceLayout& operator=(const ResourceLayout&) = delete;

  fs::path Resources() const { return root_ / "Resources"; }

  // Copies the real file under its own name, or under `as`.
  void Put(std::string_view file, std::string_view as = {}) const {
    const fs::path to = Resources() / std::string(as.empty() ? file : as);
    fs::copy_file(real_ / std::string(file), to, fs::copy_options::overwrite_existing);
  }
  void PutAll() const {
    for (const std::string& f : AllResourceFiles()) Put(f);
  }
  void PutAllBut(std::initializer_list<std::string_view> missing) const {
    for (const std::string& f : AllResourceFiles()) {
      bool skip = false;
      for (std::string_view m : missing) skip = skip || f == m;
      if (!skip) Put(f);
    }
  }
  void Remove(std::string_view file) const { fs::remove(Resources() / std::string(file)); }

 private:
  fs::path real_;
  fs::path root_;
};
