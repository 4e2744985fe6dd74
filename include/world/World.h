#ifndef WORLD_WORLD_H
#define WORLD_WORLD_H

// The world of one connection: its model (the blocks, the chunks' states and
// their meshing; the chunk packets go there, see ChunkPackets.h) and its
// view on screen, which reads the model and is destroyed before it.

#include <cstddef>
#include <optional>

#include "world/DetailPolicy.h"
#include "world/WorldModel.h"
#include "world/WorldView.h"

class MyOgre;

class World {
public:
  World(MyOgre& shell, std::optional<int> viewDistance = std::nullopt,
        DetailPolicy detail = DetailPolicy())
      : m_model(detail), m_view(shell, m_model, viewDistance) {}

  WorldModel& model() { return m_model; }
  const WorldModel& model() const { return m_model; }
  WorldView& view() { return m_view; }
  const WorldView& view() const { return m_view; }

  // Once per tick: the model's re-meshes for the camera's column, then the
  // finished meshes drawn within the draw budget. Returns how many were
  // drawn.
  std::size_t update() {
    const WorldView::Clock::time_point start = WorldView::Clock::now();
    m_model.update(m_view.eyeColumn(), start);
    return m_view.drawFinishedMeshes(start);
  }
  // Once per frame: what of the world the camera shows.
  void cull() { m_view.cull(); }

private:
  WorldModel m_model;
  WorldView m_view;
};

#endif
