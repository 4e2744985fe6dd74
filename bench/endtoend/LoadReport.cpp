#include "LoadReport.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const long SlowTickMicros = 50000;
const double ColumnKiB = 64;
const std::chrono::seconds AfterLoad(5);
// The goals hold at the view radius of real servers' larger worlds.
const int GoalRadius = 10;
const double LoadGoalRatio = 4.0;
const double MemoryGoalRatio = 3.0;
const double MedianTickGoalMillis = 30;
const double BusiestTickGoalMillis = 60;
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

struct TickSpan {
  std::size_t count = 0;
  std::size_t slow = 0;
  double busySeconds = 0;
  std::vector<long> micros;
  const TickRecord* busiest = nullptr;

  void add(const TickRecord& tick) {
    ++count;
    slow += tick.micros > SlowTickMicros;
    busySeconds += tick.micros / 1e6;
    micros.push_back(tick.micros);
    if (!busiest || tick.micros > busiest->micros)
      busiest = &tick;
  }
  double medianMillis() {
    if (micros.empty())
      return 0;
    std::nth_element(micros.begin(), micros.begin() + micros.size() / 2, micros.end());
    return micros[micros.size() / 2] / 1e3;
  }
};

struct Spans {
  TickSpan during;
  TickSpan after;
  long meshesDuring = 0;
  long meshesAfter = 0;
};

Spans splitTicks(const LoadRecord& record) {
  Spans spans;
  for (const TickRecord& tick : record.ticks) {
    if (!record.lastMesh || tick.time <= *record.lastMesh) {
      spans.during.add(tick);
      spans.meshesDuring += tick.meshes;
    } else if (tick.time <= *record.lastMesh + AfterLoad) {
      spans.after.add(tick);
      spans.meshesAfter += tick.meshes;
    }
  }
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

void printTicks(const LoadRecord& record, Spans& spans) {
  if (const TickRecord* busiest = spans.during.busiest) {
    std::printf("  busiest tick during the load                     %8.1f ms (tick %ld, %.2f s "
                "after Login, %ld meshes drawn)",
                busiest->micros / 1e3, busiest->number, seconds(busiest->time - record.login),
                busiest->meshes);
    printGoal(record, "<= 60 ms", busiest->micros / 1e3 <= BusiestTickGoalMillis);
  }
  std::printf("  ticks over 50 ms %-31s %8zu of %zu\n",
              record.lastMesh ? "during the load" : "after the Login",
              spans.during.slow, spans.during.count);
  if (!record.lastMesh)
    return;
  std::printf("  ticks over 50 ms in the 5 s after it             %8zu of %zu", spans.after.slow,
              spans.after.count);
  printGoal(record, "none", spans.after.slow == 0);
  const double median = spans.after.medianMillis();
  std::printf("  median tick in the 5 s after it                  %8.1f ms", median);
  printGoal(record, "<= 30 ms", median <= MedianTickGoalMillis);
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

void printGeometry(const LoadRecord& record, const ExtractionBound& bound, Spans& spans) {
  const double perColumn = double(spans.meshesDuring + spans.meshesAfter) / record.columns;
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
  const TickRecord* last = nullptr;
  for (const TickRecord& tick : record.ticks)
    if (tick.chunks > 0)
      last = &tick;
  if (last)
    std::printf("  chunks culled in the last frame                  %8.0f %% (%ld of %ld)\n",
                100.0 * double(last->culledChunks) / double(last->chunks), last->culledChunks,
                last->chunks);
  else
    std::printf("  chunks culled in the last frame                       (the client does not say)\n");
  if (last && last->sections > 0)
    std::printf("  chunk sections shown in the last frame           %8.0f %% (%ld of %ld)\n",
                100.0 * double(last->shownSections) / double(last->sections), last->shownSections,
                last->sections);
  if (last && last->triangles >= 0)
    std::printf("  triangles rendered in the last frame             %8ld\n", last->triangles);
}

void printWhereTimeWent(const LoadRecord& record, const ExtractionBound& bound, Spans& spans) {
  std::printf("  where the time went during the load:\n");
  std::printf("    chunk meshes drawn %ld (%.2f per column), %ld more in the 5 s after\n",
              spans.meshesDuring, double(spans.meshesDuring) / record.columns,
              spans.meshesAfter);
  if (record.lastMesh) {
    std::printf("    main thread busy in ticks %.2f s of %.2f s, median tick %.1f ms\n",
                spans.during.busySeconds, seconds(*record.lastMesh - record.login),
                spans.during.medianMillis());
    std::printf("    ticks after the load: median %.1f ms\n", spans.after.medianMillis());
  }
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
  Spans spans = splitTicks(record);
  if (record.lastMesh)
    printLoad(record, bound);
  else
    std::printf("  %s\n", record.failure.c_str());
  printTicks(record, spans);
  printMemory(record);
  printGeometry(record, bound, spans);
  printWhereTimeWent(record, bound, spans);
  if (record.clientExit)
    std::printf("  client exit status %d\n", *record.clientExit);
  else
    std::printf("  the client did not quit on \"0\"\n");
  std::fflush(stdout);
}
