// Full and vertical autoset as the host runs them: set the probe factor to
// 2, autoset, read the probe factor back; 1 means it took place.
#include <gtest/gtest.h>

#include "SimTestSupport.h"

namespace kvxsim {
namespace {

using test::F32At;
using test::I16At;
using test::I32At;
using test::Session;

std::string RunAutoset(Session& s) {
  s.Send(":DISP:TRAC:Y:PDIV1 2.0\r");
  EXPECT_EQ(s.Query(":AUTOS:EXE\r*OPC?\r"), "1\n");
  return s.Query(":DISP:TRAC:Y:PDIV1?\r");
}

// Rising crossings of the screen centre in a 2500-code screen block.
int RisingCrossings(const test::Bytes& block) {
  int crossings = 0;
  for (std::size_t k = 2; k + 1 < block.size(); k += 2) {
    const int previous = (block[k - 2] + block[k - 1]) / 2;
    const int current = (block[k] + block[k + 1]) / 2;
    if (previous < 128 && current >= 128) ++crossings;
  }
  return crossings;
}

TEST(InstrumentAutoset, ShowsTwoPeriodsOfABoundedCentredSignal) {
  Session s;  // CH1 1 kHz sine 2 Vpp, CH2 1 kHz square 1 Vpp; both off
  s.Send(":DISP:TRAC:Y:PDIV2 5\r:INP1:COUP GROUND\r:DISP:TRAC:ZOOM:H 100,4\r");
  ASSERT_EQ(RunAutoset(s), "1\n");
  EXPECT_EQ(s.Query(":DISP:TRAC:Y:PDIV2?\r"), "1\n");
  const auto r = s.Record();
  EXPECT_EQ(I16At(r, 290), 16);  // 200 us/div: 2 ms on screen
  EXPECT_EQ(I16At(r, 10), 16);
  EXPECT_EQ(I32At(r, 36), 1);
  EXPECT_EQ(I32At(r, 44), 1);
  EXPECT_EQ(I16At(r, 40), 1);    // ground gave way to DC
  EXPECT_EQ(I16At(r, 140), 7);   // 0.5 V/div: 2 Vpp over 4 divisions
  EXPECT_EQ(I16At(r, 142), 6);   // 0.2 V/div
  EXPECT_EQ(I16At(r, 22), 0);
  EXPECT_EQ(I32At(r, 28), 0);
  EXPECT_EQ(F32At(r, 100), 20.0f);
  EXPECT_EQ(I16At(r, 280), 0);
  EXPECT_EQ(I16At(r, 282), 0);
  EXPECT_EQ(I16At(r, 8), 0);     // running

  const test::Frame frame = s.QueryFrame();
  ASSERT_GE(frame.data.size(), 5000u);
  const test::Bytes ch1(frame.data.begin(), frame.data.begin() + 2500);
  const int periods = RisingCrossings(ch1);
  EXPECT_GE(periods, 1);
  EXPECT_LE(periods, 3);
  const auto [low, high] = std::minmax_element(ch1.begin(), ch1.end());
  EXPECT_NEAR(*high - 128, 128 - *low, 4);     // centred
  EXPECT_NEAR(*high - *low, 4 * 254 / 8, 6);   // four divisions
}

TEST(InstrumentAutoset, CentresAnOffsetSignalAndTriggersAtItsMiddle) {
  Session s;
  s.Handle().SetSignal(0, SignalSpec{Waveform::None, 0, 0, 0, 0});
  s.Handle().SetSignal(1, SignalSpec{Waveform::Triangle, 50000.0, 0.5, 0.5, 0.001});
  s.Send(":INP2:COUP DC\r");  // the factory couples AC
  ASSERT_EQ(RunAutoset(s), "1\n");
  const auto r = s.Record();
  EXPECT_EQ(I32At(r, 36), 0);    // nothing on CH1, left off
  EXPECT_EQ(I32At(r, 44), 1);
  EXPECT_EQ(I16At(r, 280), 1);   // trigger moved to the usable channel
  EXPECT_EQ(I16At(r, 290), 11);  // 5 us/div: nearest to two 20-us periods
  EXPECT_EQ(I16At(r, 142), 5);   // 0.1 V/div
  EXPECT_EQ(I16At(r, 24), -110); // 0.5 V up: five divisions down
  EXPECT_EQ(I16At(r, 284), 110);
}

TEST(InstrumentAutoset, WithoutAUsableSignalNothingChanges) {
  struct Case {
    const char* what;
    SignalSpec ch1, ch2;
    bool refuse;
  };
  const SignalSpec none{Waveform::None, 0, 0, 0, 0};
  const Case cases[] = {
      {"no signal", none, none, false},
      {"10 Hz", {Waveform::Sine, 10.0, 2.0, 0, 0}, {Waveform::Square, 10.0, 1.0, 0, 0}, false},
      {"DC only", {Waveform::Dc, 0, 0, 1.0, 0}, none, false},
      {"buried in noise", {Waveform::Sine, 1000.0, 0.01, 0, 0.05}, none, false},
      {"refused", {Waveform::Sine, 1000.0, 2.0, 0, 0}, {Waveform::Sine, 1000.0, 2.0, 0, 0}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Session s;
    s.Handle().SetSignal(0, c.ch1);
    s.Handle().SetSignal(1, c.ch2);
    Faults faults;
    faults.refuseAutoset = c.refuse;
    s.Handle().SetFaults(faults);
    s.Send(":DISP:TRAC:Y:PDIV1 2.0\r");
    const auto before = s.Record();
    EXPECT_EQ(s.Query(":AUTOS:EXE\r*OPC?\r"), "1\n");
    EXPECT_EQ(s.Query(":DISP:TRAC:Y:PDIV1?\r"), "2\n");
    EXPECT_EQ(s.Record(), before);
    EXPECT_EQ(s.Query(":AUTOS:VERT INT1\r*OPC?\r"), "1\n");
    EXPECT_EQ(s.Record(), before);
  }
}

TEST(InstrumentAutoset, VerticalAutosetTouchesOnlyItsChannel) {
  Session s;
  s.Handle().SetSignal(1, SignalSpec{Waveform::Square, 1000.0, 1.0, 0.5, 0.0});
  s.Send(":INP2:COUP DC\r:DISP:TRAC:Y:PDIV2 2.0\r:DISP:TRAC:Y:PDIV1 3.0\r");
  const auto before = s.Record();
  EXPECT_EQ(s.Query(":AUTOS:VERT INT2\r*OPC?\r"), "1\n");
  EXPECT_EQ(s.Query(":DISP:TRAC:Y:PDIV2?\r"), "1\n");
  auto after = s.Record();
  EXPECT_EQ(I16At(after, 142), 6);    // 0.2 V/div
  EXPECT_EQ(I16At(after, 24), -55);   // -0.5 V in 1/22 div at 0.2 V/div
  EXPECT_EQ(F32At(after, 128), 3.0f); // CH1 untouched
  // Everything but CH2's sensitivity, offset and probe (and the checksum) is as before.
  for (std::size_t o : {0, 1, 2, 3, 24, 25, 132, 133, 134, 135, 142, 143}) after[o] = before[o];
  EXPECT_EQ(after, before);

  // An AC-coupled input loses its offset: nothing to centre.
  s.Send(":INP2:COUP AC\r:AUTOS:VERT INT2\r");
  EXPECT_EQ(I16At(s.Record(), 24), 0);
}

}  // namespace
}  // namespace kvxsim
