#include "ColumnPacket.h"

TSPackets::MapChunk columnPacket(ChunkPosition chunk,
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
