#ifndef HTTP_STUB_H
#define HTTP_STUB_H

#include <atomic>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <asio.hpp>

// A tiny HTTP responder on 127.0.0.1 for the account services. The n-th
// request is answered with the n-th answer (the last one again once they run
// out); a stub without answers accepts requests and never answers.
class HttpStub {
public:
  explicit HttpStub(std::vector<std::string> answers);
  ~HttpStub();
  HttpStub(const HttpStub&) = delete;
  HttpStub& operator=(const HttpStub&) = delete;

  // Scheme, host and port, as the account services take them.
  std::string url() const;
  // The request targets received so far, such as "/?user=...".
  std::vector<std::string> requests() const;

private:
  void serve();
  void answer(asio::ip::tcp::socket& socket);

  std::vector<std::string> m_answers;
  asio::io_service m_io;
  asio::ip::tcp::acceptor m_acceptor;
  // Connections of a stub that never answers stay open until it is gone.
  std::list<asio::ip::tcp::socket> m_held;
  mutable std::mutex m_mutex;
  std::vector<std::string> m_requests;
  std::atomic<bool> m_stopping{false};
  std::thread m_thread;
};

#endif
