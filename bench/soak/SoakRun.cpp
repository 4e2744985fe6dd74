#include "SoakRun.h"


#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "LocalRun.h"
#include "ProcessStatus.h"
#include "TimedLines.h"
#include "TimingLines.h"

namespace {

using namespace std::chrono_literals;

const std::chrono::seconds PlacementLimit(60);
const std::chrono::seconds EmptySettle(2);
const std::chrono::seconds ExitLimit(30);
const std::chrono::seconds Minute(60);
// Running, a player crosses a column in about 3 s: one who has entered none
// for this long has met a wall of the terrain.
const std::chrono::seconds StuckTime(10);
// About an eighth of a turn of the mouse look.
const int TurnPixels = 100;

// Drawing at most 30 frames a second leaves the processor to the server's
// generation and the client's meshing, which the walk is about.
std::string soakConfig(unsigned short port) {
  return "[Controls]\nPreconfigured=wasd\n\n[Graphics]\nfov=90\nFiltering=bilinear\n"
         "MaxFrameRate=30\n\n[Player]\nName=Walker\nPassword=\n\n[Server]\n"
         "Hostname=127.0.0.1\nPort=" +
         std::to_string(port) + "\n\n[Diagnostics]\nTimings=yes\n";
}

// The server's "<player> entered column X, Z" lines.
struct ColumnTrail {
  long entered = 0;
  std::int64_t x = 0;
  std::int64_t z = 0;
};

ColumnTrail columnTrail(const std::string& serverOutput) {
  ColumnTrail trail;
  std::istringstream lines(serverOutput);
  std::string line;
  const std::string marker = " entered column ";
  while (std::getline(lines, line)) {
    const std::size_t at = line.find(marker);
    long long x = 0, z = 0;
    if (at != std::string::npos &&
        std::sscanf(line.c_str() + at + marker.size(), "%lld, %lld", &x, &z) == 2) {
      ++trail.entered;
      trail.x = x;
      trail.z = z;
    }
  }
  return trail;
}

class SoakSession {
public:
  SoakSession(int minutes, int viewRadius);
  ~SoakSession();

  SoakRecord run();

private:
  // Reads the client's output as it comes until `done` holds; false when
  // the deadline passes first. Throws when the client has died or a stop
  // was asked for.
  bool waitUntil(const std::function<bool()>& done, Clock::time_point deadline);
  void consumeClientLines();
  void connect();
  void walk();
  void steer();
  // Whether the session has ended: the server has stopped (it serves this
  // one player), or the client has written a line about its connection.
  bool sessionEnded();
  MinuteSample sample(int minute);
  void releaseKeys();
  void quit();

  const int m_minutes;
  SoakRecord m_record;
  unsigned short m_port;
  std::unique_ptr<ChildProcess> m_server;
  ClientProcess m_client;
  std::unique_ptr<ClientLines> m_clientLines;
  std::size_t m_consumed = 0;
  bool m_placed = false;
  Clock::time_point m_lastErrorCheck;
  Clock::time_point m_lastSteerCheck;
  long m_enteredAtSteerCheck = -1;
  int m_turns = 0;
  bool m_keysHeld = false;
  long m_meshes = 0;
  long m_ticks = 0;
  long m_chunkObjects = -1;
  ColumnTrail m_start;
};

SoakSession::SoakSession(int minutes, int viewRadius)
    : m_minutes(minutes), m_port(freePort()), m_client(soakConfig(m_port)) {
  m_record.viewRadius = viewRadius;
  m_server = startLocalServer(m_port, viewRadius);
  m_clientLines = std::make_unique<ClientLines>(m_client);
}

SoakSession::~SoakSession() {
  if (m_keysHeld)
    releaseKeys();
}

bool SoakSession::waitUntil(const std::function<bool()>& done, Clock::time_point deadline) {
  return m_clientLines->waitUntil(done, deadline, [&] { consumeClientLines(); });
}

void SoakSession::consumeClientLines() {
  const std::vector<TimedLine>& lines = m_clientLines->lines();
  for (; m_consumed < lines.size(); ++m_consumed) {
    const TimedLine& line = lines[m_consumed];
    if (line.text.find("received pos and look packet") != std::string::npos)
      m_placed = true;
    // A fall from a cliff of the terrain can kill the walker: it asks for a
    // new life and walks on from the spawn point.
    if (line.text.find("the player died") != std::string::npos) {
      xdotool("key Return");
      ++m_record.deaths;
    }
    if (const std::optional<TickRecord> tick = parseTick(line)) {
      ++m_ticks;
      m_meshes += tick->meshes;
    } else if (const std::optional<FrameRecord> frame = parseFrame(line)) {
      m_chunkObjects = frame->chunks;
    }
  }
}

void SoakSession::connect() {
  if (!xdotool("search --sync --onlyvisible --name Ferrowick"))
    throw std::runtime_error("the client's window did not show:\n" + m_client.errors());
  const auto settled = Clock::now() + EmptySettle;
  waitUntil([&] { return Clock::now() >= settled; }, settled + 1s);
  m_record.emptyResidentKiB = statusKiB(m_client.pid(), "VmRSS");
  if (!xdotool("key 8"))
    throw std::runtime_error("xdotool cannot press 8");
  if (!waitUntil([&] { return m_placed; }, Clock::now() + PlacementLimit))
    throw std::runtime_error("the server did not place the player within " +
                             std::to_string(PlacementLimit.count()) + " s; it said:\n" +
                             m_server->standardOutput());
}

MinuteSample SoakSession::sample(int minute) {
  MinuteSample sample;
  sample.minute = minute;
  sample.residentKiB = statusKiB(m_client.pid(), "VmRSS");
  const ColumnTrail trail = columnTrail(m_server->standardOutput());
  sample.columnX = trail.x;
  sample.columnZ = trail.z;
  sample.columnsEntered = trail.entered - m_start.entered;
  sample.meshesDrawn = m_meshes;
  sample.ticks = m_ticks;
  sample.chunkObjects = m_chunkObjects;
  m_meshes = 0;
  m_ticks = 0;
  return sample;
}

// Running forward, jumping all the while so that the terrain's steps of a
// block do not stop the player, in a straight line from where the server's
// placement looks until a wall of the terrain turns the player aside.
void SoakSession::walk() {
  m_start = columnTrail(m_server->standardOutput());
  m_meshes = 0;
  m_ticks = 0;
  if (!xdotool("keydown Shift_L w space"))
    throw std::runtime_error("xdotool cannot hold the run, forward and jump keys");
  m_keysHeld = true;
  const Clock::time_point start = Clock::now();
  for (int minute = 1; minute <= m_minutes; ++minute) {
    const Clock::time_point end = start + minute * Minute;
    waitUntil(
        [&] {
          steer();
          return sessionEnded() || Clock::now() >= end;
        },
        end + 1s);
    if (sessionEnded()) {
      m_record.failure = "the connection ended in minute " + std::to_string(minute) +
                         "; the client said:\n" + m_clientLines->tail(10) + m_client.errors();
      return;
    }
    m_record.minutes.push_back(sample(minute));
    std::printf("  minute %d: %.1f MiB resident\n", minute,
                m_record.minutes.back().residentKiB / 1024.0);
    std::fflush(stdout);
  }
}

// A player who has entered no column for a while turns an eighth of a
// turn, twice one way, then twice the other, as a player walks around a
// wall: the mouse stays within the screen.
void SoakSession::steer() {
  const Clock::time_point now = Clock::now();
  if (now - m_lastSteerCheck < StuckTime)
    return;
  m_lastSteerCheck = now;
  const long entered = columnTrail(m_server->standardOutput()).entered;
  if (entered != m_enteredAtSteerCheck) {
    m_enteredAtSteerCheck = entered;
    return;
  }
  const int pixels = (m_turns / 2) % 2 == 0 ? TurnPixels : -TurnPixels;
  ++m_turns;
  xdotool("mousemove_relative -- " + std::to_string(pixels) + " 0");
}

bool SoakSession::sessionEnded() {
  if (m_server->pid() < 0 || m_server->poll())
    return true;
  const Clock::time_point now = Clock::now();
  if (now - m_lastErrorCheck < 1s)
    return false;
  m_lastErrorCheck = now;
  return m_client.errors().find("connection") != std::string::npos;
}

void SoakSession::releaseKeys() {
  xdotool("keyup space w Shift_L");
  m_keysHeld = false;
}

void SoakSession::quit() {
  releaseKeys();
  if (xdotool("key 0"))
    m_record.clientExit = m_client.waitForExit(ExitLimit);
  m_server->wait(5s);
}

SoakRecord SoakSession::run() {
  connect();
  walk();
  quit();
  return m_record;
}

} // namespace

SoakRecord runSoak(int minutes, int viewRadius) { return SoakSession(minutes, viewRadius).run(); }
