#ifndef BENCH_ENDTOEND_PROCESS_STATUS_H
#define BENCH_ENDTOEND_PROCESS_STATUS_H

// What /proc tells about a running process: memory and processor time.

#include <sys/types.h>

#include <map>
#include <string>

// A field of /proc/<pid>/status in KiB, such as "VmRSS" or "VmHWM"; -1 when
// the process or the field is not there.
long statusKiB(pid_t pid, const std::string& field);

// False once the process has ended (also while it waits to be reaped).
bool isRunning(pid_t pid);

// Processor time (user and system) so far, in seconds.
double processorSeconds(pid_t pid);

// Processor time so far per thread, by "name (thread id)"; the main thread
// is the one whose id is the process id.
std::map<std::string, double> threadProcessorSeconds(pid_t pid);

#endif
