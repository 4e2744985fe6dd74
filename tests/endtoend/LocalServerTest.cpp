#include <gtest/gtest.h>

#include <string>
#include <thread>

#include <asio.hpp>

#include "ChildProcess.h"
#include "ClientProcess.h"
#include "RunDirectory.h"
#include "WaitFor.h"

namespace {

using namespace std::chrono_literals;

unsigned short freePort() {
  asio::io_context io;
  asio::ip::tcp::acceptor probe(io, {asio::ip::address_v4::loopback(), 0});
  return probe.local_endpoint().port();
}

bool mentions(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The real client and our local world server, both as built, in one play:
// connect on "8", receive the world and the mobs, quit on "0". The server
// runs with --once, so it ends when the player has left.
class ClientAgainstLocalServer : public testing::Test {
protected:
  void play(const std::vector<std::string>& serverOptions, const std::string& clientExtra) {
    std::vector<std::string> command = {(RunDirectory::client() / "ts_server").string(),
                                        "--port", std::to_string(m_port), "--view-radius", "2",
                                        "--once"};
    command.insert(command.end(), serverOptions.begin(), serverOptions.end());
    ChildProcess server(command);
    ASSERT_TRUE(waitFor([&] { return mentions(server.standardOutput(), "listening on"); }, 10s))
        << server.standardError();

    ClientProcess client("[Graphics]\nFiltering=bilinear\n\n[Player]\nName=Walker\n" +
                         clientExtra + "\n[Server]\nHostname=127.0.0.1\nPort=" +
                         std::to_string(m_port) + "\n");
    client.start();
    ASSERT_TRUE(xdotool("search --sync --onlyvisible --name Ferrowick")) << client.errors();
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(xdotool("key 8"));
    ASSERT_TRUE(waitFor([&] { return mentions(client.output(), "received pos and look packet:"); },
                        30s))
        << client.output() << client.errors() << server.standardOutput();
    // The server's first keep-alive comes about a second after the login.
    std::this_thread::sleep_for(2s);
    ASSERT_TRUE(xdotool("key 0"));
    const std::optional<int> status = client.waitForExit(30s);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0) << client.errors();
    EXPECT_EQ(WEXITSTATUS(server.wait(10s)), 0) << server.standardError();

    m_clientOutput = client.output();
    m_serverOutput = server.standardOutput();
    EXPECT_TRUE(mentions(m_clientOutput, "received spawn position: 8, ")) << m_clientOutput;
    EXPECT_TRUE(mentions(m_serverOutput, "(Walker) logged in as entity 1")) << m_serverOutput;
    EXPECT_TRUE(mentions(m_serverOutput, "(Walker) dropped: ")) << m_serverOutput;
    EXPECT_FALSE(mentions(m_serverOutput, "timed out")) << m_serverOutput;
  }

  unsigned short m_port = freePort();
  std::string m_clientOutput;
  std::string m_serverOutput;
};

TEST_F(ClientAgainstLocalServer, PlaysWithoutTheAccountLogin) {
  play({}, "");
  EXPECT_TRUE(mentions(m_clientOutput, "handshake: \"-\""));
}

TEST_F(ClientAgainstLocalServer, LogsInThroughTheAccountPages) {
  const std::string accounts = "http://127.0.0.1:" + std::to_string(freePort());
  play({"--auth", "--user", "Walker", "--password", "open sesame&", "--http-port",
        accounts.substr(accounts.rfind(':') + 1)},
       "Password=open sesame&\n\n[Accounts]\nLoginURL=" + accounts + "\nJoinURL=" + accounts +
           "\nTimeout=5\n");
  EXPECT_TRUE(mentions(m_serverOutput, "account login of \"Walker\": ")) << m_serverOutput;
  EXPECT_TRUE(mentions(m_serverOutput, "session join of \"Walker\": accepted")) << m_serverOutput;
  EXPECT_FALSE(mentions(m_clientOutput + m_serverOutput, "open sesame"));
}

} // namespace
