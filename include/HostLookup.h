#ifndef HOST_LOOKUP_H
#define HOST_LOOKUP_H

// Looking up a server's host and port without blocking the thread that runs
// the event loop (and draws): the answer arrives on the loop later.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <asio.hpp>

class HostLookup {
public:
  using Addresses = asio::ip::tcp::resolver::results_type;
  using Done = std::function<void(const asio::error_code& error, const Addresses& addresses)>;

  virtual ~HostLookup() = default;

  // Starts looking up host and port, dropping a lookup under way; `done`
  // runs on the loop's thread unless the lookup is cancelled first.
  virtual void start(const std::string& host, const std::string& port, Done done) = 0;
  // Drops the lookup under way, if any: its `done` never runs.
  virtual void cancel() = 0;
};

// Each lookup runs on a thread of its own, so that one that hangs (a name
// server that never answers) holds up nothing: a dropped lookup's thread is
// left to finish by itself, and its answer goes nowhere.
class ThreadedLookup final : public HostLookup {
public:
  // A blocking lookup, as the system's resolver does it.
  using Resolve = std::function<Addresses(const std::string& host, const std::string& port,
                                          asio::error_code& error)>;

  explicit ThreadedLookup(asio::io_service& ioService, Resolve resolve = systemResolve);
  ~ThreadedLookup() override;
  ThreadedLookup(const ThreadedLookup&) = delete;
  ThreadedLookup& operator=(const ThreadedLookup&) = delete;

  void start(const std::string& host, const std::string& port, Done done) override;
  void cancel() override;

  // The system's resolver, for the address families the machine has
  // configured.
  static Addresses systemResolve(const std::string& host, const std::string& port,
                                 asio::error_code& error);

private:
  // Shared by the owner and one lookup's thread: whether its answer is
  // still wanted. The thread hands its answer to the loop only under the
  // lock, so that after cancel() it never touches the loop again.
  struct Pending;

  asio::io_service& m_ioService;
  Resolve m_resolve;
  std::shared_ptr<Pending> m_pending;
  // The loop has work while a lookup is wanted, as with its own operations.
  std::optional<asio::executor_work_guard<asio::io_service::executor_type>> m_work;
};

#endif
