// The main window as it opens: window, menus, every control as the layout
// lists it, the start-up state of the options and fields, and the
// single-instance accessor.
#include <set>
#include <string>
#include <vector>

#include "main_window/controls_table.h"
#include "window_support.h"

namespace {

using fw::ControlClass;
using fw::testing::Look;
using mwtest::kBack;

using StartupTest = MainWindowTest;

TEST_F(StartupTest, WindowIsAFixedLightBlueVantorelWindow) {
  EXPECT_EQ(Look(*w), (fw::testing::WindowLook{.contentWidth = 871,
                                                 .contentHeight = 639,
                                                 .title = "Vantorel",
                                                 .fixedSize = true,
                                                 .closeButton = true,
                                                 .minimizeButton = true,
                                                 .maximizeButton = false,
                                                 .dialog = false,
                                                 .menuBar = true}));
  EXPECT_TRUE(w->IsVisible());
  EXPECT_EQ(w->BackColor(), kBack);
  // Spots where no control stands show the back colour.
  EXPECT_EQ(fw::testing::ShownPixel(*w, 850, 300), kBack);
  EXPECT_EQ(fw::testing::ShownPixel(*w, 3, 630), kBack);
}

TEST_F(StartupTest, MenuBarShowsFileAndEditMenus) {
  struct Item {
    const char* text;
    const char* shortcut;
    bool separator;
  };
  struct Menu {
    const char* title;
    std::vector<Item> items;
  };
  const std::vector<Menu> expected = {
      {"File", {{"Quit", "Ctrl+Q", false}}},
      {"Edit",
       {{"Undo", "Ctrl+Z", false},
        {"", "", true},
        {"Cut", "Ctrl+X", false},
        {"Copy", "Ctrl+C", false},
        {"Paste", "Ctrl+V", false},
        {"Clear", "", false},
        {"About Brisvan", "", false}}},
  };
  const std::vector<fw::testing::ShownMenu> shown = fw::testing::ShownMenus(*w);
  ASSERT_EQ(shown.size(), expected.size());
  for (std::size_t m = 0; m < expected.size(); ++m) {
    SCOPED_TRACE(expected[m].title);
    EXPECT_EQ(shown[m].title, expected[m].title);
    ASSERT_EQ(shown[m].items.size(), expected[m].items.size());
    for (std::size_t i = 0; i < expected[m].items.size(); ++i) {
      const Item& e = expected[m].items[i];
      const fw::testing::ShownMenuItem& s = shown[m].items[i];
      SCOPED_TRACE(i);
      EXPECT_EQ(s.separator, e.separator);
      if (e.separator) continue;
      EXPECT_EQ(s.text, e.text);
      EXPECT_EQ(s.shortcut, e.shortcut);
    }
  }
}

// A representative set, written out literally: every class, the texts with
// odd blanks, each font family and size in use, the one underlined label,
// the one disabled field, controls inside each kind of parent.
struct LiteralControl {
  const char* name;
  ControlClass cls;
  int left, top, width, height;
  const char* text;  // as shown
  const char* family;  // "" for the desktop's UI font (System and Geneva)
  int pixelSize;
  bool bold, underline;
  const char* parent;
  bool enabled = true;
  bool frame = false;  // text fields only
  bool wraps = false;  // labels only
  fw::Color textColor{0, 0, 0};  // labels only
};

constexpr const char* kArial = "Liberation Sans";

const LiteralControl kLiteralControls[] = {
    {"StaticText1", ControlClass::StaticText, 26, 14, 581, 19,
     "MULTICOPTER PERFORMANCE CALCULATION", kArial, 18, true, false, "", true, false, false,
     {0x24, 0x44, 0xa7}},
    {"StaticText55", ControlClass::StaticText, 318, 46, 286, 22, "Rate of Climb at selected Power",
     kArial, 18, true, true, "", true, false, false, {0x25, 0x44, 0xb2}},
    {"StaticTextrpm", ControlClass::StaticText, 188, 187, 29, 17, " rpm", kArial, 12, false,
     false, ""},
    {"StaticTextFrontal", ControlClass::StaticText, 648, 448, 49, 20, "  m2", "", 12, false, false,
     "GroupBox2"},
    {"StaticText5", ControlClass::StaticText, 24, 186, 117, 16, "Blade chord  (m)", kArial, 10,
     false, false, ""},
    {"StaticText34", ControlClass::StaticText, 27, 381, 73, 14, "Altitude  (m)", kArial, 10,
     false, false, "", true, false, true},
    {"StaticText35", ControlClass::StaticText, 26, 360, 107, 14, "Temperature (deg C)", kArial,
     10, false, false, "", true, false, true},
    {"StaticTextTipSpeed", ControlClass::StaticText, 24, 204, 87, 20, "Tip speed m/s", "", 10,
     false, false, ""},
    {"StaticText31", ControlClass::StaticText, 280, 131, 52, 16, "1600", kArial, 12, false, false,
     "Canvas1"},
    {"StaticText16", ControlClass::StaticText, 795, 389, 67, 17, "200 kmh", kArial, 12, false,
     false, ""},
    {"StaticText54", ControlClass::StaticText, 278, 69, 44, 14, "ft/min", kArial, 12, false, false,
     "", true, false, true},
    {"StaticText101", ControlClass::StaticText, 28, 442, 85, 20, "Capacity kWh", "", 12, false,
     false, "GroupBoxType"},
    {"GroupBoxType", ControlClass::GroupBox, 20, 416, 163, 87, "Multicopter  Battery", "", 12,
     true, false, ""},
    {"GroupBoxFuselage", ControlClass::GroupBox, 209, 425, 286, 111,
     "Fuselage Type (Drag Coefficient)", kArial, 12, true, false, ""},
    {"GroupBox4", ControlClass::GroupBox, 84, 55, 125, 29, "", "", 12, true, false, ""},
    {"GroupBoxPreselected", ControlClass::GroupBox, 209, 551, 619, 61, "Example Multicopters", "",
     12, true, false, ""},
    {"ButtonDrag", ControlClass::RadioButton, 217, 448, 90, 19, "Open Frame ", kArial, 10, false,
     false, "GroupBoxFuselage"},
    {"ButtonMetric", ControlClass::RadioButton, 85, 59, 66, 20, "Metric", "", 10, false, false,
     "GroupBox4"},
    {"ButtonSbyS", ControlClass::RadioButton, 517, 505, 114, 21, "Two Side by Side", kArial, 10,
     false, false, "GroupBox2"},
    {"RadioButtonPopup", ControlClass::RadioButton, 596, 580, 129, 20, "AirBus Popup", "", 12,
     false, false, "GroupBoxPreselected"},
    {"EditFieldWeight", ControlClass::TextField, 133, 108, 39, 16, "450", kArial, 12, false, false,
     ""},
    {"EditFieldPower", ControlClass::TextField, 125, 296, 39, 15, "25", kArial, 12, false, false,
     ""},
    {"TextFieldDrag", ControlClass::TextField, 316, 466, 46, 30, "0.35", "", 18, true, false,
     "GroupBoxFuselage", true, true},
    {"TextFieldRotors", ControlClass::TextField, 133, 125, 39, 22, "4", "", 12, false, false, "",
     true, true},
    {"TextFieldEndurange", ControlClass::TextField, 114, 469, 58, 22, "", "", 12, false, false,
     "GroupBoxType", true, true},
    {"TextFieldRpm", ControlClass::TextField, 182, 206, 39, 22, "2088", "", 12, false, false, "",
     false, true},
    {"PushButtonCalculate", ControlClass::PushButton, 26, 549, 95, 61, "Calculate", kArial, 14,
     true, false, ""},
    {"PushButtonClear", ControlClass::PushButton, 133, 549, 52, 61, "Clear", kArial, 14, true,
     false, ""},
    {"CheckBoxSpecs", ControlClass::CheckBox, 25, 515, 160, 20, "Perform. specs", "", 12, false,
     false, ""},
    {"PopupMenupowerpct", ControlClass::PopupMenu, 169, 292, 64, 23, "100", "", 12, false, false,
     ""},
    {"PopupMenum", ControlClass::PopupMenu, 123, 381, 80, 20, "0", "", 12, false, false, ""},
    {"Canvas1", ControlClass::Canvas, 271, 85, 560, 300, "", "", 0, false, false, ""},
    {"CanvasGyro", ControlClass::Canvas, 703, 449, 117, 71, "", "", 0, false, false, "GroupBox2"},
};

TEST_F(StartupTest, RepresentativeControlsLookAsLaidOut) {
  // "System" and "Geneva" both stand for the desktop's UI font, whatever it
  // is called here; it has a name, and it is not the Arial substitute.
  const std::string ui = Look(Get<fw::Control>("TextFieldRotors")).family;
  EXPECT_FALSE(ui.empty());
  EXPECT_NE(ui, kArial);
  EXPECT_EQ(Look(Get<fw::Control>("ButtonMetric")).family, ui);

  for (const LiteralControl& e : kLiteralControls) {
    SCOPED_TRACE(e.name);
    fw::Control* c = w->FindControl(e.name);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->Class(), e.cls);
    EXPECT_EQ(c->Parent(), e.parent);
    const fw::testing::ControlLook look = Look(*c);
    EXPECT_EQ(look.left, e.left);
    EXPECT_EQ(look.top, e.top);
    EXPECT_EQ(look.width, e.width);
    EXPECT_EQ(look.height, e.height);
    EXPECT_TRUE(look.visible);
    EXPECT_EQ(look.enabled, e.enabled);
    if (e.cls == ControlClass::Canvas) {
      EXPECT_FALSE(look.takesFocus);
      continue;
    }
    EXPECT_EQ(look.text, e.text);
    EXPECT_EQ(look.family, *e.family ? std::string(e.family) : ui);
    EXPECT_EQ(look.pixelSize, e.pixelSize);
    EXPECT_EQ(look.bold, e.bold);
    EXPECT_EQ(look.underline, e.underline);
    if (e.cls == ControlClass::TextField) {
      EXPECT_EQ(look.frame, e.frame);
    }
    if (e.cls == ControlClass::StaticText) {
      EXPECT_EQ(look.wraps, e.wraps);
      EXPECT_EQ(look.textColor, e.textColor);
    }
  }
}

TEST_F(StartupTest, LinesJoinTheirEndPoints) {
  struct LiteralLine {
    const char* name;
    int x1, y1, x2, y2, width;
    fw::Color color;
    const char* parent;
  };
  const LiteralLine lines[] = {
      {"Line18", 270, 87, 273, 390, 3, {0x13, 0x3b, 0x90}, ""},
      {"Line1", 270, 387, 829, 385, 3, {0x0b, 0x3d, 0x7f}, ""},
      {"Line11", 550, 392, 550, 382, 1, {0, 0, 0}, "Line1"},
      {"Line3", 269, 90, 264, 90, 2, {0x1f, 0x3a, 0x6b}, "StaticText28"},
      {"Line7", 271, 200, 276, 200, 2, {0x0b, 0x3d, 0x7f}, "StaticText49"},
  };
  for (const LiteralLine& e : lines) {
    SCOPED_TRACE(e.name);
    auto& line = Get<fw::Line>(e.name);
    EXPECT_EQ(line.X1(), e.x1);
    EXPECT_EQ(line.Y1(), e.y1);
    EXPECT_EQ(line.X2(), e.x2);
    EXPECT_EQ(line.Y2(), e.y2);
    EXPECT_EQ(line.BorderWidth(), e.width);
    EXPECT_EQ(line.LineColor(), e.color);
    EXPECT_EQ(line.Parent(), e.parent);
    EXPECT_TRUE(line.Visible());
  }
}

// The whole layout list against the controls the window made from it: the
// construction applies every row, in order, with nothing left out.
TEST_F(StartupTest, EveryLayoutRowBecomesItsControlInOrder) {
  const auto rows = main_window::ControlRows();
  const auto& controls = w->Controls();
  ASSERT_EQ(rows.size(), 102u);
  ASSERT_EQ(controls.size(), rows.size());
  const std::string ui = Look(Get<fw::Control>("TextFieldRotors")).family;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const main_window::ControlRow& row = rows[i];
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.no, static_cast<int>(i) + 1);
    fw::Control& c = *controls[i];
    EXPECT_EQ(c.Name(), row.name);
    EXPECT_EQ(c.Class(), row.cls);
    EXPECT_EQ(c.Parent(), row.d.parent);
    EXPECT_EQ(c.TabIndex(), row.d.tabIndex);
    if (row.cls == ControlClass::Line) continue;
    EXPECT_EQ(c.Left(), row.d.left);
    EXPECT_EQ(c.Top(), row.d.top);
    EXPECT_EQ(c.Width(), row.d.width);
    EXPECT_EQ(c.Height(), row.d.height);
    if (row.cls == ControlClass::Canvas) continue;
    const fw::testing::ControlLook look = Look(c);
    EXPECT_EQ(c.TextUnit(), 0);
    EXPECT_EQ(look.family, row.d.font == "Arial" ? std::string(kArial) : ui);
    EXPECT_EQ(look.pixelSize, row.textSize > 0 ? static_cast<int>(row.textSize) : 12);
    EXPECT_EQ(look.bold, row.d.bold);
    EXPECT_EQ(look.underline, row.d.underline);
    EXPECT_EQ(look.enabled, row.d.enabled);
    if (row.cls == ControlClass::StaticText) {
      EXPECT_EQ(look.wraps, row.d.multiline);
    }
    // The texts as laid out, but for the two that the opening changes.
    const std::string_view name = row.name;
    if (row.cls != ControlClass::PopupMenu && name != "TextFieldRpm") {
      EXPECT_EQ(look.text, row.d.text);
    }
    EXPECT_EQ(look.visible, name != "PopupMenuft");
  }
}

TEST_F(StartupTest, NamesAreUniqueAndParentsExist) {
  std::set<std::string> names;
  for (const auto& c : w->Controls()) {
    SCOPED_TRACE(c->Name());
    EXPECT_TRUE(names.insert(c->Name()).second);
    EXPECT_EQ(w->FindControl(c->Name()), c.get());
    if (c->Parent().empty()) continue;
    fw::Control* parent = w->FindControl(c->Parent());
    ASSERT_NE(parent, nullptr);
    // A radio button's parent is the group box that makes its group.
    if (c->Class() == ControlClass::RadioButton) {
      EXPECT_EQ(parent->Class(), ControlClass::GroupBox);
    }
  }
  EXPECT_EQ(w->FindControl("Timer1"), nullptr);
}

TEST_F(StartupTest, OnlyTheGraphTitleIsUnderlined) {
  for (const auto& c : w->Controls()) {
    if (c->Class() == ControlClass::Canvas || c->Class() == ControlClass::Line) continue;
    SCOPED_TRACE(c->Name());
    EXPECT_EQ(Look(*c).underline, c->Name() == "StaticText55");
  }
}

TEST_F(StartupTest, PopUpsOfferTheirItems) {
  struct PopupCase {
    const char* name;
    std::vector<std::string> items;
  };
  const PopupCase cases[] = {
      {"PopupMenupowerpct", {"100", "90", "80", "75", "60", "50", "40", "30", "25"}},
      {"PopupMenum",
       {"0", "500", "1000", "1500", "2000", "2500", "3000", "3500", "4000", "4500", "5000"}},
      {"PopupMenuft", {"0", "2000", "4000", "6000", "8000", "10000", "12000", "14000", "16000"}},
  };
  for (const PopupCase& pc : cases) {
    SCOPED_TRACE(pc.name);
    auto& popup = Get<fw::PopupMenu>(pc.name);
    ASSERT_EQ(popup.ListCount(), static_cast<int>(pc.items.size()));
    for (int i = 0; i < popup.ListCount(); ++i)
      EXPECT_EQ(popup.List(i), pc.items[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(popup.ListIndex(), 0);
    EXPECT_EQ(popup.Text(), pc.items.front());
  }
}

TEST_F(StartupTest, OneOptionSelectedPerGroupAndNoExample) {
  struct Group {
    const char* box;
    const char* selected;  // "" for none
  };
  const Group groups[] = {{"GroupBox4", "ButtonMetric"},
                          {"GroupBox1", "ButtonPlain"},
                          {"GroupBoxFuselage", "ButtonStreamlined"},
                          {"GroupBox2", "ButtonSbyS"},
                          {"GroupBoxPreselected", ""}};
  int radios = 0;
  for (const Group& g : groups) {
    SCOPED_TRACE(g.box);
    std::vector<std::string> on;
    for (const auto& c : w->Controls()) {
      if (c->Class() != ControlClass::RadioButton || c->Parent() != g.box) continue;
      ++radios;
      if (static_cast<fw::RadioButton&>(*c).Value()) on.push_back(c->Name());
    }
    EXPECT_EQ(on, *g.selected ? std::vector<std::string>{g.selected} : std::vector<std::string>{});
  }
  EXPECT_EQ(radios, 15);
  EXPECT_FALSE(Get<fw::CheckBox>("CheckBoxSpecs").Value());
  // Both unit buttons start enabled; only a switch disables one.
  EXPECT_TRUE(Get<fw::RadioButton>("ButtonMetric").Enabled());
  EXPECT_TRUE(Get<fw::RadioButton>("ButtonUS").Enabled());
}

TEST_F(StartupTest, FieldsAndPicturesAtStartUp) {
  EXPECT_FALSE(Get<fw::PopupMenu>("PopupMenuft").Visible());
  EXPECT_FALSE(Look(Get<fw::Control>("PopupMenuft")).visible);
  EXPECT_TRUE(Look(Get<fw::Control>("PopupMenum")).visible);
  EXPECT_EQ(Text("TextFieldEndurange"), "");
  // The first paint of the graph replaced the design text "Rpm".
  EXPECT_EQ(Text("TextFieldRpm"), "2088");
  EXPECT_FALSE(Get<fw::TextField>("TextFieldRpm").Enabled());
  // No option handler ran: the design texts, not the options' values.
  EXPECT_EQ(Text("TextFieldDrag"), "0.35");
  EXPECT_EQ(Text("TextFieldFrontal"), "1.5");
  for (const char* canvas : {"Canvas1", "CanvasFuselage", "CanvasGyro"}) {
    SCOPED_TRACE(canvas);
    EXPECT_EQ(Get<fw::Canvas>(canvas).Backdrop(), nullptr);
  }
  EXPECT_EQ(mwtest::CountPixels(Get<fw::Canvas>("CanvasFuselage").GetGraphics(), kBack),
            115 * 71);
  EXPECT_EQ(mwtest::CountPixels(Get<fw::Canvas>("CanvasGyro").GetGraphics(), kBack), 117 * 71);
}

TEST_F(StartupTest, RecordHoldsConstantsAndTheDesignCraft) {
  EXPECT_EQ(w->Duct, 1.0);
  EXPECT_EQ(w->rateclimb, 0.0);
  EXPECT_EQ(w->maxspeed, 0.0);
  EXPECT_EQ(w->scx, 0.0);
  EXPECT_EQ(w->scy, 0.0);
  EXPECT_EQ(w->sck, 0.0);
  EXPECT_EQ(w->cdho, 0.0);
  EXPECT_EQ(w->Cdo, 0.0);
  EXPECT_EQ(w->pi, 3.142);
  EXPECT_EQ(w->g, 9.81);
  EXPECT_EQ(w->roo, 1.25);
  EXPECT_EQ(w->W, 112.5);
  EXPECT_EQ(w->R, 0.8);
  EXPECT_EQ(w->c, 0.1);
  EXPECT_EQ(w->b, 2);
  EXPECT_EQ(w->motors, 4);
  EXPECT_EQ(w->VTip, 175.0);
  EXPECT_EQ(w->alt, 0.0);
  EXPECT_EQ(w->temp, 20.0);
  EXPECT_EQ(w->Arunko, 0.375);
  EXPECT_EQ(w->Pmoot, 25.0);
  EXPECT_EQ(w->omega, 2088.0);
}

// Typing, or choosing an altitude or a percentage, runs no handler: nothing
// else changes and nothing is drawn.
TEST_F(StartupTest, TypingAndChoosingChangeNothingElse) {
  const int paints = fw::testing::PaintCount(Get<fw::Canvas>("Canvas1"));
  mwtest::ReferenceGraph before;
  fw::testing::Type(Field("EditFieldWeight"), "7");
  fw::testing::Type(Field("TextFieldRotors"), "9");
  // The rpm output takes no typing at all.
  fw::testing::Type(Field("TextFieldRpm"), "5");
  Get<fw::PopupMenu>("PopupMenum").SetListIndex(4);
  Get<fw::PopupMenu>("PopupMenupowerpct").SetListIndex(3);
  fw::testing::ProcessEvents();
  EXPECT_NE(Text("EditFieldWeight"), "450");
  EXPECT_NE(Text("TextFieldRotors"), "4");
  EXPECT_EQ(Text("TextFieldRpm"), "2088");
  EXPECT_EQ(Text("TextFieldEndurange"), "");
  EXPECT_EQ(fw::testing::PaintCount(Get<fw::Canvas>("Canvas1")), paints);
  EXPECT_TRUE(mwtest::SamePixels(Graph(), before.g()));
  EXPECT_EQ(w->W, 112.5);
  EXPECT_EQ(w->motors, 4);
  EXPECT_EQ(w->alt, 0.0);
  EXPECT_EQ(w->Pmoot, 25.0);
}

// Keyboard focus walks each parent's controls by their TabIndex.
TEST_F(StartupTest, KeyboardFocusFollowsTabIndexWithinEachParent) {
  const std::vector<std::string> order = fw::testing::TabOrder(*w);
  std::set<std::string> seen(order.begin(), order.end());
  EXPECT_EQ(seen.size(), order.size()) << "a control twice in the focus chain";
  auto within = [&](const std::string& parent) {
    std::vector<std::string> names;
    for (const std::string& name : order)
      if (w->FindControl(name)->Parent() == parent) names.push_back(name);
    return names;
  };
  EXPECT_EQ(within("GroupBoxFuselage"),
            (std::vector<std::string>{"ButtonDrag", "ButtonPodBoom", "ButtonStreamlined",
                                      "TextFieldDrag"}));
  EXPECT_EQ(within("GroupBox2"), (std::vector<std::string>{"ButtonOnePlace", "ButtonSbyS",
                                                           "ButtonTandem", "TextFieldFrontal"}));
  EXPECT_EQ(within("GroupBoxPreselected"),
            (std::vector<std::string>{"RadioKivopack", "RadioButtonPopup", "Radiobuttonehang",
                                      "RadioButtonRC", "RadioButtonVolo"}));
  std::set<std::string> parents;
  for (const auto& c : w->Controls()) parents.insert(c->Parent());
  for (const std::string& parent : parents) {
    SCOPED_TRACE(parent);
    int last = -1;
    for (const std::string& name : within(parent)) {
      EXPECT_GE(w->FindControl(name)->TabIndex(), last) << name;
      last = w->FindControl(name)->TabIndex();
    }
  }
  // Every control that takes the keyboard is in the chain; labels, lines,
  // canvases and group boxes are not.
  for (const auto& c : w->Controls()) {
    const ControlClass k = c->Class();
    const bool takes = k == ControlClass::TextField || k == ControlClass::PushButton ||
                       k == ControlClass::RadioButton || k == ControlClass::CheckBox ||
                       k == ControlClass::PopupMenu;
    EXPECT_EQ(seen.count(c->Name()) == 1, takes) << c->Name();
  }
}

// Return and Escape press neither push button, wherever the focus is.
TEST_F(StartupTest, ReturnAndEscapePressNoButton) {
  const int paints = fw::testing::PaintCount(Get<fw::Canvas>("Canvas1"));
  for (const char* focus : {"EditFieldWeight", "TextFieldCapacity", "PushButtonCalculate",
                            "PushButtonClear"}) {
    SCOPED_TRACE(focus);
    fw::testing::Focus(Get<fw::Control>(focus));
    fw::testing::ProcessEvents();
    EXPECT_EQ(fw::testing::FocusedControlName(*w), focus);
    for (const char* key : {"Return", "Escape"}) {
      SCOPED_TRACE(key);
      fw::testing::PressKey(*w, key);
      fw::testing::ProcessEvents();
      EXPECT_EQ(Text("TextFieldEndurange"), "");
      EXPECT_EQ(mwtest::CountPixels(Graph(), mwtest::kDot), 0);
      EXPECT_EQ(fw::testing::PaintCount(Get<fw::Canvas>("Canvas1")), paints);
    }
  }
  EXPECT_TRUE(w->IsOpen());
}

TEST_F(StartupTest, AccessorReturnsTheOpenWindowAndBuildsAfreshAfterClose) {
  Field("EditFieldWeight").SetText("999");
  const int paints = fw::testing::PaintCount(Get<fw::Canvas>("Canvas1"));
  EXPECT_EQ(implicit::Window1(), w);
  EXPECT_EQ(implicit::Window1(), w);
  fw::testing::ProcessEvents();
  // No construction ran again: the typed text stays, no second paint.
  EXPECT_EQ(Text("EditFieldWeight"), "999");
  EXPECT_EQ(fw::testing::PaintCount(Get<fw::Canvas>("Canvas1")), paints);
  EXPECT_EQ(w->Controls().size(), 102u);

  w->Close();
  fw::testing::ProcessEvents();
  EXPECT_EQ(fw::GetImplicitWindow(Window1::kFullClassName), nullptr);
  w = implicit::Window1();
  fw::testing::ProcessEvents();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->IsOpen());
  EXPECT_EQ(Text("EditFieldWeight"), "450");
  EXPECT_EQ(Text("TextFieldRpm"), "2088");
  EXPECT_EQ(w->Controls().size(), 102u);
  EXPECT_EQ(w->W, 112.5);
  EXPECT_EQ(implicit::Window1(), w);
}

}  // namespace
