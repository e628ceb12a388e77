#include <gtest/gtest.h>

#include <cstring>

#include "SimTestSupport.h"
#include "sim/SetupStore.h"

namespace kvxsim {
namespace {

using test::F32At;
using test::I16At;
using test::I32At;
using test::U32At;

TEST(SetupStore, ChecksumIsNotOfByteSum) {
  const std::uint8_t abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(SetupChecksum(abc, 3), 0xFFFFFED9u);
  EXPECT_EQ(SetupChecksum(abc, 0), 0xFFFFFFFFu);
}

TEST(SetupStore, FactoryRecordHoldsTheDefaults) {
  const SetupStore store;
  const auto& r = store.Bytes();
  EXPECT_EQ(I16At(r, 4), 1);
  EXPECT_EQ(I16At(r, 8), 1);       // runState: HOLD
  EXPECT_EQ(I16At(r, 10), 15);     // effective timebase
  EXPECT_EQ(I32At(r, 12), -25000); // horizontal offset
  EXPECT_EQ(I32At(r, 36), 0);      // CH1 off
  EXPECT_EQ(I32At(r, 64), 49999);
  EXPECT_EQ(I32At(r, 80), 4);
  EXPECT_EQ(static_cast<std::uint16_t>(I16At(r, 96)), 0xDEAD);
  EXPECT_EQ(F32At(r, 100), 20.0f);
  EXPECT_EQ(std::memcmp(&r[110], "V\0\0\0V\0\0\0", 8), 0);
  EXPECT_EQ(F32At(r, 128), 1.0f);
  EXPECT_EQ(F32At(r, 132), 1.0f);
  EXPECT_EQ(r[136], 's');
  EXPECT_EQ(I16At(r, 140), 4);
  EXPECT_EQ(I16At(r, 172), -1);
  EXPECT_EQ(I32At(r, 212), 0x7FF00);
  EXPECT_EQ(I32At(r, 224), 25000);
  EXPECT_EQ(U32At(r, 256), 0xDEADDEADu);
  EXPECT_EQ(I16At(r, 290), 15);
  EXPECT_EQ(static_cast<std::uint16_t>(I16At(r, 308)), 0xDEAD);
  EXPECT_STREQ(reinterpret_cast<const char*>(&r[454]), "192.168.000.100");
  EXPECT_EQ(I32At(r, 472), 1);
  EXPECT_EQ(I16At(r, 484), 1);
  EXPECT_EQ(I16At(r, 486), 1);
  EXPECT_EQ(r[500], 1);
  EXPECT_EQ(r[499], 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(&r[506]), "255.255.255.000");
  EXPECT_STREQ(reinterpret_cast<const char*>(&r[522]), "000.000.000.000");
  EXPECT_EQ(r[571], 0);
}

TEST(SetupStore, EveryChangeKeepsTheChecksumRight) {
  SetupStore store;
  auto expectSealed = [&] {
    auto copy = store.Bytes();
    test::Reseal(copy);
    EXPECT_EQ(copy, store.Bytes());
  };
  expectSealed();
  store.SetI16(setup::kVerticalOffset[1], -27);
  expectSealed();
  store.SetF32(setup::kProbeFactor[0], 2.0f);
  expectSealed();
  store.SetText(setup::kUnit[0], setup::kUnitSize, "AMPS");  // cut to three characters
  expectSealed();
  EXPECT_EQ(store.Text(setup::kUnit[0], setup::kUnitSize), "AMP");
  EXPECT_EQ(store.I16(setup::kVerticalOffset[1]), -27);
  EXPECT_EQ(store.F32(setup::kProbeFactor[0]), 2.0f);
}

}  // namespace
}  // namespace kvxsim
