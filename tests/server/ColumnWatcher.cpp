#include "ColumnWatcher.h"

#include <gtest/gtest.h>

void ColumnWatcher::readLoads(std::size_t count) {
  const std::size_t target = loads.size() + count;
  while (loads.size() < target) {
    const ScriptedClient::Received received = m_client.next();
    if (received.id == TSPackets::Ping::Id) {
      m_client.send(std::any_cast<TSPackets::Ping>(received.packet));
    } else if (received.id == TSPackets::PlayerPosAndLook::Id) {
      position = std::any_cast<TSPackets::PlayerPosAndLook>(received.packet);
      loadsBeforePosition = loads.size();
    } else if (received.id == TSPackets::Prechunk::Id) {
      const auto prechunk = std::any_cast<TSPackets::Prechunk>(received.packet);
      if (prechunk.mode == 0) {
        unloads.emplace_back(prechunk.chunkX, prechunk.chunkZ);
        continue;
      }
      checkColumn(prechunk, m_client.expect<TSPackets::MapChunk>());
      loads.emplace_back(prechunk.chunkX, prechunk.chunkZ);
    }
  }
}

void ColumnWatcher::checkColumn(const TSPackets::Prechunk& prechunk,
                                const TSPackets::MapChunk& chunk) {
  EXPECT_EQ(prechunk.mode, 1);
  EXPECT_EQ(chunk.x, prechunk.chunkX * 16);
  EXPECT_EQ(chunk.y, 0);
  EXPECT_EQ(chunk.z, prechunk.chunkZ * 16);
  EXPECT_EQ(chunk.sizeX, 15);
  EXPECT_EQ(chunk.sizeY, 127);
  EXPECT_EQ(chunk.sizeZ, 15);
  const Terrain::Column expected = m_terrain.column(prechunk.chunkX, prechunk.chunkZ);
  ASSERT_EQ(chunk.type.size(), expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), chunk.type.begin(),
                         [](std::uint8_t a, signed char b) { return a == static_cast<std::uint8_t>(b); }))
      << "column " << prechunk.chunkX << ", " << prechunk.chunkZ;
  // Open sky above the top block of the first line, none below it; the
  // client keeps high halves in place and low halves shifted down.
  EXPECT_EQ(chunk.skyLight[126], static_cast<signed char>(0xF0));
  EXPECT_EQ(chunk.skyLight[127], 0x0F);
  EXPECT_EQ(chunk.skyLight[0], 0);
}
