#ifndef TESTS_WORLD_MUTEX_WAITERS_H
#define TESTS_WORLD_MUTEX_WAITERS_H

#include <mutex>

// Waits until another thread of this process sleeps in the kernel waiting for
// `mutex` (held by the caller), so that tests can hold a thread at a known
// point without hooks in the code under test. Returns false after a generous
// deadline.
bool waitUntilAThreadBlocksOn(std::mutex& mutex);

#endif
