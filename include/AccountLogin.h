#ifndef ACCOUNT_LOGIN_H
#define ACCOUNT_LOGIN_H

// The account login and the session join that answer a server's handshake
// when it asks for them. They run on a thread of their own, so that the
// window goes on while the services answer, and cancel() ends them within
// about a second.

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "AccountServices.h"

class AccountLogin {
public:
  struct Request {
    AccountServices services;
    std::string userName;
    std::string password;
    // The server's connection hash, the join's server id.
    std::string hash;
  };

  // The account service's spelling of the user name and the session id, or
  // what went wrong (also a text thrown as a C string) with the reason the
  // player is shown: the account service's refusal as it answered, or which
  // service failed and why.
  struct Outcome {
    std::string userName;
    std::string sessionId;
    std::exception_ptr failure;
    std::string reason;
  };

  using LogLine = std::function<void(const std::string&)>;
  using Finished = std::function<void(Outcome)>;

  // Starts at once. `log` receives the log lines in order, `finished` the
  // outcome last; both are called on the login's thread.
  AccountLogin(Request request, LogLine log, Finished finished);
  // Cancels, then waits for the thread.
  ~AccountLogin();
  AccountLogin(const AccountLogin&) = delete;
  AccountLogin& operator=(const AccountLogin&) = delete;

  // Ends the requests early; the outcome is then a failure.
  void cancel();

private:
  void run();
  void logIn(Outcome& outcome);
  void joinSession(const Outcome& outcome);
  // Waits the pause before a join attempt; false when cancelled meanwhile.
  bool pause();

  Request m_request;
  LogLine m_log;
  Finished m_finished;
  std::atomic<bool> m_cancelled{false};
  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::thread m_thread;
};

#endif
