// Capturing the reference traces from the frames the thread receives, with
// labels giving the timebase and sensitivity they were taken at.
#include "AcquisitionTestSupport.h"

namespace acquisitiontest {
namespace {

class ReferenceCaptureTest : public AcquisitionThreadTest {
 protected:
  void SetUp() override {
    AcquisitionThreadTest::SetUp();
    SetCtrlVal(panel_, MainPanel::TimebaseText, "500\xB5s/div");
    // The first copy of each ring holds the selection, the second the labels shown.
    ASSERT_EQ(SetCtrlIndex(panel_, MainPanel::Ch1SensitivityRing, 8), 0);
    ASSERT_EQ(ReplaceListItem(panel_, MainPanel::Ch1SensitivityRing2, 8, "1V", 9), 0);
    ASSERT_EQ(SetCtrlIndex(panel_, MainPanel::Ch2SensitivityRing, 4), 0);
    ASSERT_EQ(ReplaceListItem(panel_, MainPanel::Ch2SensitivityRing2, 4, "50mV", 5), 0);
  }

  static std::int32_t Code(int which, std::size_t at) {
    return ProgramReferences.Snapshot().ReferenceStore[static_cast<std::size_t>(which)][at];
  }
  static std::string Label(int which) { return ReferenceLabelText(ProgramReferences.Snapshot(), which); }
};

TEST_F(ReferenceCaptureTest, AReferenceWhoseFirstCodeIsZeroIsCapturedAgainAtTheNextFrame) {
  StoreField(ProgramSetup.ref1Displayed, 1);
  Start();
  RunFrame(HeaderText({}) + '\0' + Block(0x11).substr(1) + Block(0x21));
  EXPECT_EQ(Code(0, 1), 0x11);
  EXPECT_EQ(Label(0), "REF1: 500\xB5s, 1V");
  EXPECT_EQ(Text(MainPanel::Ref1LabelText), "REF1: 500\xB5s, 1V");
  EXPECT_TRUE(ProgramReferences.IsEmpty(1)) << "REF2 is not enabled";

  RunFrame(PlainFrame({}, 0x12, 0x22));
  EXPECT_EQ(Code(0, 0), 0x12);
  RunFrame(PlainFrame({}, 0x13, 0x23));
  EXPECT_EQ(Code(0, 0), 0x12) << "captured for good: frozen until emptied";
  EXPECT_EQ(record_.Read(record_.capturedLabels).size(), 2u);
}

TEST_F(ReferenceCaptureTest, InZoomModeTheZoomedWindowIsCaptured) {
  StoreField(ProgramSetup.ref2Displayed, 1);
  Start();
  Mirror.ZoomActive = 1;
  RunFrame(HeaderText({.mask = 3, .points = 5000}) + Block(0x11) + Block(0x12) + Block(0x21) + Block(0x22));
  EXPECT_EQ(Code(1, 0), 0x22);
  EXPECT_EQ(Code(1, 2499), 0x22);
  EXPECT_EQ(Text(MainPanel::Ref2LabelText), "REF2: 500\xB5s, 50mV");
  EXPECT_TRUE(ProgramReferences.IsEmpty(0));

  Mirror.ZoomActive = 0;
  ProgramReferences.Clear(1);
  RunFrame(HeaderText({.mask = 3, .points = 5000}) + Block(0x11) + Block(0x12) + Block(0x31) + Block(0x32));
  EXPECT_EQ(Code(1, 0), 0x31) << "outside zoom mode the whole record";
}

TEST_F(ReferenceCaptureTest, ALabelLongerThanItsFieldIsCut) {
  SetCtrlVal(panel_, MainPanel::TimebaseText, std::string(40, '9') + "s/div");
  StoreField(ProgramSetup.ref1Displayed, 1);
  Start();
  RunFrame(PlainFrame());
  const std::string expected = "REF1: " + std::string(kReferenceLabelSize - 1 - 6, '9');
  EXPECT_EQ(Label(0), expected);
  EXPECT_EQ(Text(MainPanel::Ref1LabelText), expected);
  EXPECT_EQ(record_.Read(record_.capturedLabels), (std::vector<std::pair<int, std::string>>{{0, expected}}));
}

}  // namespace
}  // namespace acquisitiontest
