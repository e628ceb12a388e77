// Identification, claim, reset, self-test, the setup record transfer, the
// setting commands and the error queue, seen from the host's side.
#include <gtest/gtest.h>

#include "SimTestSupport.h"

namespace kvxsim {
namespace {

using test::F32At;
using test::Frame;
using test::I16At;
using test::I32At;
using test::Session;

InstrumentOptions Model(int model, const std::string& serial = "KVX0001") {
  InstrumentOptions options;
  options.model = model;
  options.serial = serial;
  return options;
}

TEST(InstrumentProtocol, IdentifiesPerModel) {
  Session kvx162;
  EXPECT_EQ(kvx162.Query("\r*IDN?\r"), "KVX162, v1.23/A1/ZC, KVX0001\n");
  EXPECT_EQ(kvx162.Handle().Descriptor(), "USB0::0x2177::0x1004::KVX0001::RAW");
  EXPECT_EQ(kvx162.Handle().ModelCode(), 0x1004);
  EXPECT_EQ(kvx162.Handle().ManufacturerId(), 0x2177);

  Session kvx112(Model(112, "SN42"));
  EXPECT_EQ(kvx112.Query("*idn?\r"), "KVX112, v1.23/A1/ZC, SN42\n");
  EXPECT_EQ(kvx112.Handle().ModelCode(), 0x1002);
  Session kvx71(Model(71));
  EXPECT_EQ(kvx71.Query("*IDN?\r"), "KVX71, v1.23/A1/ZC, KVX0001\n");
  EXPECT_EQ(kvx71.Handle().Descriptor(), "USB0::0x2177::0x1002::KVX0001::RAW");
}

TEST(InstrumentProtocol, ClaimFormatAndOperationComplete) {
  Session s;
  EXPECT_FALSE(s.Handle().Claimed());
  s.Send("ZC:USED 1\rFORM:DATA INT;DINT OFF\r");
  EXPECT_TRUE(s.Handle().Claimed());
  EXPECT_EQ(s.Query("*WAI\r*OPC?\r"), "1\n");
  s.Send("ZC:USED 0\r");
  EXPECT_FALSE(s.Handle().Claimed());
  EXPECT_EQ(s.Query("SYST:ERR?\r"), "0,No error\n");
}

TEST(InstrumentProtocol, ResetRestoresTheFactoryRecordButKeepsTheClaim) {
  Session s;
  const auto factory = s.Record();
  s.Send("ZC:USED 1\r:DISP:TRAC:X:PDIV 1E-3\r:TRIG:SOUR INT2\r:TRIG:RUN:STAT 1\r");
  EXPECT_NE(s.Record(), factory);
  s.Send("*RST\r");
  EXPECT_EQ(s.Record(), factory);
  EXPECT_TRUE(s.Handle().Claimed());
}

TEST(InstrumentProtocol, SelfTestReportsPassedBits) {
  Session s;
  EXPECT_EQ(s.Query("*WAI\r:SYST:AUTOTEST?\r"), "333F\n");
  Faults faults;
  faults.selfTestFailBits = 0x0008;
  s.Handle().SetFaults(faults);
  EXPECT_EQ(s.Query("*WAI\r:SYST:AUTOTEST?\r"), "3337\n");
  faults.selfTestFailBits = 0x3001;
  s.Handle().SetFaults(faults);
  EXPECT_EQ(s.Query(":SYST:AUTOTEST?\r"), "33E\n");
}

TEST(InstrumentProtocol, SetupQueryGivesTheSealedFactoryRecord) {
  Session s;
  const test::Bytes reply = s.QueryBytes("\r:SYST:SET?\r");
  ASSERT_EQ(reply.size(), 579u);
  EXPECT_EQ(test::ToText(test::Bytes(reply.begin(), reply.begin() + 5)), "#3572");
  test::Bytes data;
  ASSERT_TRUE(test::BlockData(reply, data));
  std::array<std::uint8_t, 572> record{};
  std::copy(data.begin(), data.end(), record.begin());
  auto resealed = record;
  test::Reseal(resealed);
  EXPECT_EQ(resealed, record);
  EXPECT_EQ(I16At(record, 8), 1);
  EXPECT_EQ(I16At(record, 290), 15);
  EXPECT_EQ(F32At(record, 100), 20.0f);
  EXPECT_STREQ(reinterpret_cast<const char*>(&record[454]), "192.168.000.100");
  EXPECT_EQ(record, s.Record());
}

TEST(InstrumentProtocol, SetupLoadStoresOnlyARecordWithItsChecksum) {
  Session s;
  auto record = s.Record();
  record[290 + 1] = 18;                 // 1 ms/div
  record[12] = 0x0D;                    // a carriage return inside a field...
  record[371] = 0x0D;                   // ...and inside reserved bytes
  test::Reseal(record);
  test::Bytes write = test::ToBytes("SYST:SET #3572");
  write.insert(write.end(), record.begin(), record.end());
  write.push_back('\r');
  ASSERT_EQ(write.size(), 587u);
  s.SendBytes(write);
  EXPECT_EQ(s.Query("*OPC?\r"), "1\n");
  EXPECT_EQ(s.Record(), record);
  EXPECT_EQ(s.Query("SYST:ERR?\r"), "0,No error\n");

  auto damaged = record;
  damaged[290 + 1] = 20;  // checksum left as it was
  write.assign(write.begin(), write.begin() + 14);
  write.insert(write.end(), damaged.begin(), damaged.end());
  write.push_back('\r');
  s.SendBytes(write);
  EXPECT_EQ(s.Query("*OPC?\r"), "1\n");
  EXPECT_EQ(s.Record(), record);
  EXPECT_EQ(s.Query("SYST:ERR?\r"), "-230,\"Data corrupt or stale\"\n");

  // A short record is consumed by its count and refused.
  write = test::ToBytes("SYST:SET #3570");
  write.insert(write.end(), record.begin(), record.begin() + 570);
  s.SendBytes(write);
  EXPECT_EQ(s.Query("\r*OPC?\r"), "1\n");
  EXPECT_EQ(s.Record(), record);
  EXPECT_EQ(s.Query("SYST:ERR?\r"), "-230,\"Data corrupt or stale\"\n");
}

TEST(InstrumentProtocol, VerticalCommandsChangeRecordAndFrame) {
  Session s;  // factory: 50 mV/div on both channels
  s.Send(":INP2:COUP GROUND\r:VOLT1:RANG:OFFS -0.063\r:VOLT2:RANG:OFFS 0.075\r:DISP:TRAC:STAT2 1\r");
  auto r = s.Record();
  EXPECT_EQ(I16At(r, 48), 2);
  EXPECT_EQ(I16At(r, 22), -27);  // trunc(22 * -1.26)
  EXPECT_EQ(I16At(r, 24), 33);   // exactly 1.5 divisions despite the decimal text
  EXPECT_EQ(I32At(r, 44), 1);
  Frame frame = s.QueryFrame();
  EXPECT_EQ(frame.Field(6), 2);   // only CH2 shown
  EXPECT_EQ(frame.Field(8), -27);
  EXPECT_EQ(frame.Field(9), 33);

  s.Send(":ZC:VOLT1:RANG:PTP 9\r:DISP:TRAC:Y:PDIV2 10\r:input1:coupling ac\r");
  r = s.Record();
  EXPECT_EQ(I16At(r, 140), 9);
  EXPECT_EQ(F32At(r, 132), 10.0f);
  EXPECT_EQ(I16At(r, 40), 0);
  EXPECT_EQ(s.Query(":DISP:TRAC:Y:PDIV2?\r"), "10\n");
  EXPECT_EQ(s.Query(":DISP:TRAC:Y:PDIV1?\r"), "1\n");
  s.Send(":DISP:TRAC:Y:PDIV1 0.5\r");
  EXPECT_EQ(s.Query(":DISP:TRAC:Y:PDIV1?\r"), "0.5\n");
}

TEST(InstrumentProtocol, OffsetsAndLevelsBeyondSixteenBitsStopAtTheirLimits) {
  Session s;
  s.Send(":VOLT1:RANG:OFFS 1e300\r:VOLT2:RANG:OFFS -3.4e89\r:TRIG:LEV 7e300\r");
  const auto r = s.Record();
  EXPECT_EQ(I16At(r, 22), 32767);
  EXPECT_EQ(I16At(r, 24), -32768);
  EXPECT_EQ(I16At(r, 282), 32767);
}

TEST(InstrumentProtocol, OffsetsUseTheModelsSensitivities) {
  Session kvx162;
  Session kvx71(Model(71));
  for (Session* s : {&kvx162, &kvx71}) s->Send(":ZC:VOLT1:RANG:PTP 3\r:VOLT1:RANG:OFFS 0.05\r");
  EXPECT_EQ(I16At(kvx162.Record(), 22), 55);  // 20 mV/div
  EXPECT_EQ(I16At(kvx71.Record(), 22), 44);   // 25 mV/div
}

TEST(InstrumentProtocol, HorizontalCommandsChangeRecordAndFrame) {
  Session s;
  s.Send(":DISP:TRAC:ZOOM:H 1000,5\r");
  EXPECT_EQ(I32At(s.Record(), 28), 1000);
  EXPECT_EQ(F32At(s.Record(), 100), 5.0f);

  s.Send(":DISP:TRAC:X:PDIV 1E-3\r:SWE:OFFS:TIME -0.0015\r");
  auto r = s.Record();
  EXPECT_EQ(I16At(r, 290), 18);
  EXPECT_EQ(I16At(r, 10), 18);
  EXPECT_EQ(I32At(r, 28), 0);       // the timebase puts the zoom back
  EXPECT_EQ(F32At(r, 100), 20.0f);
  EXPECT_EQ(I32At(r, 12), -7500);   // 1.5 divisions
  EXPECT_EQ(s.QueryFrame().Field(12), -7500);

  s.Send(":DISP:TRAC:X:PDIV 20E-9\r");
  r = s.Record();
  EXPECT_EQ(I16At(r, 290), 4);
  EXPECT_EQ(I16At(r, 10), 6);
  s.Send(":DISP:TRAC:ZOOM:H 23750,2\r");
  EXPECT_EQ(I16At(s.Record(), 10), 3);
  s.Send(":SWE:OFFS:TIME 1E-7\r");  // one division at the 100 ns acquisition
  EXPECT_EQ(I32At(s.Record(), 12), 5000);
  s.Send(":DISP:TRAC:X:PDIV 10\r");
  EXPECT_EQ(I16At(s.Record(), 290), 30);

  s.Send(":DISP:TRAC:X:PDIV 3E-3\r:DISP:TRAC:ZOOM:H 0,25\r");
  EXPECT_EQ(I16At(s.Record(), 290), 30);
  EXPECT_EQ(s.Query("SYST:ERR?\r"), "-224,\"Illegal parameter value\"\n");
  EXPECT_EQ(s.Query("SYST:ERR?\r"), "-222,\"Data out of range\"\n");
}

TEST(InstrumentProtocol, TriggerCommandsFollowTheCurrentSource) {
  Session s;
  s.Send(":TRIG:SOUR INT2\r:TRIG:SLOP NEG\r:TRIG:FILT:HPAS ON\r:TRIG:LEV -0.063\r");
  auto r = s.Record();
  EXPECT_EQ(I16At(r, 280), 1);
  EXPECT_EQ(I16At(r, 490), 1);
  EXPECT_EQ(I16At(r, 488), 0);
  EXPECT_EQ(I16At(r, 486), 2);
  EXPECT_EQ(I16At(r, 484), 1);
  EXPECT_EQ(I16At(r, 284), -27);
  EXPECT_EQ(I16At(r, 282), 0);
  Frame frame = s.QueryFrame();
  EXPECT_EQ(frame.Field(10), 1);
  EXPECT_EQ(frame.Field(11), -27);

  s.Send(":TRIG:COUP AC\r:TRIG:FILT:LPAS ON\r");
  EXPECT_EQ(I16At(s.Record(), 486), 3);
  s.Send(":TRIG:COUP DC\r");
  EXPECT_EQ(I16At(s.Record(), 486), 1);

  s.Send(":INIT:CONT:NAME TV,ON\r:TRIG:ATRIG OFF\r");
  r = s.Record();
  EXPECT_EQ(I16At(r, 482), 4);
  EXPECT_EQ(I16At(r, 18), 1);
  s.Send(":INIT:NAME PUL\r");
  r = s.Record();
  EXPECT_EQ(I16At(r, 482), 1);
  EXPECT_EQ(I16At(r, 18), 2);
  EXPECT_EQ(I16At(r, 8), 0);  // armed
  s.Send(":INIT:CONT:NAME EDGE,ON\r:TRIG:ATRIG ON\r");
  EXPECT_EQ(I16At(s.Record(), 18), 0);

  // No source: level and slope have nowhere to go.
  s.Send(":TRIG:SOUR NONE\r");
  const auto before = s.Record();
  s.Send(":TRIG:LEV 1.0\r:TRIG:SLOP POS\r");
  EXPECT_EQ(s.Record(), before);
  EXPECT_EQ(s.Query("SYST:ERR?\r"), "0,No error\n");
}

TEST(InstrumentProtocol, RunStopCursorsAndMeasurements) {
  Session s;
  s.Send(":TRIG:RUN:STAT 1\r");
  EXPECT_EQ(I16At(s.Record(), 8), 0);
  EXPECT_EQ(s.QueryFrame().Field(14), 0);
  s.Send(":TRIG:RUN:STAT 0\r");
  EXPECT_EQ(I16At(s.Record(), 8), 1);
  Frame frame = s.QueryFrame();
  EXPECT_EQ(frame.Field(14), 1);
  EXPECT_EQ(frame.Field(13), 0);

  s.Send(":DISP:CURS:REF INT2\r:DISP:CURS:TIME1:POS 100\r:DISP:CURS:TIME2:POS 40000\r");
  auto r = s.Record();
  EXPECT_EQ(I16At(r, 56), 1);
  EXPECT_EQ(I32At(r, 60), 100);
  EXPECT_EQ(I32At(r, 64), 40000);

  s.Send(":DISP:TRAC:STAT1 1\r");
  EXPECT_EQ(s.QueryFrame().Field(1) & 2, 0);
  s.Send(":MEAS:AUTO 1\r");
  EXPECT_EQ(I32At(s.Record(), 168), 1);
  frame = s.QueryFrame();
  EXPECT_EQ(frame.Field(1), 3);
  EXPECT_EQ(frame.data.size(), 2500u + 96u);
}

TEST(InstrumentProtocol, BadCommandsAreQueuedAsErrorsAndChangeNothing) {
  Session s;
  const auto before = s.Record();
  s.Send("FOO:BAR 1\r:INP1:COUP XYZ\r:ZC:VOLT1:RANG:PTP 15\r:INP3:COUP DC\r:TRIG:LEV abc\r:MMEM:DEL\r");
  EXPECT_EQ(s.Record(), before);
  EXPECT_EQ(s.Query("syst:err?\r"), "-113,\"Undefined header\"\n");
  EXPECT_EQ(s.Query("syst:err?\r"), "-224,\"Illegal parameter value\"\n");
  EXPECT_EQ(s.Query("syst:err?\r"), "-222,\"Data out of range\"\n");
  EXPECT_EQ(s.Query("syst:err?\r"), "-114,\"Header suffix out of range\"\n");
  EXPECT_EQ(s.Query("syst:err?\r"), "-104,\"Data type error\"\n");
  EXPECT_EQ(s.Query("syst:err?\r"), "-109,\"Missing parameter\"\n");
  EXPECT_EQ(s.Query("syst:err?\r"), "0,No error\n");

  // An unknown query gets no reply, only an error.
  s.Send("FOO?\r");
  EXPECT_TRUE(s.Receive(test::milliseconds(100)).empty());
  for (int i = 0; i < 30; ++i) s.Send("FOO\r");
  for (int i = 0; i < 19; ++i) EXPECT_EQ(s.Query("SYST:ERR?\r"), "-113,\"Undefined header\"\n");
  EXPECT_EQ(s.Query("SYST:ERR?\r"), "-350,\"Queue overflow\"\n");
  s.Send("*CLS\r");
  EXPECT_EQ(s.Query("SYST:ERR?\r"), "0,No error\n");
}

TEST(InstrumentProtocol, CommandsMayArriveInPieces) {
  Session s;
  s.Send("*ID");
  EXPECT_TRUE(s.Receive(test::milliseconds(50)).empty());
  s.Send("N?\r:TRIG:SO");
  EXPECT_EQ(test::ToText(s.Receive()), "KVX162, v1.23/A1/ZC, KVX0001\n");
  s.Send("UR INT2\r");
  EXPECT_EQ(I16At(s.Record(), 280), 1);
  EXPECT_EQ(test::ToText(s.Handle().TakeReceived()), "*IDN?\r:TRIG:SOUR INT2\r");
  EXPECT_TRUE(s.Handle().TakeReceived().empty());
}

}  // namespace
}  // namespace kvxsim
