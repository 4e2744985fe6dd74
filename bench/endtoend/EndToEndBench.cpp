// The real client against the local world server: how long a view radius's
// columns take from the Login until the last one is meshed and drawn, the
// ticks of the main thread meanwhile and after, and the memory it takes,
// next to the mesh worker's own cost for the same columns (the lower bound
// of the load) and the goals.
//
// Usage: endtoend_bench [--view-radius R]   (default: 10, then 5)
//        endtoend_bench --slow-link           (radius 3, direct and slow)
//
// Runs on $DISPLAY, or in a private Xvfb when there is none; always with
// software OpenGL.

#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "ExtractionBound.h"
#include "LoadReport.h"
#include "LoadRun.h"
#include "PrivateDisplay.h"
#include "SlowLinkRun.h"

namespace {

const int MaxViewRadius = 32;

void onStopSignal(int) { requestStop(); }

void installStopHandlers() {
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP})
    sigaction(signal, &action, nullptr);
}

const int SlowLinkRadius = 3;

bool slowLinkRequested(int argc, char** argv) {
  return argc == 2 && std::strcmp(argv[1], "--slow-link") == 0;
}

// The radii to run; empty after a usage error.
std::vector<int> radiiFromArguments(int argc, char** argv) {
  if (argc == 1)
    return {10, 5};
  if (argc == 3 && std::strcmp(argv[1], "--view-radius") == 0) {
    char* end = nullptr;
    const long radius = std::strtol(argv[2], &end, 10);
    if (*argv[2] && *end == '\0' && radius >= 1 && radius <= MaxViewRadius)
      return {int(radius)};
  }
  std::fprintf(stderr, "usage: %s [--view-radius R | --slow-link]   (R from 1 to %d)\n", argv[0],
               MaxViewRadius);
  return {};
}

bool benchRadius(int radius) {
  try {
    const ExtractionBound bound = measureExtractionBound(radius);
    printLoadReport(runLoad(radius), bound);
    return true;
  } catch (const std::exception& error) {
    std::printf("view radius %d: no figures: %s\n", radius, error.what());
    return false;
  }
}

} // namespace

int main(int argc, char** argv) {
  const bool slowLink = slowLinkRequested(argc, argv);
  const std::vector<int> radii = slowLink ? std::vector<int>() : radiiFromArguments(argc, argv);
  if (radii.empty() && !slowLink)
    return 2;
  installStopHandlers();
  try {
    const PrivateDisplay display;
    std::printf("end-to-end load: the client (fov 90, bilinear) against the local world server "
                "(seed 0) on display %s, software OpenGL\n",
                display.description().c_str());
    if (slowLink)
      return benchSlowLink(SlowLinkRadius) ? 0 : 1;
    std::printf("goals at radius 10: load within 4 x the lower bound; busiest tick of the load at "
                "most 60 ms; in the 5 s after it no tick over 50 ms and a median of at most "
                "30 ms; peak memory above the empty client's at most 3 x the raw voxel data; at "
                "most 1.3 chunk meshes drawn per column\n\n");
    bool ok = true;
    for (int radius : radii)
      ok = benchRadius(radius) && ok;
    return ok ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
