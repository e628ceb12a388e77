// The measurement area of the main panel on the headless front-end, with the
// in-process simulated instrument receiving the automatic-measurement command.
#include <gtest/gtest.h>

#include <cstring>

#include <array>
#include <atomic>
#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "MainPanelFixture.h"
#include "catalogue/MessageCatalogue.h"
#include "acquisition/MainPanelHandle.h"
#include "display/MeasurementBlock.h"
#include "display/Measurements.h"
#include "layout/PanelIds.h"
#include "link/InstrumentSession.h"
#include "link/InstrumentSetup.h"
#include "platform/ui/Headless.h"
#include "platform/ui/UserInterface.h"
#include "platform/visa/Backend.h"
#include "sim/Instrument.h"

namespace {

using Bytes = std::array<std::uint8_t, kMeasurementBlockSize>;

constexpr std::array<int, 5> kAreaControls = {MainPanel::MeasFrame, MainPanel::MeasurementTitle,
                                              MainPanel::CursorMeasurementTitle, MainPanel::MeasLabelsText,
                                              MainPanel::MeasValuesText};
constexpr const char* kEnglishLabels = "Vhigh-low =\nVrms =\nVavg =\nF    =\nT    =";
constexpr const char* kInvalidValues = "   ----\n   ----\n   ----\n   ----\n   ----";

template <typename Unsigned>
void PutBigEndian(Bytes& bytes, std::size_t offset, Unsigned value) {
  for (std::size_t i = sizeof(Unsigned); i-- > 0; value = static_cast<Unsigned>(value >> 8))
    bytes[offset + i] = static_cast<std::uint8_t>(value & 0xFF);
}

// The five displayed fields as the instrument sends them.
struct Displayed {
  std::uint32_t valid;
  float vhighlow;
  double vrms, vavg;
  float period;
};

Bytes MakeBlock(const Displayed& values) {
  Bytes bytes{};
  PutBigEndian(bytes, 4, values.valid);
  PutBigEndian(bytes, 8, std::bit_cast<std::uint64_t>(values.vrms));
  PutBigEndian(bytes, 16, std::bit_cast<std::uint64_t>(values.vavg));
  PutBigEndian(bytes, 44, std::bit_cast<std::uint32_t>(values.vhighlow));
  PutBigEndian(bytes, 56, std::bit_cast<std::uint32_t>(values.period));
  return bytes;
}

constexpr std::uint32_t kDisplayedBits = (1u << 5) | (1u << 6) | (1u << 7) | (1u << 14);

class MeasurementsDisplayTest : public displaytest::MainPanelTest {
 protected:
  void SetUp() override {
    MainPanelTest::SetUp();
    SetCurrentLanguage(kEnglish);
    ConnectInstrument();
    StoreField(ProgramSetup.referenceChannel, 1);
  }
  void TearDown() override {
    MeasurementsShown = false;
    SetCurrentLanguage(kEnglish);
    MainPanelTest::TearDown();
  }

  void ExpectAreaVisible(int visible) const {
    for (int control : kAreaControls) EXPECT_EQ(Attribute(control, ATTR_VISIBLE), visible) << "control " << control;
  }
};

TEST_F(MeasurementsDisplayTest, InvalidValuesReadAsDashesUnderTheLabels) {
  const Bytes block = MakeBlock({0, 1.0f, 0.5, -2.5, 2e-3f});
  UpdateMeasurements(block.data());
  EXPECT_EQ(TextOf(MainPanel::MeasLabelsText), kEnglishLabels);
  EXPECT_EQ(TextOf(MainPanel::MeasValuesText), kInvalidValues);
}

TEST_F(MeasurementsDisplayTest, ValuesAreFormattedAndLabelsFollowTheLanguage) {
  const Bytes block = MakeBlock({kDisplayedBits, 1.0f, 0.5, -2.5, 2e-3f});
  UpdateMeasurements(block.data());
  const std::string values = "   1.00 V\n    500 mV\n  -2.50 V\n    500 Hz\n   2.00 ms";
  EXPECT_EQ(TextOf(MainPanel::MeasValuesText), values);
  EXPECT_EQ(TextOf(MainPanel::MeasLabelsText), kEnglishLabels);

  SetCurrentLanguage(kGerman);  // German keeps the English labels
  RefreshMeasurementTexts();
  EXPECT_EQ(TextOf(MainPanel::MeasLabelsText), kEnglishLabels);
  SetCurrentLanguage(kFrench);
  RefreshMeasurementTexts();
  EXPECT_EQ(TextOf(MainPanel::MeasLabelsText), "Vhaut-bas =\nVeff =\nVmoy =\nF    =\nT    =");
  EXPECT_EQ(TextOf(MainPanel::MeasValuesText), values) << "a refresh keeps the last block";

  // Only the period's bit makes F and T valid.
  const Bytes noPeriod = MakeBlock({kDisplayedBits & ~(1u << 14), 1.0f, 0.5, -2.5, 2e-3f});
  UpdateMeasurements(noPeriod.data());
  EXPECT_EQ(TextOf(MainPanel::MeasValuesText), "   1.00 V\n    500 mV\n  -2.50 V\n   ----\n   ----");
}

TEST_F(MeasurementsDisplayTest, ShowRevealsColoursTitlesAndSwitchesTheInstrumentOn) {
  ExpectAreaVisible(0);
  ShowAutoMeasurements();
  EXPECT_TRUE(MeasurementsShown);
  ExpectAreaVisible(1);
  EXPECT_EQ(Attribute(MainPanel::MeasLabelsText, ATTR_TEXT_COLOR), 0x00C000);
  EXPECT_EQ(Attribute(MainPanel::MeasValuesText, ATTR_TEXT_COLOR), 0x00C000);
  EXPECT_EQ(TextOf(MainPanel::MeasurementTitle), "Auto. meas. CH2");
  EXPECT_EQ(TextOf(MainPanel::CursorMeasurementTitle), "Cursor measurements");
  EXPECT_EQ(Received(), ":MEAS:AUTO 1\r");

  HideAutoMeasurements();
  EXPECT_FALSE(MeasurementsShown);
  ExpectAreaVisible(0);
  EXPECT_EQ(Received(), ":MEAS:AUTO 0\r");

  // Switched on again for CH1 in French.
  StoreField(ProgramSetup.referenceChannel, 0);
  SetCurrentLanguage(kFrench);
  ShowAutoMeasurements();
  EXPECT_EQ(Attribute(MainPanel::MeasValuesText, ATTR_TEXT_COLOR), 0xFF0000);
  EXPECT_EQ(TextOf(MainPanel::MeasurementTitle), "Mes. auto. CH1");
  EXPECT_EQ(TextOf(MainPanel::CursorMeasurementTitle), "Mesures curseurs");

  SetMeasurementColour(2);  // no such channel: the colour stays
  SetMeasurementColour(-1);
  EXPECT_EQ(Attribute(MainPanel::MeasLabelsText, ATTR_TEXT_COLOR), 0xFF0000);
}

TEST_F(MeasurementsDisplayTest, BlocksKeepTheTextsCurrentWhileHidden) {
  ShowAutoMeasurements();
  HideAutoMeasurements();
  const Bytes block = MakeBlock({kDisplayedBits, 0.0123f, 1500.0, 0.0, 20e-9f});
  UpdateMeasurements(block.data());
  const std::string values = "   12.3 mV\n   1.50 kV\n   0.00 mV\n   50.0 MHz\n   20.0 ns";
  EXPECT_EQ(TextOf(MainPanel::MeasValuesText), values) << "written while hidden";
  ExpectAreaVisible(0);

  ShowAutoMeasurements();
  ExpectAreaVisible(1);
  EXPECT_EQ(TextOf(MainPanel::MeasValuesText), values) << "switching on shows the last values";
  HideAutoMeasurements();
  EXPECT_EQ(TextOf(MainPanel::MeasValuesText), values) << "switching off keeps them";
}

TEST_F(MeasurementsDisplayTest, TheKeeperGetsEveryBlockInHostOrderAtTheWireOffsets) {
  Bytes kept{};
  int calls = 0;
  SetMeasurementKeeper([&](std::span<const std::uint8_t, kMeasurementBlockSize> block) {
    std::copy(block.begin(), block.end(), kept.begin());
    ++calls;
  });
  Bytes block = MakeBlock({kDisplayedBits, 0.0123f, 1500.0, -2.5, 20e-9f});
  block[0] = 0x12;
  block[1] = 0x34;
  UpdateMeasurements(block.data());
  SetMeasurementKeeper(nullptr);

  ASSERT_EQ(calls, 1);
  const auto hostField = [&kept]<typename T>(std::size_t offset, T) {
    T value{};
    std::memcpy(&value, kept.data() + offset, sizeof value);
    return value;
  };
  EXPECT_EQ(hostField(0, std::uint16_t{}), 0x1234);
  EXPECT_EQ(hostField(4, std::uint32_t{}), kDisplayedBits);
  EXPECT_EQ(hostField(8, double{}), 1500.0);
  EXPECT_EQ(hostField(16, double{}), -2.5);
  EXPECT_EQ(hostField(44, float{}), 0.0123f);
  EXPECT_EQ(hostField(56, float{}), 20e-9f);
}

TEST_F(MeasurementsDisplayTest, BlocksFromTheAcquisitionThreadRaceNothing) {
  const Bytes first = MakeBlock({kDisplayedBits, 1.0f, 0.5, -2.5, 2e-3f});
  const Bytes last = MakeBlock({kDisplayedBits, 0.0123f, 1500.0, 0.0, 20e-9f});
  std::atomic<bool> userDone{false};
  std::thread acquisition([&] {
    for (int i = 0; !userDone; ++i) UpdateMeasurements((i % 2 == 0 ? first : last).data());
    UpdateMeasurements(last.data());
  });
  for (int i = 0; i < 100; ++i) {
    ShowAutoMeasurements();
    RefreshMeasurementTexts();
    SetMeasurementColour(i % 2);
    HideAutoMeasurements();
  }
  userDone = true;
  acquisition.join();
  EXPECT_EQ(TextOf(MainPanel::MeasValuesText), "   12.3 mV\n   1.50 kV\n   0.00 mV\n   50.0 MHz\n   20.0 ns")
      << "no refresh overwrote the last block's texts with an older block's";
}

}  // namespace
