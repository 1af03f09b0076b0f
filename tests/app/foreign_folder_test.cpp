// The program installed in a folder whose name is not UTF-8, as an older
// system or a Latin-1 locale names it: it finds itself, its pictures and
// its sound there. The program (app_foreign_folder) is copied with the
// build's Resources and run as a process of its own.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "child_process.h"


namespace {

namespace fs = std::filesystem;

struct ForeignFolderCase {
  const char* name;
  const char* folder;
  friend void PrintTo(const ForeignFolderCase& row, std::ostream* os) { *os << row.name; }
};

class ForeignFolder : public ::testing::TestWithParam<ForeignFolderCase> {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vantorel-foreign-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    scratch_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    if (!scratch_.empty()) fs::remove_all(scratch_, ignored);
  }
  fs::path scratch_;
};

TEST_P(ForeignFolder, CreditsOpenWithTheirPicturesAndSound) {
  const fs::path built = fs::canonical("/proc/self/exe").parent_path();
  const fs::path top = scratch_ / GetParam().folder;
  fs::create_directories(top / "bin");
  const fs::path program = top / "bin" / "app_foreign_folder";
  fs::copy_file(built / "app_foreign_folder", program);
  fs::copy(built.parent_path() / "Resources", top / "Resources", fs::copy_options::recursive);

  // The child runs as this test does, on the same offscreen platform.
  std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen"};
  for (char** e = environ; *e != nullptr; ++e)
    if (std::string(*e).rfind("QT_QPA_PLATFORM=", 0) != 0) env.emplace_back(*e);
  const Outcome out = Spawn(program.string(), {}, env);
  ASSERT_FALSE(out.hung) << out.err;
  EXPECT_TRUE(out.exited) << "ended by signal " << out.signal << ":\n" << out.err;
  EXPECT_EQ(out.status, 0) << out.err;
  EXPECT_NE(out.err.find("app_foreign_folder: 0 failure(s)"), std::string::npos) << out.err;
  EXPECT_EQ(out.err.find("Unhandled"), std::string::npos) << out.err;
}

INSTANTIATE_TEST_SUITE_P(Table, ForeignFolder,
                         ::testing::Values(ForeignFolderCase{"Latin1", "caf\xE9"},
                                           ForeignFolderCase{"Utf8", "caf\xC3\xA9"}),
                         [](const ::testing::TestParamInfo<ForeignFolderCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
