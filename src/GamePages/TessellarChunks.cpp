// The game page's chunk handlers: the chunk packets go to the world model.

#include "GamePages/Tessellar.h"
#include "world/ChunkPackets.h"

namespace GamePages {

void Tessellar::registerChunkHandlers() {
  handleHere<TSPackets::Prechunk>();
  handleHere<TSPackets::MapChunk>();
  handleHere<TSPackets::MultiBlockChange>();
  handleHere<TSPackets::BlockChange>();
}

void Tessellar::handle(const TSPackets::Prechunk& packet) {
  ChunkPackets::apply(m_world->model(), packet);
}

void Tessellar::handle(const TSPackets::MapChunk& packet) {
  ChunkPackets::apply(m_world->model(), packet);
}

void Tessellar::handle(const TSPackets::MultiBlockChange& packet) {
  ChunkPackets::apply(m_world->model(), packet);
}

void Tessellar::handle(const TSPackets::BlockChange& packet) {
  ChunkPackets::apply(m_world->model(), packet);
}

} // namespace GamePages
