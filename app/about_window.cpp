#include "app/about_window.h"

#include "app/credit_window.h"

namespace implicit {
::AboutWindow* AboutWindow() { return fw::ImplicitInstance<::AboutWindow>(); }
}  // namespace implicit

namespace {

// Paragraphs end in two carriage returns: one empty line between them.
constexpr const char* kParagraphs =
    "The mathematical background of this helicopter performance calculation program is based "
    "on the work by Zlatko Petrovi\u0107, Slobodan Stupar, Ivan Kosti\u0107 and Aleksandar "
    "Simonovi\u0107, University of Belgrade, Faculty of Mechanical Engineering. Their paper was "
    "published in internet by name: Determination of a Light Helicopter Flight Performance at "
    "the Preliminary Design Stage.\r\r"
    "Additional mathematical  formulas and the user interface was designed by the author, the "
    "Vantorel team, in October, 2013\r\r"
    "The editfields are prefilled with example data of a 2-place helicopter. To evaluate the "
    "performance of your own design just type in new values and press the Calculate button.";

struct Row {
  fw::ControlClass cls;
  const char* name;
  float textSize;
  fw::ControlDescription d;
};

using enum fw::ControlClass;

constexpr Row kControls[] = {
    {PushButton, "PushButton1", 14,
     {.left = 416, .top = 16, .width = 104, .height = 28, .text = "Credits", .font = "Chigaco",
      .bold = true, .tabIndex = 0}},
    {StaticText, "StaticText1", 20,
     {.left = 64, .top = 50, .width = 436, .height = 28,
      .text = "Performance Calculation of  Helicopters", .font = "Times", .bold = true,
      .tabIndex = 1}},
    {StaticText, "StaticText3", 14,
     {.left = 141, .top = 82, .width = 258, .height = 16, .text = "by the Vantorel team",
      .font = "Times", .bold = true, .tabIndex = 3}},
    {StaticText, "StaticText2", 14,
     {.left = 20, .top = 118, .width = 500, .height = 173, .text = kParagraphs, .font = "Times",
      .bold = true, .multiline = true, .tabIndex = 2}},
    {StaticText, "StaticText4", 30,
     {.left = 156, .top = 16, .width = 229, .height = 31, .text = "Brisvane", .font = "Times",
      .bold = true, .tabIndex = 4}},
};

}  // namespace

void AboutWindow::Layout() {
  // Every other value of the description is a new window's default.
  SetProperties(fw::WindowDescription{
      .width = 540,
      .height = 299,
      .frame = 1,
      .hasBackColor = true,
      .backColor = fw::HexColor(0xD0DAE7),
      .title = "About Brisvane",
      .closeButton = false,
  });
}

void AboutWindow::CreateControls() { CreateControls0(); }

void AboutWindow::CreateControls0() {
  for (const Row& row : kControls) {
    NewControl(row.cls, row.name, row.textSize, row.d);
  }
  Get<fw::PushButton>("PushButton1").InstallHandler(fw::kActionEvent, [this] { PushButton1_Action(); });
}

void AboutWindow::PushButton1_Action() {
  implicit::AboutWindow()->Close();
  implicit::CreditWindow()->Show();
}

bool AboutWindow::Event_MouseDown(int /*x*/, int /*y*/) {
  implicit::AboutWindow()->Close();
  return false;
}
