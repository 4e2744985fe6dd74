#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <utility>
#include <vector>

#include "CoarseSurface.h"
#include "world/MeshScheduler.h"

namespace {

using Clock = MeshScheduler::Clock;
using std::chrono::milliseconds;

struct Request {
  ChunkPosition position;
  MeshLevel level;

  friend bool operator==(const Request& a, const Request& b) {
    return a.position == b.position && a.level == b.level;
  }
};

std::ostream& operator<<(std::ostream& out, const Request& request) {
  return out << "(" << request.position.x << ", " << request.position.z << ") detail "
             << int(request.level.detail) << " sides " << request.level.finerSides;
}

// The scheduler over chunk states of the test's own, with the meshes it asks
// for recorded in order.
class Scheduling : public testing::Test {
protected:
  void useDetail(DetailPolicy policy) {
    m_scheduler = std::make_unique<MeshScheduler>(
        m_chunks, policy,
        [this](ChunkPosition position, MeshLevel level) { m_queued.push_back({position, level}); });
  }

  void load(ChunkPosition chunk) { m_chunks[chunk] = ChunkState{++m_loads, false}; }
  void unload(ChunkPosition chunk) {
    m_chunks.erase(chunk);
    m_scheduler->forget(chunk);
  }
  void arrive(ChunkPosition chunk, Clock::duration at) {
    m_chunks.at(chunk).hasBlocks = true;
    m_scheduler->blocksArrived(chunk, m_start + at);
  }
  void update(ChunkPosition eyeColumn, Clock::duration at) {
    m_scheduler->update(eyeColumn, m_start + at);
  }
  void update(Clock::duration at) { update({0, 0, 0}, at); }

  // The chunks asked for since the last call, in order.
  std::vector<ChunkPosition> queued() {
    std::vector<ChunkPosition> positions;
    for (const Request& request : m_queued)
      positions.push_back(request.position);
    m_queued.clear();
    return positions;
  }
  std::vector<Request> requests() { return std::exchange(m_queued, {}); }

  ChunkStates m_chunks;
  std::uint64_t m_loads = 0;
  std::vector<Request> m_queued;
  std::unique_ptr<MeshScheduler> m_scheduler;
  const Clock::time_point m_start = Clock::time_point() + std::chrono::hours(1);

  void SetUp() override { useDetail(DetailPolicy()); }
};

TEST_F(Scheduling, AColumnIsMeshedOnceEveryNeighbourHasItsBlocks) {
  std::vector<ChunkPosition> grid;
  for (int x = 0; x < 3; ++x)
    for (int z = 0; z < 3; ++z) {
      grid.emplace_back(x, 0, z);
      load(grid.back());
    }
  const ChunkPosition middle(1, 0, 1);
  for (std::size_t i = 0; i < grid.size(); ++i) {
    arrive(grid[i], milliseconds(0));
    EXPECT_EQ(queued(), i + 1 < grid.size() ? std::vector<ChunkPosition>{}
                                            : std::vector<ChunkPosition>{middle})
        << "after chunk " << i;
  }
  // The others have neighbours outside the grid, which never come: they are
  // meshed once the stream of blocks pauses, each once.
  for (ChunkPosition chunk : grid)
    EXPECT_EQ(m_scheduler->waitsForNeighbours(chunk), chunk != middle);
  update(MeshScheduler::QuietWait - milliseconds(1));
  EXPECT_TRUE(queued().empty());
  update(MeshScheduler::QuietWait);
  std::vector<ChunkPosition> edges = queued();
  std::sort(edges.begin(), edges.end());
  std::vector<ChunkPosition> expected = grid;
  expected.erase(std::find(expected.begin(), expected.end(), middle));
  EXPECT_EQ(edges, expected);
  update(MeshScheduler::NeighbourWait * 2);
  EXPECT_TRUE(queued().empty());
}

// A chunk at the edge of the server's view radius waits for neighbours that
// never come: until the stream of blocks pauses, or at most the neighbour
// wait while other chunks keep arriving.
TEST_F(Scheduling, AWaitEndsWhenTheStreamPausesOrAfterTheNeighbourWait) {
  struct Case {
    const char* name;
    std::vector<Clock::duration> otherArrivals;
    Clock::duration stillWaiting, meshed;
  };
  const Case cases[] = {
      {"the stream pauses", {}, MeshScheduler::QuietWait - milliseconds(1),
       MeshScheduler::QuietWait},
      {"the stream goes on",
       {milliseconds(200), milliseconds(400), milliseconds(600), milliseconds(800),
        milliseconds(1000), milliseconds(1200), milliseconds(1400)},
       MeshScheduler::NeighbourWait - milliseconds(1), MeshScheduler::NeighbourWait},
  };
  const ChunkPosition edge(0, 0, 0), other(20, 0, 20);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_chunks.clear();
    useDetail(DetailPolicy());
    load(edge);
    load(other);
    arrive(edge, milliseconds(0));
    for (Clock::duration at : c.otherArrivals) {
      arrive(other, at);
      update(at);
      EXPECT_TRUE(queued().empty());
    }
    update(c.stillWaiting);
    EXPECT_TRUE(queued().empty());
    EXPECT_TRUE(m_scheduler->waitsForNeighbours(edge));
    update(c.meshed);
    const std::vector<ChunkPosition> meshed = queued();
    EXPECT_EQ(std::count(meshed.begin(), meshed.end(), edge), 1);
    EXPECT_FALSE(m_scheduler->waitsForNeighbours(edge));
  }
}

TEST_F(Scheduling, AnUnloadedChunkIsForgottenAndStartsAfreshWhenLoadedAgain) {
  const ChunkPosition waiting(0, 0, 0), meshed(5, 0, 5);
  load(waiting);
  load(meshed);
  arrive(waiting, milliseconds(0));
  m_scheduler->queueMesh(meshed);
  ASSERT_EQ(queued(), std::vector<ChunkPosition>{meshed});
  ASSERT_TRUE(m_scheduler->meshLevel(meshed));

  unload(waiting);
  unload(meshed);
  EXPECT_FALSE(m_scheduler->waitsForNeighbours(waiting));
  EXPECT_FALSE(m_scheduler->meshLevel(meshed));
  update(MeshScheduler::NeighbourWait * 2);
  // Asking for a chunk that is not loaded leaves no trace either.
  m_scheduler->queueMesh(meshed);
  EXPECT_TRUE(queued().empty());
  EXPECT_FALSE(m_scheduler->meshLevel(meshed));

  load(waiting);
  load(meshed);
  EXPECT_FALSE(m_scheduler->waitsForNeighbours(waiting));
  EXPECT_FALSE(m_scheduler->meshLevel(meshed));
  update(MeshScheduler::NeighbourWait * 3);
  EXPECT_TRUE(queued().empty());
}

// Far chunks are coarse, with walls on their sides towards finer loaded
// neighbours; a neighbour not meshed yet counts with the detail it will get.
TEST_F(Scheduling, ANewMeshTakesTheLevelOfItsDistance) {
  useDetail(DetailPolicy(1, 3));
  const MeshDetail full = MeshDetail::Full, far = MeshDetail::Far, coarse = MeshDetail::Coarse;
  const std::vector<Request> expected = {
      {{0, 0, 0}, {full, 0}},         {{1, 0, 0}, {full, 0}},   {{2, 0, 0}, {far, 0}},
      {{3, 0, 0}, {far, 0}},          {{4, 0, 0}, {coarse, LowXSide}},
      {{5, 0, 0}, {coarse, 0}},       {{-4, 0, 0}, {coarse, 0}},
      {{4, 0, -1}, {coarse, LowXSide}}, {{3, 0, -1}, {far, 0}},
      {{0, 0, 4}, {coarse, 0}},       {{0, 0, -4}, {coarse, HighZSide}},
  };
  for (const Request& request : expected)
    load(request.position);
  load({0, 0, -3});
  for (const Request& request : expected)
    m_scheduler->queueMesh(request.position);
  EXPECT_EQ(requests(), expected);
}

// Walking two columns along +x: the chunks whose level no longer fits are
// re-meshed a few per update, nearest first; a coarse chunk follows the
// level of a neighbour once that neighbour has been re-meshed.
TEST_F(Scheduling, LevelsFollowThePlayerAFewChunksPerUpdateNearestFirst) {
  useDetail(DetailPolicy(1, 3));
  for (int x = -8; x <= 8; ++x)
    load({x, 0, 0});
  for (int x = -8; x <= 8; ++x)
    m_scheduler->queueMesh({x, 0, 0});
  requests();

  const MeshDetail full = MeshDetail::Full, far = MeshDetail::Far, coarse = MeshDetail::Coarse;
  const std::vector<std::vector<Request>> updates = {
      {{{2, 0, 0}, {full, 0}}, {{3, 0, 0}, {full, 0}}, {{4, 0, 0}, {far, 0}},
       {{-1, 0, 0}, {far, 0}}},
      {{{5, 0, 0}, {far, 0}}, {{-3, 0, 0}, {coarse, HighXSide}}},
      {{{6, 0, 0}, {coarse, LowXSide}}, {{-4, 0, 0}, {coarse, 0}}},
      {},
  };
  static_assert(MeshScheduler::DetailRemeshesPerUpdate == 4);
  for (std::size_t i = 0; i < updates.size(); ++i) {
    update({2, 0, 0}, milliseconds(0));
    EXPECT_EQ(requests(), updates[i]) << "update " << i;
  }
  // Each chunk one column beyond a level's reach kept the nearer level.
  EXPECT_EQ(*m_scheduler->meshLevel({0, 0, 0}), (MeshLevel{full, 0}));
  EXPECT_EQ(*m_scheduler->meshLevel({-2, 0, 0}), (MeshLevel{far, 0}));

  // To and fro across the lines: what was left behind keeps its level, so
  // once both places have been visited nothing is meshed again.
  for (int x : {3, 2, 3, 2})
    for (int i = 0; i < 4; ++i)
      update({x, 0, 0}, milliseconds(0));
  requests();
  for (int x : {3, 2, 3, 2}) {
    update({x, 0, 0}, milliseconds(0));
    EXPECT_TRUE(requests().empty()) << "at column " << x;
  }
}

// A chunk waiting for its neighbours gets the level of its distance when it
// is meshed, not a re-mesh of its own before that.
TEST_F(Scheduling, AChunkWaitingForNeighboursIsMeshedOnceAtTheRightLevel) {
  useDetail(DetailPolicy(1, 3));
  const ChunkPosition chunk(0, 0, 0);
  load(chunk);
  m_scheduler->queueMesh(chunk);
  requests();
  arrive(chunk, milliseconds(0));
  update({10, 0, 0}, milliseconds(1));
  EXPECT_TRUE(requests().empty());
  update({10, 0, 0}, MeshScheduler::QuietWait);
  EXPECT_EQ(requests(), (std::vector<Request>{{chunk, {MeshDetail::Coarse, 0}}}));
  update({10, 0, 0}, MeshScheduler::QuietWait);
  EXPECT_TRUE(requests().empty());
}

} // namespace
