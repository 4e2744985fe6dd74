#include "HttpStub.h"

#include <cstdlib>

#include <poll.h>

namespace {

constexpr int PollMilliseconds = 20;

bool readable(int descriptor, int milliseconds) {
  pollfd entry{descriptor, POLLIN, 0};
  return ::poll(&entry, 1, milliseconds) > 0;
}

} // namespace

HttpStub::HttpStub(std::vector<std::string> answers)
    : m_answers(std::move(answers)), m_acceptor(m_io, {asio::ip::address_v4::loopback(), 0}),
      m_thread([this] { serve(); }) {
  // The stub is local: no proxy of the environment may stand in between.
  setenv("NO_PROXY", "127.0.0.1", 1);
}

HttpStub::~HttpStub() {
  m_stopping = true;
  m_thread.join();
}

std::string HttpStub::url() const {
  return "http://127.0.0.1:" + std::to_string(m_acceptor.local_endpoint().port());
}

std::vector<std::string> HttpStub::requests() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_requests;
}

void HttpStub::serve() {
  while (!m_stopping) {
    if (!readable(m_acceptor.native_handle(), PollMilliseconds)) {
      continue;
    }
    asio::ip::tcp::socket socket(m_io);
    m_acceptor.accept(socket);
    answer(socket);
  }
}

void HttpStub::answer(asio::ip::tcp::socket& socket) {
  asio::streambuf head;
  asio::error_code error;
  asio::read_until(socket, head, "\r\n\r\n", error);
  if (error) {
    return;
  }
  std::istream lines(&head);
  std::string method;
  std::string target;
  lines >> method >> target;
  std::size_t index;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.push_back(target);
    index = m_requests.size() - 1;
  }
  if (m_answers.empty()) {
    m_held.push_back(std::move(socket));
    return;
  }
  const std::string& body = m_answers[std::min(index, m_answers.size() - 1)];
  const std::string response = "HTTP/1.1 200 OK\r\nContent-Length: " +
                               std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
                               body;
  asio::write(socket, asio::buffer(response), error);
}
