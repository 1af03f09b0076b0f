// One press of Calculate through the main window, from the handler's start
// to the 500 dots in the canvas's buffer and both texts written, against the
// same command built on the literal step-by-step sweep, each beside the
// calculation alone.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "app/menu.h"
#include "bench/core_run.h"
#include "fw/fw.h"
#include "fw/testing.h"
#include "main_window/window1.h"
#include "model/core.h"
#include "reference/literal_sweep.h"

namespace {

Window1& FreshWindow() {
  fw::ReleaseWindowLists();
  fw::testing::ProcessEvents();
  Window1& w = *implicit::Window1();
  fw::testing::ProcessEvents();
  return w;
}

// What the Calculate handler does before the calculation: the model state
// read from the window's fields (the design craft is metric).
void ReadFields(Window1& w) {
  w.scale();
  w.Vakiot();
  w.Paramet();
  w.MetricUnits();
}
double PowerTail(const Window1& w) {
  return fw::Val(w.Get<fw::TextField>("EditFieldPowerTail").Text());
}
double Capacity(const Window1& w) {
  return fw::Val(w.Get<fw::TextField>("TextFieldCapacity").Text());
}

// What the Calculate handler does, with the literal sweep in place of the
// model core's.
void LiteralCalculate(Window1& w) {
  ReadFields(w);
  model::CalculationResult result;
  reference::Calculation(w, PowerTail(w), Capacity(w), result);
  w.Get<fw::TextField>("TextFieldRpm").SetText(fw::Str(result.rpm));
  for (const model::Dot& dot : result.dots) {
    fw::Graphics& g = implicit::Window1()->Get<fw::Canvas>("Canvas1").GetGraphics();
    g.SetForeColor(fw::RGB(23, 26, 255));
    g.SetPenWidth(3);
    g.SetPenHeight(3);
    if (dot.drawn) g.DrawOval(dot.x, dot.y, 7, 7);
  }
  w.Get<fw::TextField>("TextFieldEndurange").SetText(fw::Str(result.endurance));
}

// The calculation alone on the numbers the window hands it, in the same
// process as the whole command and right after it, so that the two are read
// side by side on one machine in one run.
template <typename Calculate>
void CalculationAlone(benchmark::State& state, Calculate calculate) {
  Window1& w = FreshWindow();
  ReadFields(w);
  bench::RunCalculation(state, w, PowerTail(w), Capacity(w), calculate);
}

void BM_Calculate_DesignCraft(benchmark::State& state) {
  Window1& w = FreshWindow();
  for (auto _ : state) w.PushButtonCalculate_Action();
}
BENCHMARK(BM_Calculate_DesignCraft)->Unit(benchmark::kMicrosecond);

void BM_CoreAlone_DesignCraft(benchmark::State& state) {
  CalculationAlone(state, model::Calculation);
}
BENCHMARK(BM_CoreAlone_DesignCraft)->Unit(benchmark::kMicrosecond);

void BM_Calculate_DesignCraft_LiteralSweep(benchmark::State& state) {
  Window1& w = FreshWindow();
  for (auto _ : state) LiteralCalculate(w);
}
BENCHMARK(BM_Calculate_DesignCraft_LiteralSweep)->Unit(benchmark::kMillisecond);

void BM_CoreAlone_DesignCraft_LiteralSweep(benchmark::State& state) {
  CalculationAlone(state, reference::Calculation);
}
BENCHMARK(BM_CoreAlone_DesignCraft_LiteralSweep)->Unit(benchmark::kMillisecond);

// The example crafts, chosen the way the designer chooses them; index 5 is
// the Volocopter data on 18 rotors with the design craft's weight.
void BM_Calculate_Example(benchmark::State& state) {
  Window1& w = FreshWindow();
  static constexpr const char* kPresets[] = {"Radiobuttonehang", "RadioButtonVolo",
                                             "RadioKivopack", "RadioButtonPopup",
                                             "RadioButtonRC"};
  const auto index = static_cast<std::size_t>(state.range(0));
  if (index < std::size(kPresets)) {
    w.Get<fw::RadioButton>(kPresets[index]).SetValue(true);
    state.SetLabel(kPresets[index]);
  } else {
    w.Get<fw::TextField>("TextFieldRotors").SetText("18");
    state.SetLabel("18 rotors");
  }
  for (auto _ : state) w.PushButtonCalculate_Action();
}
BENCHMARK(BM_Calculate_Example)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  fw::RuntimeInit(argc, argv);
  fw::testing::KeepRunningWithoutWindows();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fw::ReleaseWindowLists();
  Menu::implicitInstance.reset();
  return fw::RuntimeExit();
}
