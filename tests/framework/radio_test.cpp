// Radio buttons: one exclusive group per parent control, and an Action that
// runs inside the very call that selects a button.
#include <set>
#include <string>
#include <vector>

#include "probe.h"

namespace {

using fw::ControlClass;
using fw::RadioButton;
using probe::Probe;

// Three groups: two group boxes and the window itself. A1, W1 and B1 start
// selected. Every Action writes the button's name into the log.
class RadioProbe : public Probe {
 public:
  void CreateControls() override {
    Add<fw::GroupBox>(ControlClass::GroupBox, "GroupA", {.left = 5, .top = 5, .width = 110, .height = 95, .text = "A"});
    Add<fw::GroupBox>(ControlClass::GroupBox, "GroupB", {.left = 120, .top = 5, .width = 110, .height = 70, .text = "B"});
    Radio("A1", "GroupA", 25, true);
    Radio("A2", "GroupA", 50, false);
    Radio("A3", "GroupA", 75, false);
    Radio("B1", "GroupB", 25, true, 125);
    Radio("B2", "GroupB", 50, false, 125);
    Radio("W1", "", 110, true);
    Radio("W2", "", 135, false);
  }
  RadioButton& R(const std::string& name) { return Get<RadioButton>(name); }

  std::vector<std::string> log;
  const std::vector<std::string> names{"A1", "A2", "A3", "B1", "B2", "W1", "W2"};

 private:
  void Radio(const char* name, const char* parent, int top, bool value, int left = 10) {
    auto& radio = Add<RadioButton>(ControlClass::RadioButton, name,
                                   {.left = left, .top = top, .width = 100, .height = 20,
                                    .text = name, .parent = parent, .value = value});
    radio.InstallHandler(fw::kActionEvent, [this, name] { log.push_back(name); });
  }
};

class RadioTest : public probe::FrameworkTest {
 protected:
  void SetUp() override {
    w = fw::ImplicitInstance<RadioProbe>();
    fw::testing::ProcessEvents();
  }
  std::set<std::string> Selected() {
    std::set<std::string> on;
    for (const std::string& name : w->names) {
      if (w->R(name).Value()) on.insert(name);
      // What the screen shows must agree with the value.
      EXPECT_EQ(fw::testing::Look(w->R(name)).checked, w->R(name).Value()) << name;
    }
    return on;
  }
  RadioProbe* w = nullptr;
};

// A step is "click:X" (the user), "set:X" (SetValue(true)) or "unset:X".
struct SelectCase {
  const char* name;
  friend void PrintTo(const SelectCase& row, std::ostream* os) { *os << row.name; }
  std::vector<std::string> steps;
  std::set<std::string> selected;
  std::vector<std::string> actions;
};

class RadioSelection : public RadioTest, public ::testing::WithParamInterface<SelectCase> {};

TEST_P(RadioSelection, KeepsOneButtonPerParentAndRunsActionOnChangeOnly) {
  const SelectCase& row = GetParam();
  for (const std::string& step : row.steps) {
    const auto colon = step.find(':');
    const std::string verb = step.substr(0, colon), target = step.substr(colon + 1);
    if (verb == "click") fw::testing::Click(w->R(target));
    else w->R(target).SetValue(verb == "set");
  }
  // No turn of the event loop: both the selection and the Actions are done.
  EXPECT_EQ(w->log, row.actions);
  EXPECT_EQ(Selected(), row.selected);
  fw::testing::ProcessEvents();
  EXPECT_EQ(w->log, row.actions);
  EXPECT_EQ(Selected(), row.selected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RadioSelection,
    ::testing::Values(
        SelectCase{"NothingDone", {}, {"A1", "B1", "W1"}, {}},
        SelectCase{"ClickOnAnother", {"click:A2"}, {"A2", "B1", "W1"}, {"A2"}},
        SelectCase{"CodeSelectsAnother", {"set:A3"}, {"A3", "B1", "W1"}, {"A3"}},
        SelectCase{"ClickOnTheSelectedOne", {"click:A1"}, {"A1", "B1", "W1"}, {}},
        SelectCase{"CodeReselects", {"set:A1"}, {"A1", "B1", "W1"}, {}},
        SelectCase{"ClickTwiceOnOne", {"click:A2", "click:A2"}, {"A2", "B1", "W1"}, {"A2"}},
        SelectCase{"GroupsAreIndependent", {"click:B2", "set:A3"}, {"A3", "B2", "W1"}, {"B2", "A3"}},
        SelectCase{"WindowIsAParentToo", {"click:W2"}, {"A1", "B1", "W2"}, {"W2"}},
        SelectCase{"BackAndForth", {"click:A2", "set:A1", "click:A2"}, {"A2", "B1", "W1"},
                   {"A2", "A1", "A2"}},
        SelectCase{"UnsetRunsNoAction", {"unset:A1"}, {"B1", "W1"}, {}},
        SelectCase{"ClickAfterUnset", {"unset:A1", "click:A1"}, {"A1", "B1", "W1"}, {"A1"}}),
    probe::RowName());

TEST_F(RadioTest, ActionSeesTheNewSelectionAndCanChangeItAgain) {
  std::vector<std::string> seen;
  w->R("A2").InstallHandler(fw::kActionEvent, [&] {
    seen.push_back(std::string("A1=") + (w->R("A1").Value() ? "on" : "off"));
    seen.push_back(std::string("A2=") + (w->R("A2").Value() ? "on" : "off"));
    // Selecting another button from inside the Action nests one more Action.
    w->R("A3").SetValue(true);
    seen.push_back("after A3");
  });
  w->R("A3").InstallHandler(fw::kActionEvent, [&] { seen.push_back("A3 action"); });

  w->R("A2").SetValue(true);
  seen.push_back("after SetValue");

  EXPECT_EQ(seen, (std::vector<std::string>{"A1=off", "A2=on", "A3 action", "after A3",
                                            "after SetValue"}));
  EXPECT_EQ(Selected(), (std::set<std::string>{"A3", "B1", "W1"}));
}

}  // namespace
