#include "HostLookup.h"

#include <mutex>
#include <system_error>
#include <thread>

struct ThreadedLookup::Pending {
  std::mutex mutex;
  bool wanted = true;

  bool isWanted() {
    std::lock_guard<std::mutex> lock(mutex);
    return wanted;
  }
};

ThreadedLookup::ThreadedLookup(asio::io_service& ioService, Resolve resolve)
    : m_ioService(ioService), m_resolve(std::move(resolve)) {}

ThreadedLookup::~ThreadedLookup() { cancel(); }

void ThreadedLookup::start(const std::string& host, const std::string& port, Done done) {
  cancel();
  auto pending = std::make_shared<Pending>();
  m_pending = pending;
  m_work.emplace(m_ioService.get_executor());
  // Runs on the lookup's thread. What it posts touches this object only
  // while the answer is wanted: until then the object lives.
  const auto answer = [this, pending, done](const asio::error_code& error,
                                            const Addresses& addresses) {
    std::lock_guard<std::mutex> lock(pending->mutex);
    if (!pending->wanted) {
      return;
    }
    asio::post(m_ioService, [this, pending, done, error, addresses] {
      if (pending->isWanted()) {
        cancel();
        done(error, addresses);
      }
    });
  };
  try {
    std::thread([resolve = m_resolve, host, port, answer] {
      asio::error_code error;
      Addresses addresses;
      try {
        addresses = resolve(host, port, error);
      } catch (const std::system_error& failure) {
        error = failure.code();
      } catch (...) {
        error = asio::error::no_recovery;
      }
      answer(error, addresses);
    }).detach();
  } catch (const std::system_error& failure) {
    // No thread for the lookup: it fails like one that found nothing.
    answer(failure.code(), Addresses());
  }
}

void ThreadedLookup::cancel() {
  if (m_pending) {
    std::lock_guard<std::mutex> lock(m_pending->mutex);
    m_pending->wanted = false;
  }
  m_pending.reset();
  m_work.reset();
}

HostLookup::Addresses ThreadedLookup::systemResolve(const std::string& host,
                                                    const std::string& port,
                                                    asio::error_code& error) {
  asio::io_service ioService;
  asio::ip::tcp::resolver resolver(ioService);
  return resolver.resolve(host, port, asio::ip::resolver_base::address_configured, error);
}
