#ifndef PAGE_FIXTURE_H
#define PAGE_FIXTURE_H

// A game page in a real window, in a working directory of its own whose
// "tessellar.cfg" points at a scripted server in the test: the test plays the
// server's side packet by packet and pumps the page's I/O in between.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "GamePages/Tessellar.h"
#include "OutputCapture.h"
#include "PlayedServerTest.h"
#include "RunDirectory.h"

class PageTest : public PlayedServerTest {
protected:
  // Configuration sections added to the generated "tessellar.cfg" (the
  // "Server" and "Player" sections are always written).
  virtual std::string extraConfiguration() const { return ""; }
  // False: the test builds its pages itself.
  virtual bool pageInSetUp() const { return true; }
  // Rewrites "tessellar.cfg" with the given extra sections.
  void writeConfiguration(const std::string& extra);

  void SetUp() override;
  void TearDown() override;

  void pressKey(OIS::KeyCode key);
  // Keys and the pointer from the real devices, which the page reads every
  // frame.
  static void xdotool(const std::vector<std::string>& arguments);

  // The server's position correction, and the client's echo of it.
  void correct(double x, double y, double z);
  // Presses "8" and plays the server's side of the handshake and login.
  void connectAndLogIn();
  // Sends a packet whose effect shows and pumps until the page has handled
  // it: every packet sent before it has been handled then too.
  void sync();
  // True when the client sent nothing more after its pending I/O ran.
  bool clientIsQuiet();
  // A packet that makes the client flush its queue without answering.
  void nudge();

  static TSPackets::Prechunk prechunk(std::int32_t chunkX, std::int32_t chunkZ, bool load);

  std::unique_ptr<GamePages::Tessellar> m_page;
  OutputCapture* m_capture = nullptr;

private:
  // Runs the page's pending I/O on the game's loop.
  void pump() override;

  // The column the last sync loaded.
  std::optional<ChunkPosition> m_marker;
  RunDirectory m_directory{"plugins.cfg", "ogre.cfg", "resources.cfg", "media"};
  std::filesystem::path m_previousDirectory;
};

#endif
