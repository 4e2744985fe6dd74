#ifndef SESSION_FIXTURE_H
#define SESSION_FIXTURE_H

// A client session without a window against a server played by the test,
// packet by packet, on loopback: the test pumps the session's event loop in
// between.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <asio.hpp>

#include "OutputCapture.h"
#include "PlayedServerTest.h"
#include "session/ClientSession.h"

class SessionTest : public PlayedServerTest {
protected:
  SessionTest();

  // Connects to the test's server and plays its side of the handshake and
  // the login.
  void connectAndLogIn();
  // Sends a chat line and pumps until the session has handled it: every
  // packet sent before it has been handled then, and what the client wrote
  // before it has arrived.
  void sync();
  // True when the client has sent nothing that has not been read.
  bool clientIsQuiet();
  // A packet that makes the client write its queue without answering.
  void nudge();
  // A tick's report of the feet at the place, looking along +z.
  void report(double x, double feetY, double z);

  static TSPackets::PlayerPosAndLook correction(double x, double y, double z);

  asio::io_service m_io;
  std::unique_ptr<ClientSession> m_session;
  OutputCapture m_capture;
  // What the session told.
  int m_logins = 0;
  std::vector<std::vector<double>> m_placed;
  std::vector<SessionEnd> m_ends;
  std::vector<std::pair<float, float>> m_turns;
  int m_chats = 0;

private:
  void pump() override;
};

#endif
