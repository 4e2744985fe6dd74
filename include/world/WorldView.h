#ifndef WORLD_WORLD_VIEW_H
#define WORLD_WORLD_VIEW_H

// The world on screen: one scene object per chunk that has a surface, drawn
// from the model's finished meshes, and per frame what of it is shown: the
// view distance, the camera's view, the sections the walk through air from
// the camera reaches, and the fog. It reads the model, which knows nothing
// of it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>

#include "ChunkPosition.h"
#include "ChunkRenderer.h"
#include "Mesh.h"
#include "SectionWalk.h"

class MyOgre;
class WorldModel;

namespace Ogre {
class ManualObject;
}

class WorldView {
public:
  using Clock = std::chrono::steady_clock;

  // How long one tick spends at most putting finished meshes on screen by
  // default; the rest wait for the next tick.
  static constexpr Clock::duration DefaultDrawBudget = std::chrono::milliseconds(4);

  // Builds the terrain material. `viewDistance`: chunks more columns away
  // from the player's than this are not shown; none means every chunk is.
  // The model must outlive the view.
  WorldView(MyOgre& shell, WorldModel& model, std::optional<int> viewDistance = std::nullopt);
  // Erases the chunks' scene objects, so that a new connection's world does
  // not show this one's terrain.
  ~WorldView();
  WorldView(const WorldView&) = delete;
  WorldView& operator=(const WorldView&) = delete;

  // The far clip distance that shows every chunk within `viewDistance`
  // columns of the player's, from anywhere in the player's column.
  static float farClipDistance(int viewDistance);
  // The column the camera is in.
  ChunkPosition eyeColumn() const;

  // Once per tick, after the model's update: draws the model's finished
  // meshes nearest to the camera first, until the draw budget counted from
  // `start` is spent (at least one). A mesh superseded by a newer one of its
  // chunk before it was drawn was dropped by the model. Returns how many
  // meshes were drawn.
  std::size_t drawFinishedMeshes(Clock::time_point start = Clock::now());
  void setDrawBudget(Clock::duration budget) { m_drawBudget = budget; }
  // Draws one mesh of a loaded chunk now. The chunk's object is made with
  // its first mesh that has a surface, and erased by a mesh without one.
  void draw(ChunkPosition position, Mesh mesh);

  // Once per frame, for the camera as it is: shows the chunks within the
  // view distance, and of those the sections in the camera's view that the
  // walk through air from the camera's section reaches, and sets the
  // terrain's fog to the sky's colour so that the farthest shown chunks fade
  // into it.
  void cull();

  // The chunk's object; null while it has nothing to draw.
  Ogre::ManualObject* chunkObject(ChunkPosition position) const;
  // Chunk objects outside the camera's view or beyond the view distance at
  // the last cull, and all chunk objects.
  std::size_t culledChunks() const { return m_culledChunks; }
  std::size_t chunkCount() const;
  // Sections with something to draw that the last cull showed, and all
  // sections with something to draw.
  std::size_t shownSections() const { return m_shownSections; }
  std::size_t sectionCount() const { return m_sectionCount; }

private:
  // What the view holds of a chunk it has drawn a mesh of.
  struct DrawnChunk {
    // The model's load of the chunk that the mesh belongs to.
    std::uint64_t load = 0;
    // Null while the last mesh had no surface.
    Ogre::ManualObject* object = nullptr;
    // The bounds of each section; empty boxes for sections with nothing to
    // draw.
    SectionBounds bounds;
  };
  using DrawnChunks = std::map<ChunkPosition, DrawnChunk>;

  // Forgets the chunks the model no longer holds, or holds from a later
  // load: a chunk loaded again starts with nothing on screen.
  void forgetUnloaded();
  DrawnChunks::iterator forget(DrawnChunks::iterator drawn);
  void eraseObject(DrawnChunk& drawn);
  // Draws a mesh with a surface into the chunk's object, made when missing.
  void drawSurface(DrawnChunk& drawn, const ChunkMesh& mesh);
  // How many columns around the eye's the shown chunks reach: the farthest
  // loaded chunk, or the view distance when that is nearer.
  int shownRadius(ChunkPosition eyeColumn) const;

  MyOgre& m_shell;
  WorldModel& m_model;
  std::optional<int> m_viewDistance;
  DrawnChunks m_drawn;
  SectionWalk m_sectionWalk;
  Clock::duration m_drawBudget = DefaultDrawBudget;
  std::size_t m_culledChunks = 0;
  std::size_t m_shownSections = 0;
  std::size_t m_sectionCount = 0;
};

#endif
