// The server's block edits against the page in a real window: what changes
// in the volume, which chunks are drawn again, and what the player sees.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <OgreDataStream.h>
#include <OgreImage.h>
#include <OgreManualObject.h>

#include "PageFixture.h"

namespace {

struct Record {
  int x, y, z, type;
};

// A MultiBlockChange as the server writes it: each record's place in its
// chunk is a short with x in the high four bits, then z, then y in the low
// eight; then the records' types, then their metadata.
std::string multiBlockChange(std::int32_t chunkX, std::int32_t chunkZ,
                             const std::vector<Record>& records) {
  std::string bytes(1, char(TSPackets::MultiBlockChange::Id));
  const auto put = [&bytes](std::uint32_t value, int size) {
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8)
      bytes += char(value >> shift & 0xFF);
  };
  put(std::uint32_t(chunkX), 4);
  put(std::uint32_t(chunkZ), 4);
  put(std::uint32_t(records.size()), 2);
  for (const Record& r : records)
    put(std::uint32_t(r.x << 12 | r.z << 8 | r.y), 2);
  for (const Record& r : records)
    put(std::uint32_t(r.type), 1);
  for (std::size_t i = 0; i < records.size(); ++i)
    put(0, 1);
  return bytes;
}

std::string blockChange(std::int32_t x, int y, std::int32_t z, int type) {
  TSPackets::BlockChange change;
  change.x = x;
  change.y = static_cast<signed char>(y);
  change.z = z;
  change.blockType = static_cast<signed char>(type);
  return ServerPackets::bytes(change);
}

TSVoxel voxelAt(WorldManager& world, Vox::Vector3DInt32 block) {
  std::lock_guard<std::mutex> lock(world.volumeMutex());
  return world.volume().getVoxelAt(block);
}

Ogre::RenderOperation& drawing(WorldManager& world, ChunkPosition chunk) {
  return *world.chunkObject(chunk)->getSections().front()->getRenderOperation();
}

// Forgets what was drawn into the chunk's object, so that the next mesh drawn
// into it shows; no frame is rendered until then.
void clearDrawing(WorldManager& world, ChunkPosition chunk) {
  drawing(world, chunk).vertexData->vertexCount = 0;
}

bool drawnAgain(WorldManager& world, ChunkPosition chunk) {
  return drawing(world, chunk).vertexData->vertexCount > 0;
}

class BlockEditsPage : public PageTest {
protected:
  // Loads the chunks and sends their columns, each filled by `fill(x, y, z)`
  // in block coordinates, then waits until every one shows its mesh.
  void buildWorld(const std::vector<ChunkPosition>& chunks,
                  const std::function<int(int, int, int)>& fill) {
    connectAndLogIn();
    for (const ChunkPosition& chunk : chunks) {
      TSPackets::Prechunk load;
      load.chunkX = chunk.x;
      load.chunkZ = chunk.z;
      load.mode = 1;
      serverSend(load);
      serverSend(column(chunk, fill));
    }
    m_world = m_page->worldManager();
    ASSERT_NE(m_world, nullptr);
    m_world->setDrawBudget(std::chrono::seconds(1));
    // A mesh has replaced the placeholder triangle of each chunk.
    ASSERT_TRUE(pumpUntil([&] {
      m_world->update();
      return std::all_of(chunks.begin(), chunks.end(), [&](ChunkPosition chunk) {
        return m_world->isLoaded(chunk) && drawing(*m_world, chunk).vertexData->vertexCount > 3;
      });
    }));
  }

  static TSPackets::MapChunk column(ChunkPosition chunk,
                                    const std::function<int(int, int, int)>& fill) {
    TSPackets::MapChunk packet;
    const Vox::Vector3DInt32 corner = chunkLowerCorner(chunk);
    packet.x = corner.x;
    packet.y = 0;
    packet.z = corner.z;
    packet.sizeX = ChunkSizeX - 1;
    packet.sizeY = ChunkSizeY - 1;
    packet.sizeZ = ChunkSizeZ - 1;
    for (int x = 0; x < ChunkSizeX; ++x)
      for (int z = 0; z < ChunkSizeZ; ++z)
        for (int y = 0; y < ChunkSizeY; ++y)
          packet.type.push_back(static_cast<signed char>(fill(corner.x + x, y, corner.z + z)));
    packet.metadata.assign(ChunkBlocks, 0);
    packet.blockLight.assign(ChunkBlocks, 0);
    packet.skyLight.assign(ChunkBlocks, 0);
    return packet;
  }

  WorldManager* m_world = nullptr;
};

// One packet of edits, the chunks drawn again after it, and blocks with the
// types they must have then.
struct EditCase {
  const char* name;
  std::string packet;
  std::set<ChunkPosition> redrawn;
  std::vector<std::pair<Vox::Vector3DInt32, int>> blocks;
};

// Four chunks around the corner (16, 16) on a stone floor five blocks high,
// and one far from them whose edits mark the end of each step: the mesh
// worker takes chunks in order, so once the marker chunk is drawn again,
// every re-mesh queued before it has been drawn as well.
class EditedFloor : public BlockEditsPage {
protected:
  void SetUp() override {
    BlockEditsPage::SetUp();
    buildWorld(std::vector<ChunkPosition>(Chunks.begin(), Chunks.end()),
               [](int, int y, int) { return y < 5 ? 1 : 0; });
  }

  // Sends the packet and then an edit of the marker chunk; returns the
  // chunks drawn again meanwhile, besides the marker, and counts the meshes
  // drawn in `meshes`.
  std::set<ChunkPosition> redrawnBy(const std::string& packet, std::size_t& meshes) {
    for (ChunkPosition chunk : Chunks)
      clearDrawing(*m_world, chunk);
    serverSendBytes(packet);
    m_markerType = m_markerType == 1 ? 2 : 1;
    serverSendBytes(blockChange(Marker.x * ChunkSizeX + 8, 4, Marker.z * ChunkSizeZ + 8,
                                m_markerType));
    meshes = 0;
    pumpUntil([&] {
      meshes += m_world->update();
      return drawnAgain(*m_world, Marker);
    });
    std::set<ChunkPosition> redrawn;
    for (ChunkPosition chunk : Chunks)
      if (chunk != Marker && drawnAgain(*m_world, chunk))
        redrawn.insert(chunk);
    return redrawn;
  }

  // Sends each packet in turn and checks what it changed.
  void playEdits(const std::vector<EditCase>& cases) {
    for (const EditCase& edit : cases) {
      SCOPED_TRACE(edit.name);
      std::size_t meshes = 0;
      EXPECT_EQ(redrawnBy(edit.packet, meshes), edit.redrawn);
      EXPECT_EQ(meshes, edit.redrawn.size() + 1);
      for (const auto& [block, type] : edit.blocks)
        EXPECT_EQ(voxelAt(*m_world, block).m_type, type)
            << block.x << ", " << block.y << ", " << block.z;
    }
  }

  static constexpr ChunkPosition Marker{6, 0, 6};
  static constexpr std::array<ChunkPosition, 5> Chunks = {
      {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {1, 0, 1}, Marker}};
  int m_markerType = 1;
};

TEST_F(EditedFloor, EditsRedrawEachChunkThatShowsThemOnce) {
  const ChunkPosition a(0, 0, 0), b(1, 0, 0), c(0, 0, 1), d(1, 0, 1);
  const std::vector<EditCase> cases = {
      {"block in the middle of a chunk", blockChange(8, 4, 8, 0), {a}, {{{8, 4, 8}, 0}}},
      {"block placed on the floor", blockChange(8, 5, 8, 3), {a}, {{{8, 5, 8}, 3}}},
      {"last row before the next chunk", blockChange(15, 4, 8, 0), {a, b}, {{{15, 4, 8}, 0}}},
      {"first row of the next chunk", blockChange(16, 4, 3, 0), {a, b}, {{{16, 4, 3}, 0}}},
      {"corner of four chunks", blockChange(15, 4, 15, 7), {a, b, c, d}, {{{15, 4, 15}, 7}}},
      {"several blocks of one chunk",
       multiBlockChange(0, 0, {{4, 4, 4, 0}, {5, 4, 4, 0}, {6, 3, 4, 0}, {7, 5, 7, 2}}),
       {a},
       {{{4, 4, 4}, 0}, {{5, 4, 4}, 0}, {{6, 3, 4}, 0}, {{7, 5, 7}, 2}, {{6, 4, 4}, 1}}},
      {"several blocks, one on the border",
       multiBlockChange(1, 1, {{8, 2, 8, 0}, {9, 100, 10, 5}, {0, 4, 9, 0}}),
       {c, d},
       {{{24, 2, 24}, 0}, {{25, 100, 26}, 5}, {{16, 4, 25}, 0}, {{16, 4, 24}, 1}}},
      {"block set to what it is", blockChange(8, 4, 8, 0), {}, {{{8, 4, 8}, 0}}},
  };
  playEdits(cases);
  EXPECT_FALSE(m_capture->mentions("ignored"));
  EXPECT_EQ(m_capture->err(), std::vector<std::string>());
}

TEST_F(EditedFloor, EditsOutsideTheLoadedWorldChangeNothing) {
  const int max = std::numeric_limits<int>::max();
  const ChunkPosition edge(max >> ChunkShiftX, 0, 0);
  TSPackets::Prechunk load;
  load.chunkX = edge.x;
  load.chunkZ = edge.z;
  load.mode = 1;
  serverSend(load);
  const std::vector<EditCase> cases = {
      {"block of a chunk that is not loaded, next to one that is", blockChange(32, 4, 8, 5), {},
       {{{32, 4, 8}, 0}}},
      {"blocks of a chunk that is not loaded", multiBlockChange(2, 1, {{0, 4, 0, 5}, {3, 3, 3, 5}}),
       {}, {{{32, 4, 16}, 0}, {{35, 3, 19}, 0}}},
      {"block below the world", blockChange(8, -1, 8, 5), {}, {{{8, -1, 8}, 0}}},
      {"blocks above the world, one inside",
       multiBlockChange(0, 0, {{3, 200, 3, 5}, {3, 128, 4, 5}, {2, 4, 2, 0}}),
       {{0, 0, 0}},
       {{{3, 200, 3}, 0}, {{3, 128, 4}, 0}, {{2, 4, 2}, 0}}},
      {"block beyond the edge of the world", blockChange(max, 4, 8, 5), {}, {{{max, 4, 8}, 0}}},
      {"blocks beyond the edge of the world", multiBlockChange(edge.x, 0, {{15, 4, 8, 5}}), {},
       {{{max, 4, 8}, 0}}},
      {"chunk whose blocks lie beyond 32 bits", multiBlockChange(max, 0, {{0, 0, 0, 5}}), {}, {}},
  };
  playEdits(cases);
  EXPECT_FALSE(m_world->isLoaded({2, 0, 0}));
  EXPECT_FALSE(m_world->isLoaded({2, 0, 1}));
  const std::vector<std::string> lines = m_capture->out();
  for (const char* line : {
           "ignored block change outside the world's single layer at y -1",
           "ignored 2 block changes outside the world's single layer in chunk 0, 0",
           "ignored block change beyond the edge of the world at 2147483647, 8",
           "ignored block changes beyond the edge of the world in chunk 134217727, 0",
           "ignored block changes beyond the edge of the world in chunk 2147483647, 0",
       })
    EXPECT_EQ(std::count(lines.begin(), lines.end(), line), 1) << line;
  EXPECT_FALSE(m_capture->mentions("Stupid"));
  EXPECT_EQ(m_capture->err(), std::vector<std::string>());
}

// A stone wall one block thick across chunk (0, 0, 0) at z = 8, with the
// camera three blocks in front of it, looking at it.
class WallInView : public BlockEditsPage {
protected:
  void SetUp() override {
    BlockEditsPage::SetUp();
    buildWorld({{0, 0, 0}}, [](int x, int y, int z) {
      return z == 8 && x >= 2 && x <= 13 && y >= 2 && y <= 13 ? 1 : 0;
    });
    m_page->cameraNode()->setPosition(9.5f, 8.0f, 11.5f);
    m_page->setCameraDirection(Ogre::Vector3(0, 0, -1));
  }

  // Renders a frame with F9 pressed and reads back the screenshot it writes.
  Ogre::Image screenshot() {
    pressKey(OIS::KC_F9);
    m_page->MyOgre::update(true);
    Ogre::Image image;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
      if (entry.path().filename().string().rfind("screenshot", 0) != 0)
        continue;
      auto* file = new std::ifstream(entry.path(), std::ios::binary);
      image.load(Ogre::DataStreamPtr(new Ogre::FileStreamDataStream(file)), "jpg");
      std::filesystem::remove(entry.path());
      return image;
    }
    ADD_FAILURE() << "F9 wrote no screenshot";
    return image;
  }

  // Mean colour of the square of 2 * half pixels around where a point of the
  // world shows in the picture.
  Ogre::ColourValue colourAround(const Ogre::Image& image, const Ogre::Vector3& point, int half) {
    const Ogre::Camera* camera = m_page->camera();
    const Ogre::Vector3 clip = camera->getProjectionMatrix() * (camera->getViewMatrix() * point);
    const int centreX = int((clip.x + 1) / 2 * image.getWidth());
    const int centreY = int((1 - clip.y) / 2 * image.getHeight());
    Ogre::ColourValue sum(0, 0, 0, 0);
    for (int y = centreY - half; y < centreY + half; ++y)
      for (int x = centreX - half; x < centreX + half; ++x)
        sum += image.getColourAt(x, y, 0);
    return sum / float(4 * half * half);
  }
};

float difference(const Ogre::ColourValue& a, const Ogre::ColourValue& b) {
  return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

TEST_F(WallInView, RemovedBlockOpensTheWallWhereItWas) {
  // The front face of the wall lies half a block in front of its blocks.
  const Ogre::Vector3 removed(8, 8, 8.5f), untouched(11, 4, 8.5f);
  const Ogre::Image before = screenshot();
  clearDrawing(*m_world, {0, 0, 0});
  serverSendBytes(blockChange(8, 8, 8, 0));
  ASSERT_TRUE(pumpUntil([&] {
    m_world->update();
    return drawnAgain(*m_world, {0, 0, 0});
  }));
  const Ogre::Image after = screenshot();
  EXPECT_GT(difference(colourAround(before, removed, 6), colourAround(after, removed, 6)), 0.2f);
  EXPECT_LT(difference(colourAround(before, untouched, 6), colourAround(after, untouched, 6)),
            0.02f);
}

} // namespace
