// What the player sees and does in the game page's window: the sky, the
// heads-up display, chat in and out, the session's status and reconnecting,
// key bindings and mouse look from the file, the terrain's layers and
// entities that face their look; against a scripted server in the test.

#include <clocale>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <OgreTextureManager.h>

#include "BlockLayers.h"
#include "Game.h"
#include "DrawnPageTest.h"
#include "TerrainMaterial.h"

namespace {

using GamePages::SessionStatus;

const std::string Section = "\xC2\xA7";

class Screen : public DrawnPageTest {
protected:
  bool pageInSetUp() const override { return false; }

  void SetUp() override {
    // The client runs in the user's locale; the tests in one that holds the
    // section sign of the chat's colour codes.
    m_previousLocale = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C.UTF-8");
    DrawnPageTest::SetUp();
    if (!HasFatalFailure())
      openPage();
  }

  // The display learns the window's size in the first frame: the heads-up
  // display shows from the second on.
  void openPage(const GamePages::LaunchOptions& options = {}) {
    m_page.reset();
    m_page = std::make_unique<GamePages::Tessellar>(options);
    tick();
  }

  void TearDown() override {
    DrawnPageTest::TearDown();
    std::setlocale(LC_ALL, m_previousLocale.c_str());
  }

  const SessionStatus& status() { return m_page->headsUp().status(); }

  void press(OIS::KeyCode key, unsigned int text = 0) {
    m_page->shell().keyPressed(OIS::KeyEvent(nullptr, key, text));
  }

  void type(const std::string& text) {
    for (char c : text)
      press(OIS::KC_UNASSIGNED, static_cast<unsigned char>(c));
  }

  void logIn() {
    connectAndLogIn();
    pumpUntil([&] { return status().state() == SessionStatus::State::Connected; });
  }

  std::string m_previousLocale;
};

GamePages::LaunchOptions serverOptions(const std::string& host, const std::string& port) {
  GamePages::LaunchOptions options;
  options.host = host;
  options.port = port;
  return options;
}

bool isBright(const Pixel& p) { return p.r > 200 && p.g > 200 && p.b > 200; }

int channelDistance(const Pixel& a, const Ogre::ColourValue& c) {
  return std::max({std::abs(a.r - int(c.r * 255)), std::abs(a.g - int(c.g * 255)),
                   std::abs(a.b - int(c.b * 255))});
}

// Right of the centre, below the status line, above the chat: only sky.
const Area SkyArea{600, 200, 40, 40};
const Area ChatArea{0, 400, 500, 170};
const Area StatusArea{150, 0, 500, 30};
const Area PanelArea{0, 32, 300, 130};

TEST_F(Screen, SkyFollowsTheServersTimeOfDay) {
  logIn();
  const struct {
    std::int64_t time;
    bool (*looks)(const Pixel&);
  } times[] = {
      {6000, [](const Pixel& p) { return p.b > p.r + 60; }},             // blue day
      {12000, [](const Pixel& p) { return p.r > p.b + 60; }},            // red dusk
      {18000, [](const Pixel& p) { return p.r + p.g + p.b < 60; }},      // dark night
      {-24000, [](const Pixel& p) { return p.r > p.b + 40; }},           // warm dawn
  };
  for (const auto& t : times) {
    TSPackets::TimeUpdate time;
    time.time = t.time;
    serverSend(time);
    pumpUntil([&] { return m_page->serverTime() == t.time; });
    const Picture picture = frame();
    const Pixel sky = picture.mean(SkyArea);
    EXPECT_TRUE(t.looks(sky)) << t.time << ": " << sky;
    EXPECT_LE(channelDistance(sky, skyColourAt(m_page->serverTime())), 2) << t.time << ": " << sky;
  }
}

class BlackSky : public Screen {
  std::string extraConfiguration() const override { return "[Graphics]\nSky=black\n"; }
};

TEST_F(BlackSky, StaysBlackAtNoon) {
  logIn();
  TSPackets::TimeUpdate noon;
  noon.time = 6000;
  serverSend(noon);
  pumpUntil([&] { return m_page->serverTime() == 6000; });
  const Pixel sky = frame().mean(SkyArea);
  EXPECT_EQ(sky.r + sky.g + sky.b, 0) << sky;
}

TEST_F(Screen, CrosshairStatusAndChatLinesAreDrawn) {
  const Picture idle = frame();
  const int middleX = idle.width() / 2, middleY = idle.height() / 2;
  EXPECT_TRUE(isBright(idle.at(middleX, middleY))) << idle.at(middleX, middleY);
  EXPECT_TRUE(isBright(idle.at(middleX + 6, middleY))) << idle.at(middleX + 6, middleY);
  EXPECT_FALSE(isBright(idle.at(middleX + 6, middleY + 6)));
  EXPECT_GT(idle.count(StatusArea, isBright), 100) << "the status line's text";

  logIn();
  const Picture before = frame();
  EXPECT_GT(before.differing(idle, StatusArea), 100) << "the status line changed";
  TSPackets::ChatMessage chat;
  chat.message = "<Alice> " + Section + "cred " + Section + "9blue";
  serverSend(chat);
  pumpUntil([&] { return m_capture->mentions("Chat: <Alice>"); });
  const Picture after = frame();
  EXPECT_GT(after.differing(before, ChatArea), 200);
  EXPECT_EQ(after.differing(before, SkyArea), 0);
  const auto red = [](const Pixel& p) { return p.r > 200 && p.g < 120 && p.b < 120; };
  const auto blue = [](const Pixel& p) { return p.b > 200 && p.r < 120 && p.g < 120; };
  EXPECT_GT(after.count(ChatArea, red), 10) << "\"red\" in its colour";
  EXPECT_GT(after.count(ChatArea, blue), 10) << "\"blue\" in its colour";
  EXPECT_EQ(before.count(ChatArea, red), 0);
}

// F3 shows the panel over the world and hides it again; it no longer turns
// texture filtering off, which the file's "Filtering" still does.
TEST_F(Screen, F3TogglesTheInformationPanel) {
  Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
  const Ogre::FilterOptions filtering = materials.getDefaultTextureFiltering(Ogre::FT_MIN);
  const Picture hidden = frame();
  press(OIS::KC_F3);
  EXPECT_TRUE(m_page->headsUp().infoShown());
  const Picture shown = frame();
  EXPECT_GT(shown.differing(hidden, PanelArea), 1000);
  EXPECT_GT(shown.count(PanelArea, isBright), 200);
  press(OIS::KC_F3);
  EXPECT_LT(frame().differing(hidden, PanelArea), 20);
  EXPECT_EQ(materials.getDefaultTextureFiltering(Ogre::FT_MIN), filtering);
}

// While the field is open the command and function keys type or do nothing.
TEST_F(Screen, ChatSendsExactlyTheTypedLine) {
  logIn();
  press(OIS::KC_T, 't');
  ASSERT_TRUE(m_page->headsUp().chatInput().isOpen());
  type("hello ");
  press(OIS::KC_8, '8');
  press(OIS::KC_0, '0');
  press(OIS::KC_1, '1');
  press(OIS::KC_F9);
  press(OIS::KC_F3);
  press(OIS::KC_BACK);
  press(OIS::KC_RETURN);
  nudge();
  EXPECT_EQ(serverReceive<TSPackets::ChatMessage>().message, "hello 80");
  EXPECT_TRUE(m_page->connected());
  EXPECT_FALSE(m_page->headsUp().infoShown());
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::current_path()))
    EXPECT_NE(entry.path().filename().string().rfind("screenshot", 0), 0u) << entry.path();

  // "/" opens the field with itself; umlauts reach the server as such.
  press(OIS::KC_SLASH, '/');
  type("me waves");
  press(OIS::KC_UNASSIGNED, 0x00FC);
  press(OIS::KC_NUMPADENTER);
  nudge();
  EXPECT_EQ(serverReceive<TSPackets::ChatMessage>().message, "/me waves\xC3\xBC");

  // Escape drops the line; an empty line is not sent.
  press(OIS::KC_T, 't');
  type("never mind");
  press(OIS::KC_ESCAPE);
  press(OIS::KC_T, 't');
  press(OIS::KC_RETURN);
  nudge();
  EXPECT_TRUE(clientIsQuiet());
}

TEST_F(Screen, ChatIsNotSentWithoutALogin) {
  press(OIS::KC_T, 't');
  type("anyone?");
  press(OIS::KC_RETURN);
  EXPECT_FALSE(m_page->headsUp().chatInput().isOpen());
  EXPECT_FALSE(m_page->connected());
}

// A kick or a lost connection ends the session only: the reason stays on the
// status line and the connect key connects again.
TEST_F(Screen, SessionsEndWithoutEndingTheProgram) {
  logIn();
  TSPackets::Disconnect kick;
  kick.reason = Section + "cServer is full";
  serverSend(kick);
  pumpUntil([&] { return status().state() == SessionStatus::State::Kicked; });
  // The loop goes on: what is posted to it now still runs.
  bool ran = false;
  asio::post(Game::instance().ioService(), [&] { ran = true; });
  EXPECT_TRUE(pumpUntil([&] { return ran; }));
  EXPECT_FALSE(m_page->connected()) << "the kick closes the connection at once";
  EXPECT_EQ(status().text(), "Kicked by the server: Server is full - press 8 to connect again");
  EXPECT_TRUE(m_capture->mentions("the server closed the connection: " + Section +
                                  "cServer is full"));

  logIn();
  const std::string server = "127.0.0.1:" + m_page->settings().port;
  EXPECT_EQ(status().text(), "Connected to " + server);
  closeConnection();
  pumpUntil([&] {
    tick();
    return status().state() == SessionStatus::State::Lost;
  });
  EXPECT_EQ(status().text(),
            "Connection to " + server + " lost: End of file - press 8 to connect again");
  logIn();
  EXPECT_TRUE(m_page->connected());
}

// Quitting before any connection has nobody to say goodbye to.
TEST_F(Screen, QuitWithoutAConnectionTriesNoGoodbye) {
  press(OIS::KC_0);
  EXPECT_FALSE(m_capture->mentions("could not send the disconnect message")) << "a false alarm";
  EXPECT_FALSE(m_capture->mentions("send failed"));
}

// The name is looked up beside the loop: the key returns at once, and the
// failure shows when it comes.
TEST_F(Screen, ServersThatCannotBeReachedAreReportedOnTheStatusLine) {
  openPage(serverOptions("127.0.0.1", "no-such-service"));
  press(OIS::KC_8);
  EXPECT_EQ(status().state(), SessionStatus::State::Connecting) << status().text();
  pumpUntil([&] {
    tick();
    return status().state() == SessionStatus::State::Failed;
  });
  EXPECT_EQ(status().text(), "Cannot connect to 127.0.0.1:no-such-service: Service not found");
  EXPECT_FALSE(m_page->connected());
  EXPECT_TRUE(m_capture->mentions("cannot connect to 127.0.0.1:no-such-service: "));

  // A port nobody listens on: refused, then reported once the socket closes.
  openPage(serverOptions("127.0.0.1", "1"));
  press(OIS::KC_8);
  pumpUntil([&] {
    tick();
    return status().state() == SessionStatus::State::Unreachable;
  });
}

class BoundKeys : public Screen {
  std::string extraConfiguration() const override {
    return "[Controls]\nPreconfigured=wasd\nForward=I\nConnect=C\n"
           "MouseSensitivity=2\nInvertMouse=yes\n";
  }

protected:
  // Ticks until the condition holds, reading the real keyboard each frame.
  bool tickUntil(const std::function<bool()>& condition) {
    return pumpUntil([&] {
      tick();
      return condition();
    });
  }

  Ogre::Vector3 eye() { return m_page->shell().cameraNode()->getPosition(); }
};

float horizontalDistance(const Ogre::Vector3& a, const Ogre::Vector3& b) {
  return std::hypot(a.x - b.x, a.z - b.z);
}

// Keys from the real keyboard: the bound forward key walks, but not while a
// chat line is typed, which reaches the server as typed.
TEST_F(BoundKeys, TypingStopsTheBoundKeysFromMovingThePlayer) {
  press(OIS::KC_8);
  EXPECT_FALSE(m_page->connected()) << "8 is no longer the connect key";
  press(OIS::KC_C);
  acceptConnection();
  serverReceive<TSPackets::HandShake>();
  TSPackets::HandShake answer;
  answer.connectionHash = "-";
  serverSend(answer);
  serverReceive<TSPackets::Login>();
  serverSend(TSPackets::Login());
  ASSERT_TRUE(pumpUntil([&] { return status().state() == SessionStatus::State::Connected; }));

  const Ogre::Vector3 start = eye();
  xdotool({"keydown", "i"});
  EXPECT_TRUE(tickUntil([&] { return horizontalDistance(eye(), start) > 0.5f; }));
  xdotool({"keyup", "i"});
  ASSERT_TRUE(tickUntil([&] { return !m_page->shell().isKeyDown(OIS::KC_I); }));

  xdotool({"key", "t"});
  ASSERT_TRUE(tickUntil([&] { return m_page->headsUp().chatInput().isOpen(); }));
  // Without the key, the player slows to a stop.
  Ogre::Vector3 last = eye();
  ASSERT_TRUE(tickUntil([&] {
    const bool still = eye() == last;
    last = eye();
    return still;
  }));
  const Ogre::Vector3 typing = eye();
  xdotool({"keydown", "i"});
  ASSERT_TRUE(tickUntil([&] { return m_page->shell().isKeyDown(OIS::KC_I); }));
  tick(10);
  EXPECT_EQ(horizontalDistance(eye(), typing), 0.0f);
  xdotool({"keyup", "i"});
  xdotool({"type", "hi 8c"});
  xdotool({"key", "Return"});
  ASSERT_TRUE(tickUntil([&] { return !m_page->headsUp().chatInput().isOpen(); }));
  nudge();
  EXPECT_EQ(serverReceive<TSPackets::ChatMessage>().message, "ihi 8c");
  EXPECT_TRUE(m_page->connected());
}

TEST_F(BoundKeys, MouseLookFollowsSensitivityAndInversion) {
  Ogre::Camera* camera = m_page->shell().camera();
  const Ogre::Vector3 aim = camera->getCameraToViewportRay(0.7f, 0.5f).getDirection();
  OIS::MouseState motion;
  motion.X.rel = 25; // twice as far as the pixels moved
  m_page->shell().mouseMoved(OIS::MouseEvent(nullptr, motion));
  EXPECT_TRUE(camera->getDerivedDirection().positionEquals(aim, 1e-5f))
      << camera->getDerivedDirection() << " instead of " << aim;
  const Ogre::Vector3 level = camera->getDerivedDirection();
  motion.X.rel = 0;
  motion.Y.rel = 10;
  m_page->shell().mouseMoved(OIS::MouseEvent(nullptr, motion));
  EXPECT_GT(camera->getDerivedDirection().y, level.y) << "inverted: down looks up";
}

TEST_F(Screen, CommandLineNamesTheServerAndThePlayer) {
  // The file names 127.0.0.1 and Tester; "127.1" is the same address
  // written another way.
  const std::string port = m_page->settings().port;
  GamePages::LaunchOptions options = serverOptions("127.1", port);
  options.name = "Zed";
  openPage(options);
  press(OIS::KC_8);
  EXPECT_EQ(status().text(), "Connecting to 127.1:" + port + " ...");
  acceptConnection();
  EXPECT_EQ(serverReceive<TSPackets::HandShake>().connectionHash, "Zed");
}

Ogre::Vector3 faceOf(const Entities::Movable& entity) {
  return entity.m_sceneNode->getOrientation() * Ogre::Vector3::UNIT_Z;
}

Ogre::Vector3 headFaceOf(const Entities::Movable& entity) {
  auto* mesh = static_cast<Ogre::Entity*>(entity.m_sceneNode->getAttachedObject(0));
  const Ogre::Bone* head = mesh->getSkeleton()->getBone("head");
  return entity.m_sceneNode->getOrientation() * head->_getDerivedOrientation() *
         Ogre::Vector3::UNIT_Z;
}

// The protocol's look: yaw 64 of 256 faces -x, a positive pitch looks down.
// The robot's head follows the pitch; the ball, which has none, only turns.
TEST_F(Screen, EntitiesFaceTheirLookAndTiltTheirHeads) {
  logIn();
  TSPackets::MobSpawn creeper;
  creeper.entityId = 1;
  creeper.mobType = 50;
  creeper.yaw = 64;
  creeper.pitch = 32;
  creeper.metadata = {0x7F};
  serverSend(creeper);
  TSPackets::MobSpawn ball = creeper;
  ball.entityId = 2;
  ball.mobType = 90;
  serverSend(ball);
  ASSERT_TRUE(pumpUntil([&] { return m_page->entityManager()->contains(2); }));
  tick();
  EntityManager& entities = *m_page->entityManager();
  const float half = std::sqrt(0.5f);
  EXPECT_TRUE(faceOf(entities.get(1)).positionEquals(Ogre::Vector3(-1, 0, 0), 1e-4f));
  EXPECT_TRUE(faceOf(entities.get(2)).positionEquals(Ogre::Vector3(-1, 0, 0), 1e-4f));
  EXPECT_TRUE(headFaceOf(entities.get(1)).positionEquals(Ogre::Vector3(-half, -half, 0), 1e-4f))
      << headFaceOf(entities.get(1));

  TSPackets::EntityLook look;
  look.entityId = 1;
  look.yaw = 0;
  look.pitch = -16;
  serverSend(look);
  ASSERT_TRUE(pumpUntil([&] { return entities.get(1).m_pitch == -16; }));
  tick();
  EXPECT_TRUE(faceOf(entities.get(1)).positionEquals(Ogre::Vector3(0, 0, 1), 1e-4f));
  const Ogre::Vector3 up(0, std::sin(Ogre::Math::PI / 8), std::cos(Ogre::Math::PI / 8));
  EXPECT_TRUE(headFaceOf(entities.get(1)).positionEquals(up, 1e-4f))
      << headFaceOf(entities.get(1));
}

// A square of one terrain picture (four blocks) in front of the camera,
// drawn the way chunk meshes are: world position and layer in texture
// coordinate set 0, the face's normal.
class TerrainSquare {
public:
  explicit TerrainSquare(GamePages::Tessellar& page) : m_page(page) {
    createTerrainMaterial();
    m_page.shell().cameraNode()->setPosition(0, 0, 2);
    m_page.shell().setCameraDirection(Ogre::Vector3::NEGATIVE_UNIT_Z);
    m_object = m_page.shell().createManualObject();
    m_object->setDynamic(true);
    draw(0);
  }

  // What the layer looks like in the middle of the window.
  Picture show(unsigned char layer) {
    draw(layer);
    m_page.shell().update(true);
    return Picture(*m_page.shell().window());
  }

private:
  void draw(unsigned char layer) {
    const Ogre::Vector3 corners[] = {{-2, -2, 0}, {2, -2, 0}, {2, 2, 0},
                                     {-2, -2, 0}, {2, 2, 0},  {-2, 2, 0}};
    if (m_object->getSections().empty())
      m_object->begin("TextureArray", Ogre::RenderOperation::OT_TRIANGLE_LIST);
    else
      m_object->beginUpdate(0);
    for (const Ogre::Vector3& corner : corners) {
      m_object->position(corner);
      m_object->normal(0, 0, 1);
      m_object->textureCoord(corner.x, corner.y, corner.z, float(layer));
    }
    m_object->end();
  }

  GamePages::Tessellar& m_page;
  Ogre::ManualObject* m_object;
};

const Area Middle{300, 200, 200, 200};

using PixelTest = bool (*)(const Pixel&);

// The common block types of real worlds show pictures of what they are: by
// the colour of the whole picture, or for ores by specks of their colour on
// stone. Every layer the table names exists in the texture.
TEST_F(Screen, BlockTypesShowPicturesOfWhatTheyAre) {
  TerrainSquare square(*m_page);
  const Ogre::TexturePtr texture =
      Ogre::TextureManager::getSingleton().getByName("TextureArrayTex", "General");
  ASSERT_TRUE(texture);
  for (int type = 0; type < 256; ++type)
    EXPECT_LT(layerOfBlockType(static_cast<unsigned char>(type)), texture->getDepth()) << type;

  const struct {
    int type;
    const char* name;
    PixelTest looks;
  } wholes[] = {
      {1, "stone", [](const Pixel& p) { return std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}) < 8; }},
      {2, "grass", [](const Pixel& p) { return p.g > p.r + 20 && p.g > p.b + 20 && p.g > 70; }},
      {18, "leaves", [](const Pixel& p) { return p.g > p.r + 20 && p.g > p.b + 20 && p.g < 70; }},
      {12, "sand", [](const Pixel& p) { return p.r > p.b + 30 && p.r > 140; }},
      {24, "sandstone", [](const Pixel& p) { return p.r > p.b + 30 && p.r > 110 && p.r <= 140; }},
      {17, "tree trunk", [](const Pixel& p) { return p.r > p.b + 20 && p.r < 70; }},
      {5, "planks", [](const Pixel& p) { return p.r > p.b + 40 && p.r > 80; }},
      {8, "water", [](const Pixel& p) { return p.b > p.r + 50; }},
      {79, "ice", [](const Pixel& p) { return p.b > p.r + 30 && p.b > 140; }},
      {80, "snow", [](const Pixel& p) { return std::min({p.r, p.g, p.b}) > 130; }},
      {82, "clay", [](const Pixel& p) { return p.b > p.r + 8 && p.b < p.r + 40 && p.r > 90; }},
      {10, "lava", [](const Pixel& p) { return p.r > 140 && p.r > p.g + 50 && p.b < 40; }},
      {49, "obsidian", [](const Pixel& p) { return p.r + p.g + p.b < 80; }},
      {87, "netherrack", [](const Pixel& p) { return p.r > p.g + 40 && p.r < 95; }},
      {45, "brick", [](const Pixel& p) { return p.r > p.g + 40 && p.r >= 95; }},
  };
  for (const auto& block : wholes) {
    const Pixel colour = square.show(layerOfBlockType(block.type)).mean(Middle);
    EXPECT_TRUE(block.looks(colour)) << block.name << " " << colour;
  }

  const struct {
    int type;
    const char* name;
    PixelTest speck;
  } ores[] = {
      {16, "coal", [](const Pixel& p) { return p.r + p.g + p.b < 60; }},
      {15, "iron", [](const Pixel& p) { return p.r > p.b + 35 && p.r > 90; }},
      {14, "gold", [](const Pixel& p) { return p.r > 120 && p.g > 100 && p.b < 60; }},
      {56, "diamond", [](const Pixel& p) { return p.g > p.r + 40 && p.b > p.r + 40; }},
      {73, "redstone", [](const Pixel& p) { return p.r > 100 && p.g < 40; }},
      {21, "lapis", [](const Pixel& p) { return p.b > p.r + 60; }},
  };
  const Picture stone = square.show(layerOfBlockType(1));
  const int pixels = Middle.width * Middle.height;
  for (const auto& ore : ores) {
    EXPECT_GT(square.show(layerOfBlockType(ore.type)).count(Middle, ore.speck), pixels / 100)
        << ore.name;
    EXPECT_LT(stone.count(Middle, ore.speck), pixels / 1000) << ore.name << " in plain stone";
  }
}

} // namespace
