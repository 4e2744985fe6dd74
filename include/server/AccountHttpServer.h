#ifndef ACCOUNT_HTTP_SERVER_H
#define ACCOUNT_HTTP_SERVER_H

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "server/AccountRegistry.h"
#include "server/ServerLog.h"

namespace httplib {
class Request;
class Response;
class Server;
} // namespace httplib

namespace Server {

// The account login ("/") and session join ("/game/joinserver.jsp") pages
// over plain HTTP: one GET per connection, answered in plain text and closed;
// anything else is "Not found". Served on threads of their own.
class AccountHttpServer {
public:
  AccountHttpServer(AccountRegistry& accounts, ServerLog& log);
  ~AccountHttpServer();
  AccountHttpServer(const AccountHttpServer&) = delete;
  AccountHttpServer& operator=(const AccountHttpServer&) = delete;

  // Throws std::system_error when the address cannot be listened on.
  void start(const std::string& host, unsigned short port);
  // Stops listening and waits for the answers under way.
  void stop();
  unsigned short port() const { return m_port; }

private:
  void route();
  void login(const httplib::Request& request, httplib::Response& response);
  void join(const httplib::Request& request, httplib::Response& response);
  void notFound(const httplib::Request& request, httplib::Response& response);

  AccountRegistry& m_accounts;
  ServerLog& m_log;
  std::unique_ptr<httplib::Server> m_server;
  std::thread m_listener;
  std::atomic<bool> m_listening{false};
  unsigned short m_port = 0;
};

} // namespace Server

#endif
