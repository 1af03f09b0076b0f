// The canvas: a pixel buffer of its own that keeps what is drawn, one
// drawing context, a refresh that erases, lays the backdrop and raises
// Paint, and drawing that stays inside its boxes and inside the buffer
// whatever the coordinates.
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "probe.h"

namespace {

using fw::Color;
using fw::ControlClass;
using fw::Graphics;
using probe::Ink;
using probe::InkOf;
using probe::kBack;
using probe::kInk;

constexpr int kMin = std::numeric_limits<std::int32_t>::min();
constexpr int kMax = std::numeric_limits<std::int32_t>::max();
constexpr int kLeft = 20, kTop = 10, kWidth = 100, kHeight = 80;
constexpr Color kGreen{20, 160, 60};
constexpr Color kBlue{30, 40, 210};
constexpr Ink kNothing{0, 0, 0, -1, -1};

// count -1: any number of pixels, as long as they stay in the box.
void ExpectInk(const Ink& ink, const Ink& want) {
  if (want.count >= 0) EXPECT_EQ(ink.count, want.count);
  else EXPECT_GT(ink.count, 0);
  EXPECT_EQ(ink.left, want.left);
  EXPECT_EQ(ink.top, want.top);
  EXPECT_EQ(ink.right, want.right);
  EXPECT_EQ(ink.bottom, want.bottom);
}

class CanvasProbe : public probe::Probe {
 public:
  void CreateControls() override {
    Add<fw::Canvas>(ControlClass::Canvas, "C",
                    {.left = kLeft, .top = kTop, .width = kWidth, .height = kHeight});
    C().InstallPaintHandler([this](Graphics& g) {
      if (onPaint) onPaint(g);
    });
  }
  fw::Canvas& C() { return Get<fw::Canvas>("C"); }
  std::function<void(Graphics&)> onPaint;
};

class CanvasTest : public probe::FrameworkTest {
 protected:
  void SetUp() override {
    w = fw::ImplicitInstance<CanvasProbe>();
    fw::testing::ProcessEvents();
    g = &w->C().GetGraphics();
    g->SetForeColor(kInk);
    const std::string path = (Scratch() / "picture.png").string();
    ASSERT_TRUE(fw::testing::WritePng(path, 6, 4, kGreen));
    picture = fw::FolderItem(path).OpenAsPicture();
    ASSERT_NE(picture, nullptr);
  }
  void Pen(int width, int height) {
    g->SetPenWidth(width);
    g->SetPenHeight(height);
  }
  CanvasProbe* w = nullptr;
  Graphics* g = nullptr;
  fw::PicturePtr picture;
};

TEST_F(CanvasTest, BufferHasTheCanvasSizeAndKeepsWhatIsDrawn) {
  EXPECT_EQ(g->Width(), kWidth);
  EXPECT_EQ(g->Height(), kHeight);
  EXPECT_EQ(InkOf(*g).count, 0) << "a new canvas shows the window's back colour";
  g->DrawLine(30, 40, 30, 40);
  fw::testing::ProcessEvents();
  EXPECT_EQ(g->Pixel(30, 40), kInk);
  EXPECT_EQ(fw::testing::ShownPixel(*w, kLeft + 30, kTop + 40), kInk);
  EXPECT_EQ(fw::testing::ShownPixel(*w, kLeft + 31, kTop + 40), kBack);
  EXPECT_EQ(InkOf(*g).count, 1);
}

TEST_F(CanvasTest, ColourAndPenStayForTheNextFetch) {
  Pen(3, 2);
  g->SetForeColor(kBlue);
  Graphics& again = w->C().GetGraphics();
  EXPECT_EQ(&again, g);
  EXPECT_EQ(again.ForeColor(), kBlue);
  EXPECT_EQ(again.PenWidth(), 3);
  EXPECT_EQ(again.PenHeight(), 2);
  w->C().GetGraphics().DrawLine(10, 10, 10, 10);
  const Ink ink = InkOf(*g);
  EXPECT_EQ(ink.count, 6);
  EXPECT_EQ(g->Pixel(12, 11), kBlue);
}

// --- refresh and Paint ------------------------------------------------------

struct RefreshCase {
  const char* name;
  friend void PrintTo(const RefreshCase& row, std::ostream* os) { *os << row.name; }
  bool erase;
  bool dotSurvives;
  bool backdropShows;
};

class CanvasRefresh : public CanvasTest, public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(CanvasRefresh, ErasesLaysTheBackdropThenPaints) {
  const RefreshCase& row = GetParam();
  w->C().SetBackdrop(picture);
  g->DrawLine(50, 50, 50, 50);
  g->DrawLine(0, 0, 0, 0);  // over the backdrop

  std::vector<std::string> during;
  const int paintsBefore = fw::testing::PaintCount(w->C());
  w->onPaint = [&](Graphics& paint) {
    during.push_back(&paint == g ? "same context" : "another context");
    during.push_back(paint.Pixel(50, 50) == kInk ? "dot" : "no dot");
    during.push_back(paint.Pixel(0, 0) == kGreen ? "backdrop" : "no backdrop");
    paint.SetForeColor(kBlue);
    paint.DrawLine(70, 70, 70, 70);
  };
  w->C().Refresh(row.erase);

  EXPECT_EQ(fw::testing::PaintCount(w->C()), paintsBefore + 1);
  EXPECT_EQ(during, (std::vector<std::string>{"same context", row.dotSurvives ? "dot" : "no dot",
                                              row.backdropShows ? "backdrop" : "no backdrop"}));
  EXPECT_EQ(g->Pixel(70, 70), kBlue) << "what Paint draws stays";
  EXPECT_EQ(g->Pixel(50, 50), row.dotSurvives ? kInk : kBack);
  if (row.erase) {
    // The backdrop lies unscaled at the top-left and nowhere else.
    const Ink under = InkOf(*g);
    EXPECT_EQ(under.count, 6 * 4 + 1);
    EXPECT_EQ(g->Pixel(5, 3), kGreen);
    EXPECT_EQ(g->Pixel(6, 0), kBack);
    EXPECT_EQ(g->Pixel(0, 4), kBack);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, CanvasRefresh,
                         ::testing::Values(RefreshCase{"Erase", true, false, true},
                                           RefreshCase{"NoErase", false, true, false}),
                         probe::RowName());

TEST_F(CanvasTest, FirstShowingPaintsOnceOnly) {
  EXPECT_EQ(fw::testing::PaintCount(w->C()), 1);
  w->C().SetVisible(false);
  fw::testing::ProcessEvents();
  w->C().SetVisible(true);
  fw::testing::ProcessEvents();
  EXPECT_EQ(fw::testing::PaintCount(w->C()), 1);
}

// --- pens, lines and ovals --------------------------------------------------

struct ShapeCase {
  const char* name;
  friend void PrintTo(const ShapeCase& row, std::ostream* os) { *os << row.name; }
  int penWidth, penHeight;
  std::function<void(Graphics&)> draw;
  Ink expected;
};

class CanvasShape : public CanvasTest, public ::testing::WithParamInterface<ShapeCase> {};

TEST_P(CanvasShape, CoversExactlyWhatThePenSweeps) {
  const ShapeCase& row = GetParam();
  Pen(row.penWidth, row.penHeight);
  row.draw(*g);
  ExpectInk(InkOf(*g), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CanvasShape,
    ::testing::Values(
        // A 2 x 2 pen hangs right of and below the path: two columns, and
        // one row more than the path.
        ShapeCase{"VerticalTwoByTwo", 2, 2, [](Graphics& g) { g.DrawLine(30, 10, 30, 40); },
                  {2 * 32, 30, 10, 31, 41}},
        ShapeCase{"VerticalTwoByTwoUpwards", 2, 2, [](Graphics& g) { g.DrawLine(30, 40, 30, 10); },
                  {2 * 32, 30, 10, 31, 41}},
        ShapeCase{"HorizontalTwoByTwo", 2, 2, [](Graphics& g) { g.DrawLine(10, 20, 50, 20); },
                  {42 * 2, 10, 20, 51, 21}},
        ShapeCase{"PointWithWidePen", 4, 3, [](Graphics& g) { g.DrawLine(7, 8, 7, 8); },
                  {12, 7, 8, 10, 10}},
        ShapeCase{"DiagonalOnePixel", 1, 1, [](Graphics& g) { g.DrawLine(5, 5, 15, 15); },
                  {11, 5, 5, 15, 15}},
        ShapeCase{"DiagonalBackwards", 1, 1, [](Graphics& g) { g.DrawLine(15, 15, 5, 5); },
                  {11, 5, 5, 15, 15}},
        ShapeCase{"DiagonalThreeByOne", 3, 1, [](Graphics& g) { g.DrawLine(0, 0, 4, 4); },
                  {15, 0, 0, 6, 4}},
        ShapeCase{"ShallowSlopeOnePixel", 1, 1, [](Graphics& g) { g.DrawLine(10, 10, 30, 15); },
                  {21, 10, 10, 30, 15}}),
    probe::RowName());

INSTANTIATE_TEST_SUITE_P(
    Ovals, CanvasShape,
    ::testing::Values(
        ShapeCase{"SevenBySevenThreePen", 3, 3, [](Graphics& g) { g.DrawOval(10, 20, 7, 7); },
                  {-1, 10, 20, 16, 26}},
        ShapeCase{"WideOnePen", 1, 1, [](Graphics& g) { g.DrawOval(5, 5, 40, 12); },
                  {-1, 5, 5, 44, 16}},
        ShapeCase{"TallUnevenPen", 2, 4, [](Graphics& g) { g.DrawOval(30, 5, 15, 60); },
                  {-1, 30, 5, 44, 64}},
        ShapeCase{"PenWiderThanBox", 9, 9, [](Graphics& g) { g.DrawOval(50, 50, 7, 7); },
                  {-1, 50, 50, 56, 56}},
        ShapeCase{"OnePixelBox", 1, 1, [](Graphics& g) { g.DrawOval(60, 60, 1, 1); },
                  {1, 60, 60, 60, 60}},
        ShapeCase{"EmptyBox", 1, 1, [](Graphics& g) { g.DrawOval(60, 60, 0, 9); }, kNothing},
        ShapeCase{"NegativeBox", 1, 1, [](Graphics& g) { g.DrawOval(60, 60, -5, -5); }, kNothing}),
    probe::RowName());

// The frame of an oval is as thick as the pen: across the middle row the
// left side is PenWidth pixels, down the middle column the top is
// PenHeight pixels, and the middle itself is left alone.
struct FrameCase {
  const char* name;
  friend void PrintTo(const FrameCase& row, std::ostream* os) { *os << row.name; }
  int penWidth, penHeight;
};

class OvalFrame : public CanvasTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(OvalFrame, IsAsThickAsThePen) {
  const FrameCase& row = GetParam();
  Pen(row.penWidth, row.penHeight);
  g->DrawOval(0, 0, 60, 40);
  auto run = [&](int x, int y, int dx, int dy) {
    int n = 0;
    while (g->Pixel(x, y) == kInk) ++n, x += dx, y += dy;
    return n;
  };
  EXPECT_EQ(run(0, 20, 1, 0), row.penWidth);
  EXPECT_EQ(run(59, 20, -1, 0), row.penWidth);
  EXPECT_EQ(run(30, 0, 0, 1), row.penHeight);
  EXPECT_EQ(run(30, 39, 0, -1), row.penHeight);
  EXPECT_EQ(g->Pixel(30, 20), kBack);
}

INSTANTIATE_TEST_SUITE_P(Table, OvalFrame,
                         ::testing::Values(FrameCase{"OnePixel", 1, 1}, FrameCase{"ThreeByTwo", 3, 2},
                                           FrameCase{"OneByFive", 1, 5}),
                         probe::RowName());

// --- clipping ---------------------------------------------------------------

// Coordinates anywhere in the 32-bit range are clipped to the buffer; none
// makes the drawing slow or its arithmetic overflow.
struct ClipCase {
  const char* name;
  friend void PrintTo(const ClipCase& row, std::ostream* os) { *os << row.name; }
  int penWidth, penHeight;
  std::function<void(Graphics&, const fw::PicturePtr&)> draw;
  Ink expected;
};

class CanvasClip : public CanvasTest, public ::testing::WithParamInterface<ClipCase> {};

TEST_P(CanvasClip, KeepsInsideTheBuffer) {
  const ClipCase& row = GetParam();
  Pen(row.penWidth, row.penHeight);
  row.draw(*g, picture);
  ExpectInk(InkOf(*g), row.expected);
}

using P = const fw::PicturePtr&;

INSTANTIATE_TEST_SUITE_P(
    Table, CanvasClip,
    ::testing::Values(
        ClipCase{"LineAcrossTheWholeRange", 1, 1,
                 [](Graphics& g, P) { g.DrawLine(kMin, 5, kMax, 5); }, {kWidth, 0, 5, kWidth - 1, 5}},
        ClipCase{"LineDownTheWholeRange", 1, 1,
                 [](Graphics& g, P) { g.DrawLine(7, kMin, 7, kMax); },
                 {kHeight, 7, 0, 7, kHeight - 1}},
        ClipCase{"DiagonalCornerToCorner", 1, 1,
                 [](Graphics& g, P) { g.DrawLine(kMin, kMin, kMax, kMax); },
                 {kHeight, 0, 0, kHeight - 1, kHeight - 1}},
        ClipCase{"DiagonalCornerToCornerWidePen", 3, 3,
                 [](Graphics& g, P) { g.DrawLine(kMin, kMin, kMax, kMax); },
                 {-1, 0, 0, kHeight + 1, kHeight - 1}},
        ClipCase{"AntiDiagonalPassesOutside", 1, 1,
                 [](Graphics& g, P) { g.DrawLine(kMax, kMin, kMin, kMax); }, kNothing},
        ClipCase{"LineFromFarLeftIn", 1, 1, [](Graphics& g, P) { g.DrawLine(kMin, 40, 50, 40); },
                 {51, 0, 40, 50, 40}},
        ClipCase{"LineFromFarOutsideAtAnAngle", 1, 1,
                 [](Graphics& g, P) { g.DrawLine(-999940, -999970, 60, 30); }, {31, 30, 0, 60, 30}},
        ClipCase{"PenHangsOffTheCorner", 5, 5, [](Graphics& g, P) { g.DrawLine(98, 78, 98, 78); },
                 {4, 98, 78, 99, 79}},
        ClipCase{"OvalFarRightBelow", 1, 1, [](Graphics& g, P) { g.DrawOval(kMax, kMax, kMax, kMax); },
                 kNothing},
        ClipCase{"OvalFarLeftAbove", 1, 1, [](Graphics& g, P) { g.DrawOval(kMin, kMin, kMax, kMax); },
                 kNothing},
        ClipCase{"HugeOvalAroundTheBuffer", 1, 1,
                 [](Graphics& g, P) { g.DrawOval(-1000000, -1000000, 2000100, 2000080); }, kNothing},
        ClipCase{"OvalOverTheTopLeftCorner", 1, 1, [](Graphics& g, P) { g.DrawOval(-10, -10, 30, 30); },
                 {-1, 0, 0, 19, 19}},
        ClipCase{"PictureFarLeftAbove", 1, 1, [](Graphics& g, P p) { g.DrawPicture(p, kMin, kMin); },
                 kNothing},
        ClipCase{"PictureFarRightBelow", 1, 1, [](Graphics& g, P p) { g.DrawPicture(p, kMax, kMax); },
                 kNothing},
        ClipCase{"PictureFarLeftAtMidHeight", 1, 1,
                 [](Graphics& g, P p) { g.DrawPicture(p, kMin, 10); }, kNothing},
        ClipCase{"PictureOverTheTopLeftCorner", 1, 1,
                 [](Graphics& g, P p) { g.DrawPicture(p, -2, -1); }, {12, 0, 0, 3, 2}},
        ClipCase{"PictureOverTheBottomRightCorner", 1, 1,
                 [](Graphics& g, P p) { g.DrawPicture(p, 97, 78); }, {6, 97, 78, 99, 79}},
        ClipCase{"PictureWhole", 1, 1, [](Graphics& g, P p) { g.DrawPicture(p, 40, 30); },
                 {24, 40, 30, 45, 33}},
        ClipCase{"PictureScaledTwice", 1, 1,
                 [](Graphics& g, P p) { g.DrawPicture(p, 10, 10, 12, 8); }, {96, 10, 10, 21, 17}},
        ClipCase{"PicturePart", 1, 1,
                 [](Graphics& g, P p) { g.DrawPicture(p, 0, 0, -10000, -10000, 2, 1, 3, 2); },
                 {6, 0, 0, 2, 1}},
        ClipCase{"PicturePartBeyondItsEdge", 1, 1,
                 [](Graphics& g, P p) { g.DrawPicture(p, 10, 10, -10000, -10000, 4, 2, 9, 9); },
                 {4, 10, 10, 11, 11}},
        ClipCase{"PictureSourceFarAway", 1, 1,
                 [](Graphics& g, P p) { g.DrawPicture(p, 0, 0, -10000, -10000, kMin, kMin); },
                 kNothing},
        ClipCase{"PictureScaledOverTheWholeRange", 1, 1,
                 [](Graphics& g, P p) { g.DrawPicture(p, kMin, kMin, kMax, kMax); }, kNothing},
        ClipCase{"PictureScaledOverTheBuffer", 1, 1,
                 [](Graphics& g, P p) { g.DrawPicture(p, -1000, -1000, 2000, 2000); },
                 {kWidth * kHeight, 0, 0, kWidth - 1, kHeight - 1}},
        ClipCase{"NilPicture", 1, 1, [](Graphics& g, P) { g.DrawPicture(nullptr, 0, 0); }, kNothing}),
    probe::RowName());

}  // namespace
