#ifndef PLAYER_ACTIONS_H
#define PLAYER_ACTIONS_H

#include <string>
#include <vector>

#include "ScriptedClient.h"

// What a scripted player sends about its place, its hands and its window,
// as the client fills the packets.
TSPackets::PlayerPosition positionAt(double x, double y, double z, bool onGround);
TSPackets::PlayerDig digAt(int status, int x, int y, int z);
// A place against the top face of the block, with the stack the client
// thinks it holds (id -1: an empty hand).
TSPackets::PlayerBlockPlace placeOnTop(int x, int y, int z, short item, int count = 64);
TSPackets::WindowClick clickOf(int slot, short action, short item, int count,
                               bool rightButton = false);

// Sends a chat line and reads until the server echoes it back: everything
// the server sent for the packets before it has come by then. Returns those
// packets.
std::vector<ScriptedClient::Received> settle(ScriptedClient& client, const std::string& name);

// Whether any of the packets is a Packet.
template <typename Packet> bool anyOf(const std::vector<ScriptedClient::Received>& packets) {
  for (const auto& received : packets)
    if (received.id == Packet::Id)
      return true;
  return false;
}

#endif
