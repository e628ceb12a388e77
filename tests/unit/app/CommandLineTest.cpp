// --connect HOST:PORT, with an IPv6 address in brackets as kvx-sim prints it.
#include <gtest/gtest.h>

#include <string>

#include "app/CommandLine.h"

namespace {

CommandLine ParseConnect(const std::string& address) {
  const char* argv[] = {"ORNIKELVARINLAB", "--connect", address.c_str()};
  return ParseCommandLine(3, argv);
}

TEST(CommandLine, ConnectTakesHostAndPortWithIpv6InBrackets) {
  const struct {
    const char* given;
    const char* host;
    int port;
  } accepted[] = {{"127.0.0.1:4000", "127.0.0.1", 4000}, {"[::1]:4000", "::1", 4000}, {"scope.lab:65535", "scope.lab", 65535}};
  for (const auto& row : accepted) {
    const CommandLine line = ParseConnect(row.given);
    EXPECT_EQ(line.error, "") << row.given;
    ASSERT_EQ(line.instruments.size(), 1u) << row.given;
    EXPECT_EQ(line.instruments[0].kind, InstrumentChoice::Kind::Tunnel);
    EXPECT_EQ(line.instruments[0].host, row.host);
    EXPECT_EQ(line.instruments[0].port, row.port);
  }
  // A bare IPv6 address leaves the port in doubt.
  for (const char* refused : {"[::1", "[::1]", "[::1]4000", "[]:4000", "::1:4000", "[::1]:", "[::1]:x", "[::1]:70000",
                              "host:", ":4000", "[::1]:4000]"})
    EXPECT_EQ(ParseConnect(refused).error, "--connect takes HOST:PORT") << refused;
}

}  // namespace
