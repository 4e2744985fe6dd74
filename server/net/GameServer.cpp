#include "server/GameServer.h"

#include <algorithm>
#include <vector>

#include "server/ServerPackets.h"

namespace Server {

namespace {

constexpr auto TickPeriod = std::chrono::milliseconds(50);
constexpr int TicksPerSecond = 20;
constexpr int TicksPerMobStep = 5;
// The world's clock starts at noon.
constexpr std::int64_t StartTime = 6000;
// A closing client gets this long to take what is still queued for it.
constexpr auto CloseGrace = std::chrono::seconds(2);
constexpr std::size_t OutboxLimit = 8u << 20;
constexpr std::size_t ColumnCacheSize = 2048;
constexpr int FirstMobEntityId = 1000000;
// The spawn column's centre.
constexpr int SpawnX = 8;
constexpr int SpawnZ = 8;

std::string hashFor(const ServerOptions& options) {
  return options.auth ? authConnectionHash(options.seed) : "-";
}

} // namespace

GameServer::GameServer(asio::io_context& io, const ServerOptions& options, ServerLog& log)
    : m_io(io), m_options(options), m_log(log), m_columns(options.seed, ColumnCacheSize),
      m_spawn{SpawnX, surfaceY(m_columns.terrain(), SpawnX, SpawnZ), SpawnZ},
      m_mobs(m_columns.terrain(), options.seed, options.mobs, SpawnX, SpawnZ, FirstMobEntityId),
      m_connectionHash(hashFor(options)),
      m_accounts(options.user, options.password, m_connectionHash, options.seed),
      m_http(m_accounts, log), m_acceptor(io), m_tickTimer(io) {}

GameServer::~GameServer() {
  for (auto* sessions : {&m_sessions, &m_closing}) {
    for (auto& entry : *sessions) {
      entry.second->abort();
      entry.second->join();
    }
  }
}

void GameServer::start() {
  const asio::ip::tcp::endpoint endpoint(asio::ip::make_address(m_options.host), m_options.port);
  m_acceptor.open(endpoint.protocol());
  m_acceptor.set_option(asio::ip::tcp::acceptor::reuse_address(true));
  m_acceptor.bind(endpoint);
  m_acceptor.listen();
  if (m_options.auth)
    m_http.start(m_options.host, m_options.httpPort);
  m_log.line("listening on ", m_options.host, ":", port(), ", seed ", m_options.seed,
             ", view radius ", m_options.viewRadius, ", ", m_options.mobs, " mobs, ",
             m_options.auth ? "account login required" : "no account login");
  accept();
  m_nextTick = Clock::now();
  scheduleTick();
}

void GameServer::stop() {
  if (m_stopping)
    return;
  m_stopping = true;
  asio::error_code ignored;
  m_acceptor.close(ignored);
  m_http.stop();
  m_log.line("server stopping");
  std::vector<SessionPtr> sessions;
  for (auto& entry : m_sessions)
    sessions.push_back(entry.second);
  for (auto& session : sessions)
    drop(*session, "server stopping", "Server stopping");
}

unsigned short GameServer::port() const {
  asio::error_code error;
  const auto endpoint = m_acceptor.local_endpoint(error);
  return error ? 0 : endpoint.port();
}

unsigned short GameServer::httpPort() const { return m_options.auth ? m_http.port() : 0; }

void GameServer::accept() {
  m_acceptor.async_accept([this](const asio::error_code& error, asio::ip::tcp::socket socket) {
    if (error == asio::error::operation_aborted || m_stopping)
      return;
    if (error) {
      m_log.line("accept failed: ", error.message());
    } else {
      const int id = m_nextConnectionId++;
      auto session = std::make_shared<Session>(m_io, std::move(socket), id, m_columns,
                                               m_options.viewRadius, OutboxLimit,
                                               static_cast<SessionEvents&>(*this));
      m_log.line("connection ", id, " from ", session->peer());
      try {
        session->start();
        m_sessions[id] = session;
      } catch (const std::system_error& failure) {
        m_log.line("connection ", id, " refused: ", failure.what());
      }
    }
    accept();
  });
}

void GameServer::scheduleTick() {
  m_nextTick += TickPeriod;
  m_tickTimer.expires_at(m_nextTick);
  m_tickTimer.async_wait([this](const asio::error_code& error) {
    if (!error)
      tick();
  });
}

void GameServer::tick() {
  const Clock::time_point now = Clock::now();
  checkTimeouts(now);
  if (m_stopping) {
    if (!m_closing.empty())
      scheduleTick();
    else if (m_whenStopped)
      m_whenStopped();
    return;
  }
  ++m_ticks;
  if (m_ticks % TicksPerMobStep == 0)
    for (const std::string& packet : m_mobs.step())
      broadcast(packet);
  if (m_ticks % TicksPerSecond == 0)
    broadcast(timePacket());
  // A slow tick is not made up for: the schedule moves on from now.
  if (m_nextTick + TickPeriod < now)
    m_nextTick = now;
  scheduleTick();
}

std::string GameServer::timePacket() const {
  TSPackets::TimeUpdate time;
  time.time = StartTime + m_ticks;
  return ServerPackets::bytes(time);
}

void GameServer::checkTimeouts(Clock::time_point now) {
  std::vector<SessionPtr> sessions;
  for (auto& entry : m_sessions)
    sessions.push_back(entry.second);
  for (auto& session : sessions) {
    if (session->state.phase == Session::Phase::Playing)
      keepAlive(*session, now);
    else if (now - session->state.connectedAt > m_options.loginTimeout)
      drop(*session, "did not log in in time", "Took too long to log in");
  }
  for (auto& entry : m_closing)
    if (now - entry.second->state.closedAt > CloseGrace)
      entry.second->abort();
}

void GameServer::keepAlive(Session& session, Clock::time_point now) {
  auto& state = session.state;
  if (state.pendingPing != 0) {
    if (now - state.pingSentAt > m_options.keepAliveTimeout)
      drop(session, "keep-alive timeout", "Timed out");
    return;
  }
  const auto interval = std::min<Clock::duration>(std::chrono::seconds(1),
                                                  m_options.keepAliveTimeout / 2);
  if (now - state.pingSentAt < interval)
    return;
  TSPackets::Ping ping;
  ping.keepAliveId = m_nextPingId++;
  state.pendingPing = ping.keepAliveId;
  state.pingSentAt = now;
  send(session, ServerPackets::bytes(ping));
}

void GameServer::onSessionEnded(Session& session, const std::string& reason) {
  drop(session, reason);
}

void GameServer::onWriterDone(Session& session) {
  if (!session.closed())
    drop(session, "connection closed");
  session.abort();
  session.join();
  m_sessions.erase(session.id());
  m_closing.erase(session.id());
  stopWhenIdle();
}

void GameServer::drop(Session& session, const std::string& reason,
                      const std::string& kickMessage) {
  if (session.closed())
    return;
  m_log.line(label(session), " dropped: ", reason);
  if (!kickMessage.empty()) {
    TSPackets::Disconnect kick;
    kick.reason = kickMessage;
    session.send(ServerPackets::bytes(kick));
  }
  session.close();
  session.state.closedAt = Clock::now();
  const auto found = m_sessions.find(session.id());
  if (found != m_sessions.end()) {
    m_closing[session.id()] = found->second;
    m_sessions.erase(found);
  }
  if (session.state.phase == Session::Phase::Playing) {
    TSPackets::DestroyEntity gone;
    gone.entityId = session.state.entityId;
    broadcast(ServerPackets::bytes(gone));
    broadcast(listItemPacket(session.state, false));
    TSPackets::ChatMessage note;
    note.message = session.state.name + " left the world";
    broadcast(ServerPackets::bytes(note));
  }
  stopWhenIdle();
}

void GameServer::stopWhenIdle() {
  if (m_options.once && m_somebodyPlayed && !m_stopping && m_sessions.empty())
    asio::post(m_io, [this] { stop(); });
}

void GameServer::send(Session& session, const std::string& bytes) {
  if (!session.send(bytes) && session.outboxOverflowed())
    drop(session, "outbox full: the client does not read");
}

void GameServer::broadcast(const std::string& bytes, const Session* except) {
  std::vector<SessionPtr> players;
  for (auto& entry : m_sessions)
    if (entry.second.get() != except && entry.second->state.phase == Session::Phase::Playing)
      players.push_back(entry.second);
  for (auto& player : players)
    send(*player, bytes);
}

std::string GameServer::label(const Session& session) const {
  std::string text = "connection " + std::to_string(session.id());
  if (!session.state.name.empty())
    text += " (" + session.state.name + ")";
  return text;
}

bool GameServer::nameInUse(const std::string& name) const {
  for (const auto& entry : m_sessions)
    if (entry.second->state.phase == Session::Phase::Playing && entry.second->state.name == name)
      return true;
  return false;
}

} // namespace Server
