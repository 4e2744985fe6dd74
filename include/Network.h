#ifndef NETWORK_H
#define NETWORK_H

// The client's connection to one game server: connect, the output buffer and
// its flushes, the handshake and account login, the receive loop, and one
// virtual handler per packet kind with a logging default.

#include <chrono>
#include <cstdint>
#include <exception>
#include <string>

#include <asio.hpp>

#include "AccountServices.h"
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
  H(CreativeInventoryAction) H(PlayerListItem)

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
  void disconnect();
  // True while a connection is being made or is up.
  bool isConnected() const;
  // Writes everything queued to the socket before returning, giving up after
  // the time limit; true when nothing is left queued.
  bool flushOutput(std::chrono::milliseconds limit);

  // Where the account login and the session join are sent.
  void setAccountServices(AccountServices services);

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
  void handle_flushed(const asio::error_code& error);
  // Reports a failed write and closes the connection; false when it worked.
  bool writeFailed(const asio::error_code& error);
  // Parses and dispatches the packet whose id byte has arrived, then flushes
  // what the handler queued or reads the next id byte.
  void handlePacket();
  // Reads the next id byte if it has arrived already; false otherwise.
  bool readWaitingId();
  void startFlush(Completion completion);
  bool isStale(unsigned connection) const;
  void dispatch();
  [[noreturn]] void reportUnknownMessage() const;
  [[noreturn]] void endSession(const std::exception& error) const;
  template <class Packet> void receive();
  bool waitUntilWritable(std::chrono::steady_clock::time_point deadline);
  // Writes queued output until the deadline; the error says why some is left.
  asio::error_code writeQueued(std::chrono::steady_clock::time_point deadline);
  // Writes what the socket takes without waiting; true when nothing is left.
  bool writeQueuedNow();
  void logIn();
  void joinSession(const std::string& hash);

  std::uint8_t m_currentMessageType = 0;
  std::uint8_t m_previousMessageType = 0;
  asio::io_service& m_ioService;
  std::string m_userName;
  std::string m_password;
  std::string m_sessionId;
  asio::ip::tcp::socket m_socket;
  asio::streambuf m_outputBuffer;
  // The bytes of the flush under way, taken out of the output buffer.
  std::string m_outputInFlight;
  // Counts connections, so that completions of a closed one are recognised.
  unsigned m_connection = 0;
  AccountServices m_accountServices;
};

#endif
