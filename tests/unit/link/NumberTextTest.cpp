// Numbers on the wire do not depend on the user's locale.
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <utility>

#include "link/NumberText.h"

namespace {

void ExpectWireTexts() {
  EXPECT_EQ(FormatReal(-1.26 * 0.05), "-0.063");
  EXPECT_EQ(FormatReal(20.0), "20");
  EXPECT_EQ(FormatReal(2.0), "2");
  EXPECT_EQ(FormatReal(0.0), "0");
  EXPECT_EQ(FormatReal(-0.0), "0");
  EXPECT_EQ(FormatReal(-25000 * 1e-9 / 5000), "-0.000000005") << "fast timebases keep their digits";
  EXPECT_EQ(FormatReal(-25000 * 100e-6 / 5000), "-0.0005");
  EXPECT_EQ(FormatReal(12.5), "12.5");
  EXPECT_EQ(FormatReal(1234567.25), "1234567.25");
  EXPECT_FALSE(ParseReal("abc"));
  EXPECT_FALSE(ParseReal(""));
  EXPECT_FALSE(ParseHex("zz"));
  EXPECT_FALSE(ParseInteger("x1"));
  for (const auto& [text, value] : {std::pair{"2.0\n", 2.0}, {" 1.000000E+00", 1.0}, {"+0.5", 0.5}}) {
    const auto parsed = ParseReal(text);
    ASSERT_TRUE(parsed) << text;
    EXPECT_EQ(*parsed, value) << text;
  }
  for (const auto& [text, value] : {std::pair{"333F\n", 0x333Fu}, {" 3337", 0x3337u}}) {
    const auto parsed = ParseHex(text);
    ASSERT_TRUE(parsed) << text;
    EXPECT_EQ(*parsed, value) << text;
  }
  for (const auto& [text, value] : {std::pair{"162", 162}, {"-27,", -27}}) {
    const auto parsed = ParseInteger(text);
    ASSERT_TRUE(parsed) << text;
    EXPECT_EQ(*parsed, value) << text;
  }
}

TEST(NumberText, WireTextsInTheCLocale) { ExpectWireTexts(); }

TEST(NumberText, WireTextsUnderAGermanLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  ExpectWireTexts();  // a failed assertion there returns here, so the locale is still put back
  std::setlocale(LC_ALL, previous.c_str());
}

}  // namespace
