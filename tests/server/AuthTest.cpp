#include <gtest/gtest.h>

#include "RunningServer.h"
#include "ScriptedClient.h"

namespace {

Server::ServerOptions authOptions() {
  auto options = testOptions();
  options.auth = true;
  options.user = "carol";
  options.password = "p&ss w";
  return options;
}

std::string loginTarget(const std::string& password) {
  return "/?user=carol&password=" + password + "&version=9999";
}

std::string joinTarget(const std::string& user, const std::string& session,
                       const std::string& server) {
  return "/game/joinserver.jsp?user=" + user + "&sessionId=" + session + "&serverId=" + server;
}

} // namespace

TEST(Auth, AccountLoginAndJoinLetThePlayerIn) {
  RunningServer server(authOptions());
  ASSERT_NE(server.httpPort(), 0);

  ScriptedClient client(server.port());
  TSPackets::HandShake hello;
  hello.connectionHash = "carol";
  client.send(hello);
  const std::string hash = client.expect<TSPackets::HandShake>().connectionHash;
  EXPECT_EQ(hash, server.connectionHash());
  EXPECT_EQ(hash.size(), 16u);

  EXPECT_EQ(httpGet(server.httpPort(), loginTarget("p%26ss%20x")), "Bad login");
  const std::string answer = httpGet(server.httpPort(), loginTarget("p%26ss%20w"));
  ASSERT_EQ(answer.rfind("9999:deprecated:carol:", 0), 0u) << answer;
  ASSERT_EQ(answer.back(), '\n');
  const std::string session = answer.substr(22, answer.size() - 23);

  EXPECT_EQ(httpGet(server.httpPort(), joinTarget("carol", session, "other")), "Bad login");
  EXPECT_EQ(httpGet(server.httpPort(), joinTarget("carol", "made-up", hash)), "Bad login");
  EXPECT_EQ(httpGet(server.httpPort(), joinTarget("carol", session, hash)), "OK");
  EXPECT_EQ(httpGet(server.httpPort(), "/elsewhere"), "Not found");

  TSPackets::Login login;
  login.userName = "carol";
  client.send(login);
  EXPECT_EQ(client.expect<TSPackets::Login>().entityId, 1);
  EXPECT_TRUE(server.waitForLog("session join of \"carol\": accepted"));
}

TEST(Auth, LoggingInWithoutJoiningIsRefused) {
  RunningServer server(authOptions());
  ScriptedClient client(server.port());
  client.logIn("carol");
  const auto rest = client.drain();
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(std::any_cast<TSPackets::Disconnect>(rest[0].packet).reason,
            "Failed to verify username!");
  EXPECT_TRUE(server.waitForLog("dropped: no session join for this server"));
}
