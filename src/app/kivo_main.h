#pragma once

#include <functional>

namespace kivo {

// The platform's own start-up: builds the window and runs until it ends; gives the exit status.
using PlatformStart = std::function<int(int& argc, char** argv)>;

// What every platform's program does first: answers --help and --version, refuses any other
// argument, and otherwise hands over to the platform's start-up.
int runKivo(int argc, char** argv, const PlatformStart& start);

}  // namespace kivo
