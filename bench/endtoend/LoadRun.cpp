#include "LoadRun.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "ChildProcess.h"
#include "ClientProcess.h"
#include "ProcessStatus.h"
#include "SlowLinkProxy.h"

namespace {

using namespace std::chrono_literals;

const std::chrono::seconds ServerStartLimit(10);
const std::chrono::seconds LoginLimit(30);
// Long enough for the load of radius 10 on a slow shared machine.
const std::chrono::seconds LoadLimit(300);
// The load is over when the ticks go on this long without drawing a mesh.
const std::chrono::seconds QuietTime(3);
// Ticks and frames are watched this long after the last mesh of the load.
const std::chrono::seconds AfterLoad(AfterLoadSeconds);
// The empty client is measured once its window has been up this long.
const std::chrono::seconds EmptySettle(2);
const std::chrono::seconds ExitLimit(20);
const std::chrono::milliseconds Slice(50);
const std::chrono::milliseconds ThreadSampleInterval(100);

volatile std::sig_atomic_t stopRequested = 0;

double seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

// A port that was free a moment ago, for the server to listen on.
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

// A "key=columns" line, or nothing for none.
std::string columnsLine(const char* key, std::optional<int> columns) {
  return columns ? key + ("=" + std::to_string(*columns)) + "\n" : "";
}

std::string benchConfig(unsigned short port, const MeshDistances& distances) {
  const std::string levels = columnsLine("DetailDistance", distances.detail) +
                             columnsLine("CoarseDistance", distances.coarse);
  return "[Controls]\nPreconfigured=wasd\n\n[Graphics]\nfov=90\nFiltering=bilinear\n"
         "MaxFrameRate=0\n" + levels +
         "\n[Player]\nName=Bench\nPassword=\n\n[Server]\nHostname=127.0.0.1\nPort=" +
         std::to_string(port) + "\n\n[Diagnostics]\nTimings=yes\n";
}

// Closes a descriptor on every way out.
struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0)
      close(fd);
  }
};

// The server and the client of one run, and what they have said so far.
class LoadSession {
public:
  LoadSession(int viewRadius, const MeshDistances& distances, std::optional<SlowLink> slowLink);

  LoadRecord run();

private:
  void startServer(int viewRadius);
  void startClient();
  // Reads the client's output as it comes until `done` holds; false when
  // the deadline passes first. Throws when the client has died or a stop was
  // asked for.
  bool waitUntil(const std::function<bool()>& done, Clock::time_point deadline);
  void waitFor(std::chrono::milliseconds duration);
  void checkClientAlive();
  void connect();
  void followLoad();
  // Takes the client lines that arrived since the last call.
  void consumeClientLines();
  bool loadOver() const;
  void sampleThreads();
  std::string loadProgress() const;
  // The server's log lines about dropped connections.
  std::string droppedLines() const;
  void quit();

  LoadRecord m_record;
  unsigned short m_port;
  std::unique_ptr<ChildProcess> m_server;
  std::unique_ptr<SlowLinkProxy> m_link;
  ClientProcess m_client;
  Descriptor m_clientOutput;
  std::unique_ptr<TimedLines> m_clientLines;
  std::size_t m_consumed = 0;
  bool m_loggedIn = false;
  bool m_disconnected = false;
  long m_meshesDrawn = 0;
  Clock::time_point m_lastThreadSample;
  double m_clientSecondsAtLogin = 0;
  std::map<std::string, double> m_threadSecondsAtLogin;
};

LoadSession::LoadSession(int viewRadius, const MeshDistances& distances,
                         std::optional<SlowLink> slowLink)
    : m_port(freePort()),
      m_link(slowLink ? std::make_unique<SlowLinkProxy>(m_port, slowLink->segmentBytes,
                                                        slowLink->interval)
                      : nullptr),
      m_client(benchConfig(m_link ? m_link->port() : m_port, distances)) {
  m_record.viewRadius = viewRadius;
  m_record.columns = std::size_t(2 * viewRadius + 1) * std::size_t(2 * viewRadius + 1);
  startServer(viewRadius);
  startClient();
}

void LoadSession::startServer(int viewRadius) {
  m_server = std::make_unique<ChildProcess>(std::vector<std::string>{
      std::string(TS_RUN_DIR) + "/ts_server", "--port", std::to_string(m_port),
      "--view-radius", std::to_string(viewRadius), "--seed", "0", "--once"});
  const auto deadline = Clock::now() + ServerStartLimit;
  while (m_server->standardOutput().find("listening on") == std::string::npos) {
    if (m_server->poll() || Clock::now() > deadline || stopRequested)
      throw std::runtime_error("the local world server did not start:\n" +
                               m_server->standardOutput() + m_server->standardError());
    std::this_thread::sleep_for(Slice);
  }
}

// The client's standard output goes to "stdout.log" in its directory; a
// named pipe there hands each line over as it is written. Holding both ends
// keeps the client from blocking on the open.
void LoadSession::startClient() {
  const std::string path = m_client.directory() + "/stdout.log";
  if (mkfifo(path.c_str(), 0600) != 0)
    throw std::runtime_error("cannot make the pipe " + path);
  m_clientOutput.fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (m_clientOutput.fd < 0)
    throw std::runtime_error("cannot open the pipe " + path);
  m_clientLines = std::make_unique<TimedLines>(m_clientOutput.fd);
  m_client.start();
}

void LoadSession::checkClientAlive() {
  if (stopRequested)
    throw std::runtime_error("stopped");
  if (!isRunning(m_client.pid())) {
    const std::optional<int> status = m_client.waitForExit(1s);
    throw std::runtime_error("the client ended (status " +
                             (status ? std::to_string(*status) : std::string("unknown")) +
                             "); its last lines:\n" + m_clientLines->tail(10) +
                             m_client.errors());
  }
}

bool LoadSession::waitUntil(const std::function<bool()>& done, Clock::time_point deadline) {
  for (;;) {
    readAny({m_clientLines.get()}, Slice);
    consumeClientLines();
    if (done())
      return true;
    checkClientAlive();
    if (Clock::now() > deadline)
      return false;
  }
}

void LoadSession::waitFor(std::chrono::milliseconds duration) {
  const auto end = Clock::now() + duration;
  waitUntil([&] { return Clock::now() >= end; }, end + 1s);
}

void LoadSession::consumeClientLines() {
  const std::vector<TimedLine>& lines = m_clientLines->lines();
  for (; m_consumed < lines.size(); ++m_consumed) {
    const TimedLine& line = lines[m_consumed];
    if (!m_loggedIn) {
      if (line.text.find("received login packet") != std::string::npos) {
        m_loggedIn = true;
        m_record.login = line.time;
        m_clientSecondsAtLogin = processorSeconds(m_client.pid());
        m_threadSecondsAtLogin = threadProcessorSeconds(m_client.pid());
      }
      continue;
    }
    if (line.text.find("you are too slow") != std::string::npos)
      ++m_record.slowTickNotices;
    if (line.text.find("handle disconnect") != std::string::npos)
      m_disconnected = true;
    if (const std::optional<FrameRecord> frame = parseFrame(line)) {
      m_record.frames.push_back(*frame);
      continue;
    }
    const std::optional<TickRecord> tick = parseTick(line);
    if (!tick)
      continue;
    m_record.ticks.push_back(*tick);
    if (tick->meshes > 0 && !loadOver()) {
      m_meshesDrawn += tick->meshes;
      m_record.lastMesh = tick->time;
      sampleThreads();
    }
  }
}

// Processor time up to the latest mesh of the load.
void LoadSession::sampleThreads() {
  const Clock::time_point now = Clock::now();
  if (now - m_lastThreadSample < ThreadSampleInterval)
    return;
  m_lastThreadSample = now;
  m_record.clientSeconds = processorSeconds(m_client.pid()) - m_clientSecondsAtLogin;
  m_record.clientThreadSeconds = threadProcessorSeconds(m_client.pid());
  for (auto& [thread, seconds] : m_record.clientThreadSeconds)
    seconds -= m_threadSecondsAtLogin[thread];
}

bool LoadSession::loadOver() const {
  return m_meshesDrawn >= long(m_record.columns) && m_record.lastMesh &&
         m_record.ticks.back().time - *m_record.lastMesh >= QuietTime;
}

void LoadSession::connect() {
  if (!xdotool("search --sync --onlyvisible --name Ferrowick"))
    throw std::runtime_error("the client's window did not show:\n" + m_client.errors());
  waitFor(EmptySettle);
  m_record.emptyResidentKiB = statusKiB(m_client.pid(), "VmRSS");
  if (!xdotool("key 8"))
    throw std::runtime_error("xdotool cannot press 8");
  if (!waitUntil([&] { return m_loggedIn; }, Clock::now() + LoginLimit))
    throw std::runtime_error("no Login within " + std::to_string(LoginLimit.count()) +
                             " s; the server said:\n" + m_server->standardOutput());
}

void LoadSession::followLoad() {
  const bool ended =
      waitUntil([&] { return loadOver() || m_disconnected; }, m_record.login + LoadLimit);
  if (!ended || m_disconnected) {
    const std::string progress = loadProgress();
    m_record.failure = m_disconnected ? "the connection ended during the load (" + progress +
                                            "); the server said:\n" + droppedLines()
                                      : "the load did not end within " +
                                            std::to_string(LoadLimit.count()) + " s (" +
                                            progress + ")";
    m_record.lastMesh.reset();
  } else {
    const Clock::time_point end = *m_record.lastMesh + AfterLoad;
    waitUntil([&] { return Clock::now() >= end; }, end + 1s);
  }
  m_record.peakResidentKiB = statusKiB(m_client.pid(), "VmHWM");
  m_record.finalResidentKiB = statusKiB(m_client.pid(), "VmRSS");
}

std::string LoadSession::loadProgress() const {
  char text[160];
  std::snprintf(text, sizeof text, "%ld meshes drawn for %zu columns, the last %.2f s after Login",
                m_meshesDrawn, m_record.columns,
                m_record.lastMesh ? seconds(*m_record.lastMesh - m_record.login) : 0.0);
  return text;
}

std::string LoadSession::droppedLines() const {
  std::istringstream output(m_server->standardOutput());
  std::string text;
  std::string line;
  while (std::getline(output, line))
    if (line.find("dropped") != std::string::npos)
      text += (text.empty() ? "    " : "\n    ") + line;
  return text;
}

void LoadSession::quit() {
  if (xdotool("key 0"))
    m_record.clientExit = m_client.waitForExit(ExitLimit);
  m_server->wait(5s);
}

LoadRecord LoadSession::run() {
  connect();
  followLoad();
  quit();
  return m_record;
}

} // namespace

LoadRecord runLoad(int viewRadius, const MeshDistances& distances,
                   std::optional<SlowLink> slowLink) {
  return LoadSession(viewRadius, distances, slowLink).run();
}

void requestStop() { stopRequested = 1; }
