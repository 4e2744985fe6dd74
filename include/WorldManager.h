#ifndef WORLD_MANAGER_H
#define WORLD_MANAGER_H

// The world of one connection: the voxel volume with its lock, the loaded
// chunks, the mesh worker and one scene object per loaded chunk.

#include <map>
#include <mutex>
#include <set>

#include "ChunkPosition.h"
#include "Mesh.h"
#include "TSVoxel.h"
#include "WorldManagerThread.h"
#include "vox/LargeVolume.h"

class MyOgre;

namespace Ogre {
class ManualObject;
}

class WorldManager {
public:
  explicit WorldManager(MyOgre& ogre);
  // Erases the chunks' scene objects, so that a new connection's world does
  // not show this one's terrain.
  ~WorldManager();
  WorldManager(const WorldManager&) = delete;
  WorldManager& operator=(const WorldManager&) = delete;

  void loadChunk(ChunkPosition position);
  void unloadChunk(ChunkPosition position);
  // Makes sure the chunk is loaded and queues it (and, with neighbours, the
  // loaded chunks around it) for meshing.
  void updateChunk(ChunkPosition position, bool withNeighbours);
  // Draws every mesh the worker has finished; returns how many.
  std::size_t update();
  void render(ChunkPosition position, Mesh mesh);

  // The volume is shared with the mesh worker: hold the mutex while reading
  // or writing it (reads update its bookkeeping too).
  std::mutex& volumeMutex() { return m_volumeMutex; }
  Vox::LargeVolume<TSVoxel>& volume() { return m_volume; }

  bool isLoaded(ChunkPosition position) const { return m_sLoadedChunks.count(position) != 0; }
  Ogre::ManualObject* chunkObject(ChunkPosition position) const;

private:
  MyOgre& m_ogre;
  std::mutex m_volumeMutex;
  Vox::LargeVolume<TSVoxel> m_volume;
  std::set<ChunkPosition> m_sLoadedChunks;
  // Declared after the volume: destroyed (stopped and joined) before it.
  WorldManagerThread m_meshThread;
  std::map<ChunkPosition, Ogre::ManualObject*> m_OgreMeshes;
};

#endif
