// The server's block edits against the page in a real window: what the
// player sees. Which blocks and chunks they change is tested without a window
// (tests/world/ChunkPacketsTest.cpp).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <OgreDataStream.h>
#include <OgreImage.h>
#include <OgreManualObject.h>

#include "ColumnPacket.h"
#include "PageFixture.h"

namespace {

std::string blockChange(std::int32_t x, int y, std::int32_t z, int type) {
  TSPackets::BlockChange change;
  change.x = x;
  change.y = static_cast<signed char>(y);
  change.z = z;
  change.blockType = static_cast<signed char>(type);
  return ServerPackets::bytes(change);
}

Ogre::RenderOperation& drawing(World& world, ChunkPosition chunk) {
  return *world.view().chunkObject(chunk)->getSections().front()->getRenderOperation();
}

// Forgets what was drawn into the chunk's object, so that the next mesh drawn
// into it shows; no frame is rendered until then.
void clearDrawing(World& world, ChunkPosition chunk) {
  drawing(world, chunk).vertexData->vertexCount = 0;
}

bool drawnAgain(World& world, ChunkPosition chunk) {
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
      serverSend(columnPacket(chunk, fill));
    }
    m_world = m_page->world();
    ASSERT_NE(m_world, nullptr);
    m_world->view().setDrawBudget(std::chrono::seconds(1));
    // Each chunk shows its mesh.
    ASSERT_TRUE(pumpUntil([&] {
      m_world->update();
      return std::all_of(chunks.begin(), chunks.end(), [&](ChunkPosition chunk) {
        return m_world->view().chunkObject(chunk) && drawnAgain(*m_world, chunk);
      });
    }));
  }

  World* m_world = nullptr;
};

// A stone wall one block thick across chunk (0, 0, 0) at z = 8, with the
// camera three blocks in front of it, looking at it.
class WallInView : public BlockEditsPage {
protected:
  void SetUp() override {
    BlockEditsPage::SetUp();
    buildWorld({{0, 0, 0}}, [](int x, int y, int z) {
      return z == 8 && x >= 2 && x <= 13 && y >= 2 && y <= 13 ? 1 : 0;
    });
    m_page->shell().cameraNode()->setPosition(9.5f, 8.0f, 11.5f);
    m_page->shell().setCameraDirection(Ogre::Vector3(0, 0, -1));
  }

  // Renders a frame as the page does, with F9 pressed, and reads back the
  // screenshot it writes.
  Ogre::Image screenshot() {
    m_world->cull();
    pressKey(OIS::KC_F9);
    m_page->shell().update(true);
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
    const Ogre::Camera* camera = m_page->shell().camera();
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
