#include "SessionFixture.h"

#include <thread>

SessionTest::SessionTest() : m_session(std::make_unique<ClientSession>(m_io)) {
  ClientSession::Events events;
  events.loggedIn = [this] { ++m_logins; };
  events.placed = [this](double x, double y, double z) { m_placed.push_back({x, y, z}); };
  events.ended = [this](const SessionEnd& end) { m_ends.push_back(end); };
  events.turned = [this](const ClientSession::Look& look) {
    m_turns.push_back({look.yaw, look.pitch});
  };
  m_session->setEvents(events);
  m_session->dispatch().on<TSPackets::ChatMessage>(
      [this](const TSPackets::ChatMessage&) { ++m_chats; });
}

void SessionTest::pump() {
  m_io.restart();
  if (m_io.run_for(std::chrono::milliseconds(2)) == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void SessionTest::connectAndLogIn() {
  const int logins = m_logins;
  m_session->connect("127.0.0.1", port(), "Tester", "");
  acceptConnection();
  playLogIn();
  pumpUntil([&] { return m_logins == logins + 1; });
}

void SessionTest::sync() {
  const int chats = m_chats;
  TSPackets::ChatMessage marker;
  marker.message = "sync";
  serverSend(marker);
  pumpUntil([&] { return m_chats > chats; });
}

bool SessionTest::clientIsQuiet() {
  sync();
  return unreadBytes() == 0;
}

void SessionTest::nudge() {
  TSPackets::TimeUpdate time;
  time.time = m_session->serverTime();
  serverSend(time);
}

void SessionTest::report(double x, double feetY, double z) {
  m_session->report({x, feetY, z, ClientSession::Look()});
}

TSPackets::PlayerPosAndLook SessionTest::correction(double x, double y, double z) {
  TSPackets::PlayerPosAndLook packet;
  packet.x = x;
  packet.y = y;
  packet.stance = y + 1.62;
  packet.z = z;
  return packet;
}
