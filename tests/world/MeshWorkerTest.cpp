#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "MutexWaiters.h"
#include "world/MeshWorker.h"

namespace {

const ChunkPosition sentinel(100, 0, 100);
// Stopping takes at most the chunk in progress: far less than this.
const std::chrono::seconds StopLimit(10);

// Destroys the worker on another thread; a stop that does not end within
// the limit ends the test program, since a hung thread cannot be joined.
void stopWithinLimit(std::unique_ptr<MeshWorker>& worker) {
  std::promise<void> stopped;
  std::future<void> done = stopped.get_future();
  std::thread stopper([&] {
    worker.reset();
    stopped.set_value();
  });
  if (done.wait_for(StopLimit) != std::future_status::ready) {
    std::fprintf(stderr, "the mesh worker did not stop within %lld s\n",
                 static_cast<long long>(StopLimit.count()));
    std::abort();
  }
  stopper.join();
}

struct Result {
  ChunkPosition position;
  Mesh mesh;
};

class MeshWorkerTest : public testing::Test {
protected:
  // Queues the sentinel and takes every result up to and including its mesh.
  // Meshes come back in queue order, so nothing queued earlier is still to
  // come afterwards.
  std::vector<Result> drainThroughSentinel() {
    m_worker->queueChunkForUpdate(sentinel);
    std::vector<Result> results;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (results.empty() || results.back().position != sentinel) {
      Result result;
      if (m_worker->takeFinished(result.position, result.mesh)) {
        results.push_back(std::move(result));
      } else if (std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "the worker did not deliver the sentinel's mesh";
        break;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
    return results;
  }

  static std::vector<ChunkPosition> positionsOf(const std::vector<Result>& results) {
    std::vector<ChunkPosition> positions;
    for (const Result& result : results) {
      positions.push_back(result.position);
    }
    return positions;
  }

  // Meshes one chunk on its own and returns its mesh.
  Mesh meshOf(ChunkPosition chunk) {
    m_worker->queueChunkForUpdate(chunk);
    std::vector<Result> results = drainThroughSentinel();
    EXPECT_EQ(positionsOf(results), (std::vector<ChunkPosition>{chunk, sentinel}));
    return std::move(results.front().mesh);
  }

  // Holds the volume lock and waits until the worker has taken `chunk` and
  // blocks in its region copy. Everything queued meanwhile waits behind it.
  std::unique_lock<std::mutex> holdWorkerCopying(ChunkPosition chunk) {
    std::unique_lock<std::mutex> lock(m_volumeMutex);
    m_worker->queueChunkForUpdate(chunk);
    EXPECT_TRUE(waitUntilAThreadBlocksOn(m_volumeMutex));
    return lock;
  }

  // Fills the lowest `height` layers of a chunk with `type`, under the lock.
  void fillChunk(ChunkPosition chunk, std::uint8_t type, int height) {
    const Vox::Vector3DInt32 lower = chunkLowerCorner(chunk);
    std::lock_guard<std::mutex> lock(m_volumeMutex);
    for (int x = lower.x; x < lower.x + ChunkSizeX; ++x) {
      for (int z = lower.z; z < lower.z + ChunkSizeZ; ++z) {
        for (int y = lower.y; y < lower.y + height; ++y) {
          m_volume.setVoxelAt(x, y, z, TSVoxel(type));
        }
      }
    }
  }

  std::size_t volumeBytes() {
    std::lock_guard<std::mutex> lock(m_volumeMutex);
    return m_volume.calculateSizeInBytes();
  }

  std::mutex m_volumeMutex;
  WorldVolume m_volume{WorldVolumeBlockSide};
  std::unique_ptr<MeshWorker> m_worker =
      std::make_unique<MeshWorker>(m_volumeMutex, m_volume);
};

TEST_F(MeshWorkerTest, RequestsCoalesceAndKeepFirstQueuedOrder) {
  const ChunkPosition busy(-5, 0, -5);
  const ChunkPosition a(0, 0, 0);
  const ChunkPosition b(1, 0, -1);
  const ChunkPosition c(-1, 0, 2);
  struct Case {
    const char* label;
    std::vector<ChunkPosition> queued;
    std::vector<ChunkPosition> meshed;
  };
  const Case cases[] = {
      {"same position three times", {a, a, a}, {busy, a, sentinel}},
      {"a, b, a, c", {a, b, a, c}, {busy, a, b, c, sentinel}},
      {"the busy position again", {a, busy, a}, {busy, a, busy, sentinel}},
  };
  for (const Case& testCase : cases) {
    SCOPED_TRACE(testCase.label);
    {
      std::unique_lock<std::mutex> lock = holdWorkerCopying(busy);
      for (const ChunkPosition& position : testCase.queued) {
        m_worker->queueChunkForUpdate(position);
      }
    }
    EXPECT_EQ(positionsOf(drainThroughSentinel()), testCase.meshed);
  }
}

// A forgotten chunk's waiting request is skipped and its mesh in progress is
// dropped. Other chunks are not touched, and the chunk asked for again is
// meshed again.
TEST_F(MeshWorkerTest, AForgottenChunkIsDroppedWhereverItIsOnItsWay) {
  const ChunkPosition busy(-5, 0, -5);
  const ChunkPosition chunk(0, 0, 0);
  const ChunkPosition other(1, 0, -1);
  struct Case {
    const char* label;
    std::function<void()> play;
    std::vector<ChunkPosition> meshed;
  };
  const Case cases[] = {
      {"waiting in the queue",
       [&] {
         std::unique_lock<std::mutex> lock = holdWorkerCopying(busy);
         m_worker->queueChunkForUpdate(chunk);
         m_worker->queueChunkForUpdate(other);
         m_worker->forget(chunk);
       },
       {busy, other, sentinel}},
      {"in progress",
       [&] {
         std::unique_lock<std::mutex> lock = holdWorkerCopying(chunk);
         m_worker->queueChunkForUpdate(other);
         m_worker->forget(chunk);
       },
       {other, sentinel}},
      {"in progress, then asked for again",
       [&] {
         std::unique_lock<std::mutex> lock = holdWorkerCopying(chunk);
         m_worker->forget(chunk);
         m_worker->queueChunkForUpdate(chunk);
       },
       {chunk, sentinel}},
  };
  for (const Case& testCase : cases) {
    SCOPED_TRACE(testCase.label);
    testCase.play();
    EXPECT_EQ(positionsOf(drainThroughSentinel()), testCase.meshed);
  }
}

// Indices of all sections of a mesh.
std::size_t indexCount(const Mesh& mesh) {
  std::size_t count = 0;
  for (const TerrainMesh& section : mesh->sections)
    count += section.indexCount();
  return count;
}

TEST_F(MeshWorkerTest, AWaitingRequestIsMeshedAtTheLatestDetailAskedFor) {
  const ChunkPosition busy(-5, 0, -5);
  const ChunkPosition chunk(2, 0, 2);
  // Two block types side by side, so that the full detail splits triangles.
  fillChunk(chunk, 2, 10);
  {
    const Vox::Vector3DInt32 lower = chunkLowerCorner(chunk);
    std::lock_guard<std::mutex> lock(m_volumeMutex);
    for (int x = lower.x; x < lower.x + ChunkSizeX / 2; ++x)
      for (int z = lower.z; z < lower.z + ChunkSizeZ; ++z)
        for (int y = 0; y < 10 + (x + z) % 3; ++y)
          m_volume.setVoxelAt(x, y, z, TSVoxel(3));
  }
  std::map<MeshDetail, std::size_t> indices;
  for (MeshDetail detail : {MeshDetail::Full, MeshDetail::Far, MeshDetail::Coarse}) {
    m_worker->queueChunkForUpdate(chunk, detail);
    indices[detail] = indexCount(drainThroughSentinel().front().mesh);
  }
  ASSERT_GT(indices[MeshDetail::Full], indices[MeshDetail::Far]);
  ASSERT_GT(indices[MeshDetail::Far], indices[MeshDetail::Coarse]);

  for (const auto& [first, latest] : {std::pair{MeshDetail::Far, MeshDetail::Full},
                                      std::pair{MeshDetail::Full, MeshDetail::Far},
                                      std::pair{MeshDetail::Far, MeshDetail::Coarse}}) {
    {
      std::unique_lock<std::mutex> lock = holdWorkerCopying(busy);
      m_worker->queueChunkForUpdate(chunk, first);
      m_worker->queueChunkForUpdate(chunk, latest);
    }
    const std::vector<Result> results = drainThroughSentinel();
    ASSERT_EQ(positionsOf(results), (std::vector<ChunkPosition>{busy, chunk, sentinel}));
    EXPECT_EQ(indexCount(results[1].mesh), indices[latest]);
  }
}

TEST_F(MeshWorkerTest, AllAirChunkStillDeliversAnEmptyMesh) {
  const Mesh mesh = meshOf({3, 0, -7});
  ASSERT_TRUE(mesh);
  EXPECT_TRUE(mesh->empty());
  for (const TerrainMesh& section : mesh->sections)
    EXPECT_EQ(section.indexCount(), 0u);
  EXPECT_EQ(mesh->links, openColumn());
}

// Every vertex of every section of the mesh.
std::vector<TerrainVertex> verticesOf(const Mesh& mesh) {
  std::vector<TerrainVertex> vertices;
  for (const TerrainMesh& section : mesh->sections)
    vertices.insert(vertices.end(), section.vertices.begin(), section.vertices.end());
  return vertices;
}

// Vertices of `mesh` whose x lies on the +x border of the chunk starting at
// block x `lowerX`, between its last block layer and the next chunk's first.
std::size_t verticesOnPlusXBorder(const Mesh& mesh, int lowerX) {
  std::size_t count = 0;
  for (const TerrainVertex& vertex : verticesOf(mesh)) {
    count += vertex.x == float(lowerX) + ChunkSizeX - 0.5f;
  }
  return count;
}

TEST_F(MeshWorkerTest, BorderWallDisappearsOnceTheNeighbourIsFilled) {
  const ChunkPosition chunk(-2, 0, 3);
  const ChunkPosition plusX(-1, 0, 3);
  const std::uint8_t stone = 7;
  fillChunk(chunk, stone, 64);

  const Mesh closed = meshOf(chunk);
  ASSERT_TRUE(closed);
  ASSERT_FALSE(closed->empty());
  const int lowerX = chunkLowerCorner(chunk).x;
  const int lowerZ = chunkLowerCorner(chunk).z;
  EXPECT_GT(verticesOnPlusXBorder(closed, lowerX), 0u);
  for (const TerrainVertex& vertex : verticesOf(closed)) {
    // Stone's layer; the -x and -z walls belong to the neighbours' meshes.
    EXPECT_EQ(vertex.layer, 3);
    EXPECT_TRUE(vertex.x >= lowerX && vertex.x <= lowerX + 15.5f) << vertex.x;
    EXPECT_TRUE(vertex.z >= lowerZ && vertex.z <= lowerZ + 15.5f) << vertex.z;
    EXPECT_TRUE(vertex.y >= 0.0f && vertex.y <= 63.5f) << vertex.y;
  }
  // The walls run up through sections 0 to 3, each with its own bounds, and
  // the rock below the top joins no faces while the air above joins all.
  for (int section = 0; section < SectionsPerColumn; ++section) {
    SCOPED_TRACE(section);
    const TerrainMesh& drawn = closed->sections[std::size_t(section)];
    EXPECT_EQ(drawn.empty(), section > 3);
    if (!drawn.empty()) {
      EXPECT_EQ(drawn.lower.x, float(lowerX));
      EXPECT_EQ(drawn.lower.y, float(section * SectionHeight));
      EXPECT_EQ(drawn.upper.y, section == 3 ? 63.5f : float((section + 1) * SectionHeight));
    }
    EXPECT_EQ(closed->links[std::size_t(section)],
              section > 3 ? SectionLinks::open() : SectionLinks());
  }

  fillChunk(plusX, stone, 64);
  const Mesh joined = meshOf(chunk);
  ASSERT_TRUE(joined);
  EXPECT_FALSE(joined->empty());
  EXPECT_EQ(verticesOnPlusXBorder(joined, lowerX), 0u);
}

TEST_F(MeshWorkerTest, StopsWhileIdle) {
  meshOf({0, 0, 0});
  stopWithinLimit(m_worker);
}

TEST_F(MeshWorkerTest, StopsRightAfterStartOrFirstRequest) {
  for (int round = 0; round < 50; ++round) {
    m_worker = std::make_unique<MeshWorker>(m_volumeMutex, m_volume);
    if (round % 2 == 1) {
      m_worker->queueChunkForUpdate({round, 0, 0});
    }
    stopWithinLimit(m_worker);
  }
}

TEST_F(MeshWorkerTest, StopsAfterTheChunkInProgressAndSkipsTheQueue) {
  const ChunkPosition inProgress(0, 0, 0);
  // Reading a region of the volume creates its blocks: read the chunk in
  // progress's region now, so that only the queued chunks' copies, far
  // apart, would make the volume grow.
  meshOf(inProgress);
  const std::size_t before = volumeBytes();
  std::unique_lock<std::mutex> lock = holdWorkerCopying(inProgress);
  for (int i = 1; i <= 30; ++i) {
    m_worker->queueChunkForUpdate({i * 10, 0, -i * 10});
  }
  std::thread stopper([this] { stopWithinLimit(m_worker); });
  // Give the stop request time to be made while the worker is still blocked,
  // so that it has to finish its chunk and skip the queue.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  lock.unlock();
  stopper.join();
  EXPECT_EQ(m_worker, nullptr);
  EXPECT_EQ(volumeBytes(), before);
}

} // namespace
