#include <gtest/gtest.h>

#include <asio.hpp>

#include "RunningServer.h"
#include "server/AccountRegistry.h"

using namespace Server;

namespace {

struct HttpAnswer {
  std::string statusLine;
  std::string body;
};

// Sends the request text as it is and reads the answer until the server
// closes the connection.
HttpAnswer ask(unsigned short port, const std::string& request) {
  asio::io_context io;
  asio::ip::tcp::socket socket(io);
  socket.connect({asio::ip::address_v4::loopback(), port});
  asio::write(socket, asio::buffer(request));
  std::string response;
  asio::error_code error;
  asio::read(socket, asio::dynamic_buffer(response), error);
  const std::size_t lineEnd = response.find("\r\n");
  const std::size_t bodyStart = response.find("\r\n\r\n");
  return {response.substr(0, lineEnd),
          bodyStart == std::string::npos ? "" : response.substr(bodyStart + 4)};
}

struct PageCase {
  const char* name;
  std::string request;
  std::string status;
  // How the body begins.
  std::string body;
  std::string logLine;
};

void PrintTo(const PageCase& page, std::ostream* out) { *out << page.name; }

class AccountPages : public testing::TestWithParam<PageCase> {};

// The account pages answer one request per connection in plain text; the
// login's password and the query's other values arrive percent-decoded.
TEST_P(AccountPages, AnswerAndLogEachRequest) {
  const PageCase& page = GetParam();
  Server::ServerOptions options = testOptions();
  options.auth = true;
  options.user = "dave";
  options.password = "p&ss w";
  RunningServer server(options);
  const HttpAnswer answer = ask(server.httpPort(), page.request);
  EXPECT_EQ(answer.statusLine.rfind(page.status, 0), 0u) << answer.statusLine;
  EXPECT_EQ(answer.body.rfind(page.body, 0), 0u) << answer.body;
  EXPECT_TRUE(server.waitForLog(page.logLine));
}

const std::string Get = "GET ";
const std::string Version = " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    Auth, AccountPages,
    testing::Values(
        PageCase{"Login", Get + "/?user=dave&password=p%26ss%20w&version=12" + Version,
                 "HTTP/1.1 200", "12:deprecated:dave:", "account login of \"dave\": accepted"},
        PageCase{"OldClientsRequest", "GET /?user=dave&password=p%26ss%20w&version=12 HTTP/1.0\r\n\r\n",
                 "HTTP/1.1 200", "12:deprecated:dave:", "account login of \"dave\": accepted"},
        PageCase{"WrongPassword", Get + "/?user=dave&password=p%26ss&version=12" + Version,
                 "HTTP/1.1 200", "Bad login", "account login of \"dave\": refused"},
        PageCase{"JoinOfAnUnknownSession",
                 Get + "/game/joinserver.jsp?user=dave&sessionId=x&serverId=y" + Version,
                 "HTTP/1.1 200", "Bad login", "session join of \"dave\": refused"},
        PageCase{"NoSuchPage", Get + "/elsewhere?user=dave" + Version, "HTTP/1.1 404",
                 "Not found", "account service: no such page: /elsewhere"},
        PageCase{"NotAGet", "POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 0\r\n\r\n",
                 "HTTP/1.1 404", "Not found", "account service: no such page: (not a GET request)"},
        PageCase{"NotHttp", "garbage\r\n\r\n", "HTTP/1.1 404", "Not found",
                 "account service: no such page: (not a GET request)"},
        PageCase{"OverlongRequest", Get + "/?user=" + std::string(20000, 'a') + Version,
                 "HTTP/1.1 404", "Not found", "account service: no such page"}),
    [](const testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

} // namespace

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
