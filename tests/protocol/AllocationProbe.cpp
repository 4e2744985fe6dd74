#include "AllocationProbe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> largestSize{0};

} // namespace

void AllocationProbe::reset() { largestSize = 0; }

std::size_t AllocationProbe::largest() { return largestSize; }

void* operator new(std::size_t size) {
  std::size_t seen = largestSize;
  while (size > seen && !largestSize.compare_exchange_weak(seen, size)) {
  }
  if (void* memory = std::malloc(size == 0 ? 1 : size)) {
    return memory;
  }
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept { std::free(memory); }

void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
