#include "FailingAllocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> armed{false};
std::atomic<bool> failed{false};
std::atomic<long> remaining{0};
std::atomic<std::size_t> threshold{0};

bool shouldFail(std::size_t size) {
  if (!armed.load() || size < threshold.load())
    return false;
  if (remaining.fetch_sub(1) > 0)
    return false;
  armed = false;
  failed = true;
  return true;
}

} // namespace

void failAnAllocation(long successes, std::size_t minimumBytes) {
  failed = false;
  remaining = successes;
  threshold = minimumBytes;
  armed = true;
}

bool allocationFailed() {
  armed = false;
  return failed.load();
}

// Every form of the global operators is replaced, so that whatever a library
// allocates with one form and frees with another stays malloc and free.
void* operator new(std::size_t size) {
  if (shouldFail(size))
    throw std::bad_alloc();
  if (void* memory = std::malloc(size == 0 ? 1 : size))
    return memory;
  throw std::bad_alloc();
}

void* operator new[](std::size_t size) { return operator new(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}

void operator delete(void* memory) noexcept { std::free(memory); }

void operator delete[](void* memory) noexcept { std::free(memory); }

void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
