#include "LocalRun.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>
#include <thread>

#include "ProcessStatus.h"

namespace {

using namespace std::chrono_literals;

const std::chrono::seconds ServerStartLimit(10);
const std::chrono::milliseconds Slice(50);

volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) { stopRequested = 1; }

void throwIfStopped() {
  if (stopRequested)
    throw std::runtime_error("stopped");
}

} // namespace

void installStopHandlers() {
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP})
    sigaction(signal, &action, nullptr);
}

unsigned short freePort() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  const bool found = probe >= 0 &&
                     bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                     getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0;
  if (probe >= 0)
    close(probe);
  if (!found)
    throw std::runtime_error("cannot find a free port");
  return ntohs(address.sin_port);
}

std::unique_ptr<ChildProcess> startLocalServer(unsigned short port, int viewRadius) {
  auto server = std::make_unique<ChildProcess>(std::vector<std::string>{
      std::string(TS_RUN_DIR) + "/ts_server", "--port", std::to_string(port), "--view-radius",
      std::to_string(viewRadius), "--seed", "0", "--once"});
  const auto deadline = Clock::now() + ServerStartLimit;
  while (server->standardOutput().find("listening on") == std::string::npos) {
    if (server->poll() || Clock::now() > deadline || stopRequested)
      throw std::runtime_error("the local world server did not start:\n" +
                               server->standardOutput() + server->standardError());
    std::this_thread::sleep_for(Slice);
  }
  return server;
}

ClientLines::ClientLines(ClientProcess& client) : m_client(client) {
  const std::string path = client.directory() + "/stdout.log";
  if (mkfifo(path.c_str(), 0600) != 0)
    throw std::runtime_error("cannot make the pipe " + path);
  m_descriptor = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (m_descriptor < 0)
    throw std::runtime_error("cannot open the pipe " + path);
  m_lines = std::make_unique<TimedLines>(m_descriptor);
  client.start();
}

ClientLines::~ClientLines() {
  if (m_descriptor >= 0)
    close(m_descriptor);
}

void ClientLines::checkClientAlive() const {
  throwIfStopped();
  if (!isRunning(m_client.pid())) {
    const std::optional<int> status = m_client.waitForExit(1s);
    throw std::runtime_error("the client ended (status " +
                             (status ? std::to_string(*status) : std::string("unknown")) +
                             "); its last lines:\n" + m_lines->tail(10) + m_client.errors());
  }
}

bool ClientLines::waitUntil(const std::function<bool()>& done, Clock::time_point deadline,
                            const std::function<void()>& consume) {
  for (;;) {
    readAny({m_lines.get()}, Slice);
    consume();
    if (done())
      return true;
    checkClientAlive();
    if (Clock::now() > deadline)
      return false;
  }
}
