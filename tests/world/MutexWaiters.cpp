#include "MutexWaiters.h"

#include <sys/syscall.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

// /proc/self/task/<id>/syscall starts with the number of the system call a
// sleeping thread is in, followed by its arguments; a futex wait's first
// argument is the address of the futex word, which for a POSIX mutex is the
// mutex itself.
bool someThreadWaitsOnFutex(std::uintptr_t address) {
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream in(task.path() / "syscall");
    long number = -1;
    std::string firstArgument;
    if (in >> number >> firstArgument && number == SYS_futex &&
        std::stoull(firstArgument, nullptr, 16) == address) {
      return true;
    }
  }
  return false;
}

} // namespace

bool waitUntilAThreadBlocksOn(std::mutex& mutex) {
  const auto address = reinterpret_cast<std::uintptr_t>(mutex.native_handle());
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!someThreadWaitsOnFutex(address)) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}
