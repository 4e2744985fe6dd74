#ifndef ACCOUNT_HTTP_SERVER_H
#define ACCOUNT_HTTP_SERVER_H

#include <memory>
#include <set>
#include <string>

#include <asio.hpp>

#include "server/AccountRegistry.h"
#include "server/ServerLog.h"

namespace Server {

// The account login ("/") and session join ("/game/joinserver.jsp")
// endpoints over plain HTTP/1.0: one GET per connection, answered and closed.
class AccountHttpServer {
public:
  AccountHttpServer(asio::io_context& io, AccountRegistry& accounts, ServerLog& log);

  // Throws asio::system_error when the address cannot be listened on.
  void start(const std::string& host, unsigned short port);
  void stop();
  unsigned short port() const;

private:
  class Exchange;

  void accept();
  // The answer's body; the status line is 200 unless `found` is cleared.
  std::string answer(const std::string& head, bool& found);

  asio::io_context& m_io;
  asio::ip::tcp::acceptor m_acceptor;
  AccountRegistry& m_accounts;
  ServerLog& m_log;
  std::set<std::shared_ptr<Exchange>> m_exchanges;
};

} // namespace Server

#endif
