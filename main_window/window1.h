// The main window: the controls the designer works with, the model state
// record as its fields, and every handler and model routine as its methods.
#pragma once

#include "fw/fw.h"
#include "model/record.h"

class Window1 : public fw::Window, public model::Record {
 public:
  static constexpr const char* kFullClassName = "Window1.Window1";
  Window1() : fw::Window(kFullClassName) {}

  // Construction
  void Layout() override;
  void CreateControls() override;
  void CreateControls0();
  void CreateControls1();
  void CreateControls2();
  void CreateControls3();
  void CreateControls4();

  // Control handlers
  void Canvas1_Paint(fw::Graphics& g);
  void ButtonDrag_Action();
  void ButtonPodBoom_Action();
  void ButtonStreamlined_Action();
  void ButtonPlain_Action();
  void ButtonDucted_Action();
  void PushButtonCalculate_Action();
  void PushButtonClear_Action();
  void ButtonMetric_Action();
  void ButtonUS_Action();
  void ButtonOnePlace_Action();
  void ButtonSbyS_Action();
  void ButtonTandem_Action();
  void RadioKivopack_Action();
  void RadioButtonPopup_Action();
  void Radiobuttonehang_Action();
  void RadioButtonRC_Action();
  void RadioButtonVolo_Action();

  // Menu and window events
  void AddMenuHandlers(fw::Window& window) override;
  void Event_EnableMenuItems() override;
  void Event_Open() override;
  bool AppleAbout_Action();

  // Model methods
  void scale();
  void USunits();
  void MetricUnits();
  void ConversionToUS();
  void ConversionToMetric();
  void ReconversionToMetric();
  void Vakiot();
  void Paramet();
  void Calculation();

 private:
  void CreateRange(int firstNo, int lastNo);
};

// The single-instance accessors carry their class's name; they live in a
// namespace of their own because C++ can't give a function and a class one
// name in one scope.
namespace implicit {
Window1* Window1();
}
