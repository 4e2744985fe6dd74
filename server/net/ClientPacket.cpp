#include "server/ClientPacket.h"

#include <cstdio>

#include "server/ServerPackets.h"

namespace Server {

namespace {

template <typename Packet> ClientPacket parsed(asio::ip::tcp::socket& socket) {
  Packet packet;
  packet.parse(socket);
  return packet;
}

} // namespace

UnknownPacket::UnknownPacket(unsigned char id)
    : std::runtime_error("unknown packet id " + packetIdText(id)) {}

std::string packetIdText(unsigned char id) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02x", id);
  return text;
}

ClientPacket readClientPacket(asio::ip::tcp::socket& socket, unsigned char id) {
  switch (id) {
  case TSPackets::Ping::Id:
    return parsed<TSPackets::Ping>(socket);
  case TSPackets::Login::Id:
    return parsed<TSPackets::Login>(socket);
  case TSPackets::HandShake::Id:
    return parsed<TSPackets::HandShake>(socket);
  case TSPackets::ChatMessage::Id:
    return parsed<TSPackets::ChatMessage>(socket);
  case TSPackets::UseEntity::Id:
    return parsed<TSPackets::UseEntity>(socket);
  case TSPackets::Player::Id:
    return ServerPackets::readPlayer(socket);
  case TSPackets::PlayerPosition::Id:
    return parsed<TSPackets::PlayerPosition>(socket);
  case TSPackets::PlayerLook::Id:
    return parsed<TSPackets::PlayerLook>(socket);
  case TSPackets::PlayerPosAndLook::Id:
    return ServerPackets::readPlayerPosAndLook(socket);
  case TSPackets::PlayerDig::Id:
    return parsed<TSPackets::PlayerDig>(socket);
  case TSPackets::PlayerBlockPlace::Id:
    return parsed<TSPackets::PlayerBlockPlace>(socket);
  case TSPackets::PlayerHoldingChange::Id:
    return parsed<TSPackets::PlayerHoldingChange>(socket);
  case TSPackets::Animation::Id:
    return parsed<TSPackets::Animation>(socket);
  case TSPackets::EntityAction::Id:
    return parsed<TSPackets::EntityAction>(socket);
  case TSPackets::Disconnect::Id:
    return parsed<TSPackets::Disconnect>(socket);
  case TSPackets::Respawn::Id:
    return parsed<TSPackets::Respawn>(socket);
  case TSPackets::WindowClick::Id:
    return parsed<TSPackets::WindowClick>(socket);
  case TSPackets::Transaction::Id:
    return parsed<TSPackets::Transaction>(socket);
  case TSPackets::CloseWindow::Id:
    return parsed<TSPackets::CloseWindow>(socket);
  default:
    throw UnknownPacket(id);
  }
}

} // namespace Server
