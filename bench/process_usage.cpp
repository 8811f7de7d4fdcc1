#include "process_usage.h"

#include <unistd.h>
#include <fstream>
#include <iterator>
#include <sstream>

namespace kivo::bench {
namespace {

std::string readProcFile(pid_t pid, const char* name)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/" + name);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

double cpuSeconds(pid_t pid)
{
    const std::string text = readProcFile(pid, "stat");
    // The command name may hold spaces; the fields are counted from the state after its ')'.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int index = 3; index <= 15 && fields >> field; ++index) {
        if (index >= 14) {  // utime and stime
            ticks += std::stod(field);
        }
    }
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long statusKilobytes(pid_t pid, std::string_view field)
{
    std::istringstream lines(readProcFile(pid, "status"));
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(field) && line.size() > field.size() && line[field.size()] == ':') {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return -1;
}

std::string loadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

}  // namespace kivo::bench
