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
    Network network(io);
    network.setAccountServices(services);
    network.connect("127.0.0.1", server.port(), user, Password);
    thrown = describe(runLoop(io));
    network.disconnect();
    server.finish();
  }

  Lines out() const { return afterHandShake(capture.out()); }

  OutputCapture capture;
  std::string thrown;
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
    std::string thrown;
    std::string outMentions;
    Lines err;
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
      {"more than four fields", {"1:2:Tester:sid-77:5\n"}, "",
       "unknown response from ts masterserver", "1:2:Tester:********", {}},
      {"service that never answers", {}, "", connectionFailed, "Timeout was reached",
       {parseError + connectionFailed, "2"}},
      {"service refusing connections", {"unused"}, refusingUrl, connectionFailed,
       "Couldn't connect to server", {parseError + connectionFailed, "2"}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    HttpStub stub(test.answers);
    AccountServices services = servicesAt(stub.url());
    if (!test.loginUrl.empty()) {
      services.loginUrl = test.loginUrl;
    }
    const LoginSession session("Tester", "5ab3f", std::nullopt, services);
    EXPECT_NE(session.thrown.find(test.thrown), std::string::npos) << session.thrown;
    EXPECT_TRUE(session.capture.mentions(test.outMentions));
    if (!test.err.empty()) {
      EXPECT_EQ(session.capture.err(), test.err);
    }
    EXPECT_FALSE(session.capture.mentions("sid-77"));
  }
}

TEST(Authentication, RefusalTextIsReportedAsARangeError) {
  HttpStub stub({"Bad login"});
  const LoginSession session("Tester", "", std::nullopt, servicesAt(stub.url()));
  EXPECT_EQ(session.out(),
            (Lines{"handshake: \"\"", "handshakelen: \"0\"", "sending login packet",
                   "received data: 9 bytes", "Bad login", "Bad login", "Bad logi",
                   "handle disconnect"}));
  const Lines err = session.capture.err();
  ASSERT_EQ(err.size(), 2u);
  EXPECT_EQ(err[0].rfind("An error occurred during message parsing: vector::_M_range_check", 0),
            0u);
  EXPECT_EQ(err[1], "2");
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
// their time, and a disconnect (the quit key, the window closing) ends the
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
    EXPECT_EQ(peer.receiveUntilEnd(), "");
  });
  asio::io_service io;
  auto network = std::make_unique<Network>(io);
  network->setAccountServices(services);
  asio::steady_timer ticker(io);
  int ticks = 0;
  std::function<void()> tick = [&] {
    ticker.expires_after(10ms);
    ticker.async_wait([&](const asio::error_code&) {
      if (++ticks == ticksBeforeQuit) {
        network->disconnect();
      } else {
        tick();
      }
    });
  };
  OutputCapture capture;
  network->connect("127.0.0.1", server.port(), "Tester", Password);
  tick();
  EXPECT_EQ(describe(runLoop(io)), "");
  const auto cancelled = std::chrono::steady_clock::now();
  network.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 2s);
  server.finish();
  EXPECT_EQ(ticks, ticksBeforeQuit);
  EXPECT_EQ(stub.requests().size(), 1u);
  EXPECT_EQ(afterHandShake(capture.out()),
            (Lines{"handshake: \"5ab3f\"", "handshakelen: \"5\"", "sending login packet",
                   "handle disconnect"}));
  EXPECT_EQ(capture.err(), Lines());
}
