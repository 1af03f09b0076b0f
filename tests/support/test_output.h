// Where tests put what a person should look at.
#pragma once

#include <cstdlib>
#include <filesystem>

// The folder the test run names in VANTOREL_TEST_OUTPUT, or the temporary
// one; made when it is missing.
inline std::filesystem::path TestOutputDir() {
  const char* dir = std::getenv("VANTOREL_TEST_OUTPUT");
  std::filesystem::path path = dir && *dir ? dir : std::filesystem::temp_directory_path();
  std::filesystem::create_directories(path);
  return path;
}
