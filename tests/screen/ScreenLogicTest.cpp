// The pieces of what the player sees that need no window: the sky's colour
// by time of day, settings and command-line options.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <OgreDataStream.h>

#include "GamePages/ClientSettings.h"
#include "GamePages/KeyNames.h"
#include "GamePages/LaunchOptions.h"
#include "Sky.h"

namespace {

using namespace GamePages;

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
  EXPECT_EQ(neo.mouseSensitivity, 1.0);
  EXPECT_FALSE(neo.invertMouse);
  EXPECT_EQ(neo.sky, SkyMode::DayNight);
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
      "[Graphics]\nSky=black\n[Player]\nName=Alice\nPassword=secret\n"
      "[Server]\nHostname=example.org\nPort=25565\n");
  const MovementKeys movement = {OIS::KC_I,      OIS::KC_S,     OIS::KC_D,
                                 OIS::KC_J,      OIS::KC_RSHIFT, OIS::KC_LSHIFT};
  EXPECT_EQ(settings.keys.movement, movement);
  EXPECT_EQ(settings.keys.run, OIS::KC_LCONTROL);
  EXPECT_EQ(settings.keys.connect, OIS::KC_C);
  EXPECT_EQ(settings.keys.quit, OIS::KC_ESCAPE);
  EXPECT_EQ(settings.keys.returnToPosition, OIS::KC_HOME);
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
      {"[Graphics]\nSky=blue\n", "Graphics Sky must be day-night or black, not \"blue\""},
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

LaunchOptions launch(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "ferrowick");
  return parseLaunchOptions(static_cast<int>(arguments.size()), arguments.data());
}

TEST(LaunchOptions, ServerAndNameOverrideForOneRun) {
  const LaunchOptions none = launch({});
  EXPECT_FALSE(none.host || none.port || none.name);
  const LaunchOptions both = launch({"--server", "play.example.org:25566", "--name=Carol"});
  EXPECT_EQ(both.host, "play.example.org");
  EXPECT_EQ(both.port, "25566");
  EXPECT_EQ(both.name, "Carol");
  const LaunchOptions v6 = launch({"--server=[2001:db8::7]:25565"});
  EXPECT_EQ(v6.host, "2001:db8::7");
  EXPECT_EQ(v6.port, "25565");

  const std::vector<std::pair<std::vector<const char*>, std::string>> bad = {
      {{"--port", "1"}, "unknown option \"--port\""},
      {{"localhost"}, "unknown option \"localhost\""},
      {{"--server"}, "option --server needs a value"},
      {{"--name="}, "option --name needs a value"},
      {{"--server", "localhost"}, "--server needs HOST:PORT, not \"localhost\""},
      {{"--server", ":25565"}, "--server needs HOST:PORT"},
      {{"--server", "localhost:"}, "--server needs HOST:PORT"},
  };
  for (const auto& [arguments, message] : bad) {
    try {
      launch(arguments);
      ADD_FAILURE() << "accepted " << arguments.front();
    } catch (const std::invalid_argument& error) {
      EXPECT_EQ(std::string(error.what()).rfind(message, 0), 0u) << error.what();
    }
  }
}

} // namespace
