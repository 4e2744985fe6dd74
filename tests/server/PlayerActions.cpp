#include "PlayerActions.h"

TSPackets::PlayerPosition positionAt(double x, double y, double z, bool onGround) {
  TSPackets::PlayerPosition position;
  position.x = x;
  position.y = y;
  position.stance = y + 1.62;
  position.z = z;
  position.onGround = onGround;
  return position;
}

TSPackets::PlayerDig digAt(int status, int x, int y, int z) {
  TSPackets::PlayerDig packet;
  packet.status = static_cast<signed char>(status);
  packet.x = x;
  packet.y = static_cast<signed char>(y);
  packet.z = z;
  packet.face = 1;
  return packet;
}

TSPackets::PlayerBlockPlace placeOnTop(int x, int y, int z, short item, int count) {
  TSPackets::PlayerBlockPlace packet;
  packet.x = x;
  packet.y = static_cast<signed char>(y);
  packet.z = z;
  packet.direction = 1;
  packet.itemId = item;
  packet.itemCount = static_cast<signed char>(item < 0 ? 0 : count);
  packet.damage = 0;
  return packet;
}

TSPackets::WindowClick clickOf(int slot, short action, short item, int count, bool rightButton) {
  TSPackets::WindowClick click;
  click.windowId = 0;
  click.slot = static_cast<short>(slot);
  click.rightClick = rightButton;
  click.actionNumber = action;
  click.shift = false;
  click.itemId = item;
  click.itemCount = static_cast<signed char>(count);
  click.damage = 0;
  return click;
}

std::vector<ScriptedClient::Received> settle(ScriptedClient& client, const std::string& name) {
  // Every earlier echo has been read by the earlier calls: the first one to
  // come is this call's.
  TSPackets::ChatMessage chat;
  chat.message = "settled";
  client.send(chat);
  const std::string echo = "<" + name + "> " + chat.message;
  std::vector<ScriptedClient::Received> before;
  for (;;) {
    ScriptedClient::Received received = client.next();
    if (received.id == TSPackets::ChatMessage::Id &&
        std::any_cast<TSPackets::ChatMessage>(received.packet).message == echo)
      return before;
    if (received.id == TSPackets::Ping::Id)
      client.send(std::any_cast<TSPackets::Ping>(received.packet));
    before.push_back(std::move(received));
  }
}
