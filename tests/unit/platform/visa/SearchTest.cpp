#include <gtest/gtest.h>

#include "platform/visa/ResourceExpr.h"
#include "platform/visa/Visa.h"
#include "unit/platform/visa/FakeInstrument.h"

namespace {

using visa::ResourceExpression;
using visa::ResourceFacts;
using visatest::FakeInstrument;

constexpr const char* kProgramExpr =
    "USB?*RAW{VI_ATTR_MANF_ID == 0x2177 && (VI_ATTR_MODEL_CODE == 0x1004 || VI_ATTR_MODEL_CODE == 0x1002)}";

class Search : public ::testing::Test {
 protected:
  void SetUp() override {
    visa::ClearInstruments();
    visa::EnableUsbSearch(false);
    ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
  }
  void TearDown() override {
    viClose(rm_);
    visa::ClearInstruments();
  }
  void Add(const std::string& descriptor, std::uint16_t manf, std::uint16_t model) {
    visa::AddInstrument(std::make_shared<FakeInstrument>(descriptor, manf, model));
  }
  ViStatus Find(const char* expr) {
    desc_[0] = '\0';
    count_ = 99;
    return viFindRsrc(rm_, expr, &list_, &count_, desc_);
  }

  ViSession rm_ = 0;
  ViFindList list_ = 0;
  ViUInt32 count_ = 0;
  ViChar desc_[VI_FIND_BUFLEN] = {};
};

TEST_F(Search, ProgramExpressionSelectsVendorAndModelCodes) {
  Add("USB0::0x1234::0x1004::OTHERVENDOR::RAW", 0x1234, 0x1004);
  Add("USB0::0x2177::0x1003::WRONGMODEL::RAW", 0x2177, 0x1003);
  Add("TCPIP0::10.0.0.1::INSTR", 0x2177, 0x1004);
  Add("USB0::0x2177::0x1002::KVX112::RAW", 0x2177, 0x1002);
  Add("USB0::0x2177::0x1004::KVX162::RAW", 0x2177, 0x1004);
  ASSERT_EQ(Find(kProgramExpr), VI_SUCCESS);
  EXPECT_STREQ(desc_, "USB0::0x2177::0x1002::KVX112::RAW");
  EXPECT_EQ(count_, 2u);
  EXPECT_NE(list_, VI_NULL);
  EXPECT_EQ(viClose(list_), VI_SUCCESS);
  EXPECT_EQ(viClose(list_), VI_ERROR_INV_OBJECT);
}

TEST_F(Search, FirstRegisteredInstrumentIsReportedFirst) {
  Add("USB0::0x2177::0x1004::BETA::RAW", 0x2177, 0x1004);
  Add("USB0::0x2177::0x1004::ALPHA::RAW", 0x2177, 0x1004);
  ASSERT_EQ(Find(kProgramExpr), VI_SUCCESS);
  EXPECT_STREQ(desc_, "USB0::0x2177::0x1004::BETA::RAW");
  visa::ClearInstruments();
  Add("USB0::0x2177::0x1004::ALPHA::RAW", 0x2177, 0x1004);
  Add("USB0::0x2177::0x1004::BETA::RAW", 0x2177, 0x1004);
  ASSERT_EQ(Find(kProgramExpr), VI_SUCCESS);
  EXPECT_STREQ(desc_, "USB0::0x2177::0x1004::ALPHA::RAW");
}

TEST_F(Search, UsbDevicesComeAfterRegisteredInstruments) {
  Add("USB0::0x2177::0x1004::CMDLINE::RAW", 0x2177, 0x1004);
  visa::EnableUsbSearch(true);
  const ViStatus status = Find(kProgramExpr);
  visa::EnableUsbSearch(false);
  ASSERT_EQ(status, VI_SUCCESS);
  EXPECT_STREQ(desc_, "USB0::0x2177::0x1004::CMDLINE::RAW");
  EXPECT_GE(count_, 1u);
}

TEST_F(Search, NothingMatchingIsNotFound) {
  EXPECT_EQ(Find(kProgramExpr), VI_ERROR_RSRC_NFOUND);
  EXPECT_EQ(count_, 0u);
  EXPECT_EQ(list_, VI_NULL);
  Add("USB0::0x2177::0x1003::X::RAW", 0x2177, 0x1003);
  EXPECT_EQ(Find(kProgramExpr), VI_ERROR_RSRC_NFOUND);
  EXPECT_EQ(Find("?*INSTR"), VI_ERROR_RSRC_NFOUND);
}

TEST_F(Search, MalformedExpressionsAreRejected) {
  Add("USB0::0x2177::0x1004::X::RAW", 0x2177, 0x1004);
  for (const char* bad :
       {"", "*USB", "USB**", "USB[0-9", "USB[]", "USB?*{", "USB?*{}", "USB?*}", "(USB|GPIB)?*",
        "USB?*{VI_ATTR_MANF_ID == }", "USB?*{VI_ATTR_MANF_ID = 1}", "USB?*{(VI_ATTR_MANF_ID == 1}",
        "USB?*{VI_ATTR_MANF_ID == 1)}", "USB?*{VI_ATTR_BOGUS == 1}", "USB?*{VI_ATTR_MANF_ID == 0x}",
        "USB?*{VI_ATTR_MANF_ID == 12ab}", "USB?*{VI_ATTR_MANF_ID == 1 &&}", "USB?*{VI_ATTR_MANF_ID}",
        "USB?*{VI_ATTR_MANF_ID == 1} x", "USB?*{VI_ATTR_MANF_ID == 0x100000000}"}) {
    EXPECT_EQ(Find(bad), VI_ERROR_INV_EXPR) << bad;
  }
  EXPECT_EQ(viFindRsrc(rm_, nullptr, &list_, &count_, desc_), VI_ERROR_INV_EXPR);
}

TEST_F(Search, OnlyAResourceManagerCanSearch) {
  Add("USB0::0x2177::0x1004::X::RAW", 0x2177, 0x1004);
  ASSERT_EQ(Find("?*"), VI_SUCCESS);
  EXPECT_EQ(viFindRsrc(list_, "?*", nullptr, nullptr, nullptr), VI_ERROR_INV_OBJECT);
  EXPECT_EQ(viFindRsrc(0xDEAD, "?*", nullptr, nullptr, nullptr), VI_ERROR_INV_OBJECT);
  // Output arguments are optional.
  EXPECT_EQ(viFindRsrc(rm_, "?*", nullptr, nullptr, nullptr), VI_SUCCESS);
}

bool Matches(const char* expr, const ResourceFacts& facts) {
  auto parsed = ResourceExpression::Parse(expr);
  EXPECT_TRUE(parsed.has_value()) << expr;
  return parsed && parsed->Matches(facts);
}

TEST(ResourceExpressionTest, PatternElements) {
  const ResourceFacts usb{"USB0::0x2177::0x1004::SN42::RAW", 0x2177, 0x1004};
  EXPECT_TRUE(Matches("usb0::0X2177::?*::raw", usb));  // case-insensitive
  EXPECT_TRUE(Matches("USB[0-9]::?*", usb));
  EXPECT_FALSE(Matches("USB[^0-9]::?*", usb));
  EXPECT_TRUE(Matches("USB0::0x2177::0x1004::SN4+2::RAW", usb));
  EXPECT_TRUE(Matches("USB0::0x2177::0x1004::S[N]*N4*2::RAW", usb));
  EXPECT_FALSE(Matches("USB0::0x2177::0x1004::SX+N42::RAW", usb));
  EXPECT_FALSE(Matches("USB?*RA", usb));   // anchored at the end
  EXPECT_FALSE(Matches("SB?*RAW", usb));   // and at the start
  EXPECT_TRUE(Matches("USB0::0x2177::0x1004::SN42::RAW", usb));
  EXPECT_TRUE(Matches("USB0\\:\\:?*", usb));
  EXPECT_TRUE(Matches("?*[:]RAW", usb));
  // Many stars on a long text must stay fast (no backtracking blow-up).
  const ResourceFacts longText{std::string(300, 'a'), 0, 0};
  EXPECT_FALSE(Matches("?*?*?*?*?*?*?*?*?*?*?*?*?*?*?*?*b", longText));
}

TEST(ResourceExpressionTest, AttributeLogic) {
  const ResourceFacts kvx{"USB0::0x2177::0x1002::A::RAW", 0x2177, 0x1002};
  EXPECT_TRUE(Matches("?*{VI_ATTR_MODEL_CODE == 4098}", kvx));  // decimal
  EXPECT_TRUE(Matches("?*{ vi_attr_manf_id==0x2177 }", kvx));
  EXPECT_FALSE(Matches("?*{VI_ATTR_MANF_ID != 0x2177}", kvx));
  EXPECT_TRUE(Matches("?*{0x1002 == VI_ATTR_MODEL_CODE}", kvx));
  // && binds tighter than ||.
  EXPECT_TRUE(Matches("?*{VI_ATTR_MODEL_CODE == 1 && VI_ATTR_MANF_ID == 1 || VI_ATTR_MODEL_CODE == 0x1002}", kvx));
  EXPECT_FALSE(Matches("?*{VI_ATTR_MODEL_CODE == 1 && (VI_ATTR_MANF_ID == 1 || VI_ATTR_MODEL_CODE == 0x1002)}", kvx));
  EXPECT_TRUE(Matches("?*{!(VI_ATTR_MODEL_CODE == 0x1004)}", kvx));
  EXPECT_TRUE(Matches("?*{VI_ATTR_MODEL_CODE > 0x1001 && VI_ATTR_MODEL_CODE <= 0x1002}", kvx));
}

}  // namespace
