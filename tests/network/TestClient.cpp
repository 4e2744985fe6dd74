#include "TestClient.h"

#include <algorithm>
#include <sstream>

#include "Entities/InvalidEntity.h"

void TestClient::handle(const TSPackets::ChatMessage& packet) {
  chat.push_back(packet.message);
  if (onChat) {
    onChat();
  }
}

void TestClient::handle(const TSPackets::EntityTeleport&) { throw Entities::InvalidEntity(); }

void TestClient::handle(const TSPackets::Disconnect& packet) {
  if (answerKick) {
    TSPackets::Ping answer;
    send(answer);
  }
  Network::handle(packet);
}

std::string bytesOf(const TSPackets::Packet& packet) {
  std::ostringstream out;
  packet.write(out);
  return out.str();
}

std::exception_ptr runLoop(asio::io_service& io) {
  try {
    io.run();
  } catch (...) {
    return std::current_exception();
  }
  return nullptr;
}

std::string describe(std::exception_ptr thrown) {
  if (!thrown) {
    return "";
  }
  try {
    std::rethrow_exception(thrown);
  } catch (const std::exception& error) {
    return error.what();
  } catch (const char* text) {
    return text;
  } catch (...) {
    return "(something else)";
  }
}

std::vector<std::string> afterHandShake(const std::vector<std::string>& lines) {
  const auto start = std::find(lines.begin(), lines.end(), "sending handshake");
  return start == lines.end() ? lines : std::vector<std::string>(start + 1, lines.end());
}

const std::vector<std::string> ClosedByServer = {"receive error: End of file", "handle disconnect"};
