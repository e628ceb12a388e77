#include <set>

#include "UiTestSupport.h"
#include "layout/PanelIds.h"
#include "platform/ui/PanelFile.h"

using namespace uitest;

namespace {

using PanelFileTest = UiTest;

TEST_F(PanelFileTest, MissingFileOrPanelGivesANegativeResult) {
  EXPECT_EQ(LoadPanel(0, "absent.uir", kPanel), UIE_FILE_NOT_FOUND);
  EXPECT_EQ(LoadPanel(0, "test.uir", 99), UIE_RESOURCE_NOT_FOUND);
  EXPECT_EQ(LoadPanel(0, "test.uir", kBar), UIE_RESOURCE_NOT_FOUND);  // a menu bar is not a panel
  EXPECT_EQ(LoadMenuBar(LoadTestPanel(), "test.uir", kPanel), UIE_RESOURCE_NOT_FOUND);
  EXPECT_EQ(LoadPanel(12345, "test.uir", kPanel), UIE_INVALID_PANEL);  // no such parent
}

TEST_F(PanelFileTest, MalformedFilesAreRefused) {
  const char* const broken[] = {
      "not json at all",
      R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10, "colour": 1}]})",
      R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10,
          "controls": [{"kind": "led", "name": "A", "id": 2}, {"kind": "led", "name": "B", "id": 2}]}]})",
      R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10,
          "controls": [{"kind": "led", "name": "A", "id": 2}, {"kind": "led", "name": "A", "id": 3}]}]})",
      R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10},
                     {"name": "Q", "resource": 1, "height": 10, "width": 10}]})",
      R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10,
          "controls": [{"kind": "led", "name": "A", "id": 2, "textColor": "red"}]}]})",
      R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10,
          "controls": [{"kind": "ring", "name": "A", "id": 2, "items": [{"label": "x"}], "index": 1}]}]})",
      R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10,
          "controls": [{"kind": "knob", "name": "A", "id": 2}]}]})",
      R"({"panels": [{"name": "P", "resource": 1, "height": "10", "width": 10}]})",
      R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10,
          "controls": [{"kind": "commandButton", "name": "A", "id": 2, "style": "knob"}]}]})",
      R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10,
          "controls": [{"kind": "ring", "name": "A", "id": 2, "style": "risingEdge"}]}]})",
      R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10,
          "controls": [{"kind": "numeric", "name": "A", "id": 2, "style": "dial"}]}]})",
      R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10,
          "controls": [{"kind": "textMessage", "name": "A", "id": 2, "style": "frame"}]}]})",
      R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10,
          "controls": [{"kind": "led", "name": "A", "id": 2, "xAxis": {"min": 0, "max": 1}}]}]})",
      R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10,
          "controls": [{"kind": "graph", "name": "G", "id": 2, "yAxis": {"min": 3, "max": 3}}]}]})",
      R"({"menuBars": [{"name": "M", "resource": 2, "menus": [{"name": "F", "id": 2, "items": [
          {"name": "A", "id": 3}, {"name": "B", "id": 3}]}]}]})",
  };
  int index = 0;
  for (const char* text : broken) {
    WriteFile(dir_ / "broken.uir", text);
    std::string error;
    EXPECT_EQ(uimodel::ParsePanelFile(text, nullptr, &error), UIE_BAD_FILE_FORMAT) << "case " << index;
    EXPECT_FALSE(error.empty()) << "case " << index;
    EXPECT_LT(LoadPanel(0, "broken.uir", 1), 0) << "case " << index;
    ++index;
  }
}

TEST_F(PanelFileTest, SourcesAreMergedAndCheckedAsOneFile) {
  const std::string first = R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10}]})";
  const std::string second = R"({"panels": [{"name": "Q", "resource": 2, "height": 10, "width": 10}],
                                 "menuBars": [{"name": "M", "resource": 3, "menus": []}]})";
  std::string merged, error;
  ASSERT_EQ(uimodel::MergePanelSources({first, second}, &merged, &error), 0) << error;
  uimodel::PanelFileContent content;
  ASSERT_EQ(uimodel::ParsePanelFile(merged, &content, &error), 0);
  EXPECT_EQ(content.panels.size(), 2u);
  EXPECT_EQ(content.menuBars.size(), 1u);
  EXPECT_EQ(uimodel::MergePanelSources({first, first}, &merged, &error), UIE_BAD_FILE_FORMAT);
  EXPECT_NE(error.find("duplicate"), std::string::npos);
}

// A knob is a ring or numeric in a dial's dress, an edge a button's picture;
// the tab order is the file's order, whatever the ids.
TEST_F(PanelFileTest, StylesAndTabOrderComeFromTheFile) {
  const std::string text = R"({"panels": [{"name": "P", "resource": 1, "height": 10, "width": 10, "controls": [
      {"kind": "numeric", "name": "Turned", "id": 7, "style": "knob", "min": -1, "max": 1, "increment": 0.1},
      {"kind": "ring", "name": "Listed", "id": 3, "style": "knob", "items": [{"label": "", "value": 1}]},
      {"kind": "toggleButton", "name": "Up", "id": 5, "style": "risingEdge"},
      {"kind": "commandButton", "name": "Down", "id": 2, "style": "fallingEdge"},
      {"kind": "ring", "name": "Plain", "id": 4, "style": "standard"},
      {"kind": "numeric", "name": "Default", "id": 6},
      {"kind": "decoration", "name": "Box", "id": 8, "style": "frame"}]}]})";
  uimodel::PanelFileContent content;
  std::string error;
  ASSERT_EQ(uimodel::ParsePanelFile(text, &content, &error), 0) << error;
  ASSERT_EQ(content.panels.size(), 1u);
  const auto& controls = content.panels[0].controls;
  using uimodel::ControlStyle;
  const struct {
    int id;
    ControlStyle style;
    int tabPosition;
  } expected[] = {{7, ControlStyle::Knob, 1},          {3, ControlStyle::Knob, 2},
                  {5, ControlStyle::RisingEdge, 3},    {2, ControlStyle::FallingEdge, 4},
                  {4, ControlStyle::Standard, 5},      {6, ControlStyle::Standard, 6},
                  {8, ControlStyle::Frame, 7}};
  for (const auto& row : expected) {
    SCOPED_TRACE(row.id);
    ASSERT_EQ(controls.count(row.id), 1u);
    EXPECT_EQ(controls.at(row.id).style, row.style);
    EXPECT_EQ(controls.at(row.id).tabPosition, row.tabPosition);
  }
  // A control made at run time comes last in the tab order.
  WriteFile(dir_ / "styles.uir", text);
  const int panel = LoadPanel(0, "styles.uir", 1);
  ASSERT_GT(panel, 0);
  const int added = NewCtrl(panel, CTRL_COMMAND_BUTTON, "More", 0, 0);
  ASSERT_GT(added, 0);
  uimodel::ReadControl(panel, added, [](const uimodel::Control& control) {
    EXPECT_EQ(control.tabPosition, 8);
    return 0;
  });
}

TEST_F(PanelFileTest, TextsBecomeLatin1) {
  EXPECT_EQ(uimodel::Utf8ToLatin1("R\xC3\xA9manence n\xC2\xB0"), "R\xE9manence n\xB0");
  EXPECT_EQ(uimodel::Utf8ToLatin1("\xE2\x82\xAC 5"), "? 5");  // the euro sign is not Latin-1
  EXPECT_EQ(uimodel::Utf8ToLatin1("plain"), "plain");
}

TEST_F(PanelFileTest, ResourcesAreFoundInTheApplicationDirectoryFirst) {
  EXPECT_EQ(ResolveResourcePath("test.uir"), (dir_ / "test.uir").string());
  EXPECT_EQ(ResolveResourcePath("/abs/file.uir"), "/abs/file.uir");
  SetProjectDirOverride((dir_ / "empty").string());
  EXPECT_EQ(ResolveResourcePath("test.uir"), (dir_ / "empty" / "test.uir").string());  // nowhere: the project dir
  std::string projectDir;
  GetProjectDir(&projectDir);
  EXPECT_EQ(projectDir, (dir_ / "empty").string());
  SetProjectDirOverride("");
  GetProjectDir(&projectDir);
  EXPECT_EQ(projectDir, GetExecutableDir());
  char tiny[4];
  EXPECT_LT(GetProjectDir(tiny), 0);  // does not fit: refused, still terminated
  EXPECT_EQ(tiny[3], '\0');
}

// The constants of layout/PanelIds.def against the panel file the build produced.
struct Declared {
  std::string panel, name;
  int number;
  bool isPanel;
};

std::vector<Declared> DeclaredConstants() {
  std::vector<Declared> declared;
  std::string current;
#define ORNI_PANEL_BEGIN(panel, resource) \
  current = #panel;                       \
  declared.push_back({#panel, #panel, resource, true});
#define ORNI_CONTROL(name, id) declared.push_back({current, #name, id, false});
#define ORNI_PANEL_END()
#define ORNI_MENU_BAR_BEGIN(bar, resource) ORNI_PANEL_BEGIN(bar, resource)
#define ORNI_MENU_ITEM(name, id) ORNI_CONTROL(name, id)
#define ORNI_MENU_BAR_END()
#include "layout/PanelIds.def"
#undef ORNI_PANEL_BEGIN
#undef ORNI_CONTROL
#undef ORNI_PANEL_END
#undef ORNI_MENU_BAR_BEGIN
#undef ORNI_MENU_ITEM
#undef ORNI_MENU_BAR_END
  return declared;
}

std::vector<Declared> FileConstants(const uimodel::PanelFileContent& content) {
  std::vector<Declared> found;
  for (const uimodel::Panel& panel : content.panels) {
    found.push_back({panel.name, panel.name, panel.resource, true});
    for (const auto& [id, control] : panel.controls) found.push_back({panel.name, control.name, id, false});
  }
  for (const uimodel::MenuBar& bar : content.menuBars) {
    found.push_back({bar.name, bar.name, bar.resource, true});
    for (const auto& [id, item] : bar.items)
      if (!item.name.empty()) found.push_back({bar.name, item.name, id, false});
  }
  return found;
}

TEST_F(PanelFileTest, CodeConstantsAndThePanelFileAgree) {
  uimodel::PanelFileContent content;
  std::string error;
  ASSERT_EQ(uimodel::ReadPanelFile(ORNI_PANEL_FILE, &content, &error), 0) << error;
  auto key = [](const Declared& entry) {
    return entry.panel + "." + entry.name + "=" + std::to_string(entry.number) + (entry.isPanel ? "P" : "");
  };
  std::set<std::string> inCode, inFile;
  for (const Declared& entry : DeclaredConstants()) inCode.insert(key(entry));
  for (const Declared& entry : FileConstants(content)) inFile.insert(key(entry));
  for (const std::string& entry : inCode) EXPECT_TRUE(inFile.count(entry)) << entry << " is not in the panel file";
  for (const std::string& entry : inFile) EXPECT_TRUE(inCode.count(entry)) << entry << " has no constant";

  // The main panel loads with its trace graph: 10 x 8 divisions of 2500 points by 256 codes.
  const int main = LoadPanel(0, ORNI_PANEL_FILE, MainPanel::Resource);
  ASSERT_GT(main, 0);
  int divisions = 0, kind = 0;
  double min = 0, max = 0;
  GetCtrlAttribute(main, MainPanel::TraceGraph, ATTR_CTRL_KIND, &kind);
  EXPECT_EQ(kind, CTRL_GRAPH);
  GetCtrlAttribute(main, MainPanel::TraceGraph, ATTR_XDIVISIONS, &divisions);
  EXPECT_EQ(divisions, 10);
  GetCtrlAttribute(main, MainPanel::TraceGraph, ATTR_YDIVISIONS, &divisions);
  EXPECT_EQ(divisions, 8);
  GetAxisScalingMode(main, MainPanel::TraceGraph, VAL_XAXIS, nullptr, &min, &max);
  EXPECT_DOUBLE_EQ(max, 2500);
  GetAxisScalingMode(main, MainPanel::TraceGraph, VAL_LEFT_YAXIS, nullptr, &min, &max);
  EXPECT_DOUBLE_EQ(max, 256);
  // The main panel's layout arithmetic: plot area 55 px below the panel top. It
  // ends 4 px above the drawing height the tags are placed with, so that the
  // texts below the graph (from h - 35) stay off it; and it leaves as much grey
  // left of it (room for the position markers) as right of it, where the graph
  // runs 10 px past the panel's edge.
  int top = 0, graphTop = 0, height = 0, graphHeight = 0, width = 0, graphWidth = 0;
  GetCtrlAttribute(main, MainPanel::TraceGraph, ATTR_TOP, &graphTop);
  GetCtrlAttribute(main, MainPanel::TraceGraph, ATTR_PLOT_AREA_TOP, &top);
  EXPECT_EQ(graphTop + top, 55);
  GetCtrlAttribute(main, MainPanel::TraceGraph, ATTR_HEIGHT, &graphHeight);
  GetCtrlAttribute(main, MainPanel::TraceGraph, ATTR_PLOT_AREA_HEIGHT, &height);
  EXPECT_EQ(graphHeight - height, 22);
  GetCtrlAttribute(main, MainPanel::TraceGraph, ATTR_WIDTH, &graphWidth);
  GetCtrlAttribute(main, MainPanel::TraceGraph, ATTR_PLOT_AREA_WIDTH, &width);
  EXPECT_EQ(graphWidth - width, 34);
  int left = 0;
  GetCtrlAttribute(main, MainPanel::TraceGraph, ATTR_PLOT_AREA_LEFT, &left);
  EXPECT_EQ(left, graphWidth - 10 - (left + width));
  const int language = LoadPanel(0, ORNI_PANEL_FILE, LanguagePanel::Resource);
  std::string label;
  GetCtrlAttribute(language, LanguagePanel::FrenchButton, ATTR_LABEL_TEXT, &label);
  EXPECT_EQ(label, "Fran\xE7" "ais");
}

}  // namespace
