// What the framework tests share: a window they furnish as each case needs,
// a fixture that leaves no window or file behind, and ways to read a
// drawing back.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "fw/fw.h"
#include "fw/testing.h"
#include "support/test_output.h"

namespace probe {

// The probe's back colour: no control, pen or default paints it.
inline constexpr fw::Color kBack{200, 220, 240};
inline constexpr fw::Color kInk{200, 30, 40};

// A window the tests furnish by overriding the construction events. All
// probes share one registration name, so at most one is open at a time.
class Probe : public fw::Window {
 public:
  static constexpr const char* kFullClassName = "Probe.Probe";
  Probe() : fw::Window(kFullClassName) {}

  void Layout() override { SetProperties(Description()); }
  virtual fw::WindowDescription Description() const {
    return fw::WindowDescription{
        .width = 240, .height = 160, .hasBackColor = true, .backColor = kBack, .title = "Probe"};
  }

  template <class T>
  T& Add(fw::ControlClass cls, std::string name, const fw::ControlDescription& d) {
    fw::Control& control = NewControl(cls, std::move(name));
    control.SetProperties(d);
    return dynamic_cast<T&>(control);
  }
};

// Runs the event loop until something quits it. A quit that never comes
// would hang the run: a watchdog ends the loop after a long while and the
// result says so.
inline bool RunUntilQuit(fw::Window& window) {
  auto fired = std::make_shared<bool>(false);
  fw::Control* dog = window.FindControl("Watchdog");
  if (dog == nullptr) dog = &window.NewControl(fw::ControlClass::Timer, "Watchdog");
  auto& timer = dynamic_cast<fw::Timer&>(*dog);
  timer.InstallHandler(fw::kActionEvent, [fired] {
    *fired = true;
    fw::Quit();
  });
  timer.SetPeriod(20000);
  timer.SetMode(1);
  fw::RuntimeRun();
  timer.SetMode(0);
  return !*fired;
}

// What a drawing changed: the pixels unlike the background, and their box.
struct Ink {
  int count = 0;
  int left = 0, top = 0, right = -1, bottom = -1;  // inclusive; empty when count is 0
};

inline Ink InkOf(const fw::Graphics& g, fw::Color background = kBack) {
  Ink ink;
  for (int y = 0; y < g.Height(); ++y)
    for (int x = 0; x < g.Width(); ++x) {
      if (g.Pixel(x, y) == background) continue;
      if (ink.count == 0) ink.left = ink.right = x, ink.top = ink.bottom = y;
      ++ink.count;
      ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
    }
  return ink;
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Names a parameterised case after its table row.
struct RowName {
  template <class Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
    return info.param.name;
  }
};

// Every test starts with no window and leaves none, and gets a folder of
// its own for files.
class FrameworkTest : public ::testing::Test {
 public:
 protected:
  void TearDown() override {
    fw::ReleaseWindowLists();
    fw::testing::ProcessEvents();
    fw::testing::SetExecutablePath("");
    if (!scratch_.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(scratch_, ignored);
    }
  }

  const std::filesystem::path& Scratch() {
    if (scratch_.empty()) {
      const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
      std::string leaf = std::string(info->test_suite_name()) + "." + info->name();
      for (char& c : leaf)
        if (c == '/') c = '_';
      // A run of its own too: the runtime remembers the files it reported,
      // and a repeated test must not find its earlier run's.
      static int runs = 0;
      scratch_ = std::filesystem::temp_directory_path() /
                 ("vantorel-fw-" + std::to_string(::getpid()) + "-" + std::to_string(++runs) +
                  "-" + leaf);
      std::filesystem::create_directories(scratch_);
    }
    return scratch_;
  }

 private:
  std::filesystem::path scratch_;
};

}  // namespace probe
