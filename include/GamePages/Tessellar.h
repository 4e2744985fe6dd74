#ifndef GAME_PAGES_TESSELLAR_H
#define GAME_PAGES_TESSELLAR_H

// The game page joins the parts: the render shell (window, input, overlay),
// the session with the server, the player, and the world and the entities
// of each connection, whose packets reach it through the session's
// dispatch. It reads "tessellar.cfg", runs the key commands, and is what
// the loop ticks and draws: the tick moves the game on, the frame shows it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "BlockOutline.h"
#include "EntityManager.h"
#include "GamePage.h"
#include "GamePages/ClientSettings.h"
#include "GamePages/HeadsUp.h"
#include "GamePages/LaunchOptions.h"
#include "GamePages/Player.h"
#include "MyOgre.h"
#include "ShellListener.h"
#include "TSPackets.h"
#include "files/ClientFiles.h"
#include "player/Hand.h"
#include "session/ClientSession.h"
#include "inventory/Health.h"
#include "inventory/Inventory.h"
#include "session/PlayerList.h"
#include "world/World.h"

namespace GamePages {

class Tessellar : public GamePage, private ShellListener {
public:
  // The options override the settings file for this run; `files` says where
  // that file and the engine's files are.
  explicit Tessellar(const LaunchOptions& options = LaunchOptions(),
                     const Files::ClientFiles& files = Files::ClientFiles());
  ~Tessellar() override;

  void tick() override;
  void frame(float progress) override;

  // The window and its input: keys reach the page through it.
  MyOgre& shell() { return m_shell; }

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
  // The server's players in this session.
  const PlayerList& playerList() const { return m_playerList; }
  // Where the last tick left the player's eye; frames draw the camera
  // between it and the tick before.
  Vox::Vector3DFloat eye() const { return m_player.eye().current(); }
  const Player& player() const { return m_player; }
  // The block the last tick aimed at; none when nothing is within reach.
  const std::optional<AimedBlock>& aim() const { return m_aim; }
  // From the connect key until the session ends.
  bool connected() const { return m_session->isConnected(); }
  // The player's items and health as the server gave them.
  const Inventory& inventory() const { return m_inventory; }
  const Health& health() const { return m_health; }
  // Whether a window's screen is up over the world.
  bool screenOpen() const { return m_screenOpen; }

private:
  bool keyPressed(const OIS::KeyEvent& event) override;
  void mouseWheel(int notches) override;
  void keyReleased(const OIS::KeyEvent& event) override;
  void mousePressed(OIS::MouseButtonID button) override;
  void mouseReleased(OIS::MouseButtonID button) override;
  void windowClosed() override;
  // The dig and place buttons; false for any other.
  bool handButton(const ButtonBinding& button, bool pressed);

  // Applies the graphics settings to the shell and the loop.
  void applyGraphicsSettings();
  // Packets of the class go to the page's handler for them.
  template <class Packet> void handleHere() {
    m_session->dispatch().on<Packet>([this](const Packet& packet) { handle(packet); });
  }
  void registerChunkHandlers();
  void registerEntityHandlers();
  void registerChatHandlers();
  // Has the session tell the page what became of it.
  void followSession();
  // The session's events of the player's items, health and new lives, and
  // of the windows the server opens.
  void followItems(ClientSession::Events& events);
  void followWindows(ClientSession::Events& events);

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
  void handle(const TSPackets::PlayerListItem& packet);
  void handle(const TSPackets::EntityEquipment& packet);
  // The entity with the id; null when it is not tracked.
  Entities::Movable* tracked(int entityId);

  // The keys of the hotbar, the inventory and the respawn; false for a key
  // they do not take.
  bool itemKeyPressed(OIS::KeyCode key);
  void holdSlot(int slot);
  void respawned();
  void requestRespawn();
  // Whether the player walks and acts: not while dead.
  bool playerActs() const;
  // The stack in the hand, as a place carries it.
  HeldItem heldItem() const;
  // Hands the hotbar and the health to the heads-up display.
  void showPlayerState();

  // The inventory's key, and the keys of an open screen; false for a key
  // they leave to the rest.
  bool windowKeyPressed(OIS::KeyCode key);
  // Closes the screen and its window; the server hears of it when told to.
  void closeScreen(bool tellServer);
  void screenClicked(OIS::MouseButtonID button);
  void deathScreenClicked();
  ImVec2 displaySize() const;
  // Where the open screen's slots are.
  WindowLayout windowLayout() const;
  // Hands the open screen to the heads-up display and frees the pointer
  // while a screen is up.
  void showWindowScreen();
  // A fresh world and entities for a new connection or a new life.
  void startWorld();

  void connectToServer();
  void disconnectFromServer();
  void returnToPosition();
  void openChat(const OIS::KeyEvent& event);
  void typeChat(const OIS::KeyEvent& event);
  void sendChat(const std::u32string& line);
  InfoPanel infoPanel() const;
  // Shows the server's players while the list key is held (not while the
  // player types).
  void showPlayerList();
  void placePlayer(double x, double feetY, double z);
  void turnPlayer(const ClientSession::Look& look);
  void applyLook();
  PlayerBody::Controls movementControls();
  void moveAndAim();
  void useHand();
  void sendHand(const Hand::Packets& packets);
  void reportRunning();
  void reportPosition();
  void drawFrame(float progress);
  void reportTickTiming(std::chrono::microseconds late, std::size_t meshesDrawn,
                        std::chrono::microseconds moveTime) const;
  void reportFrameTiming() const;

  // First: the window opens before anything else and closes last.
  MyOgre m_shell;
  ClientSettings m_settings;
  std::unique_ptr<ClientSession> m_session;
  // The player's look in the protocol's convention, as the last tick took it
  // from the camera.
  ClientSession::Look m_look;
  Player m_player;
  // What the last tick aimed at, and its block's type.
  std::optional<AimedBlock> m_aim;
  std::uint8_t m_aimedType = 0;
  Hand m_hand;
  // Pressed since the last tick, and the dig button held now.
  Hand::Buttons m_handPresses;
  bool m_digHeld = false;
  // As last told to the server.
  bool m_running = false;
  std::unique_ptr<BlockOutline> m_outline;
  std::unique_ptr<EntityManager> m_entityManager;
  std::unique_ptr<World> m_world;
  PlayerList m_playerList;
  std::unique_ptr<HeadsUp> m_headsUp;
  Inventory m_inventory;
  Health m_health;
  // Whether a window's screen is up: the player's own or the one the server
  // opened.
  bool m_screenOpen = false;
  // The fuel bar's value when the fuel burning now was put on.
  int m_fuelPeak = 0;
  // When the held slot was last chosen: its item's name shows for a moment.
  std::optional<std::chrono::steady_clock::time_point> m_heldChosenAt;
  std::chrono::microseconds m_lastTickTime{0};
  std::chrono::microseconds m_lastFrameTime{0};
  std::uint64_t m_frames = 0;
};

} // namespace GamePages

#endif
