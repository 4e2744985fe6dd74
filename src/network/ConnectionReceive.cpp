#include "Connection.h"

#include <algorithm>
#include <iostream>
#include <sstream>
#include <utility>

#include "UnknownPacketId.h"

// The receive loop: bytes are read as they come into the receive buffer, and
// each packet is handed on once all its bytes have arrived, so that the
// thread (which also draws) never waits for a slow server. Faults end the
// session here.

namespace {

// How long one turn of the loop may go on with packets that have arrived.
const std::chrono::milliseconds PacketTurn(10);

// How long the bytes must have stopped before a packet that may be whole is
// tried although the buffer has not grown enough for its next try: longer
// than the gaps inside a stream that keeps coming, short against a tick.
const std::chrono::milliseconds QuietTime(50);

std::string hexText(std::uint8_t value) {
  std::ostringstream text;
  text << std::hex << static_cast<unsigned>(value);
  return text.str();
}

} // namespace

void Connection::startRead() {
  m_reading = true;
  const auto completion = [this, life = std::weak_ptr<char>(m_life), connection = m_connection](
                              const asio::error_code& error, std::size_t size) {
    if (life.expired()) {
      return;
    }
    if (isStale(connection)) {
      reportClosed();
      return;
    }
    guarded([&] { handle_read(error, size); });
  };
  if (m_readFailure) {
    asio::post(m_ioService, [completion, failure = std::exchange(m_readFailure, {})] {
      completion(failure, 0);
    });
    return;
  }
  m_socket.async_read_some(asio::buffer(m_readChunk), completion);
}

void Connection::handle_read(const asio::error_code& error, std::size_t size) {
  m_reading = false;
  // Cancelled by the quiet retry: the deferred packet is tried now.
  if (std::exchange(m_wakeRead, false) && error == asio::error::operation_aborted &&
      m_socket.is_open()) {
    handle_receive(asio::error_code());
    return;
  }
  // No more bytes will come: a packet that may be whole is tried before the
  // failure counts.
  if (error && m_received.deferred()) {
    m_readFailure = error;
    m_received.retryNow();
    handle_receive(asio::error_code());
    return;
  }
  m_received.append(m_readChunk.data(), size);
  if (!error) {
    takeAvailable();
    m_lastArrival = std::chrono::steady_clock::now();
  }
  handle_receive(error);
}

// Whatever has arrived besides is taken at once, up to what one packet may
// take: a packet that arrives in many small pieces is then parsed once per
// batch, not once per piece.
void Connection::takeAvailable() {
  asio::error_code error;
  for (std::size_t available = m_socket.available(error);
       !error && available > 0 && m_received.size() <= ReceiveBuffer::MaxPacketBytes;
       available = m_socket.available(error)) {
    const std::size_t size = m_socket.read_some(
        asio::buffer(m_readChunk.data(), std::min(available, m_readChunk.size())), error);
    m_received.append(m_readChunk.data(), size);
  }
}

void Connection::handle_receive(const asio::error_code& error) {
  if (!m_socket.is_open()) {
    reportClosed();
    return;
  }
  if (error) {
    // Inside a packet the stream's position is lost with the connection.
    if (!m_received.empty()) {
      m_currentMessageType = m_received.front();
      reportFault(asio::system_error(error, "read").what());
      return;
    }
    std::cout << "receive error: " << error.message() << std::endl;
    endSession(SessionEnd::Kind::Lost, error.message());
    return;
  }
  // Bytes have arrived: queued output goes first, at once when the socket
  // takes it, otherwise through an asynchronous flush.
  if (m_outputBuffer.size() > 0 && !writeAllNow()) {
    startFlush(&Connection::handle_flushed);
    return;
  }
  handlePackets();
}

bool Connection::writeAllNow() {
  writeAvailable();
  return m_outputBuffer.size() == 0;
}

void Connection::handlePackets() {
  // Packets already waiting are handled in this turn of the loop, for a few
  // milliseconds: one packet per turn falls behind a busy server as soon as
  // the ticks take their whole 50 ms, and its keep-alives then go unanswered.
  const auto turnEnds = std::chrono::steady_clock::now() + PacketTurn;
  while (m_received.worthParsing()) {
    if (std::chrono::steady_clock::now() >= turnEnds) {
      asio::post(m_ioService, [this, life = std::weak_ptr<char>(m_life),
                               connection = m_connection] {
        if (!life.expired() && !isStale(connection)) {
          guarded([&] { handle_receive(asio::error_code()); });
        }
      });
      return;
    }
    bool handled = true;
    if (!guarded([&] { handled = takePacket(); })) {
      return;
    }
    if (!handled) {
      break;
    }
    if (!packetDone()) {
      return;
    }
  }
  watchForStall();
  if (m_received.deferred()) {
    retryWhenQuiet();
  }
  startRead();
}

void Connection::retryWhenQuiet() {
  if (m_quietTimerSet) {
    return;
  }
  m_quietTimerSet = true;
  m_quietTimer.expires_at(m_lastArrival + QuietTime);
  m_quietTimer.async_wait([this, life = std::weak_ptr<char>(m_life),
                           connection = m_connection](const asio::error_code& error) {
    if (life.expired() || isStale(connection)) {
      return;
    }
    m_quietTimerSet = false;
    if (!error) {
      guarded([&] { quietRetryDue(); });
    }
  });
}

// With a read outstanding the loop waits for bytes: cancelling the read lets
// it try the packet. Otherwise a flush or the next turn is on its way, and
// tries it when it comes.
void Connection::quietRetryDue() {
  if (!m_socket.is_open() || !m_received.deferred()) {
    return;
  }
  if (std::chrono::steady_clock::now() < m_lastArrival + QuietTime) {
    retryWhenQuiet();
    return;
  }
  m_received.retryNow();
  if (m_reading) {
    m_wakeRead = true;
    asio::error_code ignored;
    m_socket.cancel(ignored);
  }
}

bool Connection::packetDone() {
  if (m_held) {
    return false;
  }
  m_previousMessageType = m_currentMessageType;
  if (m_outputBuffer.size() > 0 && !writeAllNow()) {
    startFlush(&Connection::handle_write);
    return false;
  }
  // The next packet waits when the handler stopped the loop; after a close,
  // the read reports the lost connection.
  if (m_ioService.stopped() || !m_socket.is_open()) {
    startRead();
    return false;
  }
  return true;
}

void Connection::holdPackets() { m_held = true; }

void Connection::releasePackets() {
  m_held = false;
  guarded([&] {
    if (packetDone()) {
      handlePackets();
    }
  });
}

bool Connection::takePacket() {
  m_currentMessageType = m_received.front();
  return m_received.tryParse([&](ByteReader& reader) {
    m_handler.receive(reader, [&] { packetArrived(reader.consumed()); });
  });
}

void Connection::packetArrived(std::size_t size) {
  m_received.consume(size);
  m_stallWatch.stop();
}

// Protocol faults are WireFaults; the protocol's own refusals are texts
// thrown as C strings; a handler may fail in its own way. The stream is at an
// unknown position after any of them.
bool Connection::guarded(const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const UnknownPacketId&) {
    reportUnknownMessage();
  } catch (const std::exception& failure) {
    reportFault(failure.what());
  } catch (const char* text) {
    reportFault(text);
  } catch (...) {
    reportFault("unknown error");
  }
  return false;
}

void Connection::reportUnknownMessage() {
  std::cerr << std::hex << std::showbase;
  std::cerr << "unknown message type received: " << static_cast<unsigned>(m_currentMessageType)
            << std::endl;
  std::cerr << "previous message type received: " << static_cast<unsigned>(m_previousMessageType)
            << std::endl;
  std::cerr << std::dec << std::noshowbase;
  reportFault(UnknownPacketId().what());
}

void Connection::reportFault(const std::string& error) {
  endOnError(SessionEnd::Kind::Failed, error,
             "the connection to the server ended on an error in message 0x" +
                 hexText(m_currentMessageType) + ": " + error);
}

void Connection::endOnError(SessionEnd::Kind kind, const std::string& error,
                            const std::string& reason) {
  std::cerr << "An error occurred during message parsing: " << error << std::endl;
  std::cerr << hexText(m_currentMessageType) << std::endl;
  endSession(kind, reason);
}

void Connection::watchForStall() {
  if (m_received.empty()) {
    m_stallWatch.stop();
  } else {
    m_stallWatch.start([this] { guarded([&] { reportStall(); }); });
  }
}

void Connection::reportClosed() { std::cerr << "connection lost" << std::endl; }

// The server has stopped in the middle of a packet, or the link has.
void Connection::reportStall() {
  std::ostringstream text;
  text << "connection stalled: message 0x" << hexText(m_received.front()) << " incomplete after "
       << std::chrono::duration<double>(m_stallWatch.limit()).count() << " s";
  std::cerr << text.str() << std::endl;
  endSession(SessionEnd::Kind::Stalled, text.str());
}
