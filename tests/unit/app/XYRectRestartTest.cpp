// The XY window's place outlives the program: kept in the preferences at
// quit and used by the next opening after a restart.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "ProgramTestSupport.h"
#include "app/Preferences.h"
#include "display/XYPanel.h"
#include "display/XYWindow.h"

namespace {

using programtest::ProgramTest;
using Rect = std::array<std::int32_t, 4>;  // top, left, height, width

Rect XYPanelRect() {
  Rect rect{};
  headless::Run([&rect] {
    const int panel = XYPanelOpen.load();
    for (std::size_t i = 0; int attribute : {ATTR_TOP, ATTR_LEFT, ATTR_HEIGHT, ATTR_WIDTH})
      GetPanelAttribute(panel, attribute, &rect[i++]);
  });
  return rect;
}

using XYRectRestartTest = ProgramTest;

TEST_F(XYRectRestartTest, TheWindowReopensWhereItWasLeftAfterARestart) {
  StartOn(162);
  headless::Run([] { ToggleXYMode(); });
  ASSERT_GT(XYPanelOpen.load(), 0);
  EXPECT_EQ(XYPanelRect(), (Rect{520, 25, 360, 440})) << "the first run's place";
  headless::Run([] {
    SetPanelPos(XYPanelOpen.load(), 200, 100);
    SetPanelSize(XYPanelOpen.load(), 300, 400);
  });

  headless::AnswerEnter();
  headless::EndTask();
  EXPECT_EQ(XYPanelOpen.load(), 0) << "closed at quit";
  const PanelRect kept = ProgramPreferences.xyPanelRect;
  EXPECT_EQ((Rect{kept.top, kept.left, kept.height, kept.width}), (Rect{200, 100, 300, 400}));
  ProgramPreferences.xyPanelRect = {};
  SetRememberedXYRect({});

  ASSERT_EQ(Start(), 0) << "the place comes back from the preferences file";
  headless::Run([] { ToggleXYMode(); });
  ASSERT_GT(XYPanelOpen.load(), 0);
  EXPECT_EQ(XYPanelRect(), (Rect{200, 100, 300, 400}));
}

}  // namespace
