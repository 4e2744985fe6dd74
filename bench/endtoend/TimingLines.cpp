#include "TimingLines.h"

#include <cstdio>
#include <string>

std::optional<TickRecord> parseTick(const TimedLine& line) {
  TickRecord tick;
  tick.time = line.time;
  if (std::sscanf(line.text.c_str(),
                  "tick %ld took %ld us, started %ld us late, drew %ld chunk meshes, moved the "
                  "player in %ld us",
                  &tick.number, &tick.micros, &tick.lateMicros, &tick.meshes,
                  &tick.moveMicros) != 5)
    return std::nullopt;
  return tick;
}

std::optional<FrameRecord> parseFrame(const TimedLine& line) {
  FrameRecord frame;
  frame.time = line.time;
  int end = 0;
  if (std::sscanf(line.text.c_str(), "frame %ld took %ld us%n", &frame.number, &frame.micros,
                  &end) != 2 ||
      end == 0)
    return std::nullopt;
  const std::string rest = line.text.substr(std::size_t(end));
  const std::size_t culled = rest.find(", culled ");
  if (culled != std::string::npos &&
      std::sscanf(rest.c_str() + culled, ", culled %ld of %ld chunks, showed %ld of %ld sections",
                  &frame.culledChunks, &frame.chunks, &frame.shownSections,
                  &frame.sections) != 4)
    return std::nullopt;
  const std::size_t rendered = rest.find(", rendered ");
  if (rendered == std::string::npos ||
      std::sscanf(rest.c_str() + rendered, ", rendered %ld triangles", &frame.triangles) != 1)
    return std::nullopt;
  return frame;
}
