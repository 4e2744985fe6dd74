#include "Inflate.h"

#include <algorithm>
#include <limits>
#include <string>

#include <zlib.h>

#include "WireFault.h"

namespace Inflate {

namespace {

// Output room before the first growth: a full chunk column fits at once.
constexpr std::size_t FirstStep = 128 * 1024;
// Beyond zlib's bound: a stream flushed now and then carries a few bytes
// per flush point.
constexpr std::size_t InputSlack = 1024;

// A zlib inflate stream over one input block, always ended.
class Stream {
public:
  Stream(const unsigned char *data, std::size_t size) {
    m_stream.next_in = const_cast<unsigned char *>(data);
    m_stream.avail_in = static_cast<uInt>(size);
    if (inflateInit(&m_stream) != Z_OK) {
      throw "failed to initialize zlib";
    }
  }
  ~Stream() { inflateEnd(&m_stream); }
  Stream(const Stream &) = delete;
  Stream &operator=(const Stream &) = delete;

  // Inflates into [out, out + space); returns zlib's status.
  int run(signed char *out, std::size_t space) {
    m_stream.next_out = reinterpret_cast<unsigned char *>(out);
    m_stream.avail_out =
        static_cast<uInt>(std::min<std::size_t>(space, std::numeric_limits<uInt>::max()));
    const int status = inflate(&m_stream, Z_FINISH);
    m_produced += reinterpret_cast<signed char *>(m_stream.next_out) - out;
    return status;
  }

  std::size_t produced() const { return m_produced; }
  bool inputLeft() const { return m_stream.avail_in > 0; }
  const char *message(int status) const { return m_stream.msg ? m_stream.msg : zError(status); }

private:
  z_stream m_stream{};
  std::size_t m_produced = 0;
};

} // namespace

std::size_t inputBound(std::size_t maxOutput) {
  return compressBound(static_cast<uLong>(maxOutput)) + InputSlack;
}

std::vector<signed char> inflateBounded(const unsigned char *data, std::size_t size,
                                        std::size_t maxOutput) {
  if (size > std::numeric_limits<uInt>::max()) {
    throw WireFault("compressed block of " + std::to_string(size) + " bytes is too long");
  }
  // One byte beyond the bound shows a stream that would go on past it.
  const std::size_t room =
      maxOutput == std::numeric_limits<std::size_t>::max() ? maxOutput : maxOutput + 1;
  Stream stream(data, size);
  std::vector<signed char> output(std::min(room, FirstStep));
  for (;;) {
    const int status =
        stream.run(output.data() + stream.produced(), output.size() - stream.produced());
    if (status == Z_STREAM_END && stream.produced() <= maxOutput) {
      output.resize(stream.produced());
      return output;
    }
    if (status != Z_BUF_ERROR && status != Z_STREAM_END) {
      throw WireFault(std::string("corrupt compressed block: ") + stream.message(status));
    }
    if (stream.produced() < output.size()) {
      if (stream.inputLeft()) {
        throw WireFault("compressed block stalls before the end of its stream");
      }
      throw WireFault("compressed block ends before the end of its stream");
    }
    if (output.size() == room) {
      throw WireFault("compressed block inflates to more than " +
                               std::to_string(maxOutput) + " bytes");
    }
    output.resize(std::min(room, 2 * output.size()));
  }
}

} // namespace Inflate
