#include <gtest/gtest.h>

#include "TextFile.h"
#include "server/ServerOptions.h"

using Server::parseServerOptions;

// Out of the box the client's example configuration reaches the server
// started without options, and that server asks for no account login.
TEST(ServerOptions, DefaultsServeTheExampleClientConfiguration) {
  const std::string config = readTextFile(TS_SOURCE_DIR "/config/tessellar.cfg");
  const auto options = parseServerOptions({});
  EXPECT_NE(config.find("\nHostname=" + options.host + "\n"), std::string::npos) << config;
  EXPECT_NE(config.find("\nPort=" + std::to_string(options.port) + "\n"), std::string::npos)
      << config;
  EXPECT_FALSE(options.auth);
}

TEST(ServerOptions, ReadsEveryOptionInBothSpellings) {
  const auto options = parseServerOptions(
      {"--bind", "127.0.0.2", "--port=4000", "--seed", "-12", "--view-radius", "10", "--mobs=0",
       "--auth", "--user", "ann", "--password=a b&c", "--http-port", "4001",
       "--keepalive-timeout", "0.5", "--login-timeout=2", "--once"});
  EXPECT_EQ(options.host, "127.0.0.2");
  EXPECT_EQ(options.port, 4000);
  EXPECT_EQ(options.seed, -12);
  EXPECT_EQ(options.viewRadius, 10);
  EXPECT_EQ(options.mobs, 0);
  EXPECT_TRUE(options.auth);
  EXPECT_EQ(options.user, "ann");
  EXPECT_EQ(options.password, "a b&c");
  EXPECT_EQ(options.httpPort, 4001);
  EXPECT_EQ(options.keepAliveTimeout.count(), 500);
  EXPECT_EQ(options.loginTimeout.count(), 2000);
  EXPECT_TRUE(options.once);
}

TEST(ServerOptions, RefusesBadArguments) {
  const std::vector<std::vector<std::string>> cases = {
      {"--port", "65536"},   {"--port", "12x"},        {"--view-radius", "33"},
      {"--view-radius", "-1"}, {"--seed"},             {"--frobnicate"},
      {"--mobs", "1000"},    {"--keepalive-timeout", "0"}, {"--auth", "--user", ""},
  };
  for (const auto& arguments : cases)
    EXPECT_THROW(parseServerOptions(arguments), std::invalid_argument) << arguments[0];
}
