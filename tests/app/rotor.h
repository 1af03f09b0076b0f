// Telling which rotor frame a Credits tick drew. Before the tick the frame
// area is painted a colour no frame has, so a tick that draws nothing leaves
// that colour behind; a drawn frame covers the area with its own pixels.
#pragma once

#include <string>

#include "app/credit_window.h"
#include "app/loaders.h"
#include "fw/fw.h"

namespace rotor {

constexpr int kX = 115, kY = 76, kSize = 56;
constexpr fw::Color kMark{255, 0, 255};

enum class Drawn { Prop, Prop1, Prop2, Prop3, Nothing, Other };

inline const char* Name(Drawn d) {
  switch (d) {
    case Drawn::Prop: return "Prop";
    case Drawn::Prop1: return "Prop1";
    case Drawn::Prop2: return "Prop2";
    case Drawn::Prop3: return "Prop3";
    case Drawn::Nothing: return "nothing";
    case Drawn::Other: return "something else";
  }
  return "?";
}

inline void MarkArea(fw::Window& w) {
  fw::Graphics& g = w.GetGraphics();
  const fw::Color colour = g.ForeColor();
  const int pw = g.PenWidth(), ph = g.PenHeight();
  g.SetForeColor(kMark);
  g.SetPenWidth(kSize);
  g.SetPenHeight(kSize);
  g.DrawLine(kX, kY, kX, kY);
  g.SetForeColor(colour);
  g.SetPenWidth(pw);
  g.SetPenHeight(ph);
}

inline bool AreaShows(fw::Window& w, const fw::PicturePtr& pic) {
  if (!pic || pic->Width() != kSize || pic->Height() != kSize) return false;
  const fw::Graphics& g = w.GetGraphics();
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
      if (g.Pixel(kX + x, kY + y) != pic->Pixel(x, y)) return false;
  return true;
}

inline Drawn InArea(fw::Window& w) {
  if (AreaShows(w, Prop())) return Drawn::Prop;
  if (AreaShows(w, Prop1())) return Drawn::Prop1;
  if (AreaShows(w, Prop2())) return Drawn::Prop2;
  if (AreaShows(w, Prop3())) return Drawn::Prop3;
  const fw::Graphics& g = w.GetGraphics();
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x)
      if (g.Pixel(kX + x, kY + y) != kMark) return Drawn::Other;
  return Drawn::Nothing;
}

// One tick as the clock gives it, and what it drew.
inline Drawn Tick(CreditWindow& w) {
  MarkArea(w);
  w.Timer1_Action();
  return InArea(w);
}

// Stops the clock so that only the test's own ticks turn the rotor.
inline void StopClock(CreditWindow& w) { w.Get<fw::Timer>("Timer1").SetMode(0); }

}  // namespace rotor
