#ifndef INFLATE_H
#define INFLATE_H

// Bounded inflation of one complete zlib stream (header and Adler-32 trailer).

#include <cstddef>
#include <vector>

namespace Inflate {

// The longest zlib stream worth reading for at most maxOutput inflated
// bytes: zlib's own bound for that much input, plus room for the few
// extra blocks (flush points, an empty last block) of other encoders.
std::size_t inputBound(std::size_t maxOutput);

// The inflated bytes. Throws WireFault as soon as the output would exceed
// maxOutput bytes, when the stream is corrupt, and when the input ends
// before the stream does. Output memory grows with the output actually
// produced, never ahead of it by more than a step.
std::vector<signed char> inflateBounded(const unsigned char *data, std::size_t size,
                                        std::size_t maxOutput);

} // namespace Inflate

#endif
