#ifndef SESSION_H
#define SESSION_H

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include <asio.hpp>

#include "server/ClientPacket.h"
#include "server/ColumnStore.h"
#include "server/ColumnStreamer.h"
#include "server/EntityMotion.h"
#include "server/FallTracker.h"
#include "server/Outbox.h"
#include "server/PlayerItems.h"

namespace Server {

class Session;

// What a session reports to the game. Every call arrives on the game's
// I/O context, never on the session's own threads.
class SessionEvents {
public:
  virtual void onPacket(Session& session, const ClientPacket& packet) = 0;
  // Reading or writing stopped for good; the reason is for the log.
  virtual void onSessionEnded(Session& session, const std::string& reason) = 0;
  // The writer has sent everything it will send: the session can be joined.
  virtual void onWriterDone(Session& session) = 0;

protected:
  ~SessionEvents() = default;
};

// One client connection. The wire readers block, so each connection has a
// reader thread that parses the client's packets and posts them to the game,
// and a writer thread that sends the outbox and, when that is empty, streams
// the columns around the player.
class Session : public std::enable_shared_from_this<Session> {
public:
  enum class Phase { AwaitHandShake, AwaitLogin, Playing };

  Session(asio::io_context& io, asio::ip::tcp::socket socket, int connectionId,
          ColumnStore& columns, int viewRadius, std::size_t outboxLimit, SessionEvents& events);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void start();

  // False once the outbox is closed or full.
  bool send(const std::string& bytes);
  void streamAround(std::int32_t chunkX, std::int32_t chunkZ);
  void holdUntilNearLoaded(std::string bytes);
  // A new world for the client: `opening` (what tells the client to drop
  // its world) goes out after everything queued so far, then the columns
  // around the new centre from scratch, then `place` once the ground is in.
  // Packets sent after this call follow the opening. False when the
  // outbox is closed or full.
  bool restartWorld(const std::string& opening, std::int32_t chunkX, std::int32_t chunkZ,
                    std::string place);
  bool outboxOverflowed() const { return m_outbox.overflowed(); }

  // Stops reading; what is queued still goes out, then the connection ends.
  void close();
  // Ends the connection at once, in both directions.
  void abort();
  // Waits for both threads; call after close() or abort().
  void join();

  bool closed() const { return m_closed; }
  int id() const { return m_id; }
  const std::string& peer() const { return m_peer; }
  const ColumnStreamer& streamer() const { return m_streamer; }

  // The game's view of the player, kept on the game's thread.
  struct PlayerState {
    Phase phase = Phase::AwaitHandShake;
    std::string name;
    int entityId = 0;
    double x = 0, y = 0, z = 0, stance = 0;
    float yaw = 0, pitch = 0;
    // Where and how the other players last saw the player.
    FixedPosition shown;
    signed char shownYaw = 0, shownPitch = 0;
    std::int32_t chunkX = 0, chunkZ = 0;
    std::chrono::steady_clock::time_point connectedAt;
    std::chrono::steady_clock::time_point closedAt;
    int pendingPing = 0;
    std::chrono::steady_clock::time_point pingSentAt;
    // How long the last keep-alive took to come back.
    std::chrono::milliseconds ping{0};
    PlayerItems items;
    // In half hearts, 20 the full health; 0 is dead.
    int health = 20;
    FallTracker fall;
    // Put at the spawn point for a new life, until the client says it is
    // there: reports from before the client heard of it are of the old life.
    bool respawning = false;
  } state;

private:
  void readLoop();
  void writeLoop();
  void writeStep(const ColumnStreamer::Step& step);
  void writeBytes(const std::string& bytes);
  void shutdown(int how);
  void postEnded(const std::string& reason);

  asio::io_context& m_io;
  asio::ip::tcp::socket m_socket;
  const int m_id;
  std::string m_peer;
  ColumnStore& m_columns;
  ColumnStreamer m_streamer;
  Outbox m_outbox;
  SessionEvents& m_events;
  std::atomic<bool> m_closed{false};
  std::thread m_reader;
  std::thread m_writer;
};

} // namespace Server

#endif
