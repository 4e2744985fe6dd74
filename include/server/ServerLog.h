#ifndef SERVER_LOG_H
#define SERVER_LOG_H

#include <functional>
#include <mutex>
#include <sstream>
#include <string>

namespace Server {

// One line per event, from any thread; lines never interleave.
class ServerLog {
public:
  using Sink = std::function<void(const std::string& line)>;

  // Lines go to standard output, flushed one by one.
  ServerLog();
  explicit ServerLog(Sink sink);

  template <typename... Parts> void line(const Parts&... parts) {
    std::ostringstream text;
    (text << ... << parts);
    write(text.str());
  }

  void write(const std::string& line);

private:
  std::mutex m_mutex;
  Sink m_sink;
};

} // namespace Server

#endif
