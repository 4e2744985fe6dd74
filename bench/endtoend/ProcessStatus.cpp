#include "ProcessStatus.h"

#include <dirent.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "TextFile.h"

namespace {

struct StatLine {
  bool valid = false;
  std::string name;
  char state = '?';
  double seconds = 0;
};

// /proc/.../stat: "pid (name) state ..." with utime and stime the 14th and
// 15th fields; the name may hold spaces and parentheses, so it ends at the
// last ')'.
StatLine readStat(const std::string& path) {
  StatLine stat;
  const std::string text = readTextFile(path);
  const std::size_t open = text.find('(');
  const std::size_t close = text.rfind(')');
  if (open == std::string::npos || close == std::string::npos || close < open)
    return stat;
  stat.name = text.substr(open + 1, close - open - 1);
  std::istringstream rest(text.substr(close + 1));
  std::string field;
  rest >> stat.state;
  // Fields 4 to 13 come before utime.
  for (int i = 4; i <= 13 && rest >> field; ++i) {
  }
  unsigned long long user = 0;
  unsigned long long system = 0;
  if (!(rest >> user >> system))
    return stat;
  stat.seconds = double(user + system) / double(sysconf(_SC_CLK_TCK));
  stat.valid = true;
  return stat;
}

std::string procPath(pid_t pid) { return "/proc/" + std::to_string(pid); }

} // namespace

long statusKiB(pid_t pid, const std::string& field) {
  std::istringstream status(readTextFile(procPath(pid) + "/status"));
  std::string line;
  while (std::getline(status, line))
    if (line.compare(0, field.size() + 1, field + ":") == 0)
      return std::stol(line.substr(field.size() + 1));
  return -1;
}

bool isRunning(pid_t pid) {
  const StatLine stat = readStat(procPath(pid) + "/stat");
  return stat.valid && stat.state != 'Z' && stat.state != 'X';
}

double processorSeconds(pid_t pid) { return readStat(procPath(pid) + "/stat").seconds; }

std::map<std::string, double> threadProcessorSeconds(pid_t pid) {
  std::map<std::string, double> threads;
  const std::string tasks = procPath(pid) + "/task";
  if (DIR* dir = opendir(tasks.c_str())) {
    while (dirent* entry = readdir(dir)) {
      const std::string id = entry->d_name;
      if (id == "." || id == "..")
        continue;
      const StatLine stat = readStat(tasks + "/" + id + "/stat");
      if (stat.valid)
        threads[stat.name + " (" + (id == std::to_string(pid) ? "main" : id) + ")"] =
            stat.seconds;
    }
    closedir(dir);
  }
  return threads;
}
