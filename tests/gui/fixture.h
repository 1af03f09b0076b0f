// Every window test starts from a fresh start-up state and leaves none
// behind, also when an assertion fails half-way.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/loaders.h"
#include "app/menu.h"
#include "fw/fw.h"
#include "fw/testing.h"
#include "main_window/window1.h"
#include "support/test_output.h"

class FreshApp : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetLoadersForTesting();
    fw::testing::SetExecutablePath("");
  }
  void TearDown() override {
    fw::ReleaseWindowLists();
    fw::testing::ProcessEvents();
    fw::testing::SetExecutablePath("");
    ResetLoadersForTesting();
    Menu::implicitInstance.reset();
  }
};

class MainWindowTest : public FreshApp {
 protected:
  void SetUp() override {
    FreshApp::SetUp();
    w = implicit::Window1();
    fw::testing::ProcessEvents();
  }
  template <class T>
  T& Get(const char* name) {
    return w->Get<T>(name);
  }
  fw::TextField& Field(const char* name) { return w->Get<fw::TextField>(name); }
  std::string Text(const char* name) { return Field(name).Text(); }
  void Click(const char* name) { fw::testing::Click(w->Get<fw::Control>(name)); }
  fw::Graphics& Graph() { return w->Get<fw::Canvas>("Canvas1").GetGraphics(); }

  Window1* w = nullptr;
};
