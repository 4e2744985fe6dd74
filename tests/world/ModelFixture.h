#ifndef TESTS_WORLD_MODEL_FIXTURE_H
#define TESTS_WORLD_MODEL_FIXTURE_H

// Driving a world model and its mesh worker in tests, without a window.

#include <map>

#include "ChunkPosition.h"
#include "Mesh.h"
#include "world/WorldModel.h"

// A time at which every wait of the re-mesh scheduling that has begun so far
// is over: an update at it meshes each chunk still waiting for neighbours.
WorldModel::Clock::time_point afterEveryWait();

// Asks for `marker` (a loaded chunk that has no mesh on the way) to be
// meshed, and updates the model at `now` with the player in `eyeColumn`
// until the marker's mesh has arrived. The worker meshes chunks in the order
// they were first asked for, so every mesh asked for before has arrived by
// then. Returns the finished meshes, taken out of the model, without the
// marker's; fails the test after a generous deadline.
std::map<ChunkPosition, Mesh> meshesUpTo(WorldModel& world, ChunkPosition marker,
                                         WorldModel::Clock::time_point now,
                                         ChunkPosition eyeColumn = {});

// Updates the model at `now` until it holds a finished mesh of the chunk;
// false after a generous deadline.
bool waitForFinishedMesh(WorldModel& world, ChunkPosition chunk,
                         WorldModel::Clock::time_point now);

// The voxel at a block, read under the volume lock.
TSVoxel voxelAt(WorldModel& world, Vox::Vector3DInt32 block);

#endif
