#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "RunDirectory.h"
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

TEST(ServerOptions, HelpAndVersionNeedNoUsableValues) {
  EXPECT_TRUE(parseServerOptions({"--port", "99999", "--help"}).help);
  EXPECT_TRUE(parseServerOptions({"-h"}).help);
  EXPECT_TRUE(parseServerOptions({"--seed=x", "--version"}).version);
  EXPECT_THROW(parseServerOptions({"--frobnicate", "--help"}), std::invalid_argument);
}

TEST(ServerOptions, TheLastOfAnOptionGivenTwiceWins) {
  const auto options = parseServerOptions({"--port", "4000", "--host", "127.0.0.3", "--port=4002",
                                           "--bind", "127.0.0.4"});
  EXPECT_EQ(options.port, 4002);
  EXPECT_EQ(options.host, "127.0.0.4");
}

namespace {

struct ServerCommand {
  const char* name;
  std::vector<std::string> arguments;
  int status;
  // Text that standard output, then standard error, holds.
  std::string out;
  std::string err;
};

void PrintTo(const ServerCommand& command, std::ostream* out) { *out << command.name; }

class ServerCommandLines : public testing::TestWithParam<ServerCommand> {};

// The program itself: these end before it listens.
TEST_P(ServerCommandLines, AnswerAndEnd) {
  const ServerCommand& c = GetParam();
  std::vector<std::string> command = {(RunDirectory::client() / "ts_server").string()};
  command.insert(command.end(), c.arguments.begin(), c.arguments.end());
  ChildProcess server(command);
  EXPECT_EQ(exitCode(server.wait(std::chrono::seconds(30))), c.status);
  EXPECT_NE(server.standardOutput().find(c.out), std::string::npos) << server.standardOutput();
  EXPECT_NE(server.standardError().find(c.err), std::string::npos) << server.standardError();
}

INSTANTIATE_TEST_SUITE_P(
    Server, ServerCommandLines,
    testing::Values(
        ServerCommand{"Help", {"--help"}, 0, "--view-radius R", ""},
        ServerCommand{"Version", {"--version"}, 0, "ts_server 0.", ""},
        ServerCommand{"UnknownOption", {"--frobnicate"}, 2, "",
                      "unknown option \"--frobnicate\"\n"},
        ServerCommand{"BadValue", {"--view-radius", "33"}, 2, "",
                      "--view-radius needs a whole number from 0 to 32, not \"33\""}),
    [](const testing::TestParamInfo<ServerCommand>& info) { return std::string(info.param.name); });

} // namespace
