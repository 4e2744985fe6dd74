#include "server/AccountHttpServer.h"

#include <chrono>

#include "server/HttpRequest.h"

namespace Server {

namespace {

constexpr std::size_t MaxRequestBytes = 8192;
constexpr std::chrono::seconds RequestTimeout{5};

const std::string& valueOf(const HttpRequest& request, const std::string& key) {
  static const std::string none;
  const auto found = request.query.find(key);
  return found == request.query.end() ? none : found->second;
}

std::string response(bool found, const std::string& body) {
  return std::string(found ? "HTTP/1.0 200 OK\r\n" : "HTTP/1.0 404 Not Found\r\n") +
         "Content-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace

// One request and its answer; ends by itself after a time limit.
class AccountHttpServer::Exchange : public std::enable_shared_from_this<Exchange> {
public:
  Exchange(AccountHttpServer& server, asio::ip::tcp::socket socket)
      : m_server(server), m_socket(std::move(socket)), m_buffer(MaxRequestBytes),
        m_timer(server.m_io) {}

  void start() {
    auto self = shared_from_this();
    m_timer.expires_after(RequestTimeout);
    m_timer.async_wait([self](const asio::error_code& error) {
      if (!error)
        self->finish();
    });
    asio::async_read_until(m_socket, m_buffer, "\r\n\r\n",
                           [self](const asio::error_code& error, std::size_t size) {
                             self->onRequest(error, size);
                           });
  }

  void finish() {
    asio::error_code ignored;
    m_timer.cancel();
    m_socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    m_socket.close(ignored);
    m_server.m_exchanges.erase(shared_from_this());
  }

private:
  void onRequest(const asio::error_code& error, std::size_t size) {
    if (error) {
      if (error != asio::error::operation_aborted)
        finish();
      return;
    }
    const std::string head(asio::buffers_begin(m_buffer.data()),
                           asio::buffers_begin(m_buffer.data()) + static_cast<long>(size));
    bool found = true;
    const std::string body = m_server.answer(head, found);
    m_answer = response(found, body);
    auto self = shared_from_this();
    asio::async_write(m_socket, asio::buffer(m_answer),
                      [self](const asio::error_code&, std::size_t) { self->finish(); });
  }

  AccountHttpServer& m_server;
  asio::ip::tcp::socket m_socket;
  asio::streambuf m_buffer;
  asio::steady_timer m_timer;
  std::string m_answer;
};

AccountHttpServer::AccountHttpServer(asio::io_context& io, AccountRegistry& accounts,
                                     ServerLog& log)
    : m_io(io), m_acceptor(io), m_accounts(accounts), m_log(log) {}

void AccountHttpServer::start(const std::string& host, unsigned short port) {
  const asio::ip::tcp::endpoint endpoint(asio::ip::make_address(host), port);
  m_acceptor.open(endpoint.protocol());
  m_acceptor.set_option(asio::ip::tcp::acceptor::reuse_address(true));
  m_acceptor.bind(endpoint);
  m_acceptor.listen();
  m_log.line("account service on http://", host, ":", this->port());
  accept();
}

void AccountHttpServer::stop() {
  asio::error_code ignored;
  m_acceptor.close(ignored);
  for (const auto& exchange : std::set<std::shared_ptr<Exchange>>(m_exchanges))
    exchange->finish();
}

unsigned short AccountHttpServer::port() const {
  asio::error_code error;
  const auto endpoint = m_acceptor.local_endpoint(error);
  return error ? 0 : endpoint.port();
}

void AccountHttpServer::accept() {
  m_acceptor.async_accept([this](const asio::error_code& error, asio::ip::tcp::socket socket) {
    if (error == asio::error::operation_aborted || !m_acceptor.is_open())
      return;
    if (!error) {
      auto exchange = std::make_shared<Exchange>(*this, std::move(socket));
      m_exchanges.insert(exchange);
      exchange->start();
    }
    accept();
  });
}

std::string AccountHttpServer::answer(const std::string& head, bool& found) {
  const std::optional<HttpRequest> request = parseHttpRequest(head);
  if (request && request->path == "/") {
    const std::string& user = valueOf(*request, "user");
    const std::string body = m_accounts.login(user, valueOf(*request, "password"),
                                              valueOf(*request, "version"));
    m_log.line("account login of \"", user, "\": ",
               body.find(':') == std::string::npos ? "refused" : "accepted");
    return body;
  }
  if (request && request->path == "/game/joinserver.jsp") {
    const std::string& user = valueOf(*request, "user");
    const std::string body = m_accounts.join(user, valueOf(*request, "sessionId"),
                                             valueOf(*request, "serverId"));
    m_log.line("session join of \"", user, "\": ", body == "OK" ? "accepted" : "refused");
    return body;
  }
  m_log.line("account service: no such page: ", request ? request->path : "(not a GET request)");
  found = false;
  return "Not found";
}

} // namespace Server
