#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "ScratchRunDirectory.h"

namespace {
struct ExitCase {
  const char* mode;
  const char* message;  // how the last line of standard error starts
  int status;
  bool pageExisted;  // destroyed before the message is written
};

std::string lastLine(const std::string& text) {
  const std::size_t end = text.find_last_not_of('\n');
  if (end == std::string::npos) return "";
  const std::size_t start = text.find_last_of('\n', end);
  return text.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
}

void expectExit(ChildProcess& client, const std::string& message, int status) {
  const int waitStatus = client.wait(std::chrono::seconds(60));
  const std::string errors = client.standardError();
  EXPECT_EQ(exitCode(waitStatus), status) << errors;
  EXPECT_EQ(lastLine(errors).rfind(message, 0), 0u) << errors;
}

void PrintTo(const ExitCase& c, std::ostream* out) { *out << c.mode; }

class MainExit : public testing::TestWithParam<ExitCase> {};
}  // namespace

TEST_P(MainExit, ReportsOneLineAndEndsWithoutAbort) {
  const ExitCase& c = GetParam();
  ChildProcess client({SHELL_PROBE, c.mode});
  expectExit(client, c.message, c.status);
  const std::string errors = client.standardError();
  const std::size_t destroyed = errors.find("page destroyed");
  EXPECT_EQ(destroyed != std::string::npos, c.pageExisted) << errors;
  if (c.pageExisted) {
    EXPECT_LT(destroyed, errors.rfind(c.message)) << errors;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, MainExit,
    testing::Values(ExitCase{"ogre-in-tick", "OgreException: InvalidStateException: probe failure", 1, true},
                    ExitCase{"asio-in-update", "fatal: Host not found", 1, true},
                    ExitCase{"runtime-error", "fatal: bad value for fov", 1, false},
                    ExitCase{"text", "fatal: cancelled configuration", 1, false},
                    ExitCase{"int", "fatal: unknown error", 1, false}),
    [](const testing::TestParamInfo<ExitCase>& info) {
      std::string name = info.param.mode;
      for (char& c : name) if (c == '-') c = '_';
      return name;
    });

// The engine's own failure once its window is open (failures before it:
// StartFailureTest).
TEST(MainExitFromEngine, UnknownResourceArchiveTypeAfterTheWindowOpened) {
  ScratchRunDirectory scratch("[General]\nNoSuchArchiveType=media\n");
  scratch.enter();
  ChildProcess client({SHELL_PROBE, "shell"});
  expectExit(client, "OgreException: ", 1);
  EXPECT_NE(client.standardError().find("NoSuchArchiveType"), std::string::npos) << client.standardError();
  EXPECT_EQ(client.standardOutput().find("window "), std::string::npos);  // the loop never ran
}
