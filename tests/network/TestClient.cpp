#include "TestClient.h"

#include <algorithm>
#include <sstream>

TestClient::TestClient(asio::io_service& io, std::unique_ptr<HostLookup> lookup)
    : session(io, std::move(lookup)) {
  session.dispatch().on<TSPackets::ChatMessage>([this](const TSPackets::ChatMessage& packet) {
    chat.push_back(packet.message);
    if (onChat) {
      onChat();
    }
  });
  ClientSession::Events events;
  events.ended = [this](const SessionEnd& end) { ends.push_back(end); };
  session.setEvents(events);
}

void FixedLookup::start(const std::string& host, const std::string& port, Done done) {
  const Addresses addresses = Addresses::create(m_endpoints.begin(), m_endpoints.end(), host, port);
  asio::post(m_io, [done, addresses] { done(asio::error_code(), addresses); });
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
