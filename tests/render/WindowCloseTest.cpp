#include <thread>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ScratchRunDirectory.h"
#include "TestShell.h"
#include "XWindowCloser.h"

namespace {
class CountingShell : public TestShell {
public:
  int closedCalls = 0;
  void windowClosed() override { ++closedCalls; }
  using MyOgre::windowClosed;
};

int countLines(const std::string& text, const std::string& line) {
  int count = 0;
  for (std::size_t at = text.find(line + "\n"); at != std::string::npos; at = text.find(line + "\n", at + 1)) {
    ++count;
  }
  return count;
}

// The client's top level showing the shell until the window goes away.
class ClosingFromOutside : public testing::Test {
protected:
  void SetUp() override { scratch.enter(); }

  unsigned long waitForWindow(ChildProcess& client) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline && !client.poll()) {
      const std::string output = client.standardOutput();
      const std::size_t at = output.find("window ");
      if (at != std::string::npos && output.find('\n', at) != std::string::npos) {
        return std::stoul(output.substr(at + 7));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return 0;
  }

  void expectCleanEnd(ChildProcess& client) {
    const int status = client.wait(std::chrono::seconds(30));
    EXPECT_EQ(exitCode(status), 0) << client.standardError();
    EXPECT_GE(countLines(client.standardOutput(), "window is closed"), 1) << client.standardOutput();
    EXPECT_EQ(client.standardError().find("fatal"), std::string::npos) << client.standardError();
    EXPECT_EQ(client.standardError().find("OgreException"), std::string::npos) << client.standardError();
  }

  ScratchRunDirectory scratch;
};
}  // namespace

TEST(WindowClosed, ReleasesInputAndEndsEveryLaterFrame) {
  ScratchRunDirectory scratch;
  scratch.enter();
  CountingShell shell;
  ASSERT_TRUE(shell.update(true));
  sendDeleteWindowMessage(shell.windowHandle());
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (shell.closedCalls == 0 && std::chrono::steady_clock::now() < deadline) {
    EXPECT_TRUE(shell.update(false));
  }
  ASSERT_EQ(shell.closedCalls, 1);
  EXPECT_TRUE(shell.m_window->isClosed());

  for (OIS::KeyCode key : {OIS::KC_W, OIS::KC_ESCAPE, OIS::KC_F9, OIS::KC_LSHIFT}) {
    EXPECT_FALSE(shell.isKeyDown(key)) << key;
  }
  EXPECT_FALSE(shell.isMouseButtonDown(OIS::MB_Left));
  EXPECT_TRUE(shell.update(false));

  testing::internal::CaptureStdout();
  EXPECT_FALSE(shell.update(true));
  EXPECT_FALSE(shell.update(true));
  EXPECT_EQ(countLines(testing::internal::GetCapturedStdout(), "window is closed"), 2);
  EXPECT_EQ(shell.closedCalls, 3);
}

// The two ways a window goes away from outside: a window manager's close
// button, and the window destroyed under the program.
struct Closer {
  const char* name;
  void (*close)(unsigned long window);
};

void PrintTo(const Closer& closer, std::ostream* out) { *out << closer.name; }

class ClosingFromOutsideBy : public ClosingFromOutside, public testing::WithParamInterface<Closer> {};

TEST_P(ClosingFromOutsideBy, EndsTheProgramCleanly) {
  ChildProcess client({SHELL_PROBE, "shell"});
  const unsigned long window = waitForWindow(client);
  ASSERT_NE(window, 0u) << client.standardError();
  GetParam().close(window);
  expectCleanEnd(client);
}

INSTANTIATE_TEST_SUITE_P(Closers, ClosingFromOutsideBy,
                         testing::Values(Closer{"WindowManagersCloseMessage", sendDeleteWindowMessage},
                                         Closer{"DestroyedWindow", destroyWindow}),
                         [](const testing::TestParamInfo<Closer>& info) { return info.param.name; });
