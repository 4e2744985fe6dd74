// Every way a session can fail ends that session only: one line says which
// fault it was, the status line says why, the loop goes on, and the next
// connect logs in. Against scripted servers and account services, without a
// window.

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "GamePages/SessionStatus.h"
#include "HttpStub.h"
#include "OutputCapture.h"
#include "ScriptedServer.h"
#include "Wire.h"
#include "session/ClientSession.h"

namespace {

using namespace std::chrono_literals;
using GamePages::SessionStatus;
using Lines = std::vector<std::string>;

const std::string HandShakeFromClient = Wire().i8(0x02).string16("Tester");
const std::string LoginFromClient =
    Wire().i8(0x01).i32(17).string16("Tester").i64(0).i32(0).i8(0).i8(0).i8(0).i8(0);
const std::string Welcome =
    Wire().i8(0x01).i32(4711).string16("").i64(0).i32(0).i8(0).i8(0).i8(0).i8(0);

// Finds 127.0.0.1 at once and no other name, on the loop.
class LoopbackLookup : public HostLookup {
public:
  explicit LoopbackLookup(asio::io_service& io) : m_io(io) {}

  void start(const std::string& host, const std::string& port, Done done) override {
    asio::error_code error;
    Addresses addresses;
    if (host == "127.0.0.1") {
      const asio::ip::tcp::endpoint endpoint(asio::ip::address_v4::loopback(),
                                             static_cast<unsigned short>(std::stoi(port)));
      addresses = Addresses::create(endpoint, host, port);
    } else {
      error = asio::error::host_not_found;
    }
    asio::post(m_io, [done, error, addresses] { done(error, addresses); });
  }
  void cancel() override {}

private:
  asio::io_service& m_io;
};

// Runs the loop's work until the condition holds; false after the limit.
bool pumpUntil(asio::io_service& io, const std::function<bool()>& condition,
               std::chrono::milliseconds limit = 20s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline)
      return false;
    io.restart();
    if (io.run_for(2ms) == 0)
      std::this_thread::sleep_for(1ms);
  }
  return true;
}

// A port on 127.0.0.1 that is bound but not listening: connections to it are
// refused.
class RefusingPort {
public:
  RefusingPort() {
    m_socket.open(asio::ip::tcp::v4());
    m_socket.bind({asio::ip::address_v4::loopback(), 0});
  }
  std::string port() const { return std::to_string(m_socket.local_endpoint().port()); }
  std::string url() const { return "http://127.0.0.1:" + port(); }

private:
  asio::io_service m_io;
  asio::ip::tcp::socket m_socket{m_io};
};

std::unique_ptr<HostLookup> loopbackLookup(asio::io_service& io) {
  return std::make_unique<LoopbackLookup>(io);
}

// A session as the game page runs it: the status line follows what the
// session tells.
struct Client {
  using MakeLookup = std::function<std::unique_ptr<HostLookup>(asio::io_service&)>;

  explicit Client(const MakeLookup& makeLookup = loopbackLookup) : session(io, makeLookup(io)) {
    ClientSession::Events events;
    events.loggedIn = [this] { status().loggedIn(); };
    events.ended = [this](const SessionEnd& end) {
      ends.push_back(end);
      status().ended(end);
    };
    session.setEvents(events);
  }

  void connect(const std::string& host, const std::string& port) {
    statusLine = std::make_unique<SessionStatus>(host + ":" + port, "8");
    session.connect(host, port, "Tester", "pw");
    status().connecting();
  }

  SessionStatus& status() { return *statusLine; }

  // The loop goes on: a timer set now fires (a fault that escaped the loop
  // would leave the pumping instead).
  bool loopRuns() {
    asio::steady_timer timer(io, 1ms);
    bool fired = false;
    timer.async_wait([&](const asio::error_code& error) { fired = !error; });
    return pumpUntil(io, [&] { return fired; });
  }

  // A server that takes the login, and nothing else.
  bool logsInAgain() {
    ScriptedServer server([](ServerPeer& peer) {
      EXPECT_EQ(peer.receive(HandShakeFromClient.size()), HandShakeFromClient);
      peer.send(Wire().i8(0x02).string16("-"));
      EXPECT_EQ(peer.receive(LoginFromClient.size()), LoginFromClient);
      peer.send(Welcome);
      peer.awaitEnd();
    });
    connect("127.0.0.1", server.port());
    const bool loggedIn =
        pumpUntil(io, [&] { return status().state() == SessionStatus::State::Connected; });
    session.disconnect();
    server.finish();
    return loggedIn;
  }

  asio::io_service io;
  ClientSession session;
  std::unique_ptr<SessionStatus> statusLine;
  std::vector<SessionEnd> ends;
};

// The server's side up to the player's login.
void logIn(ServerPeer& peer) {
  EXPECT_EQ(peer.receive(HandShakeFromClient.size()), HandShakeFromClient);
  peer.send(Wire().i8(0x02).string16("-"));
  EXPECT_EQ(peer.receive(LoginFromClient.size()), LoginFromClient);
  peer.send(Welcome);
}

// The server's side up to the handshake that asks for the account login.
void askForAccountLogin(ServerPeer& peer) {
  EXPECT_EQ(peer.receive(HandShakeFromClient.size()), HandShakeFromClient);
  peer.send(Wire().i8(0x02).string16("5ab3f"));
}

std::size_t count(const Lines& lines, const std::string& line) {
  return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

std::string replaced(std::string text, const std::string& server) {
  const std::string mark = "SERVER";
  for (auto at = text.find(mark); at != std::string::npos; at = text.find(mark))
    text.replace(at, mark.size(), server);
  return text;
}

struct FaultCase {
  const char* name;
  // Where the session connects: "127.0.0.1" reaches the case's server.
  std::string host;
  // The server's side; it ends when the client closes the connection.
  std::function<void(ServerPeer&)> script;
  // The account service's answers, and services that refuse connections.
  Lines accountAnswers;
  bool loginServiceRefuses;
  bool joinServiceRefuses;
  // The fault's own line, printed once ("SERVER" stands for host:port).
  std::string line;
  SessionEnd::Kind kind;
  std::string status;
  // What the client does at every turn of its loop while the session lasts.
  std::function<void(ClientSession&)> clientSends = nullptr;
};

// Queues reports of the player's place, a few hundred at a turn, until
// `bytes` of them are queued.
std::function<void(ClientSession&)> queueReports(std::size_t bytes) {
  const auto queued = std::make_shared<std::size_t>(0);
  return [queued, bytes](ClientSession& session) {
    for (int report = 0; report < 500 && *queued < bytes && session.isConnected(); ++report) {
      session.report({8.5, 64, -3.25, {}});
      *queued += 42;
    }
  };
}

TEST(SessionFaults, EachEndsTheSessionOnlyAndTheNextConnectLogsIn) {
  const auto afterLogin = [](std::function<void(ServerPeer&)> fault) {
    return [fault](ServerPeer& peer) {
      logIn(peer);
      fault(peer);
      peer.awaitEnd();
    };
  };
  const auto accountLogin = [](ServerPeer& peer) {
    askForAccountLogin(peer);
    peer.awaitEnd();
  };
  const std::string parseError = "An error occurred during message parsing: ";
  const std::string lost = "Connection to SERVER lost: ";
  const std::string ended = lost + "the connection to the server ended on an error in message ";
  const std::string again = " - press 8 to connect again";
  const std::string endlessExplosion = Wire().i8(0x3C).i32(0).i8(0).i32(0).f32(1).i32(10000000);
  const std::string spawnPoint = Wire().i8(0x06).i32(8).i32(63).i32(-3);
  const std::string keepAlive = Wire().i8(0x00).i32(5);
  // More than the kernel's buffers take on either side (about 4 MB with
  // Debian's settings), less than the output limit.
  const std::size_t pastTheBuffers = 7 * 1024 * 1024;
  const std::vector<FaultCase> cases = {
      {"bad value", "127.0.0.1",
       afterLogin([](ServerPeer& peer) { peer.send(Wire().i8(0x07).i32(1).i32(2).i8(2)); }),
       {}, false, false, parseError + "invalid bool received", SessionEnd::Kind::Failed,
       ended + "0x7: invalid bool received" + again},
      {"bad metadata", "127.0.0.1",
       afterLogin([](ServerPeer& peer) {
         peer.send(Wire().i8(0x18).i32(1).i8(50).i32(0).i32(0).i32(0).i8(0).i8(0).i8(0xE0));
       }),
       {}, false, false, parseError + "unknown metadata byte x", SessionEnd::Kind::Failed,
       ended + "0x18: unknown metadata byte x" + again},
      {"unknown id", "127.0.0.1",
       afterLogin([](ServerPeer& peer) { peer.send(Wire().i8(0x1B).i32(0)); }), {}, false, false,
       "unknown message type received: 0x1b", SessionEnd::Kind::Failed,
       ended + "0x1b: unknown message type received" + again},
      {"oversized packet", "127.0.0.1",
       afterLogin([=](ServerPeer& peer) { peer.sendWhileOpen(endlessExplosion); }), {}, false,
       false, parseError + "message of more than 6291456 bytes", SessionEnd::Kind::Failed,
       ended + "0x3c: message of more than 6291456 bytes" + again},
      {"connection lost between packets", "127.0.0.1", [](ServerPeer& peer) { logIn(peer); },
       {}, false, false, "receive error: End of file", SessionEnd::Kind::Lost,
       lost + "End of file" + again},
      {"connection lost in the middle of a packet", "127.0.0.1",
       [](ServerPeer& peer) {
         logIn(peer);
         peer.send(Wire().i8(0x03).i16(20).i16('h'));
       },
       {}, false, false, parseError + "read: End of file", SessionEnd::Kind::Failed,
       ended + "0x3: read: End of file" + again},
      {"connection reset", "127.0.0.1",
       [](ServerPeer& peer) {
         logIn(peer);
         peer.reset();
       },
       {}, false, false, "receive error: Connection reset by peer", SessionEnd::Kind::Lost,
       lost + "Connection reset by peer" + again},
      {"stall", "127.0.0.1",
       afterLogin([](ServerPeer& peer) { peer.send(Wire().i8(0x03).i16(20).i16('h')); }), {},
       false, false, "connection stalled: message 0x3 incomplete after 0.3 s",
       SessionEnd::Kind::Stalled,
       lost + "connection stalled: message 0x3 incomplete after 0.3 s" + again},
      {"refused login", "127.0.0.1", accountLogin, {"Bad login"}, false, false,
       parseError + "account login refused: Bad login", SessionEnd::Kind::LoginFailed,
       "Could not log in to SERVER: Bad login" + again},
      {"unreachable account service", "127.0.0.1", accountLogin, {}, true, false,
       parseError + "could not authenticate with tessellar master server, connection failed",
       SessionEnd::Kind::LoginFailed,
       "Could not log in to SERVER: the account service failed: Couldn't connect to server" +
           again},
      {"failing session service", "127.0.0.1", accountLogin, {"1:deprecated:Tester:sid-77\n"},
       false, true,
       parseError + "could not authenticate with tessellar master server, connection failed",
       SessionEnd::Kind::LoginFailed,
       "Could not log in to SERVER: the session service failed: Couldn't connect to server" +
           again},
      {"unresolvable host", "nowhere.invalid", nullptr, {}, false, false,
       "cannot connect to SERVER: Host not found (authoritative)", SessionEnd::Kind::NotFound,
       "Cannot connect to SERVER: Host not found (authoritative)"},
      {"server that stops reading", "127.0.0.1",
       [=](ServerPeer& peer) {
         logIn(peer);
         peer.send(spawnPoint);
         peer.sendUntilClosed(keepAlive, 5ms);
       },
       {}, false, false, "connection stalled: the server took no output for 0.3 s",
       SessionEnd::Kind::Stalled,
       lost + "connection stalled: the server took no output for 0.3 s" + again,
       queueReports(pastTheBuffers)},
      {"output that piles up", "127.0.0.1",
       [=](ServerPeer& peer) {
         logIn(peer);
         peer.send(spawnPoint);
         peer.awaitEndUnread();
       },
       {}, false, false, "connection stalled: more than 8388608 bytes of output queued",
       SessionEnd::Kind::Stalled,
       lost + "connection stalled: more than 8388608 bytes of output queued" + again,
       queueReports(Connection::MaxOutputBytes + 1024 * 1024)},
      {"kick followed by more packets", "127.0.0.1",
       afterLogin([=](ServerPeer& peer) {
         peer.send(Wire().i8(0xFF).string16("bye").raw(Welcome).i8(0x03).string16("hi").raw(
             spawnPoint));
       }),
       {}, false, false, "the server closed the connection: bye", SessionEnd::Kind::Kicked,
       "Kicked by the server: bye" + again},
  };
  for (const FaultCase& test : cases) {
    SCOPED_TRACE(test.name);
    const RefusingPort refusing;
    HttpStub stub(test.accountAnswers.empty() ? Lines{"unused"} : test.accountAnswers);
    std::unique_ptr<ScriptedServer> server;
    if (test.script)
      server = std::make_unique<ScriptedServer>(test.script);
    Client client;
    AccountServices services;
    services.loginUrl = test.loginServiceRefuses ? refusing.url() : stub.url();
    services.joinUrl = test.joinServiceRefuses ? refusing.url() : stub.url();
    services.timeoutSeconds = 5;
    services.joinAttemptDelay = 1ms;
    client.session.setAccountServices(services);
    client.session.setStallTimeout(300ms);
    const std::string port = server ? server->port() : "25565";
    const std::string name = test.host + ":" + port;

    OutputCapture capture;
    client.connect(test.host, port);
    ASSERT_TRUE(pumpUntil(client.io, [&] {
      if (test.clientSends)
        test.clientSends(client.session);
      return !client.ends.empty();
    }));
    if (server)
      server->finish();
    const std::string line = replaced(test.line, name);
    EXPECT_EQ(count(capture.out(), line) + count(capture.err(), line), 1u)
        << line << "\nout:\n"
        << ::testing::PrintToString(capture.out()) << "\nerr:\n"
        << ::testing::PrintToString(capture.err());
    ASSERT_EQ(client.ends.size(), 1u);
    EXPECT_EQ(client.ends[0].kind, test.kind);
    EXPECT_EQ(client.status().text(), replaced(test.status, name));
    EXPECT_EQ(client.status().tone(), SessionStatus::Tone::Bad);
    EXPECT_FALSE(client.session.isConnected());
    EXPECT_TRUE(client.loopRuns());
    EXPECT_TRUE(client.logsInAgain());
    EXPECT_EQ(client.ends.size(), 2u) << "told of each end once";
  }
}

// A blocking lookup the test releases: it stands for a name server that
// does not answer.
class StuckResolver {
public:
  ThreadedLookup::Resolve resolve() {
    return [state = m_state](const std::string& host, const std::string& port,
                             asio::error_code& error) {
      if (host != "stuck.example")
        return ThreadedLookup::systemResolve(host, port, error);
      std::unique_lock<std::mutex> lock(state->mutex);
      state->started = true;
      state->wake.notify_all();
      state->wake.wait(lock, [&] { return state->released; });
      error = asio::error::host_not_found;
      state->returned = true;
      state->wake.notify_all();
      return HostLookup::Addresses();
    };
  }

  bool started() {
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->started;
  }

  // Lets the lookup return, and waits until it has.
  void release() {
    std::unique_lock<std::mutex> lock(m_state->mutex);
    m_state->released = true;
    m_state->wake.notify_all();
    m_state->wake.wait_for(lock, 10s, [&] { return m_state->returned; });
  }

private:
  struct State {
    std::mutex mutex;
    std::condition_variable wake;
    bool started = false;
    bool released = false;
    bool returned = false;
  };
  std::shared_ptr<State> m_state = std::make_shared<State>();
};

// A lookup that hangs holds up neither the loop, nor the disconnect key, nor
// the next connect, nor the end of the program; its late answer goes
// nowhere.
TEST(SessionFaults, ALookupThatHangsHoldsUpNothing) {
  StuckResolver resolver;
  auto client = std::make_unique<Client>([&](asio::io_service& io) {
    return std::make_unique<ThreadedLookup>(io, resolver.resolve());
  });
  OutputCapture capture;
  client->connect("stuck.example", "25565");
  ASSERT_TRUE(pumpUntil(client->io, [&] { return resolver.started(); }));
  EXPECT_TRUE(client->loopRuns());
  EXPECT_TRUE(client->session.isConnected()) << "still looking the name up";
  EXPECT_EQ(client->status().state(), SessionStatus::State::Connecting);

  client->session.disconnect();
  EXPECT_FALSE(client->session.isConnected());
  ASSERT_EQ(client->ends.size(), 1u);
  EXPECT_EQ(client->ends[0].kind, SessionEnd::Kind::Closed);
  EXPECT_TRUE(client->logsInAgain());

  client->connect("stuck.example", "25565");
  client.reset();
  resolver.release();
  EXPECT_FALSE(capture.mentions("stuck.example")) << "an answer that went somewhere";
  EXPECT_EQ(capture.err(), Lines());
}

} // namespace
