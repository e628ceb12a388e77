#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "UiTestSupport.h"

using namespace uitest;

namespace {

using ToolbarTest = UiTest;
using BitmapTest = UiTest;

TEST_F(ToolbarTest, ItemsAreLaidOutFoundByDescriptionAndCallBack) {
  const int panel = LoadTestPanel();
  const int bar = LoadMenuBar(panel, "test.uir", kBar);
  std::vector<std::array<int, 3>> toolbarEvents;
  std::vector<int> menuItems;
  RegisterCallback("MenuCb", MenuCallback([&](int, int item, void*, int) { menuItems.push_back(item); }));
  CtrlCallback action = [&](int toolbar, int item, int event, void*, int, int) {
    toolbarEvents.push_back({toolbar, item, event});
    return 0;
  };
  ToolbarType toolbar = 0;
  ASSERT_EQ(Toolbar_New(panel, bar, "", 0, 0, 1, 1, &toolbar), 0);
  EXPECT_EQ(Toolbar_InsertItem(toolbar, kToolbarEndOfList, kToolbarButton, 1, "Persistence", kToolbarMenuCallback,
                               PersistItem, nullptr, nullptr, "bitmap/remanence.bmp"), 1);
  Toolbar_InsertItem(toolbar, kToolbarEndOfList, kToolbarSeparator, 1, nullptr, kToolbarNoCallback, 0, nullptr,
                     nullptr, nullptr);
  EXPECT_EQ(Toolbar_InsertItem(toolbar, kToolbarEndOfList, kToolbarRing, 1, "Reference", kToolbarActionCallback, 0,
                               action, nullptr, nullptr), 3);
  Toolbar_InsertItem(toolbar, kToolbarEndOfList, kToolbarButton, 1, "ScreenShot", kToolbarActionCallback, 0, action,
                     nullptr, "bitmap/screenshot.bmp");
  EXPECT_EQ(Toolbar_GetNumItems(toolbar), 4);
  EXPECT_EQ(Toolbar_GetItemFromDescription(toolbar, "Reference"), 3);
  EXPECT_EQ(Toolbar_GetItemFromDescription(toolbar, "Absent"), 0);

  // The description is the tooltip; images are taken from the application directory.
  const int itemsPanel = Toolbar_GetPanel(toolbar);
  int ring = 0, shot = 0, first = 0;
  Toolbar_GetItemAttribute(toolbar, 3, kToolbarAttrCtrlId, &ring);
  Toolbar_GetItemAttribute(toolbar, 4, kToolbarAttrCtrlId, &shot);
  Toolbar_GetItemAttribute(toolbar, 1, kToolbarAttrCtrlId, &first);
  std::string text;
  GetCtrlAttribute(itemsPanel, shot, ATTR_TOOLTIP_TEXT, &text);
  EXPECT_EQ(text, "ScreenShot");
  GetCtrlAttribute(itemsPanel, first, ATTR_IMAGE_FILE, &text);
  EXPECT_EQ(text, (dir_ / "bitmap/remanence.bmp").string());

  // A wider ring pushes the items after it to the right.
  int before = 0, after = 0;
  GetCtrlAttribute(itemsPanel, shot, ATTR_LEFT, &before);
  EXPECT_EQ(Toolbar_SetItemAttribute(toolbar, 3, kToolbarAttrRingWidth, 120), 0);
  GetCtrlAttribute(itemsPanel, shot, ATTR_LEFT, &after);
  EXPECT_EQ(after - before, 20);
  EXPECT_EQ(Toolbar_SetItemAttribute(toolbar, 1, kToolbarAttrRingWidth, 120), UIE_INVALID_VALUE);

  // The ring is filled with the list calls on the toolbar's panel.
  InsertListItem(itemsPanel, ring, -1, "Auto. meas. CH1", 0);
  InsertListItem(itemsPanel, ring, -1, "Auto. meas. CH2", 1);
  headless::SelectIndex(itemsPanel, ring, 1);
  int value = -1;
  Toolbar_GetItemAttribute(toolbar, 3, kToolbarAttrValue, &value);
  EXPECT_EQ(value, 1);
  ASSERT_EQ(toolbarEvents.size(), 2u);  // value changed, commit
  EXPECT_EQ(toolbarEvents[1], (std::array<int, 3>{toolbar, 3, EVENT_COMMIT}));

  headless::ClickToolbarItem(toolbar, 4);
  EXPECT_EQ(toolbarEvents.back(), (std::array<int, 3>{toolbar, 4, EVENT_COMMIT}));
  headless::ClickToolbarItem(toolbar, 1);  // acts as Display > Persistence
  EXPECT_EQ(menuItems, std::vector<int>{PersistItem});

  Toolbar_DimItem(toolbar, 3, 1);
  int dimmed = 0;
  Toolbar_GetItemAttribute(toolbar, 3, kToolbarAttrDimmed, &dimmed);
  EXPECT_EQ(dimmed, 1);
  const std::size_t eventCount = toolbarEvents.size();
  EXPECT_EQ(headless::ClickToolbarItem(toolbar, 3), UIE_NOT_AVAILABLE);
  EXPECT_EQ(toolbarEvents.size(), eventCount);

  EXPECT_EQ(Toolbar_Display(toolbar), 0);
  int visible = 0;
  GetPanelAttribute(itemsPanel, ATTR_VISIBLE, &visible);
  EXPECT_EQ(visible, 1);
  EXPECT_EQ(Toolbar_Discard(toolbar), 0);
  EXPECT_EQ(GetPanelAttribute(itemsPanel, ATTR_VISIBLE, &visible), UIE_INVALID_PANEL);
  EXPECT_EQ(Toolbar_GetNumItems(toolbar), UIE_INVALID_TOOLBAR);
}

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return value;
}

TEST_F(BitmapTest, PanelPictureIsSavedAsBmpAndPutOnTheClipboard) {
  const int panel = NewPanel(0, "Picture", 0, 0, 3, 5);
  SetPanelAttribute(panel, ATTR_BACKCOLOR, 0x102030);
  const int led = NewCtrl(panel, CTRL_LED, "", 1, 1);
  SetCtrlAttribute(panel, led, ATTR_WIDTH, 1);
  SetCtrlAttribute(panel, led, ATTR_HEIGHT, 1);
  SetCtrlAttribute(panel, led, ATTR_ON_COLOR, 0xFF8000);
  SetCtrlVal(panel, led, 1);
  int bitmap = 0, width = 0, height = 0;
  ASSERT_EQ(GetPanelDisplayBitmap(panel, VAL_FULL_PANEL, &bitmap), 0);
  GetBitmapSize(bitmap, &width, &height);
  EXPECT_EQ(width, 5);
  EXPECT_EQ(height, 3);
  std::vector<std::uint32_t> pixels;
  GetBitmapPixels(bitmap, &pixels);
  EXPECT_EQ(pixels[0], 0x102030u);
  EXPECT_EQ(pixels[1 * 5 + 1], 0xFF8000u);

  const std::string file = (dir_ / "tempBMP.bbb").string();
  ASSERT_EQ(SaveBitmapToBMPFile(bitmap, file.c_str()), 0);
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t rowBytes = 16;  // 5 pixels * 3 bytes, padded to 4
  ASSERT_EQ(bytes.size(), 54 + rowBytes * 3);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(LittleEndian(bytes, 2, 4), bytes.size());
  EXPECT_EQ(LittleEndian(bytes, 10, 4), 54u);
  EXPECT_EQ(LittleEndian(bytes, 18, 4), 5u);
  EXPECT_EQ(LittleEndian(bytes, 22, 4), 3u);
  EXPECT_EQ(LittleEndian(bytes, 28, 2), 24u);
  // Rows are stored bottom-up in blue, green, red order: the LED is in the middle row.
  EXPECT_EQ(LittleEndian(bytes, 54 + rowBytes * 1 + 3, 3), 0xFF8000u);
  EXPECT_EQ(LittleEndian(bytes, 54, 3), 0x102030u);

  ASSERT_EQ(ClipboardPutBitmap(bitmap), 0);
  std::vector<std::uint32_t> clipped;
  ASSERT_TRUE(headless::ClipboardBitmap(&width, &height, &clipped));
  EXPECT_EQ(clipped, pixels);
  EXPECT_EQ(DiscardBitmap(bitmap), 0);
  EXPECT_EQ(SaveBitmapToBMPFile(bitmap, file.c_str()), UIE_INVALID_BITMAP);
  EXPECT_EQ(GetPanelDisplayBitmap(panel + 50, VAL_FULL_PANEL, &bitmap), UIE_INVALID_PANEL);
}

}  // namespace
