#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include <OgreManualObject.h>
#include <OgreRenderWindow.h>
#include <OgreSceneNode.h>

#include "ChunkRegions.h"
#include "ChunkRenderer.h"
#include "FailingAllocations.h"
#include "OutputCapture.h"
#include "ReferenceChunkDrawing.h"
#include "TerrainFog.h"
#include "TerrainMaterial.h"
#include "TestShell.h"
#include "world/VoxelModifier.h"
#include "world/World.h"
#include "terrain/TerrainGenerator.h"

namespace {

using Surface = Vox::SurfaceMesh<Vox::PositionMaterialNormal>;

// One window for the whole program: the client's run directory holds its
// configuration and media.
class ChunkDrawing : public testing::Test {
protected:
  static void SetUpTestSuite() {
    std::filesystem::current_path(TS_RUN_DIR);
    s_shell = new TestShell();
    // Anisotropic filtering makes software rendering of a screenful of
    // terrain very slow.
    MyOgre::setTextureFiltering(Ogre::TFO_BILINEAR, 1);
    createTerrainMaterial();
    createReferenceMaterial();
  }
  static void TearDownTestSuite() { delete s_shell; }

  void TearDown() override {
    s_shell->cameraNode()->setPosition(10, 10, 50);
    s_shell->sky().setMode(SkyMode::Black);
  }

  static void lookFrom(const Ogre::Vector3& eye, const Ogre::Vector3& target) {
    s_shell->cameraNode()->setPosition(eye);
    s_shell->setCameraDirection(target - eye);
  }

  // The last rendered frame, 8-bit RGB.
  static std::vector<Ogre::uint8> frame() {
    const unsigned width = s_shell->m_window->getWidth(), height = s_shell->m_window->getHeight();
    std::vector<Ogre::uint8> bytes(std::size_t(width) * height * 3);
    Ogre::PixelBox box(width, height, 1, Ogre::PF_BYTE_RGB, bytes.data());
    s_shell->m_window->copyContentsToMemory(box, box);
    return bytes;
  }

  static TestShell* s_shell;
};

TestShell* ChunkDrawing::s_shell = nullptr;

// The generated terrain of seed 0 around chunk (0, 0): the volume holds
// `radius` + 1 columns around it, so the surfaces of the columns within
// `radius` see all their neighbours.
class GeneratedWorld {
public:
  explicit GeneratedWorld(int radius) : m_volume(WorldVolumeBlockSide) {
    const Terrain::TerrainGenerator generator(0);
    for (int cx = -radius - 1; cx <= radius + 1; ++cx)
      for (int cz = -radius - 1; cz <= radius + 1; ++cz) {
        const Terrain::Column column = generator.column(cx, cz);
        const Vox::Vector3DInt32 lower = chunkLowerCorner({cx, 0, cz});
        std::size_t next = 0;
        for (int x = 0; x < ChunkSizeX; ++x)
          for (int z = 0; z < ChunkSizeZ; ++z)
            for (int y = 0; y < ChunkSizeY; ++y)
              m_volume.setVoxelAt(lower.x + x, y, lower.z + z, TSVoxel(column[next++]));
      }
    for (int cx = -radius; cx <= radius; ++cx)
      for (int cz = -radius; cz <= radius; ++cz)
        m_chunks.emplace_back(cx, 0, cz);
  }

  const std::vector<ChunkPosition>& chunks() const { return m_chunks; }

  Surface surface(ChunkPosition chunk) {
    Surface surface;
    Vox::SurfaceExtractor<WorldVolume>(&m_volume, chunkExtractionRegion(chunk), &surface).execute();
    return surface;
  }

  // The chunk's mesh as the worker makes it.
  Mesh mesh(ChunkPosition chunk) {
    Mesh mesh = std::make_unique<ChunkMesh>();
    const Vox::Vector3DInt32 corner = chunkLowerCorner(chunk);
    mesh->sections = buildSectionMeshes(
        surface(chunk), Vox::Vector3DFloat(float(corner.x), float(corner.y), float(corner.z)));
    std::vector<TSVoxel> blocks(ChunkBlocks);
    m_volume.readRegion({corner, chunkUpperCorner(chunk)}, blocks.data());
    mesh->links = columnLinks(blocks.data());
    return mesh;
  }

  // The middle of the first cave under column (0, 0) with air all around
  // it, at least eight blocks below the ground.
  Ogre::Vector3 caveEye() {
    const Terrain::TerrainGenerator generator(0);
    for (int x = 1; x < ChunkSizeX - 1; ++x)
      for (int z = 1; z < ChunkSizeZ - 1; ++z)
        for (int y = 8; y < generator.height(x, z) - 8; ++y)
          if (airAround(x, y, z))
            return Ogre::Vector3(float(x), float(y), float(z));
    ADD_FAILURE() << "no cave under column (0, 0)";
    return Ogre::Vector3(8, 40, 8);
  }

private:
  bool airAround(int x, int y, int z) {
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy)
        for (int dz = -1; dz <= 1; ++dz)
          if (m_volume.getVoxelAt(x + dx, y + dy, z + dz).m_type != 0)
            return false;
    return true;
  }

  WorldVolume m_volume;
  std::vector<ChunkPosition> m_chunks;
};

// A tick's update and a frame's cull, as the page runs them.
std::size_t updateAndCull(World& world) {
  const std::size_t drawn = world.update();
  world.cull();
  return drawn;
}

Vox::Vector3DFloat originOf(ChunkPosition chunk) {
  const Vox::Vector3DInt32 corner = chunkLowerCorner(chunk);
  return {float(corner.x), float(corner.y), float(corner.z)};
}

// The two programs differ only in where the face normal comes from (the
// vertices, or the slopes of the position), so a pixel may differ by the
// rounding of its shading: 4 of 255 in each channel, for all but one pixel in
// a thousand (measured: all but 1 of 480000).
const int PixelTolerance = 4;
const double ShareWithinTolerance = 0.999;

// The generated world drawn by a World, with the unindexed drawing
// of the same chunks beside it.
class DrawnWorld {
public:
  DrawnWorld(TestShell& shell, int radius) : m_shell(shell), m_generated(radius), m_world(shell) {
    for (ChunkPosition chunk : m_generated.chunks()) {
      m_reference.push_back(shell.createManualObject());
      drawReferenceChunk(m_reference.back(), m_generated.surface(chunk), originOf(chunk));
      m_world.model().loadChunk(chunk);
      m_world.view().draw(chunk, m_generated.mesh(chunk));
      m_compact.push_back(m_world.view().chunkObject(chunk));
    }
  }
  ~DrawnWorld() {
    for (Ogre::ManualObject* object : m_reference)
      m_shell.eraseManualObject(object);
  }

  GeneratedWorld& generated() { return m_generated; }
  World& world() { return m_world; }
  void showReference(bool shown) {
    for (Ogre::ManualObject* object : m_reference)
      object->setVisible(shown);
    for (Ogre::ManualObject* object : m_compact)
      object->setVisible(!shown);
  }
  void showEverySection() {
    for (Ogre::ManualObject* object : m_compact)
      showTerrainSections(object, SectionMask().set());
  }

private:
  TestShell& m_shell;
  GeneratedWorld m_generated;
  World m_world;
  std::vector<Ogre::ManualObject*> m_reference, m_compact;
};

// Pixels of two frames that differ by at most `tolerance` in every channel.
std::size_t pixelsWithin(const std::vector<Ogre::uint8>& a, const std::vector<Ogre::uint8>& b,
                         int tolerance) {
  std::size_t within = 0;
  for (std::size_t i = 0; i < a.size(); i += 3) {
    int difference = 0;
    for (int c = 0; c < 3; ++c)
      difference = std::max(difference, std::abs(int(a[i + c]) - int(b[i + c])));
    within += difference <= tolerance;
  }
  return within;
}

double terrainShare(const std::vector<Ogre::uint8>& frame) {
  std::size_t terrain = 0;
  for (std::size_t i = 0; i < frame.size(); i += 3)
    terrain += frame[i] + frame[i + 1] + frame[i + 2] > 30;
  return double(terrain) / double(frame.size() / 3);
}

TEST_F(ChunkDrawing, TheCompactFormatDrawsTheSamePictureAsTheUnindexedOne) {
  DrawnWorld drawn(*s_shell, 1);
  lookFrom({-20, 90, -26}, {8, 60, 8});
  updateAndCull(drawn.world());
  // The reference programs have no fog.
  setTerrainFog(Ogre::ColourValue::Black, NoFog);
  drawn.showReference(true);
  ASSERT_TRUE(s_shell->update(true));
  const std::vector<Ogre::uint8> expected = frame();
  drawn.showReference(false);
  ASSERT_TRUE(s_shell->update(true));
  const std::vector<Ogre::uint8> compact = frame();

  const std::size_t pixels = expected.size() / 3;
  const std::size_t within = pixelsWithin(expected, compact, PixelTolerance);
  EXPECT_GT(terrainShare(expected), 0.6) << "the terrain fills little of the picture";
  EXPECT_GE(double(within) / pixels, ShareWithinTolerance)
      << within << " of " << pixels << " pixels within " << PixelTolerance;
}

// The sections the walk from the camera's section leaves out change no
// pixel: from above, at the ground looking across, and from inside a cave.
TEST_F(ChunkDrawing, TheSectionsLeftOutCannotBeSeen) {
  DrawnWorld drawn(*s_shell, 2);
  drawn.showReference(false);
  const Ogre::Vector3 cave = drawn.generated().caveEye();
  struct View {
    const char* name;
    Ogre::Vector3 eye, target;
  };
  for (const View& view : {View{"above", {-20, 90, -26}, {8, 60, 8}},
                           View{"across", {-30, 72, 8}, {30, 66, 10}},
                           View{"in a cave", cave, cave + Ogre::Vector3(10, -2, 3)}}) {
    SCOPED_TRACE(view.name);
    lookFrom(view.eye, view.target);
    updateAndCull(drawn.world());
    EXPECT_LT(drawn.world().view().shownSections(), drawn.world().view().sectionCount());
    ASSERT_TRUE(s_shell->update(true));
    const std::vector<Ogre::uint8> walked = frame();
    drawn.showEverySection();
    ASSERT_TRUE(s_shell->update(true));
    const std::vector<Ogre::uint8> everything = frame();
    EXPECT_GT(terrainShare(everything), 0.6) << "the terrain fills little of the picture";
    EXPECT_EQ(pixelsWithin(walked, everything, 0), walked.size() / 3);
  }
}

// Writes a slope of blocks straight into the volume: nothing is queued for
// meshing, neither now nor once the stream of blocks pauses.
void writeChunkBlocks(WorldModel& world, ChunkPosition chunk, std::uint8_t type) {
  const Vox::Vector3DInt32 lower = chunkLowerCorner(chunk);
  std::lock_guard<std::mutex> lock(world.volumeMutex());
  for (int x = 0; x < ChunkSizeX; ++x)
    for (int z = 0; z < ChunkSizeZ; ++z)
      for (int y = 0; y < 40 + x + z; ++y)
        world.volume().setVoxelAt(lower.x + x, y, lower.z + z, TSVoxel(type));
}

bool showsAMesh(World& world, ChunkPosition chunk) {
  const Ogre::ManualObject* object = world.view().chunkObject(chunk);
  return object && object->getSections().front()->getRenderOperation()->useIndexes;
}

// Indices held by all sections of a chunk's object, shown or not.
std::size_t indicesHeld(World& world, ChunkPosition chunk) {
  std::size_t indices = 0;
  for (auto* section : world.view().chunkObject(chunk)->getSections()) {
    const Ogre::IndexData* data = section->getRenderOperation()->indexData;
    indices += data && data->indexBuffer ? data->indexBuffer->getNumIndexes() : 0;
  }
  return indices;
}

// Calls update until `count` meshes have been drawn; returns how many
// updates drew them.
std::size_t drawMeshes(World& world, std::size_t count) {
  std::size_t drawn = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (drawn < count && std::chrono::steady_clock::now() < deadline) {
    drawn += updateAndCull(world);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return drawn;
}

// The columns within `radius` of column (0, 0).
std::vector<ChunkPosition> floorChunks(int radius) {
  std::vector<ChunkPosition> chunks;
  for (int cx = -radius; cx <= radius; ++cx)
    for (int cz = -radius; cz <= radius; ++cz)
      chunks.emplace_back(cx, 0, cz);
  return chunks;
}

std::map<ChunkPosition, MeshLevel> levelsOf(const World& world,
                                            const std::vector<ChunkPosition>& chunks) {
  std::map<ChunkPosition, MeshLevel> levels;
  for (ChunkPosition chunk : chunks)
    if (const std::optional<MeshLevel> level = world.model().meshing().meshLevel(chunk))
      levels[chunk] = *level;
  return levels;
}

// After the player moved: runs the world's ticks, drawing everything
// finished, until every chunk whose level changed has been drawn since and
// a tick changes no level. No tick may re-mesh more than
// DetailRemeshesPerUpdate chunks. Returns how many meshes were drawn.
std::size_t followThePlayer(World& world, const std::vector<ChunkPosition>& chunks) {
  std::set<ChunkPosition> waiting;
  std::size_t drawn = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (;;) {
    const std::map<ChunkPosition, MeshLevel> before = levelsOf(world, chunks);
    world.model().update(world.view().eyeColumn());
    std::size_t changed = 0;
    for (const auto& [chunk, level] : levelsOf(world, chunks))
      if (before.at(chunk) != level) {
        waiting.insert(chunk);
        ++changed;
      }
    EXPECT_LE(changed, MeshScheduler::DetailRemeshesPerUpdate);
    for (const auto& finished : world.model().finishedMeshes())
      waiting.erase(finished.first);
    drawn += world.view().drawFinishedMeshes();
    if (changed == 0 && waiting.empty())
      return drawn;
    if (std::chrono::steady_clock::now() > deadline) {
      ADD_FAILURE() << waiting.size() << " re-meshes did not arrive";
      return drawn;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// A mesh with a square of stone at y = 64 across the chunk, in section 4.
Mesh squareMesh(ChunkPosition chunk) {
  const Vox::Vector3DInt32 corner = chunkLowerCorner(chunk);
  const float x = float(corner.x), z = float(corner.z);
  TerrainMesh square;
  square.vertices = {{x, 64, z, {0, 0, 0}, 3},
                     {x, 64, z + ChunkSizeZ, {0, 0, 0}, 3},
                     {x + ChunkSizeX, 64, z + ChunkSizeZ, {0, 0, 0}, 3},
                     {x + ChunkSizeX, 64, z, {0, 0, 0}, 3}};
  square.shortIndices = {0, 1, 2, 0, 2, 3};
  square.lower = {x, 64, z};
  square.upper = {x + ChunkSizeX, 64, z + ChunkSizeZ};
  Mesh mesh = std::make_unique<ChunkMesh>();
  mesh->sections[4] = square;
  return mesh;
}

// Has the model mesh `marker` and waits until its mesh is finished: the
// worker meshes in the order chunks were asked for, so every mesh asked for
// before is finished too. Unloading the marker then drops its mesh.
void finishEveryMesh(WorldModel& world, ChunkPosition marker) {
  world.loadChunk(marker);
  world.remesh(marker);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (world.finishedMeshes().count(marker) == 0 &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    world.update({0, 0, 0});
  }
  ASSERT_EQ(world.finishedMeshes().count(marker), 1u);
  world.unloadChunk(marker);
}

TEST_F(ChunkDrawing, NearestFirstWithinTheBudgetAndSupersededMeshesDropped) {
  World world(*s_shell);
  const ChunkPosition far(6, 0, 0), middle(3, 0, 0), near(0, 0, 0);
  for (ChunkPosition chunk : {far, middle, near})
    world.model().loadChunk(chunk);
  for (ChunkPosition chunk : {far, middle, near}) {
    writeChunkBlocks(world.model(), chunk, 1);
    world.model().remesh(chunk);
  }
  world.model().remesh(far);
  finishEveryMesh(world.model(), {20, 0, 20});
  lookFrom({8, 80, 8}, {40, 60, 8});
  world.view().setDrawBudget(std::chrono::nanoseconds(0));
  std::vector<std::vector<bool>> shown;
  for (int tick = 0; tick < 4; ++tick) {
    const std::size_t drawn = updateAndCull(world);
    EXPECT_EQ(drawn, tick < 3 ? 1u : 0u) << "tick " << tick;
    shown.push_back({showsAMesh(world, near), showsAMesh(world, middle), showsAMesh(world, far)});
  }
  EXPECT_EQ(shown[0], (std::vector<bool>{true, false, false}));
  EXPECT_EQ(shown[1], (std::vector<bool>{true, true, false}));
  EXPECT_EQ(shown[2], (std::vector<bool>{true, true, true}));
}

TEST_F(ChunkDrawing, ChunksBeyondTheViewDistanceAreHiddenAndCounted) {
  World world(*s_shell, 1);
  for (int x = -3; x <= 3; ++x) {
    world.model().loadChunk({x, 0, 0});
    world.view().draw({x, 0, 0}, squareMesh({x, 0, 0}));
  }
  lookFrom({8, 70, 8}, {8, 60, 60});
  world.cull();
  for (int x = -3; x <= 3; ++x)
    EXPECT_EQ(world.view().chunkObject({x, 0, 0})->getVisible(), std::abs(x) <= 1) << x;
  EXPECT_EQ(world.view().chunkCount(), 7u);
  // The hidden ones count as culled.
  EXPECT_GE(world.view().culledChunks(), 4u);
  lookFrom({-24, 70, 8}, {-24, 60, 60});
  world.cull();
  EXPECT_TRUE(world.view().chunkObject({-3, 0, 0})->getVisible());
  EXPECT_FALSE(world.view().chunkObject({0, 0, 0})->getVisible());

  struct Case {
    int viewDistance;
    float farClip;
  };
  for (const Case& c : {Case{0, 129.98f}, Case{1, 135.76f}, Case{10, 279.89f}})
    EXPECT_NEAR(WorldView::farClipDistance(c.viewDistance), c.farClip, 0.01f);
}

// A chunk is on screen only while it has a surface to draw: nothing while it
// waits for its first mesh (no stand-in near the world's origin), nothing
// once a mesh without a surface comes, and nothing of it once it is unloaded,
// also when it is loaded again before the next tick.
TEST_F(ChunkDrawing, ChunksShowOnlyTheirSurfaceAndLeaveTheScreenWhenUnloaded) {
  World world(*s_shell);
  Ogre::SceneNode* root = s_shell->cameraNode()->getParentSceneNode();
  const std::size_t emptyScene = root->numChildren();
  const ChunkPosition kept(0, 0, 0), unloaded(1, 0, 0);
  world.model().loadChunk(kept);
  world.model().loadChunk(unloaded);
  lookFrom({8, 90, -20}, {16, 64, 8});
  world.cull();
  EXPECT_EQ(world.view().chunkObject(kept), nullptr);
  EXPECT_EQ(world.view().chunkCount(), 0u);
  EXPECT_EQ(root->numChildren(), emptyScene);

  world.view().draw(kept, squareMesh(kept));
  world.view().draw(unloaded, squareMesh(unloaded));
  world.cull();
  EXPECT_EQ(world.view().chunkCount(), 2u);
  EXPECT_EQ(world.view().sectionCount(), 2u);
  EXPECT_EQ(root->numChildren(), emptyScene + 2);

  world.model().unloadChunk(unloaded);
  world.cull();
  EXPECT_EQ(world.view().chunkObject(unloaded), nullptr);
  EXPECT_EQ(world.view().chunkCount(), 1u);
  EXPECT_EQ(world.view().sectionCount(), 1u);
  EXPECT_EQ(root->numChildren(), emptyScene + 1);
  world.model().loadChunk(unloaded);
  world.update();
  EXPECT_EQ(world.view().chunkObject(unloaded), nullptr);

  world.view().draw(unloaded, squareMesh(unloaded));
  world.model().unloadChunk(unloaded);
  world.model().loadChunk(unloaded);
  world.update();
  EXPECT_EQ(world.view().chunkObject(unloaded), nullptr);
  EXPECT_EQ(root->numChildren(), emptyScene + 1);

  world.view().draw(kept, std::make_unique<ChunkMesh>());
  world.cull();
  EXPECT_EQ(world.view().chunkObject(kept), nullptr);
  EXPECT_EQ(world.view().chunkCount(), 0u);
  EXPECT_EQ(root->numChildren(), emptyScene);
}

// Whether the chunk's object draws the section.
bool sectionShown(World& world, ChunkPosition chunk, int section) {
  const Ogre::ManualObject* object = world.view().chunkObject(chunk);
  const Ogre::IndexData* indices =
      object->getSections()[std::size_t(section)]->getRenderOperation()->indexData;
  return indices && indices->indexCount > 0;
}

// A column of solid stone hides what is behind it; once all its blocks are
// air, the worker's mesh of it has no surface and open sections: the column
// leaves the screen and no longer hides anything.
TEST_F(ChunkDrawing, AChunkThatBecomesAirLeavesTheScreenAndHidesNothing) {
  World world(*s_shell);
  const ChunkPosition wall(1, 0, 0), behind(2, 0, 0), marker(20, 0, 20);
  world.model().loadChunk(wall);
  world.model().loadChunk(behind);
  const auto fillWall = [&](std::uint8_t type) {
    const Vox::Vector3DInt32 lower = chunkLowerCorner(wall);
    VoxelModifier modifier(world.model(), wall);
    for (int x = 0; x < ChunkSizeX; ++x)
      for (int z = 0; z < ChunkSizeZ; ++z)
        for (int y = 0; y < ChunkSizeY; ++y)
          modifier.setVoxelAt(lower.x + x, y, lower.z + z, TSVoxel(type));
  };
  lookFrom({8, 70, 8}, {40, 64, 8});
  world.view().draw(behind, squareMesh(behind));

  fillWall(1);
  world.model().remesh(wall);
  finishEveryMesh(world.model(), marker);
  updateAndCull(world);
  ASSERT_NE(world.view().chunkObject(wall), nullptr);
  EXPECT_FALSE(sectionShown(world, behind, 4));

  fillWall(0);
  world.model().remesh(wall);
  finishEveryMesh(world.model(), marker);
  updateAndCull(world);
  EXPECT_EQ(world.view().chunkObject(wall), nullptr);
  EXPECT_TRUE(sectionShown(world, behind, 4));
  EXPECT_EQ(world.view().sectionCount(), 1u);
}

// The view's own bookkeeping: a chunk shows an object only once its drawing
// got through. (The engine does not promise to leave its scene whole when an
// allocation fails inside it.)
TEST_F(ChunkDrawing, AFirstDrawingThatFailsLeavesNoObject) {
  World world(*s_shell);
  const ChunkPosition chunk(2, 0, -2);
  world.model().loadChunk(chunk);
  // Every allocation of the chunk's first drawing in turn fails, until one
  // drawing gets through.
  for (long successes = 0;; ++successes) {
    SCOPED_TRACE(successes);
    Mesh mesh = squareMesh(chunk);
    failAnAllocation(successes);
    bool failed = false;
    try {
      world.view().draw(chunk, std::move(mesh));
    } catch (const std::bad_alloc&) {
      failed = true;
    }
    // The engine's own threads allocate too, and it catches some failures
    // itself: a drawing that went through shows.
    EXPECT_EQ(world.view().chunkObject(chunk) != nullptr, !failed);
    EXPECT_EQ(world.view().chunkCount(), failed ? 0u : 1u);
    if (!allocationFailed())
      break;
    world.model().unloadChunk(chunk);
    world.model().loadChunk(chunk);
    world.cull();
  }
  ASSERT_NE(world.view().chunkObject(chunk), nullptr);
  EXPECT_TRUE(showsAMesh(world, chunk));
}

// A flat floor, `depth` blocks deep, in every column within `radius` of
// column (0, 0), meshed by the worker and drawn: stone, or grass and dirt
// in a checkerboard, whose triangles the full detail splits.
void drawFloor(World& world, int radius, int depth, bool checkered = false) {
  std::size_t columns = 0;
  for (int cx = -radius; cx <= radius; ++cx)
    for (int cz = -radius; cz <= radius; ++cz, ++columns)
      world.model().loadChunk({cx, 0, cz});
  for (int cx = -radius; cx <= radius; ++cx)
    for (int cz = -radius; cz <= radius; ++cz) {
      const Vox::Vector3DInt32 lower = chunkLowerCorner({cx, 0, cz});
      VoxelModifier modifier(world.model(), {cx, 0, cz});
      for (int x = 0; x < ChunkSizeX; ++x)
        for (int z = 0; z < ChunkSizeZ; ++z)
          for (int y = 0; y < depth; ++y)
            modifier.setVoxelAt(lower.x + x, y, lower.z + z,
                                TSVoxel(checkered ? 2 + (x + z) % 2 : 1));
    }
  world.view().setDrawBudget(std::chrono::seconds(10));
  ASSERT_EQ(drawMeshes(world, columns), columns);
}

// The largest channel difference between pixel `i` of a frame and a colour.
int colourDifference(const std::vector<Ogre::uint8>& frame, std::size_t i,
                     const Ogre::ColourValue& colour) {
  const float channels[3] = {colour.r, colour.g, colour.b};
  int difference = 0;
  for (int c = 0; c < 3; ++c)
    difference = std::max(difference, std::abs(int(frame[3 * i + c]) - int(channels[c] * 255 + 0.5f)));
  return difference;
}

// How far rows `first` to `first + count` of a frame are from a colour: the
// mean of their pixels' differences.
double bandDistance(const std::vector<Ogre::uint8>& frame, unsigned width, unsigned first,
                    unsigned count, const Ogre::ColourValue& colour) {
  double sum = 0;
  for (std::size_t i = std::size_t(first) * width; i < std::size_t(first + count) * width; ++i)
    sum += colourDifference(frame, i, colour);
  return sum / (double(count) * width);
}

// The first row from the top with no pixel of the colour: where the floor
// fills the frame's width, as far away as it does.
unsigned firstRowWithout(const std::vector<Ogre::uint8>& frame, unsigned width,
                         const Ogre::ColourValue& colour) {
  const unsigned height = unsigned(frame.size() / 3 / width);
  for (unsigned row = 0; row < height; ++row) {
    bool covered = true;
    for (unsigned x = 0; x < width && covered; ++x)
      covered = colourDifference(frame, std::size_t(row) * width + x, colour) > 2;
    if (covered)
      return row;
  }
  return height;
}

// Across a flat floor towards the horizon, the far end of the floor is
// close to the sky's colour, whatever that is at the moment, and the ground
// near the eye is as it is without fog.
TEST_F(ChunkDrawing, DistantTerrainFadesIntoTheSky) {
  World world(*s_shell);
  drawFloor(world, 3, 40);
  lookFrom({8, 48, 8}, {8, 48, 200});
  const unsigned width = s_shell->m_window->getWidth();
  const unsigned height = s_shell->m_window->getHeight();
  const unsigned band = 8;
  struct Case {
    const char* name;
    SkyMode mode;
    std::int64_t worldTime;
  };
  for (const Case& c : {Case{"noon", SkyMode::DayNight, 6000}, Case{"night", SkyMode::DayNight, 18000},
                        Case{"black sky", SkyMode::Black, 6000}}) {
    SCOPED_TRACE(c.name);
    s_shell->sky().setMode(c.mode);
    s_shell->sky().follow(c.worldTime);
    const Ogre::ColourValue sky = s_shell->sky().colour();
    updateAndCull(world);
    ASSERT_TRUE(s_shell->update(true));
    const std::vector<Ogre::uint8> fogged = frame();
    setTerrainFog(sky, NoFog);
    ASSERT_TRUE(s_shell->update(true));
    const std::vector<Ogre::uint8> clear = frame();

    const unsigned far = firstRowWithout(clear, width, sky);
    ASSERT_LT(far + band, height / 2 + height / 4) << "the floor does not reach the horizon";
    const unsigned near = height - band;
    const double farFogged = bandDistance(fogged, width, far, band, sky);
    EXPECT_LT(farFogged, 0.25 * bandDistance(clear, width, far, band, sky));
    EXPECT_LT(farFogged, 0.25 * bandDistance(fogged, width, near, band, sky));
    EXPECT_EQ(pixelsWithin(std::vector<Ogre::uint8>(fogged.end() - std::ptrdiff_t(band) * width * 3, fogged.end()),
                           std::vector<Ogre::uint8>(clear.end() - std::ptrdiff_t(band) * width * 3, clear.end()), 0),
              std::size_t(band) * width);
  }
}

// Black pixels within two pixels of the picture of a line in the world.
std::size_t backgroundPixelsAlong(const std::vector<Ogre::uint8>& picture, int width,
                                  const Ogre::Camera* camera, const Ogre::Vector3& from,
                                  const Ogre::Vector3& to) {
  const int height = int(picture.size() / 3) / width;
  std::set<std::size_t> near;
  for (float t = 0; t <= 1; t += 0.0005f) {
    const Ogre::Vector3 point = camera->getProjectionMatrix() *
                                (camera->getViewMatrix() * (from + (to - from) * t));
    const int x = int((point.x + 1) / 2 * float(width)), y = int((1 - point.y) / 2 * float(height));
    for (int dy = -2; dy <= 2; ++dy)
      for (int dx = -2; dx <= 2; ++dx)
        if (x + dx >= 0 && x + dx < width && y + dy >= 0 && y + dy < height)
          near.insert(std::size_t(y + dy) * std::size_t(width) + std::size_t(x + dx));
  }
  std::size_t background = 0;
  for (std::size_t pixel : near)
    background += picture[3 * pixel] + picture[3 * pixel + 1] + picture[3 * pixel + 2] == 0;
  return background;
}

// Chunks beyond the detail distance are meshed without splitting triangles
// by block type; when the player moves, the chunks whose detail changes are
// re-meshed a few per update, and a chunk just beyond the distance keeps the
// detail it has.
TEST_F(ChunkDrawing, DetailFollowsThePlayerAFewChunksAtATime) {
  World world(*s_shell, std::nullopt, DetailPolicy(1));
  lookFrom({8, 60, 8}, {8, 40, 8.5f});
  drawFloor(world, 3, 40, true);
  const std::size_t full = indicesHeld(world, {0, 0, 0});
  const std::size_t far = indicesHeld(world, {2, 0, 0});
  EXPECT_LT(far, full * 9 / 10);
  EXPECT_EQ(indicesHeld(world, {1, 0, 1}), full);

  // Two columns along +x: (2, 0, z) and (3, 0, z) for |z| <= 1 come near,
  // (-1, 0, z) goes far, (0, 0, z) keeps its detail.
  lookFrom({40, 60, 8}, {40, 40, 8.5f});
  EXPECT_EQ(followThePlayer(world, floorChunks(3)), 9u);
  EXPECT_EQ(indicesHeld(world, {2, 0, 0}), full);
  EXPECT_EQ(indicesHeld(world, {-1, 0, 0}), far);
  EXPECT_EQ(indicesHeld(world, {0, 0, 0}), full);
}

// Both details draw the same surface: along the line x = 32 between column 1
// in full and column 2 without the split, seen from column 0, the floor's
// top (y = 39.5) shows no more background than with full detail everywhere
// (the software rasteriser leaves the odd pixel open between any two
// chunks).
TEST_F(ChunkDrawing, NoGapOpensWhereTheDetailChanges) {
  std::map<int, std::size_t> background;
  for (int detailDistance : {10, 1}) {
    World world(*s_shell, std::nullopt, DetailPolicy(detailDistance));
    lookFrom({15.9f, 60, 8}, {32, 39.5f, 8.5f});
    drawFloor(world, 3, 40, true);
    updateAndCull(world);
    setTerrainFog(Ogre::ColourValue::Black, NoFog);
    ASSERT_TRUE(s_shell->update(true));
    background[detailDistance] =
        backgroundPixelsAlong(frame(), int(s_shell->m_window->getWidth()), s_shell->camera(),
                              {32, 39.5f, -40}, {32, 39.5f, 56});
  }
  EXPECT_LE(background[1], background[10]);
}

// Where the coarse level begins, between columns 1 and 2 away from column 0,
// the coarse floor's top lies half a block above the fine one (41 blocks
// deep: the coarse samples see the floor's top layer at y = 40 as a block two
// high). The coarse chunks' walls close the step, so seen from column 0 the
// lines x = 32, x = -16 and z = 32 show no more background than with one
// level everywhere.
TEST_F(ChunkDrawing, NoSkyShowsWhereTheCoarseLevelBegins) {
  struct View {
    Ogre::Vector3 eye, from, to;
  };
  const View views[] = {{{15.9f, 60, 8}, {32, 40.5f, -40}, {32, 40.5f, 56}},
                        {{0.1f, 60, 8}, {-16, 40.5f, -40}, {-16, 40.5f, 56}},
                        {{8, 60, 15.9f}, {-40, 40.5f, 32}, {56, 40.5f, 32}}};
  std::map<int, std::vector<std::size_t>> background;
  for (int coarseDistance : {10, 1}) {
    World world(*s_shell, std::nullopt, DetailPolicy(0, coarseDistance));
    lookFrom(views[0].eye, (views[0].from + views[0].to) / 2);
    drawFloor(world, 3, 41, true);
    for (const View& view : views) {
      lookFrom(view.eye, (view.from + view.to) / 2);
      updateAndCull(world);
      setTerrainFog(Ogre::ColourValue::Black, NoFog);
      ASSERT_TRUE(s_shell->update(true));
      background[coarseDistance].push_back(backgroundPixelsAlong(
          frame(), int(s_shell->m_window->getWidth()), s_shell->camera(), view.from, view.to));
    }
  }
  for (std::size_t i = 0; i < std::size(views); ++i)
    EXPECT_LE(background[1][i], background[10][i]) << "view " << i;
}

// The coarse level follows the player through the same path as the other
// levels: a few re-meshes per update, so the updates never draw more than
// those. Chunks beyond one column of the player's are coarse, with about a
// quarter of the triangles of a fine one (away from the floor's ends, whose
// sides the coarse surface closes too).
TEST_F(ChunkDrawing, CoarseLevelFollowsThePlayerAFewChunksAtATime) {
  World world(*s_shell, std::nullopt, DetailPolicy(0, 1));
  lookFrom({8, 60, 8}, {8, 40, 8.5f});
  drawFloor(world, 3, 41);
  const std::size_t fine = indicesHeld(world, {1, 0, 0});
  const std::size_t coarse = indicesHeld(world, {2, 0, 2});
  EXPECT_LT(coarse, fine / 3);

  // Two columns along +x: column 2 comes near, column -1 goes far.
  lookFrom({40, 60, 8}, {40, 40, 8.5f});
  EXPECT_GT(followThePlayer(world, floorChunks(3)), MeshScheduler::DetailRemeshesPerUpdate);
  EXPECT_EQ(indicesHeld(world, {2, 0, 1}), fine);
  EXPECT_EQ(indicesHeld(world, {-1, 0, 0}), coarse);
}

} // namespace
