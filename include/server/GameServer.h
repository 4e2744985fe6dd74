#ifndef GAME_SERVER_H
#define GAME_SERVER_H

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <asio.hpp>

#include "server/AccountHttpServer.h"
#include "server/AccountRegistry.h"
#include "server/ColumnStore.h"
#include "server/MobHerd.h"
#include "server/ServerLog.h"
#include "server/ServerOptions.h"
#include "server/Session.h"

namespace Server {

// The local world server: accepts clients, logs them in, streams the
// terrain around each player, keeps time, keep-alives and mobs going and
// shows the players to each other. All game state lives on the one I/O
// context; each session reads and writes on threads of its own.
class GameServer : private SessionEvents {
public:
  GameServer(asio::io_context& io, const ServerOptions& options, ServerLog& log);
  ~GameServer();
  GameServer(const GameServer&) = delete;
  GameServer& operator=(const GameServer&) = delete;

  // Listens and starts the clock; throws asio::system_error when it cannot.
  void start();
  // Says goodbye to every client, closes everything and lets the I/O
  // context run out. Call on the I/O context.
  void stop();
  // Called once, on the I/O context, when stopping has finished.
  void whenStopped(std::function<void()> callback) { m_whenStopped = std::move(callback); }

  unsigned short port() const;
  unsigned short httpPort() const;
  const std::string& connectionHash() const { return m_connectionHash; }

  // Where players appear, in blocks (feet).
  struct SpawnPoint {
    int x = 0;
    int y = 0;
    int z = 0;
  };
  const SpawnPoint& spawnPoint() const { return m_spawn; }

private:
  using Clock = std::chrono::steady_clock;
  using SessionPtr = std::shared_ptr<Session>;

  void onPacket(Session& session, const ClientPacket& packet) override;
  void onSessionEnded(Session& session, const std::string& reason) override;
  void onWriterDone(Session& session) override;

  void accept();
  void scheduleTick();
  void tick();
  std::string timePacket() const;
  void checkTimeouts(Clock::time_point now);
  void keepAlive(Session& session, Clock::time_point now);

  void handShake(Session& session, const TSPackets::HandShake& packet);
  void login(Session& session, const TSPackets::Login& packet);
  void welcome(Session& session);
  void ping(Session& session, const TSPackets::Ping& packet);
  void chat(Session& session, const TSPackets::ChatMessage& packet);
  void move(Session& session, double x, double y, double z, double stance, bool onGround);
  void look(Session& session, float yaw, float pitch);
  void showMove(Session& session);
  // The player list's entry for the player, online or gone.
  static std::string listItemPacket(const Session::PlayerState& player, bool online);
  // Where the server puts the player (login and respawn).
  static std::string placePacket(const Session::PlayerState& player);
  // The mobs and the other players, for a client whose world is new.
  std::vector<std::string> othersFor(const Session& session) const;
  TSPackets::Respawn respawnPacket() const;
  void dig(Session& session, const TSPackets::PlayerDig& packet);
  void place(Session& session, const TSPackets::PlayerBlockPlace& packet);

  void holdSlot(Session& session, const TSPackets::PlayerHoldingChange& packet);
  // Why the client's held stack cannot be placed; empty when it can.
  std::string unplaceable(const Session& session, const TSPackets::PlayerBlockPlace& packet) const;
  void pickUp(Session& session, std::uint8_t blockType);
  void click(Session& session, const TSPackets::WindowClick& packet);
  void closeWindow(Session& session, const TSPackets::CloseWindow& packet);
  void refuseClick(Session& session, const TSPackets::WindowClick& packet, const std::string& why);

  // Whether the player still has to take the new life's place; a report
  // from the old life is left out.
  bool fromOldLife(Session& session, double x, double y, double z);
  // The player's footing, from a report: a landing may hurt.
  void footing(Session& session, bool onGround);
  bool inWater(const Session::PlayerState& player) const;
  void hurt(Session& session, const FallTracker::Landing& landing);
  void respawn(Session& session);
  // Changes the world and shows the change to every player who has its
  // column.
  void changeBlock(std::int32_t x, std::int32_t y, std::int32_t z, std::uint8_t type);
  void showBlock(Session& session, std::int32_t x, std::int32_t y, std::int32_t z);

  // Ends the session with a log line; a kick message is sent first.
  void drop(Session& session, const std::string& reason, const std::string& kickMessage = {});
  void send(Session& session, const std::string& bytes);
  void broadcast(const std::string& bytes, const Session* except = nullptr);
  std::string label(const Session& session) const;
  bool nameInUse(const std::string& name) const;
  void stopWhenIdle();

  asio::io_context& m_io;
  const ServerOptions m_options;
  ServerLog& m_log;
  ColumnStore m_columns;
  SpawnPoint m_spawn;
  MobHerd m_mobs;
  std::string m_connectionHash;
  AccountRegistry m_accounts;
  AccountHttpServer m_http;
  asio::ip::tcp::acceptor m_acceptor;
  asio::steady_timer m_tickTimer;
  Clock::time_point m_nextTick;
  std::int64_t m_ticks = 0;
  int m_nextConnectionId = 1;
  int m_nextPlayerEntityId = 1;
  int m_nextPingId = 1;
  bool m_stopping = false;
  bool m_somebodyPlayed = false;
  std::map<int, SessionPtr> m_sessions;
  std::map<int, SessionPtr> m_closing;
  std::function<void()> m_whenStopped;
};

} // namespace Server

#endif
