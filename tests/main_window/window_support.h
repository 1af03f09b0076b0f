// What the main-window tests share: the colours the window draws with, pixel
// scans of a canvas, the model core run on literal field texts (the oracle
// for what a Calculate must show), and a reference picture of the graph
// drawn independently of the window's handlers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fw/fw.h"
#include "gui/fixture.h"
#include "model/core.h"

namespace fw {
inline void PrintTo(const Color& c, std::ostream* os) {
  *os << "RGB(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
}
}  // namespace fw

namespace mwtest {

inline constexpr fw::Color kBack{165, 208, 229};
inline constexpr fw::Color kDot{23, 26, 255};
inline constexpr fw::Color kMark{250, 100, 55};
inline constexpr fw::Color kGrid{100, 100, 100};

inline constexpr int kGraphWidth = 560;
inline constexpr int kGraphHeight = 300;

struct Rect {
  int x0, y0, x1, y1;  // inclusive
  bool Contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

inline int CountPixels(const fw::Graphics& g, fw::Color c) {
  int n = 0;
  for (int y = 0; y < g.Height(); ++y)
    for (int x = 0; x < g.Width(); ++x)
      if (g.Pixel(x, y) == c) ++n;
  return n;
}

// The rows of one column that hold the colour.
inline std::vector<int> RowsInColumn(const fw::Graphics& g, int x, fw::Color c) {
  std::vector<int> rows;
  for (int y = 0; y < g.Height(); ++y)
    if (g.Pixel(x, y) == c) rows.push_back(y);
  return rows;
}

// Every pixel of the colour lies in one of the rectangles, and every pixel
// of the rectangles that lies on the canvas has the colour.
inline ::testing::AssertionResult ColourExactlyCovers(const fw::Graphics& g, fw::Color c,
                                                      const std::vector<Rect>& rects) {
  int stray = 0, missing = 0;
  std::string first;
  for (int y = 0; y < g.Height(); ++y) {
    for (int x = 0; x < g.Width(); ++x) {
      bool inside = false;
      for (const Rect& r : rects) inside = inside || r.Contains(x, y);
      const bool has = g.Pixel(x, y) == c;
      if (has && !inside) ++stray;
      if (!has && inside) ++missing;
      if (has != inside && first.empty())
        first = "first at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    }
  }
  if (stray == 0 && missing == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << stray << " pixels of the colour outside, " << missing
                                       << " missing inside; " << first;
}

// Only the first dot reaches column 0 (the second one starts at x = 1), so
// column 0 tells where the first dot landed: inside the 7 x 7 box at
// (0, y).
inline ::testing::AssertionResult FirstDotAt(const fw::Graphics& g, int y) {
  const std::vector<int> rows = RowsInColumn(g, 0, kDot);
  if (rows.empty()) return ::testing::AssertionFailure() << "nothing blue in column 0";
  if (rows.front() < y || rows.back() > y + 6)
    return ::testing::AssertionFailure() << "column 0 blue from row " << rows.front() << " to "
                                         << rows.back() << ", not inside " << y << ".." << y + 6;
  return ::testing::AssertionSuccess();
}

// Pixel-for-pixel comparison of two drawings of the same size.
inline ::testing::AssertionResult SamePixels(const fw::Graphics& actual,
                                             const fw::Graphics& expected) {
  if (actual.Width() != expected.Width() || actual.Height() != expected.Height())
    return ::testing::AssertionFailure()
           << "size " << actual.Width() << "x" << actual.Height() << " instead of "
           << expected.Width() << "x" << expected.Height();
  int differing = 0;
  std::string first;
  for (int y = 0; y < actual.Height(); ++y) {
    for (int x = 0; x < actual.Width(); ++x) {
      const fw::Color a = actual.Pixel(x, y), e = expected.Pixel(x, y);
      if (a == e) continue;
      if (differing++ == 0) {
        first = "first at (" + std::to_string(x) + ", " + std::to_string(y) + "): " +
                ::testing::PrintToString(a) + " instead of " + ::testing::PrintToString(e);
      }
    }
  }
  if (differing == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differing << " pixels differ; " << first;
}

// The input texts of a craft as the window's fields hold them.
struct CraftTexts {
  std::string weight = "450", rotors = "4", blades = "2", diameter = "1.6", chord = "0.1",
              tip = "175", power = "25", percent = "100", loss = "2", temperature = "20",
              altitude = "0", frontal = "1.5", drag = "0.35", capacity = "17.5";
  bool us = false;
  double duct = 1.0;
  double maxspeed = 0, rateclimb = 0;
};

// The text of one of the craft's text fields, by the field's name.
inline std::string& FieldText(CraftTexts& t, std::string_view field) {
  if (field == "EditFieldWeight") return t.weight;
  if (field == "TextFieldRotors") return t.rotors;
  if (field == "EditFieldBladesnumber") return t.blades;
  if (field == "EditFieldRotorDia") return t.diameter;
  if (field == "EditFieldBladeChord") return t.chord;
  if (field == "EditFieldTipSpeed") return t.tip;
  if (field == "EditFieldPower") return t.power;
  if (field == "EditFieldPowerTail") return t.loss;
  if (field == "EditFieldTemperature") return t.temperature;
  if (field == "TextFieldFrontal") return t.frontal;
  if (field == "TextFieldDrag") return t.drag;
  if (field == "TextFieldCapacity") return t.capacity;
  throw std::invalid_argument("no text field " + std::string(field));
}

inline constexpr const char* kTextFields[] = {
    "EditFieldWeight",      "TextFieldRotors",  "EditFieldBladesnumber", "EditFieldRotorDia",
    "EditFieldBladeChord",  "EditFieldTipSpeed", "EditFieldPower",       "EditFieldPowerTail",
    "EditFieldTemperature", "TextFieldFrontal", "TextFieldDrag",         "TextFieldCapacity",
};

// The texts the window opens with, and the same craft as the switch to US
// units writes it.
inline CraftTexts DesignCraft() { return CraftTexts{}; }
inline CraftTexts DesignCraftInUS() {
  CraftTexts c;
  c.weight = "991.2", c.diameter = "5.25", c.chord = "3.94", c.tip = "573", c.temperature = "68",
  c.frontal = "16.1", c.us = true;
  return c;
}

struct CoreRun {
  model::Record record;
  std::unique_ptr<model::CalculationResult> result = std::make_unique<model::CalculationResult>();
};

// The model core on the texts, read the way the Calculate button reads them.
inline CoreRun RunCore(const CraftTexts& t) {
  using fw::Val;
  CoreRun run;
  model::Record& r = run.record;
  r.Duct = t.duct;
  r.maxspeed = t.maxspeed;
  r.rateclimb = t.rateclimb;
  model::scale(r);
  model::Vakiot(r);
  r.cdho = Val(t.drag);
  model::InputValues in;
  in.weight = Val(t.weight);
  in.rotors = Val(t.rotors);
  in.blades = Val(t.blades);
  in.diameter = Val(t.diameter);
  in.chord = Val(t.chord);
  in.tipSpeed = Val(t.tip);
  in.power = Val(t.power);
  in.powerPct = Val(t.percent);
  in.temperature = Val(t.temperature);
  in.altitude = Val(t.altitude);
  in.frontal = Val(t.frontal);
  if (t.us) {
    model::USunits(r, in);
    model::ReconversionToMetric(r, in);
  } else {
    model::MetricUnits(r, in);
  }
  model::Calculation(r, Val(t.loss), Val(t.capacity), *run.result);
  return run;
}

// Writes the texts into the window's fields (the pop-ups by their item).
inline void EnterCraft(Window1& w, const CraftTexts& t) {
  CraftTexts texts = t;
  for (const char* field : kTextFields)
    w.Get<fw::TextField>(field).SetText(FieldText(texts, field));
  auto choose = [&w](const char* name, const std::string& item) {
    auto& popup = w.Get<fw::PopupMenu>(name);
    for (int i = 0; i < popup.ListCount(); ++i)
      if (popup.List(i) == item) popup.SetListIndex(i);
  };
  choose("PopupMenupowerpct", t.percent);
  choose(t.us ? "PopupMenuft" : "PopupMenum", t.altitude);
}

// The graph as it must look, drawn on a window of its own that is never
// shown: back colour, backdrop, the grid as its literal pixel rectangles,
// then whatever dots and marks the test adds.
class ReferenceGraph {
 public:
  explicit ReferenceGraph(const fw::PicturePtr& backdrop = nullptr) : scratch_("Reference.Graph") {
    fw::WindowDescription d;
    d.width = kGraphWidth;
    d.height = kGraphHeight;
    d.hasBackColor = true;
    d.backColor = kBack;
    d.visible = false;
    scratch_.SetProperties(d);
    g().DrawPicture(backdrop, 0, 0);
    for (int x : {140, 280, 420}) Fill(Rect{x, 0, x + 1, 271}, kGrid);
    for (int y : {58, 118, 178, 238}) Fill(Rect{30, y, 561, y + 1}, kGrid);
  }

  void Fill(Rect r, fw::Color c) {
    g().SetForeColor(c);
    g().SetPenWidth(r.x1 - r.x0 + 1);
    g().SetPenHeight(r.y1 - r.y0 + 1);
    g().DrawLine(r.x0, r.y0, r.x0, r.y0);
  }

  // The 500 dots of a run, 7 x 7 ovals framed by a 3 x 3 pen.
  void Dots(const model::CalculationResult& result) {
    g().SetForeColor(kDot);
    g().SetPenWidth(3);
    g().SetPenHeight(3);
    for (const model::Dot& d : result.dots)
      if (d.drawn) g().DrawOval(d.x, d.y, 7, 7);
  }

  // The marks of the published figures of a run, as the pixels a 3 x 3 pen covers.
  void Marks(const model::CalculationResult& result) {
    const model::Mark& s = result.topSpeed;
    Fill(Rect{s.x1, std::min(s.y1, s.y2), s.x1 + 2, std::max(s.y1, s.y2) + 2}, kMark);
    const model::Mark& c = result.climbRate;
    Fill(Rect{std::min(c.x1, c.x2), c.y1, std::max(c.x1, c.x2) + 2, c.y1 + 2}, kMark);
  }

  fw::Graphics& g() { return scratch_.GetGraphics(); }

 private:
  fw::Window scratch_;
};

inline fw::Graphics& Graph(Window1& w) { return w.Get<fw::Canvas>("Canvas1").GetGraphics(); }

}  // namespace mwtest
