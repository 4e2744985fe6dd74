#include "LoadReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

const long SlowTickMicros = 50000;
const double ColumnKiB = 64;
const std::chrono::seconds AfterLoad(AfterLoadSeconds);
// The load and memory goals hold at the view radius of real servers' larger
// worlds; the frame rates at that radius and at the local server's.
const int GoalRadius = 10;
const int SmallRadius = 3;
const double LoadGoalRatio = 4.0;
const double MemoryGoalRatio = 3.0;
const double BusiestTickGoalMillis = 60;
const double LatestTickGoalMillis = 60;
// The player's movement and aim within a tick.
const double MoveGoalMillis = 1;
const double TickRateGoal = 20;
const double TickRateTolerance = 0.01;
const double MeshesPerColumnGoal = 1.3;

double seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

double mebibytes(double kib) { return kib / 1024.0; }

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

// The goal's verdict, at the goal radius only.
void printGoal(const LoadRecord& record, const char* goal, bool met) {
  if (record.viewRadius == GoalRadius)
    std::printf("    goal %s: %s", goal, verdict(met));
  std::printf("\n");
}

// Frames a second that the radius must reach; 0 where it has no goal.
double frameRateGoal(int viewRadius) {
  if (viewRadius == GoalRadius)
    return 30;
  return viewRadius == SmallRadius ? 60 : 0;
}

// Durations of a span of ticks or frames, in microseconds.
struct Durations {
  std::vector<long> micros;
  double busySeconds = 0;

  void add(long value) {
    micros.push_back(value);
    busySeconds += value / 1e6;
  }
  std::size_t count() const { return micros.size(); }
  std::size_t over(long limit) const {
    return std::size_t(std::count_if(micros.begin(), micros.end(), [&](long m) { return m > limit; }));
  }
  double medianMillis() const {
    if (micros.empty())
      return 0;
    std::vector<long> sorted = micros;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    return sorted[sorted.size() / 2] / 1e3;
  }
  double longestMillis() const {
    return micros.empty() ? 0 : *std::max_element(micros.begin(), micros.end()) / 1e3;
  }
};

struct Span {
  Durations ticks;
  // The player's movement and aim within each tick.
  Durations moves;
  Durations frames;
  long latestTickMicros = 0;
  long meshes = 0;
  const TickRecord* busiestTick = nullptr;
};

struct Spans {
  Span during;
  Span after;
};

Span* spanAt(const LoadRecord& record, Spans& spans, Clock::time_point time) {
  if (!record.lastMesh || time <= *record.lastMesh)
    return &spans.during;
  return time <= *record.lastMesh + AfterLoad ? &spans.after : nullptr;
}

Spans splitRecord(const LoadRecord& record) {
  Spans spans;
  for (const TickRecord& tick : record.ticks)
    if (Span* span = spanAt(record, spans, tick.time)) {
      span->ticks.add(tick.micros);
      span->moves.add(tick.moveMicros);
      span->meshes += tick.meshes;
      span->latestTickMicros = std::max(span->latestTickMicros, tick.lateMicros);
      if (!span->busiestTick || tick.micros > span->busiestTick->micros)
        span->busiestTick = &tick;
    }
  for (const FrameRecord& frame : record.frames)
    if (Span* span = spanAt(record, spans, frame.time))
      span->frames.add(frame.micros);
  return spans;
}

void printLoad(const LoadRecord& record, const ExtractionBound& bound) {
  const double load = seconds(*record.lastMesh - record.login);
  std::printf("  load, Login to the last column meshed and drawn  %8.2f s\n", load);
  std::printf("  columns per second                               %8.1f\n", record.columns / load);
  std::printf("  lower bound: summed work of the mesh worker      %8.2f s\n", bound.totalSeconds());
  std::printf("                                                            (region copy %.2f s"
              " + extraction %.2f s + drawable arrays %.2f s, each chunk once, best of 3)\n",
              bound.copySeconds, bound.extractionSeconds, bound.buildSeconds);
  const double ratio = load / bound.totalSeconds();
  std::printf("  load / lower bound                               %8.2f", ratio);
  printGoal(record, "<= 4", ratio <= LoadGoalRatio);
}

void printDuringLoad(const LoadRecord& record, const Spans& spans) {
  if (const TickRecord* busiest = spans.during.busiestTick) {
    std::printf("  busiest tick during the load                     %8.1f ms (tick %ld, %.2f s "
                "after Login, %ld meshes drawn)",
                busiest->micros / 1e3, busiest->number, seconds(busiest->time - record.login),
                busiest->meshes);
    printGoal(record, "<= 60 ms", busiest->micros / 1e3 <= BusiestTickGoalMillis);
  }
  std::printf("  ticks over 50 ms %-31s %8zu of %zu\n",
              record.lastMesh ? "during the load" : "after the Login",
              spans.during.ticks.over(SlowTickMicros), spans.during.ticks.count());
  std::printf("  frames during the load: median %.1f ms, longest %.1f ms, %zu frames\n",
              spans.during.frames.medianMillis(), spans.during.frames.longestMillis(),
              spans.during.frames.count());
}

// Whoever reads the figures sees each goal's verdict beside it.
void printAfterLoad(const LoadRecord& record, const Spans& spans) {
  const Span& after = spans.after;
  const double window = double(AfterLoadSeconds);
  const double frameRate = double(after.frames.count()) / window;
  const double goal = frameRateGoal(record.viewRadius);
  std::printf("  in the %d s after the load:\n", AfterLoadSeconds);
  std::printf("  frames a second                                  %8.1f", frameRate);
  if (goal > 0)
    std::printf("    goal >= %.0f: %s", goal, verdict(frameRate >= goal));
  std::printf("\n");
  std::printf("  median frame                                     %8.1f ms\n",
              after.frames.medianMillis());
  std::printf("  longest frame                                    %8.1f ms\n",
              after.frames.longestMillis());
  const double tickRate = double(after.ticks.count()) / window;
  std::printf("  ticks a second                                   %8.1f    goal 20 within 1 %%: %s\n",
              tickRate, verdict(std::abs(tickRate - TickRateGoal) <= TickRateGoal * TickRateTolerance));
  std::printf("  latest tick start against its schedule           %8.1f ms    goal <= 60 ms: %s\n",
              after.latestTickMicros / 1e3,
              verdict(after.latestTickMicros / 1e3 <= LatestTickGoalMillis));
  std::printf("  median tick (logic only)                         %8.1f ms\n",
              after.ticks.medianMillis());
  std::printf("  player's movement and aim per tick: median %.3f ms, longest %.3f ms    goal "
              "< 1 ms: %s\n",
              after.moves.medianMillis(), after.moves.longestMillis(),
              verdict(after.moves.longestMillis() < MoveGoalMillis));
}

void printMemory(const LoadRecord& record) {
  const double raw = record.columns * ColumnKiB;
  const double above = double(record.peakResidentKiB - record.emptyResidentKiB);
  std::printf("  resident memory of the empty client              %8.1f MiB\n",
              mebibytes(record.emptyResidentKiB));
  std::printf("  peak resident memory (VmHWM)                     %8.1f MiB\n",
              mebibytes(record.peakResidentKiB));
  std::printf("  peak above the empty client                      %8.1f MiB\n", mebibytes(above));
  std::printf("  raw voxel data (%zu x 64 KiB)                  %8.1f MiB\n", record.columns,
              mebibytes(raw));
  std::printf("  peak above empty / raw voxel data                %8.2f", above / raw);
  printGoal(record, "<= 3", above <= MemoryGoalRatio * raw);
  std::printf("  resident memory at the end                       %8.1f MiB\n",
              mebibytes(record.finalResidentKiB));
}

void printGeometry(const LoadRecord& record, const ExtractionBound& bound, const Spans& spans) {
  const double perColumn = double(spans.during.meshes + spans.after.meshes) / record.columns;
  std::printf("  chunk meshes drawn per column                    %8.2f", perColumn);
  printGoal(record, "<= 1.3", perColumn <= MeshesPerColumnGoal);
  std::printf("  chunk geometry per marching-cubes triangle       %8.2f vertices, %.1f bytes\n",
              double(bound.vertices) / double(bound.triangles),
              double(bound.geometryBytes) / double(bound.triangles));
  std::printf("  coarse level, per full-resolution triangle       %8.2f triangles; per coarse "
              "triangle %.2f vertices, %.1f bytes\n",
              double(bound.coarseTriangles) / double(bound.triangles),
              double(bound.coarseVertices) / double(bound.coarseTriangles),
              double(bound.coarseBytes) / double(bound.coarseTriangles));
  const FrameRecord* last = nullptr;
  for (const FrameRecord& frame : record.frames)
    if (frame.chunks > 0)
      last = &frame;
  if (!last) {
    std::printf("  chunks culled in the last frame                       (no frame drew chunks)\n");
    return;
  }
  std::printf("  chunks culled in the last frame                  %8.0f %% (%ld of %ld)\n",
              100.0 * double(last->culledChunks) / double(last->chunks), last->culledChunks,
              last->chunks);
  if (last->sections > 0)
    std::printf("  chunk sections shown in the last frame           %8.0f %% (%ld of %ld)\n",
                100.0 * double(last->shownSections) / double(last->sections),
                last->shownSections, last->sections);
  std::printf("  triangles rendered in the last frame             %8ld\n", last->triangles);
}

void printWhereTimeWent(const LoadRecord& record, const ExtractionBound& bound, const Spans& spans) {
  std::printf("  where the time went during the load:\n");
  std::printf("    chunk meshes drawn %ld (%.2f per column), %ld more in the %d s after\n",
              spans.during.meshes, double(spans.during.meshes) / record.columns,
              spans.after.meshes, AfterLoadSeconds);
  if (record.lastMesh)
    std::printf("    main thread busy in ticks %.2f s and in frames %.2f s of %.2f s\n",
                spans.during.ticks.busySeconds, spans.during.frames.busySeconds,
                seconds(*record.lastMesh - record.login));
  std::printf("    \"you are too slow\" notices %zu\n", record.slowTickNotices);
  std::printf("    marching-cubes triangles of these columns %zu, %.0f bytes of the peak above "
              "the empty client per triangle\n",
              bound.triangles,
              1024.0 * double(record.peakResidentKiB - record.emptyResidentKiB) /
                  double(bound.triangles));
  std::printf("    processor time of the client %.2f s; the local server's generator takes "
              "%.2f s for these columns\n",
              record.clientSeconds, bound.generationSeconds);
  std::vector<std::pair<double, std::string>> threads;
  for (const auto& [thread, used] : record.clientThreadSeconds)
    if (used >= 0.05)
      threads.emplace_back(used, thread);
  std::sort(threads.rbegin(), threads.rend());
  for (const auto& [used, thread] : threads)
    std::printf("      %-28s %6.2f s\n", thread.c_str(), used);
}

} // namespace

void printLoadReport(const LoadRecord& record, const ExtractionBound& bound) {
  std::printf("view radius %d: %zu columns\n", record.viewRadius, record.columns);
  const Spans spans = splitRecord(record);
  if (record.lastMesh)
    printLoad(record, bound);
  else
    std::printf("  %s\n", record.failure.c_str());
  printDuringLoad(record, spans);
  if (record.lastMesh)
    printAfterLoad(record, spans);
  printMemory(record);
  printGeometry(record, bound, spans);
  printWhereTimeWent(record, bound, spans);
  if (record.clientExit)
    std::printf("  client exit status %d\n", *record.clientExit);
  else
    std::printf("  the client did not quit on \"0\"\n");
  std::fflush(stdout);
}
