#ifndef TESTS_WORLD_FAILING_ALLOCATIONS_H
#define TESTS_WORLD_FAILING_ALLOCATIONS_H

#include <cstddef>

// A test program that links FailingAllocations.cpp has its global operator
// new replaced: once armed, the allocation of at least `minimumBytes` that
// follows `successes` such allocations (on any thread) throws
// std::bad_alloc, once.
void failAnAllocation(long successes, std::size_t minimumBytes = 0);
// Disarms; true when the armed allocation failed.
bool allocationFailed();

#endif
