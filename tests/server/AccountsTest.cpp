#include <gtest/gtest.h>

#include "server/AccountRegistry.h"
#include "server/HttpRequest.h"

using namespace Server;

TEST(HttpRequest, ReadsPathAndDecodedQuery) {
  const auto request =
      parseHttpRequest("GET /game/joinserver.jsp?user=a%20b&sessionId=x%26y&serverId=&flag "
                       "HTTP/1.1\r\nHost: h\r\n\r\n");
  ASSERT_TRUE(request);
  EXPECT_EQ(request->path, "/game/joinserver.jsp");
  EXPECT_EQ(request->query.at("user"), "a b");
  EXPECT_EQ(request->query.at("sessionId"), "x&y");
  EXPECT_EQ(request->query.at("serverId"), "");
  EXPECT_EQ(request->query.at("flag"), "");
}

TEST(HttpRequest, RefusesWhatIsNotAGet) {
  for (const char* head : {"POST / HTTP/1.0\r\n\r\n", "GET /\r\n\r\n", "GET x HTTP/1.0\r\n\r\n",
                           "", "garbage"})
    EXPECT_FALSE(parseHttpRequest(head)) << head;
  EXPECT_EQ(percentDecode("100%"), "100%");
  EXPECT_EQ(percentDecode("%zz%41"), "%zzA");
}

TEST(AccountRegistry, LoginJoinAndTheGamesCheck) {
  AccountRegistry accounts("ann", "secret", "cafe", 1);
  EXPECT_EQ(accounts.login("ann", "wrong", "9999"), "Bad login");
  EXPECT_EQ(accounts.login("bob", "secret", "9999"), "Bad login");

  const std::string answer = accounts.login("ann", "secret", "9999");
  ASSERT_EQ(answer.back(), '\n');
  const std::size_t last = answer.rfind(':');
  EXPECT_EQ(answer.substr(0, last), "9999:deprecated:ann");
  const std::string session = answer.substr(last + 1, answer.size() - last - 2);
  EXPECT_EQ(session.size(), 16u);

  EXPECT_EQ(accounts.join("ann", "nonsense", "cafe"), "Bad login");
  EXPECT_EQ(accounts.join("ann", session, "other"), "Bad login");
  EXPECT_EQ(accounts.join("bob", session, "cafe"), "Bad login");
  EXPECT_FALSE(accounts.takeJoin("ann"));
  EXPECT_EQ(accounts.join("ann", session, "cafe"), "OK");
  EXPECT_TRUE(accounts.takeJoin("ann"));
  EXPECT_FALSE(accounts.takeJoin("ann"));
}

TEST(AccountRegistry, HashAsksForTheAccountLoginAndFollowsTheSeed) {
  EXPECT_EQ(authConnectionHash(4).size(), 16u);
  EXPECT_EQ(authConnectionHash(4), authConnectionHash(4));
  EXPECT_NE(authConnectionHash(4), authConnectionHash(5));
}
