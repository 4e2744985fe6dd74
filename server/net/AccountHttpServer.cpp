#include "server/AccountHttpServer.h"

#include <cerrno>
#include <chrono>
#include <system_error>

#include <httplib.h>

namespace Server {

namespace {

constexpr std::size_t MaxBodyBytes = 8192;
constexpr std::chrono::seconds RequestTimeout{5};
// Answers under way at once; a local server sees a handful of players.
constexpr std::size_t AnsweringThreads = 2;

const char* const PlainText = "text/plain";

} // namespace

AccountHttpServer::AccountHttpServer(AccountRegistry& accounts, ServerLog& log)
    : m_accounts(accounts), m_log(log), m_server(std::make_unique<httplib::Server>()) {
  m_server->new_task_queue = [] { return new httplib::ThreadPool(AnsweringThreads); };
  m_server->set_keep_alive_max_count(1);
  m_server->set_read_timeout(RequestTimeout);
  m_server->set_write_timeout(RequestTimeout);
  m_server->set_payload_max_length(MaxBodyBytes);
  route();
}

AccountHttpServer::~AccountHttpServer() { stop(); }

void AccountHttpServer::route() {
  m_server->Get("/", [this](const httplib::Request& request, httplib::Response& response) {
    login(request, response);
  });
  m_server->Get("/game/joinserver.jsp",
                [this](const httplib::Request& request, httplib::Response& response) {
                  join(request, response);
                });
  m_server->set_error_handler([this](const httplib::Request& request,
                                     httplib::Response& response) {
    notFound(request, response);
  });
}

void AccountHttpServer::start(const std::string& host, unsigned short port) {
  errno = 0;
  const int bound = port == 0 ? m_server->bind_to_any_port(host)
                              : (m_server->bind_to_port(host, port) ? port : -1);
  if (bound <= 0)
    throw std::system_error(errno ? errno : EADDRNOTAVAIL, std::generic_category(),
                            "the account service on port " + std::to_string(port));
  m_port = static_cast<unsigned short>(bound);
  m_listening = true;
  m_listener = std::thread([this] {
    m_server->listen_after_bind();
    m_listening = false;
  });
  // Stopping is only heard once the server listens: wait for that here, so
  // that a stop right after the start cannot be missed.
  while (m_listening && !m_server->is_running())
    std::this_thread::yield();
  m_log.line("account service on http://", host, ":", m_port);
}

void AccountHttpServer::stop() {
  if (!m_listener.joinable())
    return;
  m_server->stop();
  m_listener.join();
}

// A HEAD request reaches the GET pages too; it does not log in or join.
void AccountHttpServer::login(const httplib::Request& request, httplib::Response& response) {
  if (request.method != "GET")
    return notFound(request, response);
  const std::string user = request.get_param_value("user");
  const std::string body = m_accounts.login(user, request.get_param_value("password"),
                                            request.get_param_value("version"));
  m_log.line("account login of \"", user, "\": ",
             body.find(':') == std::string::npos ? "refused" : "accepted");
  response.set_content(body, PlainText);
}

void AccountHttpServer::join(const httplib::Request& request, httplib::Response& response) {
  if (request.method != "GET")
    return notFound(request, response);
  const std::string user = request.get_param_value("user");
  const std::string body = m_accounts.join(user, request.get_param_value("sessionId"),
                                           request.get_param_value("serverId"));
  m_log.line("session join of \"", user, "\": ", body == "OK" ? "accepted" : "refused");
  response.set_content(body, PlainText);
}

void AccountHttpServer::notFound(const httplib::Request& request, httplib::Response& response) {
  m_log.line("account service: no such page: ",
             request.method == "GET" ? request.path : "(not a GET request)");
  response.status = 404;
  response.set_content("Not found", PlainText);
}

} // namespace Server
