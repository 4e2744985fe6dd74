#ifndef CONNECTION_H
#define CONNECTION_H

// The client's connection to one game server at a time: the host lookup off
// the loop's thread, connecting to each address in turn, the output buffer
// and its flushes, the receive buffer from which each packet is taken once
// all its bytes have come, the stall watches on both directions, and the end
// of each session.
//
// Every fault ends the session at one place: its report line, the socket
// closed, the end noted and the layer above told once. No exception leaves
// a completion handler or a call from the loop; the layer above sees packet
// bytes and session ends, never a socket.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <asio.hpp>

#include "ByteReader.h"
#include "HostLookup.h"
#include "ReceiveBuffer.h"
#include "SessionEnd.h"
#include "StallWatch.h"
#include "TSPackets.h"

class Connection {
public:
  // The layer above. Every call comes from the loop's thread.
  class Handler {
  public:
    // The connection is up: the first packet is queued with sendFirst now.
    virtual void connected() = 0;
    // Parses the waiting packet, id byte first, from the reader, calls
    // whole() as soon as it has been read whole, then handles it. Throws
    // NeedMoreBytes while the packet is incomplete, UnknownPacketId for an
    // id it does not take, and whatever parsing or handling throws: the
    // session then ends with the fault's report.
    virtual void receive(ByteReader& reader, const std::function<void()>& whole) = 0;
    // The session has ended, once per session, with the socket closed.
    virtual void ended(const SessionEnd& end) = 0;

  protected:
    ~Handler() = default;
  };

  // The most bytes of output that may wait for the server: far beyond what
  // a session queues while its server reads (a report is 42 bytes, 20 a
  // second). More ends the session: the server does not take its data.
  static constexpr std::size_t MaxOutputBytes = 8 * 1024 * 1024;

  // Looks hosts up with `lookup`, or on threads of its own when it is null.
  Connection(asio::io_service& ioService, Handler& handler,
             std::unique_ptr<HostLookup> lookup = nullptr);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // Ends a session under way (closed, without a word to the server), looks
  // the host up, then connects to the first address; the others are tried
  // in turn if it fails.
  void connect(const std::string& host, const std::string& port);
  // Queues the packet in the output buffer; it leaves at the next flush.
  // Ends the session when the output buffer would hold more than
  // MaxOutputBytes.
  void send(const TSPackets::Packet& packet);
  // Queues the packet ahead of everything queued: a server expects its
  // handshake before anything else.
  void sendFirst(const TSPackets::Packet& packet);
  // Writes everything queued to the socket before returning, after what a
  // flush under way has left to write, giving up after the time limit; true
  // when nothing is left queued.
  bool flushOutput(std::chrono::milliseconds limit);
  // Closes the connection: the player's doing, or the end of the program.
  void disconnect();
  // Ends the session for a reason of the layer above, such as the server's
  // kick.
  void end(SessionEnd::Kind kind, const std::string& text);
  // Ends the session on an error found above the connection, such as an
  // account login that failed: the report names the error and the packet
  // being handled, the end says `reason`.
  void endOnError(SessionEnd::Kind kind, const std::string& error, const std::string& reason);
  // Holds the packets after the one being handled back until
  // releasePackets(): something else has the turn (the account login).
  void holdPackets();
  void releasePackets();

  // From connect() until the session ends: looking up, connecting or
  // connected.
  bool isConnected() const { return m_state != State::Idle; }
  // Whether the server has accepted the connection.
  bool isEstablished() const { return m_state == State::Established; }
  // How the last session ended; kind None while it goes on.
  const SessionEnd& lastSessionEnd() const { return m_sessionEnd; }
  // How long a packet may take to arrive once its first byte has come, and
  // how long a flush may wait for the server to take any of its bytes.
  void setStallTimeout(std::chrono::milliseconds limit);

private:
  enum class State { Idle, LookingUp, Connecting, Established };
  using Completion = void (Connection::*)(const asio::error_code&);
  using Addresses = HostLookup::Addresses;

  void handle_resolve(const asio::error_code& error, const Addresses& addresses);
  void startConnect(Addresses::const_iterator endpoint);
  void handle_connect(const asio::error_code& error, Addresses::const_iterator endpoint);
  void handle_write(const asio::error_code& error);
  void handle_flushed(const asio::error_code& error);
  void handle_receive(const asio::error_code& error);
  void handle_read(const asio::error_code& error, std::size_t size);
  void startRead();
  void takeAvailable();
  // Reports a failed write and closes the connection; false when it worked.
  bool writeFailed(const asio::error_code& error, const char* report);
  // Handles the packets that have arrived whole, flushing what their
  // handlers queue in between, then reads more.
  void handlePackets();
  // After a packet's handler: writes what it queued, then goes on with the
  // packets; false when a flush or the packets held back have to end first.
  bool packetDone();
  // Hands the waiting packet to the layer above; false when it has not
  // arrived whole yet.
  bool takePacket();
  // Drops the packet's bytes from the receive buffer once it is parsed.
  void packetArrived(std::size_t size);
  // Runs a step on the loop's thread: whatever it throws ends the session
  // with the report that names the packet id. False when it threw.
  bool guarded(const std::function<void()>& step);
  void reportUnknownMessage();
  void reportFault(const std::string& error);
  void watchForStall();
  void reportStall();
  void reportOutputStall();
  void refuseOutput();
  // Reports a completion that finds the socket closed: the session is over.
  void reportClosed();
  // A packet that may be whole waits for more bytes (see ReceiveBuffer):
  // once the bytes stop coming for a moment, it is tried all the same.
  void retryWhenQuiet();
  void quietRetryDue();
  void startFlush(Completion completion);
  void awaitWritable(Completion completion);
  // Writes queued output without waiting; the error says why some is left.
  asio::error_code writeAvailable();
  // Writes queued output without waiting; true when nothing is left.
  bool writeAllNow();
  bool waitUntilWritable(std::chrono::steady_clock::time_point deadline);
  bool isStale(unsigned connection) const { return connection != m_connection; }
  // Notes the end (unless one is noted already) and closes.
  void endSession(SessionEnd::Kind kind, const std::string& text);
  // The first reason given for the end of a session is the one that counts.
  void noteEnd(SessionEnd::Kind kind, const std::string& text);
  // Closes whatever is open and tells the layer above, once per session.
  void finish();

  asio::io_service& m_ioService;
  Handler& m_handler;
  std::unique_ptr<HostLookup> m_lookup;
  State m_state = State::Idle;
  // The server as the player writes it, for the lookup's report.
  std::string m_server;
  std::uint8_t m_currentMessageType = 0;
  std::uint8_t m_previousMessageType = 0;
  asio::ip::tcp::socket m_socket;
  asio::streambuf m_outputBuffer;
  // Bytes at the front of the output buffer that the flush under way has
  // yet to write; output queued after its start waits for the next flush.
  std::size_t m_flushLeft = 0;
  ReceiveBuffer m_received;
  std::vector<unsigned char> m_readChunk;
  // A read is outstanding: the loop waits for the server's bytes.
  bool m_reading = false;
  // The outstanding read was cancelled to try a deferred packet.
  bool m_wakeRead = false;
  // A read failure that waits until a deferred packet has been tried: the
  // next read reports it.
  asio::error_code m_readFailure;
  std::chrono::steady_clock::time_point m_lastArrival;
  asio::steady_timer m_quietTimer;
  bool m_quietTimerSet = false;
  StallWatch m_stallWatch;
  StallWatch m_outputWatch;
  bool m_held = false;
  // Counts connections, so that completions of a closed one are recognised.
  unsigned m_connection = 0;
  SessionEnd m_sessionEnd;
  // Completion handlers still queued when the object is gone must not touch
  // it.
  std::shared_ptr<char> m_life = std::make_shared<char>();
};

// "host:port", "[v6 address]:port": the server as the player writes it.
std::string hostAndPort(const std::string& host, const std::string& port);

#endif
