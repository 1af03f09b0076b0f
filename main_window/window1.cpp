#include "main_window/window1.h"

#include "app/about_window.h"
#include "app/menu.h"
#include "main_window/controls_table.h"
#include "model/core.h"

using fw::Canvas;
using fw::RadioButton;
using fw::TextField;

namespace implicit {
::Window1* Window1() { return fw::ImplicitInstance<::Window1>(); }
}  // namespace implicit

void Window1::Layout() {
  SetMenuBar(implicit::Menu());
  // Every other value of the description is a new window's default.
  SetProperties(fw::WindowDescription{
      .width = 871,
      .height = 639,
      .hasBackColor = true,
      .backColor = fw::RGB(165, 208, 229),
      .title = "Vantorel",
  });
}

void Window1::CreateControls() {
  CreateControls0();
  CreateControls1();
  CreateControls2();
  CreateControls3();
  CreateControls4();
}

void Window1::CreateControls0() { CreateRange(1, 28); }
void Window1::CreateControls1() { CreateRange(29, 55); }
void Window1::CreateControls2() { CreateRange(56, 79); }
void Window1::CreateControls3() { CreateRange(80, 98); }
void Window1::CreateControls4() { CreateRange(99, 102); }

void Window1::CreateRange(int firstNo, int lastNo) {
  using fw::ControlClass;
  for (const main_window::ControlRow& row : main_window::ControlRows()) {
    if (row.no < firstNo || row.no > lastNo) continue;
    NewControl(row.cls, row.name, row.textSize, row.d);
    if (row.cls == ControlClass::Canvas && std::string_view(row.name) == "Canvas1") {
      Get<Canvas>(row.name).InstallPaintHandler([this](fw::Graphics& g) { Canvas1_Paint(g); });
    }
    for (const main_window::ActionBinding& binding : main_window::ActionBindings()) {
      if (std::string_view(binding.control) != row.name) continue;
      auto handler = binding.handler;
      Get<fw::Control>(row.name).InstallHandler(fw::kActionEvent, [this, handler] { (this->*handler)(); });
    }
  }
}

void Window1::Event_Open() {
  Vakiot();
  MetricUnits();
}

// The grid is drawn through the canvas's own context, fetched anew for every
// step; the horizontal lines rely on the colour and pen the vertical ones
// left on it.
void Window1::Canvas1_Paint(fw::Graphics& /*g*/) {
  for (int x = 140; x <= 478; x += 140) {
    Get<Canvas>("Canvas1").GetGraphics().SetForeColor(fw::RGB(100, 100, 100));
    Get<Canvas>("Canvas1").GetGraphics().SetPenWidth(2);
    Get<Canvas>("Canvas1").GetGraphics().SetPenHeight(2);
    Get<Canvas>("Canvas1").GetGraphics().DrawLine(x, 0, x, 270);
  }
  for (int y = 58; y <= 238; y += 60) {
    Get<Canvas>("Canvas1").GetGraphics().DrawLine(30, y, 560, y);
  }
  model::RepaintRpm(*this, fw::Val(Get<TextField>("EditFieldTipSpeed").Text()),
                    Get<RadioButton>("ButtonMetric").Value());
  Get<TextField>("TextFieldRpm").SetText(fw::Str(omega));
}

void Window1::AddMenuHandlers(fw::Window& window) {
  auto& self = dynamic_cast<::Window1&>(window);
  self.AddMenuHandler("AppleAbout", [&self] { return self.AppleAbout_Action(); });
}

void Window1::Event_EnableMenuItems() {
  auto* item = dynamic_cast<fw::AppleMenuItem*>(
      fw::NotNil(GetMenuBar().get(), "no menu bar")->Lookup("AppleAbout"));
  fw::NotNil(item, "no About item")->SetEnabled(true);
}

bool Window1::AppleAbout_Action() {
  fw::NotNil(implicit::AboutWindow(), "no About window")->Show();
  return false;
}
