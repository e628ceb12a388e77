// Capturing the reference traces from the frames the thread receives, and
// the labels that say at which timebase and sensitivity they were taken.
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

std::string FirstCodeZero(std::uint8_t rest) { return '\0' + Block(rest).substr(1); }

TEST_F(ReferenceCaptureTest, AReferenceWhoseFirstCodeIsZeroIsCapturedAgainAtTheNextFrame) {
  StoreField(ProgramSetup.ref1Displayed, 1);
  Start();
  RunFrame(HeaderText({}) + FirstCodeZero(0x11) + Block(0x21));
  EXPECT_EQ(Code(0, 0), 0);
  EXPECT_EQ(Code(0, 1), 0x11);
  EXPECT_EQ(Label(0), "REF1: 500\xB5s, 1V");
  EXPECT_EQ(Text(MainPanel::Ref1LabelText), "REF1: 500\xB5s, 1V");
  EXPECT_TRUE(ProgramReferences.IsEmpty(1)) << "REF2 is not enabled";

  RunFrame(HeaderText({}) + Block(0x12) + Block(0x22));
  EXPECT_EQ(Code(0, 0), 0x12);

  // Captured for good now: frozen until emptied.
  RunFrame(HeaderText({}) + Block(0x13) + Block(0x23));
  EXPECT_EQ(Code(0, 0), 0x12);
  const auto captured = record_.CapturedLabels();
  ASSERT_EQ(captured.size(), 2u);
  EXPECT_EQ(captured[1], std::make_pair(0, std::string("REF1: 500\xB5s, 1V")));

  ProgramReferences.Clear(0);
  RunFrame(HeaderText({}) + Block(0x14) + Block(0x24));
  EXPECT_EQ(Code(0, 2499), 0x14);
}

TEST_F(ReferenceCaptureTest, InZoomModeTheZoomedWindowIsCaptured) {
  StoreField(ProgramSetup.ref2Displayed, 1);
  Start();
  Mirror.ZoomActive = 1;
  RunFrame(HeaderText({.mask = 3, .points = 5000}) + Block(0x11) + Block(0x12) + Block(0x21) + Block(0x22));
  EXPECT_EQ(Code(1, 0), 0x22);
  EXPECT_EQ(Code(1, 2499), 0x22);
  EXPECT_EQ(Label(1), "REF2: 500\xB5s, 50mV");
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
  RunFrame(HeaderText({}) + Block(0x11) + Block(0x21));
  const std::string expected = "REF1: " + std::string(kReferenceLabelSize - 1 - 6, '9');
  EXPECT_EQ(Label(0), expected);
  EXPECT_EQ(Text(MainPanel::Ref1LabelText), expected);
  const auto captured = record_.CapturedLabels();
  ASSERT_EQ(captured.size(), 1u);
  EXPECT_EQ(captured[0].second, expected);
}

}  // namespace
}  // namespace acquisitiontest
