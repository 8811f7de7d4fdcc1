#pragma once

#include <sys/types.h>
#include <string>
#include <string_view>

namespace kivo::bench {

// User plus system time a process has spent, in seconds, from /proc/<pid>/stat.
double cpuSeconds(pid_t pid);

// A "kB" figure of /proc/<pid>/status such as VmRSS or VmHWM; -1 when it is missing.
long statusKilobytes(pid_t pid, std::string_view field);

// The first three figures of /proc/loadavg, for judging the measurements that follow.
std::string loadAverage();

}  // namespace kivo::bench
