// Figures of the meshing pipeline on a sample world: chunk ingestion into the
// world volume, the mesh worker's region copy and the surface extraction, in
// microseconds per chunk (median and best of repeated runs: the machine is
// shared, and the best run shows the cost without interference), with mesh
// sizes and the world volume's memory per loaded chunk.
//
// Usage: meshing_bench [FILE]   (default: the generator's 3 x 3 columns)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SampleWorld.h"

namespace {

const int Repeats = 301;
const ChunkPosition centre(0, 0, 0);

using Clock = std::chrono::steady_clock;
using MeshType = Vox::SurfaceMesh<Vox::PositionMaterialNormal>;

struct Timing {
  double median;
  double best;

  Timing operator/(double divisor) const { return {median / divisor, best / divisor}; }
  Timing& operator+=(const Timing& other) {
    median += other.median;
    best += other.best;
    return *this;
  }
};

// "median (best)" in microseconds.
std::string format(const Timing& timing) {
  char text[64];
  std::snprintf(text, sizeof text, "%7.1f (%5.1f)", timing.median, timing.best);
  return text;
}

// Over Repeats runs of `measured`, each after `prepare` (not timed).
Timing timeRuns(const std::function<void()>& prepare, const std::function<void()>& measured) {
  std::vector<double> times;
  for (int i = 0; i < Repeats; ++i) {
    prepare();
    const auto start = Clock::now();
    measured();
    times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  std::nth_element(times.begin(), times.begin() + Repeats / 2, times.end());
  return {times[Repeats / 2], *std::min_element(times.begin(), times.end())};
}

void loadAll(WorldVolume& world, const SampleWorld& sample) {
  for (const auto& [chunk, column] : sample.columns)
    ingestColumn(world, chunk, column);
}

void benchIngestion(const SampleWorld& sample) {
  std::unique_ptr<WorldVolume> world;
  const Terrain::Column& column = sample.columns.at(centre);
  const Timing fresh = timeRuns(
      [&] {
        world = std::make_unique<WorldVolume>(WorldVolumeBlockSide);
        configureWorldVolume(*world);
      },
      [&] { ingestColumn(*world, centre, column); });
  const Timing again = timeRuns([] {}, [&] { ingestColumn(*world, centre, column); });
  const Timing all = timeRuns(
      [&] {
        world = std::make_unique<WorldVolume>(WorldVolumeBlockSide);
        configureWorldVolume(*world);
      },
      [&] { loadAll(*world, sample); });
  std::printf("times in us per chunk: median (best) of %d runs\n", Repeats);
  std::printf("ingestion, centre column into a new world:  %s\n", format(fresh).c_str());
  std::printf("ingestion, centre column again:             %s\n", format(again).c_str());
  std::printf("ingestion, all %zu columns into a new world: %s\n", sample.columns.size(),
              format(all / double(sample.columns.size())).c_str());
  std::printf("world volume memory: %.1f KiB per loaded chunk\n",
              world->calculateSizeInBytes() / 1024.0 / sample.columns.size());
}

void benchCentre(const SampleWorld& sample) {
  WorldVolume world(WorldVolumeBlockSide);
  configureWorldVolume(world);
  loadAll(world, sample);
  WorldVolume scratch(WorldVolumeBlockSide);
  MeshType mesh;
  const Timing copy = timeRuns([] {}, [&] { copyChunkRegion(world, scratch, centre); });
  const Timing extraction = timeRuns([] {}, [&] { extractChunk(scratch, centre, mesh); });
  std::printf("centre chunk, neighbours loaded:\n  copy       %s\n  extraction %s\n"
              "  %zu vertices, %zu indices, %zu triangles\n",
              format(copy).c_str(), format(extraction).c_str(), mesh.getNoOfVertices(),
              mesh.getNoOfIndices(), mesh.getNoOfIndices() / 3);
}

void benchAll(const SampleWorld& sample) {
  WorldVolume world(WorldVolumeBlockSide);
  configureWorldVolume(world);
  loadAll(world, sample);
  WorldVolume scratch(WorldVolumeBlockSide);
  MeshType mesh;
  std::printf("every chunk in turn (chunk x, z: copy, extraction, vertices, indices, "
              "triangles):\n");
  Timing copyTotal{0, 0};
  Timing extractionTotal{0, 0};
  for (const auto& entry : sample.columns) {
    const ChunkPosition chunk = entry.first;
    // Alternating with the other chunks keeps the scratch volume's paging as
    // in a worker that meshes them all.
    for (const auto& other : sample.columns) {
      copyChunkRegion(world, scratch, other.first);
      if (other.first == chunk)
        break;
    }
    const Timing copy = timeRuns([&] { copyChunkRegion(world, scratch, centre); },
                                 [&] { copyChunkRegion(world, scratch, chunk); });
    const Timing extraction = timeRuns([] {}, [&] { extractChunk(scratch, chunk, mesh); });
    copyTotal += copy;
    extractionTotal += extraction;
    std::printf("  %3d %3d: %s %s %6zu %6zu %6zu\n", chunk.x, chunk.z, format(copy).c_str(),
                format(extraction).c_str(), mesh.getNoOfVertices(), mesh.getNoOfIndices(),
                mesh.getNoOfIndices() / 3);
  }
  const double n = double(sample.columns.size());
  std::printf("all chunks, per chunk:\n  copy       %s (each after another chunk's copy)\n"
              "  extraction %s\n",
              format(copyTotal / n).c_str(), format(extractionTotal / n).c_str());
}

} // namespace

int main(int argc, char** argv) {
  try {
    const SampleWorld sample = argc > 1 ? loadSampleWorld(argv[1]) : generateSampleWorld(1);
    if (!sample.columns.count(centre)) {
      std::fprintf(stderr, "the sample has no centre column\n");
      return 1;
    }
    std::printf("sample: %zu chunk columns%s%s\n", sample.columns.size(), argc > 1 ? " from " : "",
                argc > 1 ? argv[1] : " from the terrain generator (seed 0)");
    benchIngestion(sample);
    benchCentre(sample);
    benchAll(sample);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
