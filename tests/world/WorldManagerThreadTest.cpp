#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "MutexWaiters.h"
#include "WorldManagerThread.h"

namespace {

using Volume = Vox::LargeVolume<TSVoxel>;

const ChunkPosition sentinel(100, 0, 100);

struct Result {
  ChunkPosition position;
  Mesh mesh;
};

class WorldManagerThreadTest : public testing::Test {
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
    for (int x = lower.x; x < lower.x + 16; ++x) {
      for (int z = lower.z; z < lower.z + 16; ++z) {
        for (int y = lower.y; y < lower.y + height; ++y) {
          m_volume.setVoxelAt(x, y, z, TSVoxel(type));
        }
      }
    }
  }

  std::mutex m_volumeMutex;
  Volume m_volume{32};
  std::unique_ptr<WorldManagerThread> m_worker =
      std::make_unique<WorldManagerThread>(m_volumeMutex, m_volume);
};

TEST_F(WorldManagerThreadTest, RequestsCoalesceAndKeepFirstQueuedOrder) {
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

TEST_F(WorldManagerThreadTest, AllAirChunkStillDeliversAnEmptyMesh) {
  const Mesh mesh = meshOf({3, 0, -7});
  ASSERT_TRUE(mesh);
  EXPECT_EQ(mesh->getNoOfVertices(), 0u);
  EXPECT_EQ(mesh->getNoOfIndices(), 0u);
}

// Vertices of `mesh` whose x lies on the chunk's +x border, between its last
// block layer and the first layer of the next chunk.
std::size_t verticesOnPlusXBorder(const Mesh& mesh) {
  std::size_t count = 0;
  for (const auto& vertex : mesh->getVertices()) {
    count += vertex.getPosition().getX() == 15.5f;
  }
  return count;
}

TEST_F(WorldManagerThreadTest, BorderWallDisappearsOnceTheNeighbourIsFilled) {
  const ChunkPosition chunk(-2, 0, 3);
  const ChunkPosition plusX(-1, 0, 3);
  const std::uint8_t stone = 7;
  fillChunk(chunk, stone, 64);

  const Mesh closed = meshOf(chunk);
  ASSERT_TRUE(closed);
  ASSERT_GT(closed->getNoOfVertices(), 0u);
  EXPECT_GT(verticesOnPlusXBorder(closed), 0u);
  for (const auto& vertex : closed->getVertices()) {
    const Vox::Vector3DFloat p = vertex.getPosition();
    EXPECT_EQ(vertex.getMaterial(), stone);
    // Relative to the chunk's lowest block; the -x and -z walls belong to
    // the neighbours' meshes.
    EXPECT_TRUE(p.getX() >= 0.0f && p.getX() <= 15.5f) << p.getX();
    EXPECT_TRUE(p.getZ() >= 0.0f && p.getZ() <= 15.5f) << p.getZ();
    EXPECT_TRUE(p.getY() >= 0.0f && p.getY() <= 63.5f) << p.getY();
  }

  fillChunk(plusX, stone, 64);
  const Mesh joined = meshOf(chunk);
  ASSERT_TRUE(joined);
  EXPECT_GT(joined->getNoOfVertices(), 0u);
  EXPECT_EQ(verticesOnPlusXBorder(joined), 0u);
}

TEST_F(WorldManagerThreadTest, StopsWhileIdle) {
  meshOf({0, 0, 0});
  m_worker.reset();
}

TEST_F(WorldManagerThreadTest, StopsRightAfterStartOrFirstRequest) {
  for (int round = 0; round < 50; ++round) {
    m_worker = std::make_unique<WorldManagerThread>(m_volumeMutex, m_volume);
    if (round % 2 == 1) {
      m_worker->queueChunkForUpdate({round, 0, 0});
    }
    m_worker.reset();
  }
}

TEST_F(WorldManagerThreadTest, StopsAfterTheChunkInProgressWithWorkQueued) {
  std::unique_lock<std::mutex> lock = holdWorkerCopying({0, 0, 0});
  for (int i = 1; i <= 30; ++i) {
    m_worker->queueChunkForUpdate({i * 10, 0, -i * 10});
  }
  std::thread stopper([this] { m_worker.reset(); });
  // Give the stop request time to be made while the worker is still blocked,
  // so that it has to finish its chunk and skip the queue.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  lock.unlock();
  stopper.join();
  EXPECT_EQ(m_worker, nullptr);
}

} // namespace
