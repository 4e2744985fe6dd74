#include "world/BlockEdits.h"

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "world/WorldModel.h"

namespace {

bool inChunk(int local, int size) { return local >= 0 && local < size; }

// Chunks along one axis whose meshes read block coordinate `block`: a mesh
// reads its chunk and MesherBorder voxels beyond it on every side.
std::int32_t firstReader(std::int32_t block, int shift) {
  return std::int32_t((std::int64_t(block) - MesherBorder) >> shift);
}

std::int32_t lastReader(std::int32_t block, int shift) {
  return std::int32_t((std::int64_t(block) + MesherBorder) >> shift);
}

} // namespace

std::vector<BlockEdit> multiBlockEdits(const TSPackets::MultiBlockChange& packet,
                                       std::size_t& outside) {
  const std::size_t records =
      std::min({packet.blockX.size(), packet.blockY.size(), packet.blockZ.size(),
                packet.types.size()});
  const Vox::Vector3DInt32 corner = chunkLowerCorner(ChunkPosition(packet.chunkX, 0, packet.chunkZ));
  std::vector<BlockEdit> edits;
  edits.reserve(records);
  outside = 0;
  for (std::size_t i = 0; i < records; ++i) {
    const int x = packet.blockX[i];
    const int y = static_cast<unsigned char>(packet.blockY[i]);
    const int z = packet.blockZ[i];
    if (!inChunk(x, ChunkSizeX) || !inChunk(y, ChunkSizeY) || !inChunk(z, ChunkSizeZ)) {
      ++outside;
      continue;
    }
    edits.push_back({corner + Vox::Vector3DInt32(x, y, z),
                     TSVoxel(static_cast<std::uint8_t>(packet.types[i]))});
  }
  return edits;
}

std::set<ChunkPosition> chunksReading(Vox::Vector3DInt32 block) {
  std::set<ChunkPosition> chunks;
  for (std::int32_t x = firstReader(block.x, ChunkShiftX); x <= lastReader(block.x, ChunkShiftX);
       ++x)
    for (std::int32_t z = firstReader(block.z, ChunkShiftZ);
         z <= lastReader(block.z, ChunkShiftZ); ++z)
      chunks.insert(ChunkPosition(x, 0, z));
  return chunks;
}

// The re-meshes are queued while the volume is still locked, as chunk
// ingestion does, so that the worker's next copy of any of these chunks
// holds every edit of the packet.
void applyBlockEdits(WorldModel& world, const std::vector<BlockEdit>& edits) {
  std::set<ChunkPosition> remesh;
  std::lock_guard<std::mutex> lock(world.volumeMutex());
  WorldVolume& volume = world.volume();
  for (const BlockEdit& edit : edits) {
    const Vox::Vector3DInt32& block = edit.block;
    if (!world.isLoaded(chunkOfBlock(block.x, block.y, block.z)) ||
        volume.getVoxelAt(block) == edit.voxel)
      continue;
    volume.setVoxelAt(block, edit.voxel);
    for (const ChunkPosition& reader : chunksReading(block))
      if (world.isLoaded(reader))
        remesh.insert(reader);
  }
  for (const ChunkPosition& chunk : remesh)
    world.remesh(chunk);
}
