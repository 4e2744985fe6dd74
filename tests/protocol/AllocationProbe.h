#ifndef ALLOCATION_PROBE_H
#define ALLOCATION_PROBE_H

#include <cstddef>

// Watches the largest single allocation made through operator new, to show
// that sizes read from the wire do not turn into memory before their bytes
// arrive.
namespace AllocationProbe {

void reset();
std::size_t largest();

} // namespace AllocationProbe

#endif
