// The pieces of what the player sees that need no window: the sky's colour
// by time of day, chat colour codes and text conversions, the chat field and
// log, the status line and the settings.

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <OgreDataStream.h>

#include "ChatText.h"
#include "GamePages/ChatInput.h"
#include "GamePages/ChatLog.h"
#include "GamePages/ClientSettings.h"
#include "GamePages/KeyNames.h"
#include "GamePages/LaunchOptions.h"
#include "GamePages/SessionStatus.h"
#include "LocaleText.h"
#include "Sky.h"
#include "WindowScreenView.h"

namespace {

using namespace GamePages;

// UTF-8 text of the section sign, the chat's colour code marker.
const std::string Section = "\xC2\xA7";

float distance(const Ogre::ColourValue& a, const Ogre::ColourValue& b) {
  return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

TEST(SkyColour, FollowsTheDayAndBlendsBetweenItsColours) {
  const Ogre::ColourValue noon = skyColourAt(6000);
  const Ogre::ColourValue midnight = skyColourAt(18000);
  const Ogre::ColourValue sunset = skyColourAt(12000);
  const Ogre::ColourValue sunrise = skyColourAt(0);
  EXPECT_GT(noon.b, noon.r + 0.3f) << "a blue day";
  EXPECT_LT(midnight.r + midnight.g + midnight.b, 0.3f) << "a dark night";
  EXPECT_GT(sunset.r, sunset.b + 0.3f) << "a red dusk";
  EXPECT_GT(sunrise.r, sunrise.b + 0.2f) << "a warm dawn";
  // Blends: half way from dusk to night lies between them.
  const Ogre::ColourValue evening = skyColourAt(12750);
  EXPECT_LT(distance(evening, (sunset + midnight) * 0.5f), 1e-4f);
  // The cycle repeats, in both directions and at the ends of the range.
  EXPECT_EQ(skyColourAt(6000 + 5 * DayTicks), noon);
  EXPECT_EQ(skyColourAt(6000 - 7 * DayTicks), noon);
  EXPECT_EQ(skyColourAt(-6000), midnight);
  for (std::int64_t time : {std::numeric_limits<std::int64_t>::min(),
                            std::numeric_limits<std::int64_t>::max()}) {
    const Ogre::ColourValue c = skyColourAt(time);
    EXPECT_TRUE(c.r >= 0 && c.r <= 1 && c.g >= 0 && c.g <= 1 && c.b >= 0 && c.b <= 1) << time;
  }
  // The day is smooth: no jump of more than a few hundredths in 50 ticks.
  for (std::int64_t time = 0; time < DayTicks; time += 50)
    EXPECT_LT(distance(skyColourAt(time), skyColourAt(time + 50)), 0.04f) << time;
}

TEST(ChatText, ColourCodesSplitTheTextAndAreDropped) {
  struct Case {
    std::string text;
    std::vector<std::pair<std::string, int>> segments;
  };
  const std::vector<Case> cases = {
      {"plain", {{"plain", -1}}},
      {Section + "ewarning", {{"warning", 14}}},
      {"<" + Section + "9Bo" + Section + "r> hi", {{"<", -1}, {"Bo", 9}, {"> hi", -1}}},
      {Section + "Ccaps " + Section + "lbold stays", {{"caps bold stays", 12}}},
      {Section + "x" + Section + "4" + Section + "2green", {{"green", 2}}},
      {"ends in" + Section, {{"ends in", -1}}},
      {Section + "\xC3\xA9" + "accent code", {{"accent code", -1}}},
      {"caf\xC3\xA9 " + Section + "7gr\xC3\xBC\xC3\x9F", {{"caf\xC3\xA9 ", -1}, {"gr\xC3\xBC\xC3\x9F", 7}}},
      {"", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::pair<std::string, int>> segments;
    for (const ChatSegment& segment : chatSegments(c.text))
      segments.emplace_back(segment.text, segment.colour);
    EXPECT_EQ(segments, c.segments) << c.text;
  }
  EXPECT_EQ(withoutColourCodes(Section + "cServer " + Section + "lrestarting"),
            "Server restarting");
  EXPECT_EQ(chatColour(-1), 0xFFFFFFu);
  EXPECT_EQ(chatColour(12), 0xFF5555u);
}

TEST(LocaleText, ConvertsThroughTheLocalesCharacterSet) {
  const std::string previous = std::setlocale(LC_CTYPE, nullptr);
  ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
  EXPECT_EQ(localeToUtf8(Section + "cRot \xE2\x82\xAC"), Section + "cRot \xE2\x82\xAC");
  EXPECT_EQ(localeToUtf8("bad \xFF byte"), "bad ? byte");
  EXPECT_EQ(codePointsToLocale(U"gr\u00FC\u00DF"), "gr\xC3\xBC\xC3\x9F");
  EXPECT_EQ(codePointsToUtf8(U"\u20AC\U0001F600"), "\xE2\x82\xAC\xF0\x9F\x98\x80");
  // Cut at a character's start, never inside one.
  EXPECT_EQ(utf8Prefix("a\xE2\x82\xAC", 3), "a");
  EXPECT_EQ(utf8Prefix("a\xE2\x82\xAC", 4), "a\xE2\x82\xAC");
  EXPECT_EQ(utf8Prefix("ab", 1), "a");
  // Plain ASCII holds no section sign or umlaut: they become "?".
  ASSERT_NE(std::setlocale(LC_CTYPE, "C"), nullptr);
  EXPECT_EQ(codePointsToLocale(U"gr\u00FC\u00DF."), "gr??.");
  EXPECT_EQ(localeToUtf8("plain"), "plain");
  std::setlocale(LC_CTYPE, previous.c_str());
}

OIS::KeyEvent key(OIS::KeyCode code, unsigned int text = 0) {
  return OIS::KeyEvent(nullptr, code, text);
}

TEST(ChatInput, TypesEditsSendsAndCancels) {
  ChatInput input;
  EXPECT_FALSE(input.isOpen());
  input.open(U"/");
  for (char c : std::string("tell bo"))
    EXPECT_EQ(input.keyPressed(key(OIS::KC_UNASSIGNED, c)), ChatInput::Outcome::Typing);
  input.keyPressed(key(OIS::KC_BACK));
  input.keyPressed(key(OIS::KC_E, 0x00E9));          // typed with a dead key
  input.keyPressed(key(OIS::KC_LSHIFT));             // types nothing
  input.keyPressed(key(OIS::KC_TAB, '\t'));          // a control code: nothing
  input.keyPressed(key(OIS::KC_UNASSIGNED, 0x1F600)); // beyond UCS-2: nothing
  EXPECT_EQ(input.text(), U"/tell b\u00E9");
  EXPECT_EQ(input.keyPressed(key(OIS::KC_RETURN)), ChatInput::Outcome::Send);
  EXPECT_FALSE(input.isOpen());
  EXPECT_EQ(input.text(), U"/tell b\u00E9");

  input.open(U"");
  input.keyPressed(key(OIS::KC_A, 'a'));
  EXPECT_EQ(input.keyPressed(key(OIS::KC_ESCAPE)), ChatInput::Outcome::Cancel);
  EXPECT_FALSE(input.isOpen());
  EXPECT_TRUE(input.text().empty());
}

TEST(ChatInput, HoldsNoMoreThanTheServerTakes) {
  ChatInput input;
  input.open(U"");
  for (int i = 0; i < 130; ++i)
    input.keyPressed(key(OIS::KC_UNASSIGNED, 'a' + i % 26));
  EXPECT_EQ(input.text().size(), ChatInput::MaxCharacters);
  input.keyPressed(key(OIS::KC_BACK));
  input.keyPressed(key(OIS::KC_UNASSIGNED, '!'));
  EXPECT_EQ(input.text().back(), U'!');
  EXPECT_EQ(input.text().size(), ChatInput::MaxCharacters);
}

TEST(ChatLog, KeepsTheLastLinesAndFadesThemOut) {
  using namespace std::chrono_literals;
  ChatLog log;
  const ChatLog::Clock::time_point start;
  for (int i = 0; i < 12; ++i)
    log.add("line " + std::to_string(i), start + i * 100ms);
  const auto fresh = log.shown(start + 2s, false);
  ASSERT_EQ(fresh.size(), ChatLog::Lines);
  EXPECT_EQ(fresh.front().utf8, "line 2");
  EXPECT_EQ(fresh.back().utf8, "line 11");
  EXPECT_EQ(fresh.back().opacity, 1.0f);

  // Line 11 arrived at 1.1 s: fully shown until 9.1 s, half gone at 10.1 s.
  const auto fading = log.shown(start + 10100ms, false);
  ASSERT_FALSE(fading.empty());
  EXPECT_EQ(fading.back().utf8, "line 11");
  EXPECT_NEAR(fading.back().opacity, 0.5f, 1e-3f);
  EXPECT_LT(fading.front().opacity, fading.back().opacity);
  EXPECT_TRUE(log.shown(start + 12s, false).empty());
  // While the player types, the recent lines come back.
  EXPECT_EQ(log.shown(start + 60s, true).size(), ChatLog::Lines);
}

TEST(SessionStatus, SaysWhatBecameOfTheSession) {
  SessionStatus status("example.org:25565", "8");
  EXPECT_EQ(status.text(), "Press 8 to connect to example.org:25565");
  status.closed();
  EXPECT_EQ(status.state(), SessionStatus::State::Idle);
  status.connecting();
  status.closed();
  EXPECT_EQ(status.text(), "Could not connect to example.org:25565 - press 8 to connect again");
  status.connecting();
  status.loggedIn();
  EXPECT_EQ(status.text(), "Connected to example.org:25565");
  EXPECT_EQ(status.tone(), SessionStatus::Tone::Good);
  status.kicked(Section + "cServer is " + Section + "lfull");
  status.closed();
  EXPECT_EQ(status.text(), "Kicked by the server: Server is full - press 8 to connect again");
  EXPECT_EQ(status.tone(), SessionStatus::Tone::Bad);
  status.connecting();
  status.loggedIn();
  status.closed();
  EXPECT_EQ(status.text(), "Connection to example.org:25565 lost - press 8 to connect again");
  status.connecting();
  status.closed("Connection refused");
  EXPECT_EQ(status.text(),
            "Could not connect to example.org:25565: Connection refused - press 8 to connect again");
  status.connecting();
  status.loggedIn();
  status.closed("connection stalled: message 0x33 incomplete after 30 s");
  EXPECT_EQ(status.text(), "Connection to example.org:25565 lost: connection stalled: message 0x33 "
                           "incomplete after 30 s - press 8 to connect again");
  status.kicked(std::string(5000, 'x'));
  EXPECT_LT(status.text().size(), 300u) << "a reason the line has room for";
  status.failed("Host not found");
  EXPECT_EQ(status.text(), "Cannot connect to example.org:25565: Host not found");
}

// How each end of a session shows; the player's own close leaves the line.
TEST(SessionStatus, FollowsTheEndsOfSessions) {
  struct Case {
    SessionEnd end;
    bool loggedIn;
    std::string text;
  };
  const std::string again = " - press 8 to connect again";
  const std::vector<Case> cases = {
      {{SessionEnd::Kind::Closed, ""}, true, "Connected to example.org:25565"},
      {{SessionEnd::Kind::NotFound, "Host not found"}, false,
       "Cannot connect to example.org:25565: Host not found"},
      {{SessionEnd::Kind::ConnectFailed, "Connection refused"}, false,
       "Could not connect to example.org:25565: Connection refused" + again},
      {{SessionEnd::Kind::LoginFailed, "Bad login"}, false,
       "Could not log in to example.org:25565: Bad login" + again},
      {{SessionEnd::Kind::Lost, "End of file"}, true,
       "Connection to example.org:25565 lost: End of file" + again},
      {{SessionEnd::Kind::Failed, "message 0x1b"}, true,
       "Connection to example.org:25565 lost: message 0x1b" + again},
      {{SessionEnd::Kind::Kicked, "Go away"}, true,
       "Kicked by the server: Go away" + again},
  };
  for (const Case& c : cases) {
    SessionStatus status("example.org:25565", "8");
    status.connecting();
    if (c.loggedIn)
      status.loggedIn();
    status.ended(c.end);
    EXPECT_EQ(status.text(), c.text);
  }
  SessionStatus status("example.org:25565", "8");
  status.connecting();
  status.ended({SessionEnd::Kind::LoginFailed, std::string(5000, 'x')});
  EXPECT_LT(status.text().size(), 300u) << "an answer the line has room for";
}

TEST(KeyNames, NameEveryBindableKeyBothWays) {
  EXPECT_EQ(keyOfName("w"), OIS::KC_W);
  EXPECT_EQ(keyOfName("LEFTSHIFT"), OIS::KC_LSHIFT);
  EXPECT_EQ(keyOfName("Numpad8"), OIS::KC_NUMPAD8);
  EXPECT_EQ(keyOfName("F12"), OIS::KC_F12);
  EXPECT_EQ(keyOfName("Shift"), std::nullopt);
  EXPECT_EQ(keyOfName(""), std::nullopt);
  for (int code = 0; code < 256; ++code) {
    const auto key = static_cast<OIS::KeyCode>(code);
    const std::string name = nameOfKey(key);
    if (!name.empty()) {
      EXPECT_EQ(keyOfName(name), key) << name;
    }
  }
}

ClientSettings settingsOf(const std::string& text, const LaunchOptions& options = {}) {
  Ogre::ConfigFile config;
  Ogre::DataStreamPtr stream(new Ogre::MemoryDataStream(const_cast<char*>(text.data()),
                                                         text.size(), false, true));
  config.load(stream, "\t:=", true);
  return readClientSettings(config, options);
}

TEST(ClientSettings, DefaultsKeepThePresets) {
  const ClientSettings neo = settingsOf("[Controls]\nPreconfigured=neo2\n");
  EXPECT_EQ(neo.keys.movement, controlLayout("neo2"));
  EXPECT_EQ(neo.keys.run, OIS::KC_LSHIFT);
  EXPECT_EQ(neo.keys.connect, OIS::KC_8);
  EXPECT_EQ(neo.keys.quit, OIS::KC_0);
  EXPECT_EQ(neo.keys.returnToPosition, OIS::KC_1);
  EXPECT_EQ(neo.keys.dig, ButtonBinding(OIS::MB_Left));
  EXPECT_EQ(neo.keys.place, ButtonBinding(OIS::MB_Right));
  EXPECT_EQ(neo.mouseSensitivity, 1.0);
  EXPECT_FALSE(neo.invertMouse);
  EXPECT_EQ(neo.sky, SkyMode::DayNight);
  EXPECT_EQ(neo.fieldOfView, 120);
  EXPECT_FALSE(neo.filtering);
  EXPECT_FALSE(neo.viewDistance);
  EXPECT_EQ(neo.detailDistance, 4);
  EXPECT_EQ(neo.coarseDistance, 6);
  EXPECT_EQ(neo.frameRateLimit, 60);
  EXPECT_EQ(neo.stallTimeout, std::chrono::seconds(30));
  EXPECT_EQ(neo.accountServices.timeoutSeconds, 10);
  EXPECT_FALSE(neo.reportTimings);
}

// The hotbar's, the respawn's and the inventory's defaults give way to
// every other action's key, bound or not: the older actions keep their keys.
TEST(ClientSettings, ItemKeysTakeOnlyFreeDefaults) {
  using Keys = std::vector<std::optional<OIS::KeyCode>>;
  const auto none = std::optional<OIS::KeyCode>();
  const struct {
    const char* file;
    Keys hotbar;
    std::optional<OIS::KeyCode> respawn;
    std::optional<OIS::KeyCode> inventory;
  } cases[] = {
      {"", {none, OIS::KC_2, OIS::KC_3, OIS::KC_4, OIS::KC_5, OIS::KC_6, OIS::KC_7, none, OIS::KC_9},
       OIS::KC_RETURN, OIS::KC_E},
      {"[Controls]\nConnect=C\nReturnToPosition=Home\nHotbar3=Z\nRespawn=R\nInventory=I\n",
       {OIS::KC_1, OIS::KC_2, OIS::KC_Z, OIS::KC_4, OIS::KC_5, OIS::KC_6, OIS::KC_7, OIS::KC_8,
        OIS::KC_9},
       OIS::KC_R, OIS::KC_I},
      {"[Controls]\nQuit=5\nConnect=Enter\nHotbar2=9\nForward=E\n",
       {none, OIS::KC_9, OIS::KC_3, OIS::KC_4, none, OIS::KC_6, OIS::KC_7, OIS::KC_8, none},
       none, none},
  };
  for (const auto& c : cases) {
    const ClientSettings settings = settingsOf(c.file);
    EXPECT_EQ(Keys(settings.keys.hotbar.begin(), settings.keys.hotbar.end()), c.hotbar) << c.file;
    EXPECT_EQ(settings.keys.respawn, c.respawn) << c.file;
    EXPECT_EQ(settings.keys.inventory, c.inventory) << c.file;
  }
}

TEST(ClientSettings, PictureTimeoutsAndDiagnosticsComeFromTheFile) {
  const ClientSettings settings = settingsOf(
      "[Graphics]\nfov=75\nFiltering=none\nViewDistance=0\nDetailDistance=2\n"
      "CoarseDistance=3\nMaxFrameRate=0\n[Server]\nStallTimeout=5\n"
      "[Accounts]\nLoginURL=http://127.0.0.1:8080\nTimeout=3\n[Diagnostics]\nTimings=yes\n");
  EXPECT_EQ(settings.fieldOfView, 75);
  EXPECT_EQ(settings.filtering, TextureFiltering::None);
  EXPECT_EQ(settings.viewDistance, 0);
  EXPECT_EQ(settings.detailDistance, 2);
  EXPECT_EQ(settings.coarseDistance, 3);
  EXPECT_EQ(settings.frameRateLimit, 0);
  EXPECT_EQ(settings.stallTimeout, std::chrono::seconds(5));
  EXPECT_EQ(settings.accountServices.loginUrl, "http://127.0.0.1:8080");
  EXPECT_EQ(settings.accountServices.timeoutSeconds, 3);
  EXPECT_TRUE(settings.reportTimings);
}

TEST(ClientSettings, TheExampleFileIsAccepted) {
  Ogre::ConfigFile config;
  config.load(TS_EXAMPLE_CONFIGURATION, "\t:=", true);
  const ClientSettings settings = readClientSettings(config, {});
  EXPECT_EQ(settings.keys.movement, controlLayout("wasd"));
  EXPECT_EQ(serverName(settings), "127.0.0.1:25565");
}

TEST(ClientSettings, BindingsLookAndServerComeFromTheFileAndTheCommandLine) {
  const ClientSettings settings = settingsOf(
      "[Controls]\nPreconfigured=wasd\nForward=I\nLeft = j\nJump\tRightShift\nRun=LeftControl\n"
      "Connect=C\nQuit=Escape\nReturnToPosition=Home\nMouseSensitivity=0.35\nInvertMouse=yes\n"
      "Dig=mousemiddle\nPlace=Q\nPlayerList=P\n"
      "[Graphics]\nSky=black\n[Player]\nName=Alice\nPassword=secret\n"
      "[Server]\nHostname=example.org\nPort=25565\n");
  const MovementKeys movement = {OIS::KC_I,      OIS::KC_S,     OIS::KC_D,
                                 OIS::KC_J,      OIS::KC_RSHIFT, OIS::KC_LSHIFT};
  EXPECT_EQ(settings.keys.movement, movement);
  EXPECT_EQ(settings.keys.run, OIS::KC_LCONTROL);
  EXPECT_EQ(settings.keys.connect, OIS::KC_C);
  EXPECT_EQ(settings.keys.quit, OIS::KC_ESCAPE);
  EXPECT_EQ(settings.keys.returnToPosition, OIS::KC_HOME);
  EXPECT_EQ(settings.keys.dig, ButtonBinding(OIS::MB_Middle));
  EXPECT_EQ(settings.keys.place, ButtonBinding(OIS::KC_Q));
  EXPECT_EQ(settings.keys.playerList, OIS::KC_P);
  EXPECT_DOUBLE_EQ(settings.mouseSensitivity, 0.35);
  EXPECT_TRUE(settings.invertMouse);
  EXPECT_EQ(settings.sky, SkyMode::Black);
  EXPECT_EQ(serverName(settings), "example.org:25565");
  EXPECT_EQ(settings.playerName, "Alice");
  EXPECT_EQ(settings.password, "secret");

  LaunchOptions options;
  options.host = "::1";
  options.port = "4711";
  options.name = "Bob";
  const ClientSettings overridden =
      settingsOf("[Player]\nName=Alice\n[Server]\nHostname=example.org\nPort=25565\n", options);
  EXPECT_EQ(serverName(overridden), "[::1]:4711");
  EXPECT_EQ(overridden.playerName, "Bob");
}

TEST(ClientSettings, BadValuesAreRefusedWithTheirPlace) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"[Controls]\nForward=Shift\n", "Controls Forward is not a key name: \"Shift\""},
      {"[Controls]\nPreconfigured=wasd\nJump=W\n", "Controls Jump uses W, which Forward"},
      {"[Controls]\nConnect=0\n", "Controls Quit uses 0, which Connect"},
      {"[Controls]\nRun=T\n", "Controls Run cannot use T"},
      {"[Controls]\nQuit=Slash\n", "Controls Quit cannot use Slash"},
      {"[Controls]\nConnect=F3\n", "Controls Connect cannot use F3"},
      {"[Controls]\nMouseSensitivity=fast\n", "Controls MouseSensitivity must be a number"},
      {"[Controls]\nMouseSensitivity=0\n", "Controls MouseSensitivity"},
      {"[Controls]\nMouseSensitivity=11\n", "Controls MouseSensitivity"},
      {"[Controls]\nMouseSensitivity=nan\n", "Controls MouseSensitivity"},
      {"[Controls]\nInvertMouse=true\n", "Controls InvertMouse must be yes or no"},
      {"[Controls]\nDig=MouseFourth\n", "Controls Dig is not a mouse button or key name"},
      {"[Controls]\nPlace=MouseLeft\n", "Controls Place uses MouseLeft, which Dig uses already"},
      {"[Controls]\nPlace=F5\n", "Controls Place cannot use F5"},
      {"[Controls]\nForward=Tab\n", "Controls PlayerList uses Tab, which Forward uses already"},
      {"[Controls]\nPlayerList=Space\n", "Controls PlayerList uses Space, which Jump uses already"},
      {"[Controls]\nPlayerList=Slash\n", "Controls PlayerList cannot use Slash"},
      {"[Controls]\nHotbar4=1\n", "Controls Hotbar4 uses 1, which ReturnToPosition uses already"},
      {"[Controls]\nHotbar1=Z\nHotbar2=Z\n", "Controls Hotbar2 uses Z, which Hotbar1 uses already"},
      {"[Controls]\nHotbar9=F4\n", "Controls Hotbar9 cannot use F4"},
      {"[Controls]\nHotbar5=Five\n", "Controls Hotbar5 is not a key name: \"Five\""},
      {"[Controls]\nRespawn=Tab\n", "Controls Respawn uses Tab, which PlayerList uses already"},
      {"[Graphics]\nSky=blue\n", "Graphics Sky must be day-night or black, not \"blue\""},
      {"[Graphics]\nfov=wide\n", "Graphics fov must be between 1 and 179 degrees, not \"wide\""},
      {"[Graphics]\nfov=99999999999\n", "Graphics fov must be between 1 and 179 degrees"},
      {"[Graphics]\nfov=90.5\n", "Graphics fov must be between 1 and 179 degrees"},
      {"[Graphics]\nfov=0\n", "Graphics fov must be between 1 and 179 degrees"},
      {"[Graphics]\nfov=180\n", "Graphics fov must be between 1 and 179 degrees"},
      {"[Graphics]\nFiltering=sharp\n", "Graphics Filtering must be anisotropic, trilinear, "
                                          "bilinear or none, not \"sharp\""},
      {"[Graphics]\nViewDistance=far\n", "Graphics ViewDistance must be 0 or more columns"},
      {"[Graphics]\nDetailDistance=-1\n", "Graphics DetailDistance must be 0 or more columns"},
      {"[Graphics]\nDetailDistance=2.5\n", "Graphics DetailDistance"},
      {"[Graphics]\nCoarseDistance=-1\n", "Graphics CoarseDistance must be 0 or more columns"},
      {"[Graphics]\nMaxFrameRate=-60\n", "Graphics MaxFrameRate must be 0 or more frames a second"},
      {"[Accounts]\nTimeout=0\n", "Accounts Timeout must be a positive number of seconds, not \"0\""},
      {"[Server]\nStallTimeout=-1\n", "Server StallTimeout must be a positive number of seconds"},
      {"[Server]\nStallTimeout=ten\n", "Server StallTimeout must be a positive number of seconds"},
      {"[Diagnostics]\nTimings=on\n", "Diagnostics Timings must be yes or no, not \"on\""},
  };
  for (const auto& [text, message] : cases) {
    try {
      settingsOf(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const std::invalid_argument& error) {
      EXPECT_NE(std::string(error.what()).find("tessellar.cfg: " + message), std::string::npos)
          << error.what();
    }
  }
}

} // namespace

namespace {

bool inside(ImVec2 point, ImVec2 min, ImVec2 max) {
  return point.x >= min.x && point.x <= max.x && point.y >= min.y && point.y <= max.y;
}

} // namespace

// Every slot of every kind of window lies on its panel, within the display,
// apart from every other, and a point in a slot finds that slot.
TEST(WindowLayout, EverySlotHasItsOwnPlaceOnThePanel) {
  const struct {
    WindowKind kind;
    int ownSlots;
    std::size_t slots;
    ImVec2 display;
  } cases[] = {
      {WindowKind::Player, 45, 45, {800, 600}},
      {WindowKind::Chest, 27, 63, {800, 600}},
      {WindowKind::Chest, 54, 90, {800, 600}},
      {WindowKind::Chest, 5, 41, {800, 600}},
      {WindowKind::Chest, 0, 36, {800, 600}},
      {WindowKind::Workbench, 10, 46, {800, 600}},
      {WindowKind::Furnace, 3, 39, {800, 600}},
      {WindowKind::Dispenser, 9, 45, {800, 600}},
      {WindowKind::Furnace, 7, 43, {800, 600}},
      {WindowKind::Chest, 127, 163, {800, 600}},
      {WindowKind::Chest, 54, 90, {320, 240}},
  };
  for (const auto& c : cases) {
    const std::string what =
        std::to_string(static_cast<int>(c.kind)) + " with " + std::to_string(c.ownSlots);
    const WindowLayout layout = layoutWindow(c.kind, c.ownSlots, c.display);
    ASSERT_EQ(layout.slots.size(), c.slots) << what;
    EXPECT_TRUE(inside(layout.panelMin, ImVec2(0, 0), c.display)) << what;
    EXPECT_TRUE(inside(layout.panelMax, ImVec2(0, 0), c.display)) << what;
    const float s = layout.slotSize;
    for (std::size_t i = 0; i < layout.slots.size(); ++i) {
      const SlotArea& area = layout.slots[i];
      EXPECT_EQ(area.slot, static_cast<int>(i)) << what;
      const ImVec2 max(area.min.x + s, area.min.y + s);
      EXPECT_TRUE(inside(area.min, layout.panelMin, layout.panelMax)) << what << ", slot " << i;
      EXPECT_TRUE(inside(max, layout.panelMin, layout.panelMax)) << what << ", slot " << i;
      const WindowPoint found = pointIn(layout, ImVec2(area.min.x + s / 2, area.min.y + s / 2));
      EXPECT_EQ(found.kind, WindowPoint::Kind::Slot) << what << ", slot " << i;
      EXPECT_EQ(found.slot, area.slot) << what << ", slot " << i;
    }
  }
}

// The hotbar is the last row, the main inventory the three above it, in
// every window; around the slots is the panel, around that the world.
TEST(WindowLayout, CarriedSlotsKeepTheirRowsAndTheRestIsPanelOrWorld) {
  const WindowLayout player = layoutWindow(WindowKind::Player, 45, ImVec2(800, 600));
  const WindowLayout chest = layoutWindow(WindowKind::Chest, 27, ImVec2(800, 600));
  const float s = player.slotSize;
  EXPECT_EQ(s, 36);
  for (int column = 0; column < 9; ++column) {
    const ImVec2 hotbar = player.slots[36 + column].min;
    EXPECT_FLOAT_EQ(hotbar.x, player.slots[36].min.x + s * column);
    EXPECT_GT(hotbar.y, player.slots[27 + column].min.y + s) << "the hotbar below the main rows";
    EXPECT_FLOAT_EQ(chest.slots[27 + 27 + column].min.x - chest.panelMin.x,
                    hotbar.x - player.panelMin.x);
  }
  const ImVec2 firstMain = player.slots[9].min;
  EXPECT_EQ(pointIn(player, ImVec2(firstMain.x - 4, firstMain.y + 10)).kind,
            WindowPoint::Kind::Panel);
  EXPECT_EQ(pointIn(player, ImVec2(player.panelMin.x - 1, 300)).kind, WindowPoint::Kind::Outside);
  EXPECT_EQ(pointIn(player, ImVec2(400, 2)).kind, WindowPoint::Kind::Outside);
}
