#include "Network.h"

#include <algorithm>
#include <array>
#include <iostream>
#include <new>
#include <sstream>
#include <stdexcept>

#include "Entities/InvalidEntity.h"
#include "WireFault.h"

// The receive loop: bytes are read as they come into the receive buffer, and
// each packet is parsed from there once all its bytes have arrived, so that
// the thread (which also draws) never waits for a slow server.

namespace {

// How long one turn of the loop may go on with packets that have arrived.
const std::chrono::milliseconds PacketTurn(10);

std::string hexText(std::uint8_t value) {
  std::ostringstream text;
  text << std::hex << static_cast<unsigned>(value);
  return text.str();
}

} // namespace

void Network::startRead() {
  m_socket.async_read_some(asio::buffer(m_readChunk),
                           [this, life = std::weak_ptr<char>(m_life), connection = m_connection](
                               const asio::error_code& error, std::size_t size) {
                             if (life.expired()) {
                               return;
                             }
                             if (isStale(connection)) {
                               std::cerr << "connection lost" << std::endl;
                               return;
                             }
                             handle_read(error, size);
                           });
}

void Network::handle_read(const asio::error_code& error, std::size_t size) {
  m_received.append(m_readChunk.data(), size);
  if (!error) {
    takeAvailable();
  }
  handle_receive(error);
}

// Whatever has arrived besides is taken at once, up to what one packet may
// take: a packet that arrives in many small pieces is then parsed once per
// batch, not once per piece.
void Network::takeAvailable() {
  asio::error_code error;
  for (std::size_t available = m_socket.available(error);
       !error && available > 0 && m_received.size() <= ReceiveBuffer::MaxPacketBytes;
       available = m_socket.available(error)) {
    const std::size_t size = m_socket.read_some(
        asio::buffer(m_readChunk.data(), std::min(available, m_readChunk.size())), error);
    m_received.append(m_readChunk.data(), size);
  }
}

void Network::handle_receive(const asio::error_code& error) {
  if (!m_socket.is_open()) {
    std::cerr << "connection lost" << std::endl;
    return;
  }
  if (error) {
    // Inside a packet the stream's position is lost with the connection.
    if (!m_received.empty()) {
      m_currentMessageType = m_received.front();
      endSession(asio::system_error(error, "read"));
    }
    std::cout << "receive error: " << error.message() << std::endl;
    noteEnd(SessionEnd::Kind::Lost, error.message());
    disconnect();
    return;
  }
  // Bytes have arrived: queued output goes first, at once when the socket
  // takes it, otherwise through an asynchronous flush.
  if (m_outputBuffer.size() > 0 && !writeAllNow()) {
    startFlush(&Network::handle_flushed);
    return;
  }
  handlePackets();
}

bool Network::writeAllNow() {
  writeAvailable();
  return m_outputBuffer.size() == 0;
}

void Network::handlePackets() {
  // Packets already waiting are handled in this turn of the loop, for a few
  // milliseconds: one packet per turn falls behind a busy server as soon as
  // the ticks take their whole 50 ms, and its keep-alives then go unanswered.
  const auto turnEnds = std::chrono::steady_clock::now() + PacketTurn;
  while (m_received.worthParsing()) {
    if (std::chrono::steady_clock::now() >= turnEnds) {
      asio::post(m_ioService, [this, life = std::weak_ptr<char>(m_life),
                               connection = m_connection] {
        if (!life.expired() && !isStale(connection)) {
          handle_receive(asio::error_code());
        }
      });
      return;
    }
    bool handled = true;
    guarded([&] { handled = dispatch(); });
    if (!handled) {
      break;
    }
    if (!packetDone()) {
      return;
    }
  }
  watchForStall();
  startRead();
}

bool Network::packetDone() {
  if (m_loginToken) {
    return false;
  }
  m_previousMessageType = m_currentMessageType;
  if (m_outputBuffer.size() > 0 && !writeAllNow()) {
    startFlush(&Network::handle_write);
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

void Network::guarded(const std::function<void()>& step) {
  try {
    step();
  } catch (const Entities::InvalidEntity&) {
    // A packet about an entity that is not tracked: nothing to update.
  } catch (const std::exception& failure) {
    endSession(failure);
  } catch (const char* text) {
    noteEnd(SessionEnd::Kind::Failed, text);
    throw;
  }
}

void Network::watchForStall() {
  if (m_received.empty()) {
    m_stallWatch.stop();
  } else {
    m_stallWatch.start([this] { reportStall(); });
  }
}

// The server has stopped in the middle of a packet, or the link has.
void Network::reportStall() {
  std::ostringstream text;
  text << "connection stalled: message 0x" << hexText(m_received.front()) << " incomplete after "
       << std::chrono::duration<double>(m_stallWatch.limit()).count() << " s";
  std::cerr << text.str() << std::endl;
  noteEnd(SessionEnd::Kind::Stalled, text.str());
  disconnect();
}

bool Network::parseWaiting(TSPackets::Packet& packet, ByteReader& reader) {
  try {
    std::uint8_t id;
    reader.read(&id, 1);
    packet.parse(reader);
  } catch (const NeedMoreBytes& more) {
    m_received.need(more.total);
    return false;
  }
  packetArrived(reader.consumed());
  return true;
}

void Network::packetArrived(std::size_t size) {
  m_received.consume(size);
  m_stallWatch.stop();
}

template <class Packet> bool Network::receive() {
  ByteReader reader = m_received.reader();
  Packet packet;
  if (!parseWaiting(packet, reader)) {
    return false;
  }
  handle(packet);
  return true;
}

// A reason too large to allocate still ends in the kick handler.
template <> bool Network::receive<TSPackets::Disconnect>() {
  ByteReader reader = m_received.reader();
  TSPackets::Disconnect packet;
  try {
    if (!parseWaiting(packet, reader)) {
      return false;
    }
  } catch (const std::bad_alloc& failure) {
    std::cout << "disconnect crashed" << std::endl;
    packet.reason = failure.what();
    packetArrived(reader.consumed());
  }
  noteEnd(SessionEnd::Kind::Kicked, packet.reason);
  handle(packet);
  return true;
}

bool Network::dispatch() {
  using Receiver = bool (Network::*)();
  static const std::array<Receiver, 256> receivers = [] {
    std::array<Receiver, 256> table{};
#define TS_RECEIVER_Dispatched(packetId, Class)                                                    \
  table[packetId] = &Network::receive<TSPackets::Class>;
#define TS_RECEIVER_Unknown(packetId, Class)
#define TS_RECEIVER(packetId, Class, Read, Write, Dispatch, fields)                                \
  TS_RECEIVER_##Dispatch(packetId, Class)
    TS_PACKET_CATALOGUE(TS_RECEIVER)
#undef TS_RECEIVER
#undef TS_RECEIVER_Unknown
#undef TS_RECEIVER_Dispatched
    return table;
  }();

  m_currentMessageType = m_received.front();
  const Receiver receiver = receivers[m_currentMessageType];
  if (receiver == nullptr) {
    reportUnknownMessage();
  }
  return (this->*receiver)();
}

void Network::reportUnknownMessage() {
  std::cerr << std::hex << std::showbase;
  std::cerr << "unknown message type received: " << static_cast<unsigned>(m_currentMessageType)
            << std::endl;
  std::cerr << "previous message type received: " << static_cast<unsigned>(m_previousMessageType)
            << std::endl;
  std::cerr << std::dec << std::noshowbase;
  throw WireFault("unknown message type received");
}

// The stream is at an unknown position now: nothing more can be read from it.
void Network::endSession(const std::exception& error) {
  m_stallWatch.stop();
  std::cerr << "An error occurred during message parsing: " << error.what() << std::endl;
  std::cerr << hexText(m_currentMessageType) << std::endl;
  const std::string text = "the connection to the server ended on an error in message 0x" +
                           hexText(m_currentMessageType) + ": " + error.what();
  noteEnd(SessionEnd::Kind::Failed, text);
  throw std::runtime_error(text);
}
