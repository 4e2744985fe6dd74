#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Authentication.h"
#include "HttpStub.h"
#include "OutputCapture.h"
#include "ScriptedServer.h"
#include "TestClient.h"
#include "Wire.h"

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

namespace {

const char* const Password = "s3cret";

std::string loginBytes(const std::string& user) {
  return Wire().i8(0x01).i32(17).string16(user).i64(0).i32(0).i8(0).i8(0).i8(0).i8(0);
}

AccountServices servicesAt(const std::string& url) {
  AccountServices services;
  services.loginUrl = url;
  services.joinUrl = url;
  services.timeoutSeconds = 1;
  services.joinAttemptDelay = 1ms;
  return services;
}

// One session whose server answers the client's handshake with the hash and
// then expects a Login for loginUser, or the end of the connection when there
// is none.
struct LoginSession {
  LoginSession(const std::string& user, const std::string& hash,
               const std::optional<std::string>& loginUser, const AccountServices& services) {
    const std::string handShake = Wire().i8(0x02).string16(user);
    ScriptedServer server([&](ServerPeer& peer) {
      EXPECT_EQ(peer.receive(handShake.size()), handShake);
      peer.send(Wire().i8(0x02).string16(hash));
      if (loginUser) {
        const std::string login = loginBytes(*loginUser);
        EXPECT_EQ(peer.receive(login.size()), login);
      } else {
        peer.awaitEnd();
      }
    });
    asio::io_service io;
    TestClient client(io);
    client.session.setAccountServices(services);
    client.session.connect("127.0.0.1", server.port(), user, Password);
    thrown = describe(runLoop(io));
    client.session.disconnect();
    server.finish();
    ends = client.ends;
  }

  Lines out() const { return afterHandShake(capture.out()); }

  OutputCapture capture;
  std::string thrown;
  std::vector<SessionEnd> ends;
};

Lines concat(Lines first, const Lines& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

} // namespace

TEST(Authentication, OneCharacterHashLogsInWithoutRequests) {
  HttpStub stub({"unused"});
  const LoginSession session("Tester", "-", "Tester", servicesAt(stub.url()));
  EXPECT_EQ(session.thrown, "");
  EXPECT_EQ(session.out(),
            concat({"handshake: \"-\"", "handshakelen: \"1\"", "sending login packet",
                    "authenticating with password: ********"},
                   concat(ClosedByServer, {"handle disconnect"})));
  EXPECT_EQ(stub.requests(), Lines());
  EXPECT_FALSE(session.capture.mentions(Password));
}

TEST(Authentication, LogsInAndJoinsWithEncodedValues) {
  struct Case {
    const char* name;
    std::string user;
    std::string hash;
    std::string canonicalName;
    Lines requests;
    std::string maskedJoinUrl;
  };
  const std::vector<Case> cases = {
      {"empty hash", "Tester", "", "Canon Name",
       {"/?user=Tester&password=s3cret&version=9999",
        "/game/joinserver.jsp?user=Canon%20Name&sessionId=sid-77&serverId="},
       "/game/joinserver.jsp?user=Canon%20Name&sessionId=********&serverId="},
      {"name with & and a space", "Al & Bo", "5ab3f", "Al & Bo",
       {"/?user=Al%20%26%20Bo&password=s3cret&version=9999",
        "/game/joinserver.jsp?user=Al%20%26%20Bo&sessionId=sid-77&serverId=5ab3f"},
       "/game/joinserver.jsp?user=Al%20%26%20Bo&sessionId=********&serverId=5ab3f"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    const std::string answer = "1:deprecated:" + test.canonicalName + ":sid-77\n";
    HttpStub stub({answer, "OK"});
    const LoginSession session(test.user, test.hash, test.canonicalName, servicesAt(stub.url()));
    EXPECT_EQ(session.thrown, "");
    EXPECT_EQ(stub.requests(), test.requests);
    EXPECT_EQ(session.out(),
              concat({"handshake: \"" + test.hash + "\"",
                      "handshakelen: \"" + std::to_string(test.hash.size()) + "\"",
                      "sending login packet",
                      "received data: " + std::to_string(answer.size()) + " bytes",
                      "1:deprecated:" + test.canonicalName + ":********", "1", "deprecated",
                      test.canonicalName, "********", stub.url() + test.maskedJoinUrl,
                      "received data: OK", "OK", "authenticating with sessionkey: ********"},
                     concat(ClosedByServer, {"handle disconnect"})));
    EXPECT_FALSE(session.capture.mentions(Password));
    EXPECT_FALSE(session.capture.mentions("sid-77"));
  }
}

// Each answer is read fresh: an empty one is not mistaken for the last.
TEST(Authentication, TenRefusedJoinsStillEndInLogin) {
  HttpStub stub({"1:deprecated:Tester:sid-77\n", "", "Not yet"});
  const LoginSession session("Tester", "5ab3f", "Tester", servicesAt(stub.url()));
  EXPECT_EQ(session.thrown, "");
  EXPECT_EQ(stub.requests().size(), 11u);
  const std::string joinUrl =
      stub.url() + "/game/joinserver.jsp?user=Tester&sessionId=********&serverId=5ab3f";
  Lines joins = {joinUrl, ""};
  for (int attempt = 2; attempt <= 10; ++attempt) {
    joins.insert(joins.end(), {joinUrl, "received data: Not yet", "Not yet"});
  }
  const Lines out = session.out();
  // Before the joins: three handshake lines, the answer twice, four fields.
  ASSERT_GE(out.size(), 9u);
  EXPECT_EQ(Lines(out.begin() + 9, out.end()),
            concat(joins, concat({"authenticating with sessionkey: ********"},
                                 concat(ClosedByServer, {"handle disconnect"}))));
}

TEST(Authentication, FailuresEndTheSessionBeforeAnyLogin) {
  struct Case {
    const char* name;
    Lines answers;
    std::string loginUrl;
    std::string joinUrl;
    std::string error;
    std::string outMentions;
    std::string reason;
  };
  const std::string parseError = "An error occurred during message parsing: ";
  const std::string connectionFailed =
      "could not authenticate with tessellar master server, connection failed";
  asio::io_service io;
  asio::ip::tcp::socket refusing(io);
  refusing.open(asio::ip::tcp::v4());
  refusing.bind({asio::ip::address_v4::loopback(), 0});
  const std::string refusingUrl =
      "http://127.0.0.1:" + std::to_string(refusing.local_endpoint().port());

  const std::vector<Case> cases = {
      {"more than four fields", {"1:2:Tester:sid-77:5\n"}, "", "",
       "unknown response from ts masterserver", "1:2:Tester:********",
       "unknown response from ts masterserver"},
      {"service that never answers", {}, "", "", connectionFailed, "Timeout was reached",
       "the account service failed: Timeout was reached"},
      {"service refusing connections", {"unused"}, refusingUrl, "", connectionFailed,
       "Couldn't connect to server", "the account service failed: Couldn't connect to server"},
      {"session service refusing connections", {"1:deprecated:Tester:sid-77\n"}, "",
       refusingUrl, connectionFailed, "Couldn't connect to server",
       "the session service failed: Couldn't connect to server"},
      {"refusal", {"Bad login"}, "", "", "account login refused: Bad login", "Bad logi",
       "Bad login"},
      {"refusal of several lines", {"Not premium\r\nsee the site\n"}, "", "",
       "account login refused: Not premium", "Not premium", "Not premium"},
      {"empty answer", {""}, "", "", "account login refused: an empty answer",
       "sending login packet", "an empty answer"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    HttpStub stub(test.answers);
    AccountServices services = servicesAt(stub.url());
    if (!test.loginUrl.empty()) {
      services.loginUrl = test.loginUrl;
    }
    if (!test.joinUrl.empty()) {
      services.joinUrl = test.joinUrl;
    }
    const LoginSession session("Tester", "5ab3f", std::nullopt, services);
    EXPECT_EQ(session.thrown, "");
    EXPECT_TRUE(session.capture.mentions(test.outMentions));
    EXPECT_EQ(session.capture.err(), (Lines{parseError + test.error, "2"}));
    EXPECT_FALSE(session.capture.mentions("sid-77"));
    ASSERT_EQ(session.ends.size(), 1u);
    EXPECT_EQ(session.ends[0].kind, SessionEnd::Kind::LoginFailed);
    EXPECT_EQ(session.ends[0].text, test.reason);
  }
}

// The refusal's lines: the answer, its fields as far as they go, the
// report with the answer, and the end of the session.
TEST(Authentication, RefusalIsReportedWithTheServicesAnswer) {
  HttpStub stub({"Bad login"});
  const LoginSession session("Tester", "", std::nullopt, servicesAt(stub.url()));
  EXPECT_EQ(session.out(),
            (Lines{"handshake: \"\"", "handshakelen: \"0\"", "sending login packet",
                   "received data: 9 bytes", "Bad login", "Bad login", "Bad logi",
                   "handle disconnect", "handle disconnect"}));
  EXPECT_EQ(session.capture.err(),
            (Lines{"An error occurred during message parsing: account login refused: Bad login",
                   "2"}));
}

TEST(Authentication, ResponsesAreCollectedWholeAndBounded) {
  const std::string large(40000, 'x');
  HttpStub stub({large, "", std::string(MaxResponseBytes + 1, 'y')});
  OutputCapture capture;
  const auto get = [&](const std::string& path) {
    HttpGet request;
    request.url = stub.url() + path;
    request.timeoutSeconds = 1;
    return my_dummy_curl(request);
  };
  EXPECT_EQ(get("/large"), large);
  EXPECT_EQ(get("/empty"), "");
  EXPECT_THROW(get("/huge"), std::runtime_error);
}

TEST(Authentication, LoginAnswerSplitsIntoFields) {
  const std::vector<std::pair<std::string, Lines>> cases = {
      {"1:deprecated:Name:sid\n", {"1", "deprecated", "Name", "sid"}},
      {"1:deprecated:Name:sid", {"1", "deprecated", "Name", "si"}},
      {"Bad login", {"Bad login", "Bad logi"}},
      {"a:b:c:d:e\n", {"a", "b", "c", "d", "e"}},
      {"", {""}},
  };
  for (const auto& [answer, fields] : cases) {
    EXPECT_EQ(splitLoginResponse(answer), fields) << answer;
  }
}

TEST(Authentication, UrlsEncodeValuesAndMaskSecretsForTheLog) {
  AccountServices services;
  services.loginUrl = "https://login.example";
  services.joinUrl = "http://join.example";
  EXPECT_EQ(accountLoginUrl(services, "a b", "p&w#1"),
            "https://login.example/?user=a%20b&password=p%26w%231&version=9999");
  EXPECT_EQ(sessionJoinUrl(services, "a&b", "s d", "-7f"),
            "http://join.example/game/joinserver.jsp?user=a%26b&sessionId=s%20d&serverId=-7f");
  EXPECT_EQ(sessionJoinUrl(services, "a", "sid", "h", Secrets::Masked),
            "http://join.example/game/joinserver.jsp?user=a&sessionId=********&serverId=h");
  EXPECT_EQ(maskLoginResponse("1:2:Name:sid\n"), "1:2:Name:********");
  EXPECT_EQ(maskLoginResponse("Bad login"), "Bad login");
}

// The services are asked beside the event loop: ticks go on while they take
// their time, and a disconnect (the quit key, with its goodbye) ends the
// login without a Login, at once for the loop and within about a second for
// the request under way.
TEST(Authentication, LoginRunsBesideTheLoopUntilCancelled) {
  const int ticksBeforeQuit = 30;
  HttpStub stub({});
  AccountServices services = servicesAt(stub.url());
  services.timeoutSeconds = 10;
  ScriptedServer server([&](ServerPeer& peer) {
    peer.receive(Wire().i8(0x02).string16("Tester").bytes().size());
    peer.send(Wire().i8(0x02).string16("5ab3f"));
    TSPackets::Disconnect goodbye;
    goodbye.reason = "disconnect ferrowick";
    EXPECT_EQ(peer.receiveUntilEnd(), bytesOf(goodbye));
  });
  asio::io_service io;
  auto client = std::make_unique<TestClient>(io);
  client->session.setAccountServices(services);
  asio::steady_timer ticker(io);
  // Ticks while the login's request is under way.
  int ticks = 0;
  const auto giveUp = std::chrono::steady_clock::now() + 10s;
  std::function<void()> tick = [&] {
    ticker.expires_after(10ms);
    ticker.async_wait([&](const asio::error_code&) {
      ticks += stub.requests().empty() ? 0 : 1;
      if (ticks == ticksBeforeQuit || std::chrono::steady_clock::now() > giveUp) {
        client->session.disconnect();
      } else {
        tick();
      }
    });
  };
  OutputCapture capture;
  client->session.connect("127.0.0.1", server.port(), "Tester", Password);
  tick();
  EXPECT_EQ(describe(runLoop(io)), "");
  const auto cancelled = std::chrono::steady_clock::now();
  client.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 2s);
  server.finish();
  EXPECT_EQ(ticks, ticksBeforeQuit);
  EXPECT_EQ(stub.requests().size(), 1u);
  EXPECT_EQ(afterHandShake(capture.out()),
            (Lines{"handshake: \"5ab3f\"", "handshakelen: \"5\"", "sending login packet",
                   "handle disconnect"}));
  EXPECT_EQ(capture.err(), Lines());
}
