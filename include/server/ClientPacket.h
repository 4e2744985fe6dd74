#ifndef CLIENT_PACKET_H
#define CLIENT_PACKET_H

#include <stdexcept>
#include <string>
#include <variant>

#include "TSPackets.h"

namespace Server {

// Every packet a client may send, read the way a client writes it.
using ClientPacket =
    std::variant<TSPackets::Ping, TSPackets::Login, TSPackets::HandShake, TSPackets::ChatMessage,
                 TSPackets::UseEntity, TSPackets::Player, TSPackets::PlayerPosition,
                 TSPackets::PlayerLook, TSPackets::PlayerPosAndLook, TSPackets::PlayerDig,
                 TSPackets::PlayerBlockPlace, TSPackets::PlayerHoldingChange,
                 TSPackets::Animation, TSPackets::EntityAction, TSPackets::Disconnect,
                 TSPackets::Respawn, TSPackets::WindowClick, TSPackets::Transaction,
                 TSPackets::CloseWindow>;

// An id byte that no client sends.
class UnknownPacket : public std::runtime_error {
public:
  explicit UnknownPacket(unsigned char id);
};

// Reads the rest of the packet whose id byte has just been read. Throws what
// the wire readers throw, and UnknownPacket.
ClientPacket readClientPacket(asio::ip::tcp::socket& socket, unsigned char id);

// The id as "0x" and two hex digits.
std::string packetIdText(unsigned char id);

} // namespace Server

#endif
