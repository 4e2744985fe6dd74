// The real client against the local world server, drawing without a frame
// limit: how long a view radius's columns take from the Login until the last
// one is meshed and drawn, the ticks and frames of the main thread meanwhile
// and after, and the memory it takes, next to the mesh worker's own cost for
// the same columns (the lower bound of the load) and the goals.
//
// Usage: endtoend_bench [--view-radius R] [--detail-distance D]
//                       [--coarse-distance C]
//   R: default 10, then 3. D and C: the client's "DetailDistance" and
//   "CoarseDistance" (its own defaults when not given).
//        endtoend_bench --slow-link           (radius 3, direct and slow)
//
// Runs on $DISPLAY, or in a private Xvfb when there is none; always with
// software OpenGL.

#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "ExtractionBound.h"
#include "LoadReport.h"
#include "LoadRun.h"
#include "LocalRun.h"
#include "PrivateDisplay.h"
#include "SlowLinkRun.h"

namespace {

const int MaxViewRadius = 32;

struct Arguments {
  std::vector<int> radii = {10, 3};
  MeshDistances distances;
};

// A whole number from `low` to `high`.
std::optional<int> numberArgument(const char* text, long low, long high) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (*text && *end == '\0' && value >= low && value <= high)
    return int(value);
  return std::nullopt;
}

const int SlowLinkRadius = 3;

// None after a usage error.
std::optional<Arguments> parseArguments(int argc, char** argv) {
  Arguments arguments;
  bool valid = argc % 2 == 1;
  for (int i = 1; valid && i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--view-radius") == 0) {
      const std::optional<int> radius = numberArgument(argv[i + 1], 1, MaxViewRadius);
      valid = radius.has_value();
      arguments.radii = {radius.value_or(0)};
    } else if (std::strcmp(argv[i], "--detail-distance") == 0) {
      arguments.distances.detail = numberArgument(argv[i + 1], 0, MaxViewRadius);
      valid = arguments.distances.detail.has_value();
    } else if (std::strcmp(argv[i], "--coarse-distance") == 0) {
      arguments.distances.coarse = numberArgument(argv[i + 1], 0, MaxViewRadius);
      valid = arguments.distances.coarse.has_value();
    } else {
      valid = false;
    }
  }
  if (valid)
    return arguments;
  std::fprintf(stderr,
               "usage: %s [--view-radius R] [--detail-distance D] [--coarse-distance C]   (R from "
               "1 to %d, D and C from 0 to %d)\n",
               argv[0], MaxViewRadius, MaxViewRadius);
  return std::nullopt;
}

bool benchRadius(int radius, const MeshDistances& distances) {
  try {
    const ExtractionBound bound = measureExtractionBound(radius);
    printLoadReport(runLoad(radius, distances), bound);
    return true;
  } catch (const std::exception& error) {
    std::printf("view radius %d: no figures: %s\n", radius, error.what());
    return false;
  }
}

} // namespace

int main(int argc, char** argv) {
  const bool slowLink = argc == 2 && std::strcmp(argv[1], "--slow-link") == 0;
  const std::optional<Arguments> arguments =
      slowLink ? std::optional<Arguments>(Arguments{}) : parseArguments(argc, argv);
  if (!arguments)
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
                "most 60 ms; after the load at least 30 frames a second; peak memory above the "
                "empty client's at most 3 x the raw voxel data; at most 1.3 chunk meshes drawn "
                "per column. At radius 3: at least 60 frames a second. At both: 20 ticks a "
                "second within 1 %%, no tick starting more than 60 ms late\n\n");
    bool ok = true;
    for (int radius : arguments->radii)
      ok = benchRadius(radius, arguments->distances) && ok;
    return ok ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
}
