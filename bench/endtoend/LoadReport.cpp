#include "LoadReport.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const long SlowTickMicros = 50000;
const double LoadGoalRatio = 1.5;
const double MemoryGoalRatio = 2.0;
const double ColumnKiB = 64;
// The radius whose loaded world must render every tick within 50 ms.
const int SmoothRadius = 5;
const std::chrono::seconds AfterLoad(5);

double seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

double mebibytes(double kib) { return kib / 1024.0; }

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

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
  TickSpan all;
  long meshesDuring = 0;
  long meshesAfter = 0;
};

Spans splitTicks(const LoadRecord& record) {
  Spans spans;
  for (const TickRecord& tick : record.ticks) {
    spans.all.add(tick);
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
  std::printf("  lower bound: summed extraction of the mesh worker%8.2f s"
              "  (region copy %.2f s + extraction %.2f s, each chunk once, best of 3)\n",
              bound.totalSeconds(), bound.copySeconds, bound.extractionSeconds);
  const double ratio = load / bound.totalSeconds();
  std::printf("  load / lower bound                               %8.2f    goal <= %.1f: %s\n",
              ratio, LoadGoalRatio, verdict(ratio <= LoadGoalRatio));
}

void printTicks(const LoadRecord& record, Spans& spans) {
  if (const TickRecord* busiest = spans.all.busiest)
    std::printf("  busiest tick of the main thread                  %8.1f ms (tick %ld, %.2f s "
                "after Login, %ld meshes drawn)\n",
                busiest->micros / 1e3, busiest->number, seconds(busiest->time - record.login),
                busiest->meshes);
  std::printf("  ticks over 50 ms %-31s %8zu of %zu\n",
              record.lastMesh ? "during the load" : "after the Login",
              spans.during.slow, spans.during.count);
  if (!record.lastMesh)
    return;
  std::printf("  ticks over 50 ms in the 5 s after it             %8zu of %zu", spans.after.slow,
              spans.after.count);
  if (record.viewRadius == SmoothRadius)
    std::printf("    goal: none: %s", verdict(spans.after.slow == 0));
  std::printf("\n");
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
  std::printf("  peak above empty / raw voxel data                %8.2f    goal <= %.1f: %s\n",
              above / raw, MemoryGoalRatio, verdict(above <= MemoryGoalRatio * raw));
  std::printf("  resident memory at the end                       %8.1f MiB\n",
              mebibytes(record.finalResidentKiB));
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
  printWhereTimeWent(record, bound, spans);
  if (record.clientExit)
    std::printf("  client exit status %d\n", *record.clientExit);
  else
    std::printf("  the client did not quit on \"0\"\n");
  std::fflush(stdout);
}
