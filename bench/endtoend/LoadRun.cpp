#include "LoadRun.h"


#include <cstdio>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "LocalRun.h"
#include "ProcessStatus.h"
#include "SlowLinkProxy.h"

namespace {

using namespace std::chrono_literals;

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
const std::chrono::milliseconds ThreadSampleInterval(100);

double seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

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

// The server and the client of one run, and what they have said so far.
class LoadSession {
public:
  LoadSession(int viewRadius, const MeshDistances& distances, std::optional<SlowLink> slowLink);

  LoadRecord run();

private:
  // Reads the client's output as it comes until `done` holds; false when
  // the deadline passes first. Throws when the client has died or a stop was
  // asked for.
  bool waitUntil(const std::function<bool()>& done, Clock::time_point deadline);
  void waitFor(std::chrono::milliseconds duration);
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
  std::unique_ptr<ClientLines> m_clientLines;
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
  m_server = startLocalServer(m_port, viewRadius);
  m_clientLines = std::make_unique<ClientLines>(m_client);
}

bool LoadSession::waitUntil(const std::function<bool()>& done, Clock::time_point deadline) {
  return m_clientLines->waitUntil(done, deadline, [&] { consumeClientLines(); });
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
