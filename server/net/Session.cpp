#include "server/Session.h"

#include <sys/socket.h>

#include "TSDataTypes.h"
#include "server/ServerPackets.h"

namespace Server {

namespace {

std::string describePeer(const asio::ip::tcp::socket& socket) {
  asio::error_code error;
  const auto endpoint = socket.remote_endpoint(error);
  if (error)
    return "unknown peer";
  return endpoint.address().to_string() + ":" + std::to_string(endpoint.port());
}

bool isEndOfStream(const asio::system_error& error) {
  return error.code() == asio::error::eof || error.code() == asio::error::connection_reset ||
         error.code() == asio::error::broken_pipe;
}

} // namespace

Session::Session(asio::io_context& io, asio::ip::tcp::socket socket, int connectionId,
                 ColumnStore& columns, int viewRadius, std::size_t outboxLimit,
                 SessionEvents& events)
    : m_io(io), m_socket(std::move(socket)), m_id(connectionId), m_peer(describePeer(m_socket)),
      m_columns(columns), m_streamer(viewRadius), m_outbox(outboxLimit), m_events(events) {
  state.connectedAt = std::chrono::steady_clock::now();
}

Session::~Session() {
  abort();
  join();
}

void Session::start() {
  asio::error_code ignored;
  m_socket.set_option(asio::ip::tcp::no_delay(true), ignored);
  m_reader = std::thread([this] { readLoop(); });
  m_writer = std::thread([this] { writeLoop(); });
}

bool Session::send(const std::string& bytes) { return m_outbox.push(bytes); }

void Session::streamAround(std::int32_t chunkX, std::int32_t chunkZ) {
  m_streamer.setCenter(chunkX, chunkZ);
  m_outbox.wake();
}

void Session::holdUntilNearLoaded(std::string bytes) {
  m_streamer.holdUntilNearLoaded(std::move(bytes));
  m_outbox.wake();
}

// The streamer starts again only when the opening has been written: columns
// sent before it are of the old world, which the client drops.
bool Session::restartWorld(const std::string& opening, std::int32_t chunkX, std::int32_t chunkZ,
                           std::string place) {
  return m_outbox.push(opening) &&
         m_outbox.pushMark([this, chunkX, chunkZ, place = std::move(place)]() mutable {
           m_streamer.restart(chunkX, chunkZ, std::move(place));
         });
}

void Session::close() {
  if (m_closed.exchange(true))
    return;
  m_outbox.close();
  shutdown(SHUT_RD);
}

void Session::abort() {
  m_closed = true;
  m_outbox.close();
  shutdown(SHUT_RDWR);
}

void Session::join() {
  for (std::thread* thread : {&m_reader, &m_writer})
    if (thread->joinable() && thread->get_id() != std::this_thread::get_id())
      thread->join();
}

// On the descriptor itself: the threads may be blocked on the socket, and
// the shutdown is what wakes them.
void Session::shutdown(int how) {
  if (m_socket.is_open())
    ::shutdown(m_socket.native_handle(), how);
}

void Session::postEnded(const std::string& reason) {
  asio::post(m_io, [self = shared_from_this(), reason] {
    self->m_events.onSessionEnded(*self, reason);
  });
}

void Session::readLoop() {
  SocketInput in(m_socket);
  for (;;) {
    unsigned char id = 0;
    try {
      id = static_cast<unsigned char>(TSDataTypes::parseByte(in));
    } catch (const asio::system_error& error) {
      postEnded(isEndOfStream(error) ? "disconnected" : "read error: " + error.code().message());
      return;
    }
    std::string failure;
    try {
      ClientPacket packet = readClientPacket(m_socket, id);
      asio::post(m_io, [self = shared_from_this(), packet = std::move(packet)] {
        self->m_events.onPacket(*self, packet);
      });
      continue;
    } catch (const UnknownPacket& error) {
      failure = error.what();
    } catch (const asio::system_error& error) {
      failure = (isEndOfStream(error) ? "connection lost in the middle of packet "
                                      : "read error in packet ") +
                packetIdText(id) + ": " + error.code().message();
    } catch (const std::bad_alloc&) {
      failure = "invalid length in packet " + packetIdText(id);
    } catch (const std::exception& error) {
      failure = "bad packet " + packetIdText(id) + ": " + error.what();
    } catch (const char* error) {
      failure = "bad packet " + packetIdText(id) + ": " + error;
    }
    postEnded(failure);
    return;
  }
}

void Session::writeBytes(const std::string& bytes) { asio::write(m_socket, asio::buffer(bytes)); }

void Session::writeStep(const ColumnStreamer::Step& step) {
  using Kind = ColumnStreamer::Step::Kind;
  if (step.kind == Kind::Release) {
    writeBytes(step.bytes);
    return;
  }
  TSPackets::Prechunk prechunk;
  prechunk.chunkX = step.chunkX;
  prechunk.chunkZ = step.chunkZ;
  prechunk.mode = step.kind == Kind::Load ? 1 : 0;
  std::string bytes = ServerPackets::bytes(prechunk);
  if (step.kind == Kind::Load)
    bytes += *m_columns.mapChunk(step.chunkX, step.chunkZ);
  writeBytes(bytes);
}

void Session::writeLoop() {
  try {
    for (;;) {
      Outbox::Taken taken = m_outbox.take(false);
      if (taken.state == Outbox::State::Idle) {
        if (auto step = m_streamer.next()) {
          writeStep(*step);
          continue;
        }
        taken = m_outbox.take(true);
      }
      if (taken.state == Outbox::State::Closed)
        break;
      if (taken.state == Outbox::State::Packets) {
        writeBytes(taken.bytes);
        if (taken.then)
          taken.then();
      }
    }
  } catch (const asio::system_error& error) {
    postEnded("write error: " + error.code().message());
  } catch (const std::exception& error) {
    postEnded(std::string("write error: ") + error.what());
  }
  shutdown(SHUT_RDWR);
  asio::post(m_io, [self = shared_from_this()] { self->m_events.onWriterDone(*self); });
}

} // namespace Server
