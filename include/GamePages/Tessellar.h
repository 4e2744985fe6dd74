#ifndef GAME_PAGES_TESSELLAR_H
#define GAME_PAGES_TESSELLAR_H

// The game page: the render shell, the server connection, the tick and the
// frame in one object. It reads "tessellar.cfg", runs the key commands,
// keeps the player's state, and owns the world and the entities of each
// connection.

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
#include "Network.h"
#include "TSPackets.h"
#include "world/World.h"

namespace GamePages {

class Tessellar : public MyOgre, Network, public GamePage {
public:
  // The options override "tessellar.cfg" for this run.
  explicit Tessellar(const LaunchOptions& options = LaunchOptions());
  ~Tessellar() override;

  bool keyPressed(const OIS::KeyEvent& event) override;
  void windowClosed() override;
  void tick() override;
  void frame(float progress) override;

  void handle(const TSPackets::ChatMessage& packet) override;
  void handle(const TSPackets::TimeUpdate& packet) override;
  void handle(const TSPackets::MapChunk& packet) override;
  void handle(const TSPackets::Prechunk& packet) override;
  void handle(const TSPackets::MultiBlockChange& packet) override;
  void handle(const TSPackets::BlockChange& packet) override;
  void handle(const TSPackets::Disconnect& packet) override;
  void handle(const TSPackets::EntityRelativeMove& packet) override;
  void handle(const TSPackets::EntityLook& packet) override;
  void handle(const TSPackets::EntityLookAndMove& packet) override;
  void handle(const TSPackets::EntityTeleport& packet) override;
  void handle(const TSPackets::EntityVelocity& packet) override;
  void handle(const TSPackets::DestroyEntity& packet) override;
  void handle(const TSPackets::NamedEntitySpawn& packet) override;
  void handle(const TSPackets::MobSpawn& packet) override;
  void handle(const TSPackets::SpawnPoint& packet) override;
  void handle(const TSPackets::PickupSpawn& packet) override;
  void handle(const TSPackets::PlayerPosAndLook& packet) override;
  void handle(const TSPackets::Login& packet) override;
  void handle(const TSPackets::Ping& packet) override;
  void handle(const TSPackets::PlayerPosition& packet) override;

  // Read-only views of the page's state; the world and the entities are null
  // without a connection.
  const TSPackets::PlayerPosAndLook& positionPacket() const { return m_positionPacket; }
  std::int64_t localTick() const { return m_localTick; }
  std::int64_t serverTime() const { return m_serverTime; }
  World* world() const { return m_world.get(); }
  EntityManager* entityManager() const { return m_entityManager.get(); }
  const MovementKeys& movementKeys() const { return m_settings.keys.movement; }
  const ClientSettings& settings() const { return m_settings; }
  const HeadsUp& headsUp() const { return *m_headsUp; }
  // Where the last tick left the player's eye; frames draw the camera
  // between it and the tick before.
  Vox::Vector3DFloat eye() const { return m_eye.current(); }
  // Whether the connection's socket is open.
  bool connected() const { return isConnected(); }

private:
  void connectToServer();
  void disconnectFromServer();
  void returnToPosition();
  void openChat(const OIS::KeyEvent& event);
  void typeChat(const OIS::KeyEvent& event);
  void sendChat(const std::u32string& line);
  void followSession();
  InfoPanel infoPanel() const;
  void placeEye(double x, double feetY, double z);
  void applyLook();
  Vox::Vector3DFloat tickMotion();
  float verticalMotion();
  void reportPosition();
  void drawFrame(float progress);
  void reportTickTiming(std::chrono::microseconds late, std::size_t meshesDrawn) const;
  void reportFrameTiming() const;

  TSPackets::PlayerPosAndLook m_positionPacket;
  std::int64_t m_localTick = 0;
  std::int64_t m_serverTime = 0;
  Ogre::ConfigFile m_config;
  // Set once the server has placed the player (spawn point or position),
  // for the connection under way: position reports and keep-alive answers
  // start there.
  bool m_spawned = false;
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
