// A panel file with one control of each kind and a menu bar, written to a
// temporary application directory, and a fixture that starts every test afresh.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ui/Headless.h"
#include "platform/ui/UserInterface.h"
#include "support/HeadlessTestSupport.h"

namespace uitest {

inline constexpr int kPanel = 10, kOtherPanel = 11, kBar = 20;
enum Ids {
  Number = 2, Ring, Message, Box, Input, List, Switch, Toggle, Check, Button, Led, Picture, Line, Marker, Graph
};
enum MenuIds { FileMenu = 2, SaveItem, ExitItem, DisplayMenu, PersistItem, LanguageMenu, EnglishItem, FrenchItem };

inline const char* kTestPanelFile = R"({
  "panels": [
    {"name": "TestPanel", "resource": 10, "title": "Test é", "height": 400, "width": 600, "callback": "PanelCb",
     "controls": [
      {"kind": "numeric", "name": "Number", "id": 2, "min": -5, "max": 5, "increment": 0.5, "precision": 1, "value": 1.5, "callback": "Cb"},
      {"kind": "ring", "name": "Ring", "id": 3, "items": [{"label": "1 V", "value": 10}, {"label": "2 V", "value": 20}], "callback": "Cb"},
      {"kind": "textMessage", "name": "Message", "id": 4, "value": "Rémanence"},
      {"kind": "textBox", "name": "Box", "id": 5},
      {"kind": "string", "name": "Input", "id": 6, "callback": "Cb"},
      {"kind": "listBox", "name": "List", "id": 7, "callback": "Cb"},
      {"kind": "binarySwitch", "name": "Switch", "id": 8, "onText": "Portrait", "offText": "Landscape", "callback": "Cb"},
      {"kind": "toggleButton", "name": "Toggle", "id": 9, "callback": "Cb"},
      {"kind": "checkBox", "name": "Check", "id": 10},
      {"kind": "commandButton", "name": "Button", "id": 11, "label": "Go", "shortcut": "F3", "callback": "Cb"},
      {"kind": "led", "name": "Led", "id": 12},
      {"kind": "picture", "name": "Picture", "id": 13},
      {"kind": "decoration", "name": "Line", "id": 14},
      {"kind": "marker", "name": "Marker", "id": 15, "top": 100, "left": 5, "callback": "Cb"},
      {"kind": "graph", "name": "Graph", "id": 16, "top": 40, "left": 100, "width": 402, "height": 322, "callback": "Cb",
       "xAxis": {"min": 0, "max": 2500}, "yAxis": {"min": 0, "max": 256},
       "cursors": [{"color": "0x0000FF"}, {"color": "0x800080", "x": 100, "y": 50}]}
     ]},
    {"name": "OtherPanel", "resource": 11, "title": "Other", "height": 100, "width": 200,
     "controls": [{"kind": "commandButton", "name": "Ok", "id": 2, "label": "OK"}]}
  ],
  "menuBars": [
    {"name": "TestMenus", "resource": 20, "menus": [
      {"name": "FileMenu", "id": 2, "text": "File", "items": [
        {"name": "SaveItem", "id": 3, "text": "Save", "callback": "MenuCb"},
        {"separator": true, "id": 30},
        {"name": "ExitItem", "id": 4, "text": "Exit", "callback": "MenuCb"}]},
      {"name": "DisplayMenu", "id": 5, "text": "Display", "items": [
        {"name": "PersistItem", "id": 6, "text": "Persistence", "callback": "MenuCb"},
        {"name": "LanguageMenu", "id": 7, "text": "Language", "items": [
          {"name": "EnglishItem", "id": 8, "text": "English", "checked": true, "callback": "MenuCb"},
          {"name": "FrenchItem", "id": 9, "text": "Français", "callback": "MenuCb"}]}]}
    ]}
  ]
})";

inline std::filesystem::path WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  return path;
}

// Each test starts with an empty model, no bindings, and the test panel file in
// a fresh application directory.
class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    headless::Use();
    headless::Reset();
    testsupport::FailOnUnansweredQuestions();
    dir_ = std::filesystem::temp_directory_path() /
           ("orni-ui-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
    WriteFile(dir_ / "test.uir", kTestPanelFile);
    SetProjectDirOverride(dir_.string());
  }
  void TearDown() override {
    SetProjectDirOverride("");
    headless::Reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  int LoadTestPanel() {
    const int panel = LoadPanel(0, "test.uir", kPanel);
    EXPECT_GT(panel, 0);
    return panel;
  }
  std::filesystem::path dir_;
};

// Remembers every event a control callback receives.
struct EventLog {
  struct Entry {
    int panel, control, event, data1, data2;
  };
  std::vector<Entry> entries;
  CtrlCallback Callback(int result = 0) {
    return [this, result](int panel, int control, int event, void*, int data1, int data2) {
      entries.push_back({panel, control, event, data1, data2});
      return result;
    };
  }
  std::vector<int> Events() const {
    std::vector<int> events;
    for (const Entry& entry : entries) events.push_back(entry.event);
    return events;
  }
};

}  // namespace uitest
