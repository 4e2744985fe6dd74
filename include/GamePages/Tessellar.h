#ifndef GAME_PAGES_TESSELLAR_H
#define GAME_PAGES_TESSELLAR_H

// The game page: the render shell, the tick and the frame in one object,
// with the session with the server. It reads "tessellar.cfg", runs the key
// commands, moves the player, and owns the world and the entities of each
// connection, whose packets reach it through the session's dispatch.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include <OgreConfigFile.h>

#include "EntityManager.h"
#include "GamePage.h"
#include "GamePages/ClientSettings.h"
#include "GamePages/EyeTrack.h"
#include "GamePages/HeadsUp.h"
#include "GamePages/LaunchOptions.h"
#include "MyOgre.h"
#include "TSPackets.h"
#include "session/ClientSession.h"
#include "world/World.h"

namespace GamePages {

class Tessellar : public MyOgre, public GamePage {
public:
  // The options override "tessellar.cfg" for this run.
  explicit Tessellar(const LaunchOptions& options = LaunchOptions());
  ~Tessellar() override;

  bool keyPressed(const OIS::KeyEvent& event) override;
  void windowClosed() override;
  void tick() override;
  void frame(float progress) override;

  // Read-only views of the page's state; the world and the entities are null
  // without a connection.
  const TSPackets::PlayerPosAndLook& positionPacket() const { return m_session->position(); }
  std::int64_t localTick() const { return m_session->localTick(); }
  std::int64_t serverTime() const { return m_session->serverTime(); }
  World* world() const { return m_world.get(); }
  EntityManager* entityManager() const { return m_entityManager.get(); }
  const MovementKeys& movementKeys() const { return m_settings.keys.movement; }
  const ClientSettings& settings() const { return m_settings; }
  const HeadsUp& headsUp() const { return *m_headsUp; }
  // Where the last tick left the player's eye; frames draw the camera
  // between it and the tick before.
  Vox::Vector3DFloat eye() const { return m_eye.current(); }
  // From the connect key until the session ends.
  bool connected() const { return m_session->isConnected(); }

private:
  // Packets of the class go to the page's handler for them.
  template <class Packet> void handleHere() {
    m_session->dispatch().on<Packet>([this](const Packet& packet) { handle(packet); });
  }
  void registerChunkHandlers();
  void registerEntityHandlers();
  void registerChatHandlers();
  // Has the session tell the page what became of it.
  void followSession();

  void handle(const TSPackets::ChatMessage& packet);
  void handle(const TSPackets::MapChunk& packet);
  void handle(const TSPackets::Prechunk& packet);
  void handle(const TSPackets::MultiBlockChange& packet);
  void handle(const TSPackets::BlockChange& packet);
  void handle(const TSPackets::EntityRelativeMove& packet);
  void handle(const TSPackets::EntityLook& packet);
  void handle(const TSPackets::EntityLookAndMove& packet);
  void handle(const TSPackets::EntityTeleport& packet);
  void handle(const TSPackets::EntityVelocity& packet);
  void handle(const TSPackets::DestroyEntity& packet);
  void handle(const TSPackets::NamedEntitySpawn& packet);
  void handle(const TSPackets::MobSpawn& packet);
  void handle(const TSPackets::PickupSpawn& packet);
  // The entity with the id; null when it is not tracked.
  Entities::Movable* tracked(int entityId);

  void connectToServer();
  void disconnectFromServer();
  void returnToPosition();
  void openChat(const OIS::KeyEvent& event);
  void typeChat(const OIS::KeyEvent& event);
  void sendChat(const std::u32string& line);
  InfoPanel infoPanel() const;
  void placeEye(double x, double feetY, double z);
  void applyLook();
  Vox::Vector3DFloat tickMotion();
  float verticalMotion();
  void reportPosition();
  void drawFrame(float progress);
  void reportTickTiming(std::chrono::microseconds late, std::size_t meshesDrawn) const;
  void reportFrameTiming() const;

  std::unique_ptr<ClientSession> m_session;
  // The player's look in the protocol's convention, as the last tick took it
  // from the camera.
  ClientSession::Look m_look;
  Ogre::ConfigFile m_config;
  std::unique_ptr<EntityManager> m_entityManager;
  std::unique_ptr<World> m_world;
  std::uint16_t m_jumpTimer = 0;
  // "ViewDistance" in "Graphics": how many columns around the player's are
  // drawn; none means all.
  std::optional<int> m_viewDistance;
  // "DetailDistance" in "Graphics": chunks farther than this many columns are
  // meshed with less detail.
  int m_detailDistance = 0;
  // "CoarseDistance" in "Graphics": chunks farther than this many columns are
  // meshed coarsely.
  int m_coarseDistance = 0;
  // Key bindings, mouse look, sky, server and player.
  ClientSettings m_settings;
  std::unique_ptr<HeadsUp> m_headsUp;
  EyeTrack m_eye;
  std::chrono::microseconds m_lastTickTime{0};
  std::chrono::microseconds m_lastFrameTime{0};
  std::uint64_t m_frames = 0;
  // "Timings" in "Diagnostics": one line per tick and one per frame with
  // their durations.
  bool m_reportTimings = false;
};

} // namespace GamePages

#endif
