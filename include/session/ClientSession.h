#ifndef SESSION_CLIENT_SESSION_H
#define SESSION_CLIENT_SESSION_H

// The client's side of a session with a game server, above its connection:
// the handshake and the account login, the Login, keep-alives, the server's
// time and the pacing of the ticks against it, where the server places the
// player, the kick, the goodbye, and the position reported every tick.
// Every other packet goes to the handler registered for it in dispatch().
//
// A session ends on any fault of the server, the link or the account
// services without ending anything else; connect() starts the next one.
// Everything runs on the thread of the event loop it is given.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <asio.hpp>

#include "AccountLogin.h"
#include "AccountServices.h"
#include "Connection.h"
#include "SessionEnd.h"
#include "TSPackets.h"
#include "session/PacketDispatch.h"
#include "session/TimePacing.h"

class ClientSession : private Connection::Handler {
public:
  using Clock = std::chrono::steady_clock;

  // The player's look as the protocol carries it, in degrees: yaw 0 looking
  // along +z, pitch positive looking down.
  struct Look {
    float yaw = 0;
    float pitch = 0;
  };

  // What a tick reports: where the player's feet are, in blocks, the look,
  // and whether the feet stand on the ground.
  struct PlayerReport {
    double x = 0;
    double feetY = 0;
    double z = 0;
    Look look;
    bool onGround = false;
  };

  // What the session tells the layer above, on the loop's thread. Each may
  // be empty; none may throw.
  struct Events {
    // The server has taken the login.
    std::function<void()> loggedIn;
    // The server has placed the player with the feet at x, feetY, z: its
    // first spawn point, or a position it sets.
    std::function<void(double x, double feetY, double z)> placed;
    // The session has ended, once per session; also when the player closed
    // it (kind Closed).
    std::function<void(const SessionEnd&)> ended;
    // The server turns the player to the look (with a position correction).
    std::function<void(const Look&)> turned;
  };

  // Looks hosts up with `lookup`, or on threads of its own when it is null.
  explicit ClientSession(asio::io_service& ioService, std::unique_ptr<HostLookup> lookup = nullptr);
  ~ClientSession();
  ClientSession(const ClientSession&) = delete;
  ClientSession& operator=(const ClientSession&) = delete;

  void setEvents(Events events) { m_events = std::move(events); }
  // Where the account login and the session join are sent.
  void setAccountServices(AccountServices services) { m_accountServices = std::move(services); }
  // How long a packet may take to arrive once its first byte has come, and
  // how long queued output may wait for the server to take any of it.
  void setStallTimeout(std::chrono::milliseconds limit) { m_connection.setStallTimeout(limit); }

  // Where the packets go. The session handles Ping, Login, HandShake,
  // TimeUpdate, SpawnPoint, PlayerPosAndLook, PlayerPosition, StateChange
  // and Disconnect itself: those are not registered elsewhere.
  PacketDispatch& dispatch() { return m_dispatch; }

  // Says goodbye to the server of a session under way, then connects to
  // host:port and logs in as the user. A host that cannot be looked up, or
  // reached, ends the new session.
  void connect(const std::string& host, const std::string& port, const std::string& user,
               const std::string& password);
  // Says goodbye to the server, if one has accepted the connection, then
  // closes it.
  void disconnect();
  // Closes the connection without a word to the server.
  void close() { m_connection.disconnect(); }
  // Queues the packet; it leaves at the connection's next flush.
  void send(const TSPackets::Packet& packet) { m_connection.send(packet); }

  // Once per tick: keeps the tick count in step with the server's time.
  void paceTime(Clock::time_point now = Clock::now());
  // Once per tick: reports where the player is to the server, once it has
  // placed the player in this session.
  void report(const PlayerReport& player);

  // From connect() until the session ends.
  bool isConnected() const { return m_connection.isConnected(); }
  // Whether the server has placed the player in this session.
  bool spawned() const { return m_spawned; }
  // The player's last position as reported to or set by the server.
  const TSPackets::PlayerPosAndLook& position() const { return m_position; }
  // The player's own entity, as the server's Login named it.
  std::int32_t playerEntityId() const { return m_playerEntityId; }
  // Creative mode, as the server's Login or a later change of game mode
  // set it: digs finish at once.
  bool creative() const { return m_creative; }
  std::int64_t localTick() const { return m_localTick; }
  std::int64_t serverTime() const { return m_serverTime; }
  // How the last session ended; kind None while it goes on.
  const SessionEnd& lastSessionEnd() const { return m_connection.lastSessionEnd(); }

private:
  void connected() override;
  void receive(ByteReader& reader, const std::function<void()>& whole) override;
  void ended(const SessionEnd& end) override;

  // Packets of the class go to the session's own handler.
  template <class Packet> void handleHere();
  void handle(const TSPackets::Ping& packet);
  void handle(const TSPackets::Login& packet);
  void handle(const TSPackets::HandShake& packet);
  void handle(const TSPackets::TimeUpdate& packet);
  void handle(const TSPackets::SpawnPoint& packet);
  void handle(const TSPackets::PlayerPosAndLook& packet);
  void handle(const TSPackets::PlayerPosition& packet);
  void handle(const TSPackets::StateChange& packet);
  void handle(const TSPackets::Disconnect& packet);

  void place(double x, double feetY, double z);
  void sayGoodbye();
  void startAccountLogin(const std::string& hash);
  void finishAccountLogin(const AccountLogin::Outcome& outcome);
  void stopAccountLogin();

  asio::io_service& m_ioService;
  PacketDispatch m_dispatch;
  Events m_events;
  std::string m_userName;
  std::string m_password;
  std::string m_sessionId;
  AccountServices m_accountServices;
  std::unique_ptr<AccountLogin> m_accountLogin;
  // The current account login's token: what its thread hands over counts
  // only while the token lives.
  std::shared_ptr<char> m_loginToken;
  // Keeps the event loop running while the account login has the turn.
  std::optional<asio::executor_work_guard<asio::io_service::executor_type>> m_loginWork;
  TSPackets::PlayerPosAndLook m_position;
  // Set once the server has placed the player (spawn point or position) in
  // the session under way: position reports and keep-alive answers start
  // there.
  bool m_spawned = false;
  std::int32_t m_playerEntityId = 0;
  bool m_creative = false;
  std::int64_t m_localTick = 0;
  std::int64_t m_serverTime = 0;
  PacingLines m_pacingLines;
  // Last, so that it goes first: nothing of the connection outlives the
  // session's state.
  Connection m_connection;
};

#endif
