// The About command of the main window and the About window itself.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QSize>
#include <QString>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/about_window.h"
#include "app/credit_window.h"
#include "app/loaders.h"
#include "gui/fixture.h"
#include "rotor.h"
#include "support/saved_picture.h"

namespace {

constexpr const char* kAboutClass = "AboutWindow.AboutWindow";
constexpr const char* kCreditsClass = "CreditWindow.CreditWindow";
constexpr fw::Color kBack = fw::HexColor(0xD0DAE7);
// The heading keeps a label's default text colour.
constexpr fw::Color kBlack{0, 0, 0};

const char* const kParagraph1 =
    "The mathematical background of this helicopter performance calculation program is based "
    "on the work by Zlatko Petrovi\u0107, Slobodan Stupar, Ivan Kosti\u0107 and Aleksandar "
    "Simonovi\u0107, University of Belgrade, Faculty of Mechanical Engineering. Their paper was "
    "published in internet by name: Determination of a Light Helicopter Flight Performance at "
    "the Preliminary Design Stage.";
const char* const kParagraph2 =
    "Additional mathematical  formulas and the user interface was designed by the author, the "
    "Vantorel team, in October, 2013";
const char* const kParagraph3 =
    "The editfields are prefilled with example data of a 2-place helicopter. To evaluate the "
    "performance of your own design just type in new values and press the Calculate button.";

enum class Face { Serif, Ui };

struct ControlRow {
  const char* name;
  fw::ControlClass cls;
  int left, top, width, height;
  int pixelSize;
  Face face;
  bool wraps;
};

const ControlRow kControls[] = {
    {"PushButton1", fw::ControlClass::PushButton, 416, 16, 104, 28, 14, Face::Ui, false},
    {"StaticText1", fw::ControlClass::StaticText, 64, 50, 436, 28, 20, Face::Serif, false},
    {"StaticText3", fw::ControlClass::StaticText, 141, 82, 258, 16, 14, Face::Serif, false},
    {"StaticText2", fw::ControlClass::StaticText, 20, 118, 500, 173, 14, Face::Serif, true},
    {"StaticText4", fw::ControlClass::StaticText, 156, 16, 229, 31, 30, Face::Serif, false},
};

const ControlRow& Row(std::string_view name) {
  for (const ControlRow& row : kControls)
    if (name == row.name) return row;
  throw std::invalid_argument("no control " + std::string(name));
}

saved::Box BoxOf(const ControlRow& row) { return {row.left, row.top, row.width, row.height}; }

// The family a control with the "System" font gets on this desktop.
std::string UiFamily() {
  fw::Window scratch("Scratch.Scratch");
  fw::Control& label = scratch.NewControl(fw::ControlClass::StaticText, "Label");
  label.SetProperties({.width = 10, .height = 10, .text = "x", .font = "System"});
  return fw::testing::Look(label).family;
}

class AboutTest : public MainWindowTest {
 protected:
  AboutWindow* OpenAbout() {
    EXPECT_TRUE(fw::testing::ChooseMenuItem(*w, "AppleAbout"));
    return dynamic_cast<AboutWindow*>(fw::GetImplicitWindow(kAboutClass));
  }
  CreditWindow* Credits() { return dynamic_cast<CreditWindow*>(fw::GetImplicitWindow(kCreditsClass)); }

  // Every control where it belongs, with its font and text.
  void ExpectLayout(AboutWindow& about) {
    const std::string ui = UiFamily();
    ASSERT_EQ(about.Controls().size(), std::size(kControls));
    for (const ControlRow& row : kControls) {
      SCOPED_TRACE(row.name);
      fw::Control* c = about.FindControl(row.name);
      ASSERT_NE(c, nullptr);
      EXPECT_EQ(c->Class(), row.cls);
      const fw::testing::ControlLook look = fw::testing::Look(*c);
      EXPECT_EQ(look.left, row.left);
      EXPECT_EQ(look.top, row.top);
      EXPECT_EQ(look.width, row.width);
      EXPECT_EQ(look.height, row.height);
      EXPECT_EQ(c->TextSize(), static_cast<float>(row.pixelSize));
      // A wrapped text is shown at the largest size that fits its box.
      if (row.wraps) {
        EXPECT_LE(look.pixelSize, row.pixelSize);
        EXPECT_GE(look.pixelSize, row.pixelSize - 2);
      } else {
        EXPECT_EQ(look.pixelSize, row.pixelSize);
      }
      EXPECT_TRUE(look.bold);
      EXPECT_TRUE(look.visible);
      EXPECT_EQ(look.wraps, row.wraps);
      EXPECT_EQ(look.family, row.face == Face::Serif ? std::string("Liberation Serif") : ui);
    }
    const auto text = [&](const char* name) { return fw::testing::Look(about.Get<fw::Control>(name)).text; };
    EXPECT_EQ(text("PushButton1"), "Credits");
    EXPECT_EQ(text("StaticText1"), "Performance Calculation of  Helicopters");
    EXPECT_EQ(text("StaticText4"), "Brisvane");
    EXPECT_FALSE(text("StaticText3").empty());
    // Shown with the Mac line ends turned into line breaks.
    EXPECT_EQ(text("StaticText2"),
              std::string(kParagraph1) + "\n\n" + kParagraph2 + "\n\n" + kParagraph3);
  }
};

TEST_F(AboutTest, MenuItemIsEnabledAndOpensTheWindow) {
  EXPECT_TRUE(fw::testing::MenuItemEnabled(*w, "AppleAbout"));
  AboutWindow* about = OpenAbout();
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->IsOpen());
  EXPECT_TRUE(about->IsVisible());
}

TEST_F(AboutTest, ChosenTwiceIsStillOneWindow) {
  AboutWindow* first = OpenAbout();
  fw::testing::ProcessEvents();
  AboutWindow* second = OpenAbout();
  EXPECT_EQ(first, second);
  EXPECT_TRUE(first->IsOpen());
}

TEST_F(AboutTest, ActionReportsUnhandledEveryTime) {
  for (int call = 0; call < 3; ++call) EXPECT_FALSE(w->AppleAbout_Action()) << "call " << call;
  EXPECT_NE(fw::GetImplicitWindow(kAboutClass), nullptr);
}

// The main window enables the About item and leaves every other item as it
// finds it.
TEST_F(AboutTest, EnablingTouchesOnlyTheAboutItem) {
  const std::shared_ptr<fw::MenuBar> bar = w->GetMenuBar();
  ASSERT_NE(bar, nullptr);
  const char* const others[] = {"UntitledMenu2", "FileQuit", "UntitledMenu0", "EditUndo",
                                "UntitledMenu1", "EditCut",  "EditCopy",      "EditPaste",
                                "EditClear"};
  for (bool state : {false, true}) {
    SCOPED_TRACE(state ? "all enabled" : "all disabled");
    for (const char* name : others) bar->Lookup(name)->SetEnabled(state);
    bar->Lookup("AppleAbout")->SetEnabled(false);
    w->Event_EnableMenuItems();
    EXPECT_TRUE(bar->Lookup("AppleAbout")->Enabled());
    for (const char* name : others) EXPECT_EQ(bar->Lookup(name)->Enabled(), state) << name;
  }
}

TEST_F(AboutTest, ItemWithoutAutoEnableStaysDisabledInTheOpenedMenu) {
  fw::MenuItem* clear = w->GetMenuBar()->Lookup("EditClear");
  clear->SetAutoEnable(false);
  clear->SetEnabled(false);
  EXPECT_FALSE(fw::testing::MenuItemEnabled(*w, "EditClear"));
  EXPECT_TRUE(fw::testing::MenuItemEnabled(*w, "AppleAbout"));
}

TEST_F(AboutTest, WindowLooksAsLaidOut) {
  AboutWindow* about = OpenAbout();
  ASSERT_NE(about, nullptr);
  fw::testing::ProcessEvents();
  EXPECT_EQ(fw::testing::Look(*about), (fw::testing::WindowLook{.contentWidth = 540,
                                                                  .contentHeight = 299,
                                                                  .title = "About Brisvane",
                                                                  .fixedSize = true,
                                                                  .closeButton = false,
                                                                  .minimizeButton = true,
                                                                  .maximizeButton = false,
                                                                  .dialog = true,
                                                                  .menuBar = false}));
  EXPECT_EQ(about->BackColor(), kBack);
  EXPECT_EQ(fw::testing::ShownPixel(*about, 5, 5), kBack);
  EXPECT_EQ(fw::testing::ShownPixel(*about, 535, 295), kBack);
  ExpectLayout(*about);
}

TEST_F(AboutTest, ParagraphsAreSeparatedByOneEmptyLine) {
  AboutWindow* about = OpenAbout();
  ASSERT_NE(about, nullptr);
  const std::string text = about->Get<fw::StaticText>("StaticText2").Text();
  std::vector<std::string> paragraphs;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find("\r\r", from)) != std::string::npos; from = at + 2)
    paragraphs.push_back(text.substr(from, at - from));
  paragraphs.push_back(text.substr(from));
  ASSERT_EQ(paragraphs.size(), 3u) << text;
  EXPECT_EQ(paragraphs[0], kParagraph1);
  EXPECT_EQ(paragraphs[1], kParagraph2);
  EXPECT_EQ(paragraphs[2], kParagraph3);
  for (const std::string& p : paragraphs) {
    EXPECT_EQ(p.find('\r'), std::string::npos) << p;
    EXPECT_EQ(p.find('\n'), std::string::npos) << p;
  }
}

// The room a text of a control needs as the label lays it out: the lines
// from the top, and of the last line only its ink, so that a single line
// without descenders may fill a control shorter than the font's full height.
QSize Needed(const fw::testing::ControlLook& look, bool wraps) {
  QFont font(QString::fromStdString(look.family));
  font.setPixelSize(look.pixelSize);
  font.setBold(look.bold);
  const QFontMetrics metrics(font);
  const QString text = QString::fromStdString(look.text);
  const QRect box = wraps ? metrics.boundingRect(QRect(0, 0, look.width, 100000), Qt::TextWordWrap, text)
                          : metrics.boundingRect(QRect(0, 0, 100000, 100000), 0, text);
  const QString lastLine = text.section(QLatin1Char('\n'), -1);
  const int lastInkBelowBaseline = std::max(0, metrics.tightBoundingRect(lastLine).bottom() + 1);
  return QSize(box.width(), box.height() - metrics.descent() + lastInkBelowBaseline);
}

TEST_F(AboutTest, SingleLineTextsFitTheirControls) {
  AboutWindow* about = OpenAbout();
  ASSERT_NE(about, nullptr);
  for (const ControlRow& row : kControls) {
    if (row.cls != fw::ControlClass::StaticText || row.wraps) continue;
    SCOPED_TRACE(row.name);
    const QSize needed = Needed(fw::testing::Look(about->Get<fw::Control>(row.name)), false);
    EXPECT_LE(needed.width(), row.width);
    EXPECT_LE(needed.height(), row.height);
  }
}

// At 14 px Liberation Serif bold needs about 200 px for the paragraphs, so
// the label shows them a size smaller rather than cutting the last one off.
TEST_F(AboutTest, ParagraphsFitTheirControl) {
  AboutWindow* about = OpenAbout();
  ASSERT_NE(about, nullptr);
  const QSize needed = Needed(fw::testing::Look(about->Get<fw::Control>("StaticText2")), true);
  EXPECT_LE(needed.width(), 500);
  EXPECT_LE(needed.height(), 173);
}

TEST_F(AboutTest, MouseDownClosesAtOnceAndTheNextOneIsNew) {
  AboutWindow* first = OpenAbout();
  ASSERT_NE(first, nullptr);
  fw::testing::ProcessEvents();
  fw::testing::PressMouse(*first, 5, 290);
  EXPECT_EQ(fw::GetImplicitWindow(kAboutClass), nullptr);
  EXPECT_FALSE(first->IsOpen());
  // The old window is still in memory until the loop turns: the new one
  // can't share its address.
  AboutWindow* second = OpenAbout();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_TRUE(second->IsOpen());
  fw::testing::ProcessEvents();
  ExpectLayout(*second);
  EXPECT_EQ(fw::GetImplicitWindow(kAboutClass), second);
}

TEST_F(AboutTest, MouseDownHandlerReportsUnhandled) {
  AboutWindow* about = OpenAbout();
  ASSERT_NE(about, nullptr);
  EXPECT_FALSE(about->Event_MouseDown(5, 5));
  EXPECT_EQ(fw::GetImplicitWindow(kAboutClass), nullptr);
}

TEST_F(AboutTest, CreditsButtonSwapsAboutForANewCreditsWindow) {
  AboutWindow* about = OpenAbout();
  ASSERT_NE(about, nullptr);
  fw::testing::Click(about->Get<fw::Control>("PushButton1"));
  EXPECT_EQ(fw::GetImplicitWindow(kAboutClass), nullptr);
  CreditWindow* credits = Credits();
  ASSERT_NE(credits, nullptr);
  rotor::StopClock(*credits);
  EXPECT_TRUE(credits->IsVisible());
  ASSERT_NE(finale(), nullptr);
  EXPECT_EQ(fw::testing::PlayCount(*finale()), 1);
  EXPECT_EQ(rotor::Name(rotor::Tick(*credits)), std::string("Prop"));
  fw::testing::ProcessEvents();
  EXPECT_EQ(fw::GetImplicitWindow(kAboutClass), nullptr);
}

// A Credits window that is open already comes to the front as it is: no
// second fanfare, and the rotor turns on from where it was.
TEST_F(AboutTest, CreditsButtonWithCreditsOpenShowsThatWindowAgain) {
  fw::testing::Click(OpenAbout()->Get<fw::Control>("PushButton1"));
  CreditWindow* credits = Credits();
  ASSERT_NE(credits, nullptr);
  rotor::StopClock(*credits);
  for (const char* want : {"Prop", "Prop1", "Prop2"}) EXPECT_EQ(rotor::Name(rotor::Tick(*credits)), std::string(want));
  fw::testing::ProcessEvents();

  AboutWindow* about = OpenAbout();
  ASSERT_NE(about, nullptr);
  fw::testing::Click(about->Get<fw::Control>("PushButton1"));
  EXPECT_EQ(fw::GetImplicitWindow(kAboutClass), nullptr);
  EXPECT_EQ(Credits(), credits);
  EXPECT_TRUE(credits->IsVisible());
  EXPECT_EQ(fw::testing::PlayCount(*finale()), 1);
  EXPECT_EQ(credits->n, 3);
  EXPECT_EQ(rotor::Name(rotor::Tick(*credits)), std::string("Prop3"));
}

// The saved picture is the About window alone, no menu bar above it: the
// heading's text in the heading's box, the back colour wherever no control
// stands.
TEST_F(AboutTest, Screenshot) {
  AboutWindow* about = OpenAbout();
  ASSERT_NE(about, nullptr);
  fw::testing::ProcessEvents();
  const fw::PicturePtr picture = saved::SaveAndReadBack(*about, "about-window.png");
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->Width(), 540);
  EXPECT_EQ(picture->Height(), 299);

  // The heading's ink starts at its box's left edge and ends where its
  // text does, give or take the glyphs' side bearings: the heading is drawn
  // to its full width, not cut short by its box. What the ink spells is not
  // checked; a text of the same width passes here, and the layout test
  // checks the label's text, size and weight.
  const saved::Box box = BoxOf(Row("StaticText1"));
  EXPECT_GT(saved::CountIn(*picture, box, kBlack), 0);
  int left = box.left + box.width, right = box.left - 1;
  for (int y = box.top; y < box.top + box.height; ++y)
    for (int x = box.left; x < box.left + box.width; ++x)
      if (picture->Pixel(x, y) == kBlack) left = std::min(left, x), right = std::max(right, x);
  fw::testing::ControlLook heading = fw::testing::Look(about->Get<fw::Control>("StaticText1"));
  heading.text = "Performance Calculation of  Helicopters";
  EXPECT_NEAR(left, box.left, 3);
  EXPECT_NEAR(right + 1, box.left + Needed(heading, false).width(), 4);

  EXPECT_TRUE(saved::Shows(*picture, {0, 0, 540, 299}, [](int x, int y) -> std::optional<fw::Color> {
    for (const ControlRow& row : kControls)
      if (BoxOf(row).Contains(x, y)) return std::nullopt;
    return kBack;
  }));
}

}  // namespace
