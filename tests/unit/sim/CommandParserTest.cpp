#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "sim/CommandParser.h"

namespace kvxsim {
namespace {

std::vector<ProgramMessage> Feed(CommandSplitter& splitter, const std::string& bytes) {
  std::vector<ProgramMessage> out;
  splitter.Feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), out);
  return out;
}

TEST(CommandSplitter, AnEmptyBlockAndAnOverlongCommandAreReported) {
  CommandSplitter splitter;
  auto out = Feed(splitter, "SYST:SET #10\r");
  ASSERT_EQ(out.size(), 1u);
  EXPECT_TRUE(out[0].hasBlock);
  EXPECT_TRUE(out[0].block.empty());
  out = Feed(splitter, std::string(CommandSplitter::kMaxPending + 10, 'A') + "\r*IDN?\r");
  ASSERT_EQ(out.size(), 2u);
  EXPECT_TRUE(out[0].overlong);
  EXPECT_EQ(out[1].text, "*IDN?");
}

TEST(CommandHeaders, MatchShortAndLongFormsAnyCaseWithSuffixes) {
  int suffix = 0;
  EXPECT_TRUE(MatchHeader("INPut#:COUPling", "INP2:COUP", suffix));
  EXPECT_EQ(suffix, 2);
  EXPECT_TRUE(MatchHeader("INPut#:COUPling", "INPUT:COUPLING", suffix));
  EXPECT_EQ(suffix, 1);
  EXPECT_FALSE(MatchHeader("INPut#:COUPling", "INPU:COUP", suffix));
  EXPECT_FALSE(MatchHeader("SYSTem:ERRor?", "SYST:ERR", suffix));
  EXPECT_FALSE(MatchHeader("SYSTem:SET", "SYST:SET?", suffix));
  EXPECT_FALSE(MatchHeader("TRIGger:SOURce", "TRIG1:SOUR", suffix));
  EXPECT_TRUE(MatchHeader("DISPlay:TRACe:Y:PDIV#?", "DISP:TRAC:Y:PDIV1?", suffix));
  EXPECT_TRUE(MatchHeader("*IDN?", "*IDN?", suffix));

  ProgramMessage message;
  message.text = "  :syst:err?  ";
  const Command command = SplitCommand(message);
  EXPECT_EQ(command.header, "SYST:ERR?");
  EXPECT_TRUE(command.arguments.empty());
  message.text = ":mmem:stor:trac INT1,\"temp file.trc\"";
  EXPECT_EQ(SplitCommand(message).arguments, "INT1,\"temp file.trc\"");
}

TEST(CommandArguments, SplitAndParseWhateverTheLocale) {
  const auto arguments = SplitArguments(" INT1 , \"a,b.TRC\" ");
  ASSERT_EQ(arguments.size(), 2u);
  EXPECT_EQ(arguments[0], "INT1");
  std::string name;
  ASSERT_TRUE(ParseName(arguments[1], name));
  EXPECT_EQ(name, "a,b.TRC");
  EXPECT_FALSE(ParseName("\"\"", name));

  // A German desktop must not turn "-0.063" into a parse failure.
  const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  double value = 0.0;
  EXPECT_TRUE(ParseReal("-0.063", value));
  EXPECT_DOUBLE_EQ(value, -0.063);
  EXPECT_TRUE(ParseReal("+0.1E-3", value));
  EXPECT_DOUBLE_EQ(value, 1e-4);
  EXPECT_FALSE(ParseReal("0,5", value));
  EXPECT_FALSE(ParseReal("1.5V", value));
  if (previous != nullptr) std::setlocale(LC_NUMERIC, "C");

  long integer = 0;
  EXPECT_TRUE(ParseInteger("+12", integer));
  EXPECT_EQ(integer, 12);
  EXPECT_FALSE(ParseInteger("1.5", integer));
  bool flag = false;
  EXPECT_TRUE(ParseBoolean("on", flag));
  EXPECT_TRUE(flag);
  EXPECT_TRUE(ParseBoolean("0", flag));
  EXPECT_FALSE(flag);
  EXPECT_FALSE(ParseBoolean("2", flag));
}

}  // namespace
}  // namespace kvxsim
