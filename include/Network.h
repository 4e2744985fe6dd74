#ifndef NETWORK_H
#define NETWORK_H

// The client's connection to one game server: connect, the output buffer and
// its flushes, the handshake and account login, the receive loop, and one
// virtual handler per packet kind with a logging default.

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <asio.hpp>

#include "AccountLogin.h"
#include "AccountServices.h"
#include "ReceiveBuffer.h"
#include "SessionEnd.h"
#include "StallWatch.h"
#include "TSPackets.h"

// The handler interface in its slot order (not the order of the ids).
#define TS_HANDLER_SLOTS(H)                                                                        \
  H(Ping) H(Login) H(HandShake) H(ChatMessage) H(TimeUpdate) H(EntityEquipment) H(SpawnPoint)      \
  H(UpdateHealth) H(Respawn) H(PlayerPosAndLook) H(Animation) H(NamedEntitySpawn) H(PickupSpawn)   \
  H(CollectItem) H(AddObject) H(MobSpawn) H(EntityPainting) H(EntityVelocity) H(DestroyEntity)     \
  H(Entity) H(EntityRelativeMove) H(EntityLook) H(EntityLookAndMove) H(EntityTeleport)             \
  H(EntityStatus) H(AttachEntity) H(EntityMetadata) H(Prechunk) H(MapChunk) H(MultiBlockChange)    \
  H(BlockChange) H(BlockAction) H(Explosion) H(OpenWindow) H(CloseWindow) H(SetSlot)               \
  H(WindowItems) H(UpdateProgressBar) H(Transaction) H(UpdateSign) H(Disconnect) H(UseBed)         \
  H(Unknown0x1B) H(Sound) H(ItemData) H(Thunderbolt) H(Statistic) H(StateChange) H(PlayerDig)      \
  H(UseEntity) H(ExperienceOrb) H(EntityEffect) H(RemoveEntityEffect) H(Experience)                \
  H(CreativeInventoryAction) H(PlayerListItem) H(PlayerPosition)

class Network {
public:
  explicit Network(asio::io_service& ioService);
  ~Network();
  Network(const Network&) = delete;
  Network& operator=(const Network&) = delete;

  // Resolves host and port (blocking), then starts connecting to the first
  // address; the others are tried in turn if it fails.
  void connect(std::string host, std::string port, std::string user, std::string password);
  // Queues the packet in the output buffer; it leaves at the next flush.
  void send(const TSPackets::Packet& packet);
  // Closes the connection and cancels an account login under way.
  void disconnect();
  // True while a connection is being made or is up.
  bool isConnected() const;
  // Writes everything queued to the socket before returning, after what a
  // flush under way has left to write, giving up after the time limit; true
  // when nothing is left queued.
  bool flushOutput(std::chrono::milliseconds limit);
  // How the last session ended; kind None while it goes on.
  const SessionEnd& lastSessionEnd() const { return m_sessionEnd; }

  // Where the account login and the session join are sent.
  void setAccountServices(AccountServices services);
  // How long a packet may take to arrive once its first byte has come.
  void setStallTimeout(std::chrono::milliseconds limit);

#define TS_DECLARE_HANDLER(Class) virtual void handle(const TSPackets::Class& packet);
  TS_HANDLER_SLOTS(TS_DECLARE_HANDLER)
#undef TS_DECLARE_HANDLER

protected:
  // Starts a fresh connection to the first of the resolved addresses; the
  // others are tried in turn if it fails.
  void connectResolved(const asio::ip::tcp::resolver::results_type& addresses);

  void handle_connect(const asio::error_code& error, asio::ip::tcp::resolver::iterator endpoint);
  void handle_write(const asio::error_code& error);
  void handle_receive(const asio::error_code& error);

private:
  using Completion = void (Network::*)(const asio::error_code&);

  void startConnect(asio::ip::tcp::resolver::iterator endpoint);
  void sendFirst(const TSPackets::Packet& packet);
  void startRead();
  void handle_read(const asio::error_code& error, std::size_t size);
  void takeAvailable();
  void handle_flushed(const asio::error_code& error);
  // Reports a failed write and closes the connection; false when it worked.
  bool writeFailed(const asio::error_code& error, const char* report);
  // Handles the packets that have arrived whole, flushing what their
  // handlers queue in between, then reads more.
  void handlePackets();
  // After a packet's handler: writes what it queued, then goes on with the
  // packets; false when a flush or the account login has to end first.
  bool packetDone();
  // Parses the waiting packet and calls its handler; false when it has not
  // arrived whole yet.
  bool dispatch();
  template <class Packet> bool receive();
  // Parses the waiting packet with the reader; false, noting how many bytes
  // it needs, while it is incomplete.
  bool parseWaiting(TSPackets::Packet& packet, ByteReader& reader);
  // Drops the packet's bytes from the receive buffer once it is parsed.
  void packetArrived(std::size_t size);
  // Runs a step of a dispatch with the receive loop's error handling.
  void guarded(const std::function<void()>& step);
  void watchForStall();
  void reportStall();
  void startFlush(Completion completion);
  void awaitWritable(Completion completion);
  // Writes queued output without waiting; the error says why some is left.
  asio::error_code writeAvailable();
  // Writes queued output without waiting; true when nothing is left.
  bool writeAllNow();
  bool waitUntilWritable(std::chrono::steady_clock::time_point deadline);
  bool isStale(unsigned connection) const;
  [[noreturn]] void reportUnknownMessage();
  [[noreturn]] void endSession(const std::exception& error);
  void noteEnd(SessionEnd::Kind kind, const std::string& text);
  void startAccountLogin(const std::string& hash);
  void finishAccountLogin(const AccountLogin::Outcome& outcome);
  void stopAccountLogin();

  std::uint8_t m_currentMessageType = 0;
  std::uint8_t m_previousMessageType = 0;
  asio::io_service& m_ioService;
  std::string m_userName;
  std::string m_password;
  std::string m_sessionId;
  asio::ip::tcp::socket m_socket;
  asio::streambuf m_outputBuffer;
  // Bytes at the front of the output buffer that the flush under way has
  // yet to write; output queued after its start waits for the next flush.
  std::size_t m_flushLeft = 0;
  ReceiveBuffer m_received;
  std::vector<unsigned char> m_readChunk;
  StallWatch m_stallWatch;
  // Counts connections, so that completions of a closed one are recognised.
  unsigned m_connection = 0;
  AccountServices m_accountServices;
  std::unique_ptr<AccountLogin> m_accountLogin;
  // The current account login's token: what its thread hands over counts
  // only while the token lives.
  std::shared_ptr<char> m_loginToken;
  // Keeps the event loop running while the account login has the turn.
  std::optional<asio::executor_work_guard<asio::io_service::executor_type>> m_loginWork;
  SessionEnd m_sessionEnd;
  // Completion handlers still queued when the object is gone must not touch
  // it.
  std::shared_ptr<char> m_life = std::make_shared<char>();
};

#endif
