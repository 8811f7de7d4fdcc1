#pragma once

#include "platform/sdl/device_watch.h"

#include <poll.h>

#include <vector>

namespace kivo {

// What one round of an event loop does with a watch: hands back each descriptor it waits on that
// is readable now. Returns how many of them the watch announced.
inline int eventLoopRound(DescriptorWatch& watch)
{
    std::vector<pollfd> waits;
    for (const int descriptor : watch.descriptors())
        waits.push_back({descriptor, POLLIN, 0});
    if (poll(waits.data(), waits.size(), 0) <= 0)
        return 0;
    int announced = 0;
    for (const pollfd& wait : waits) {
        if (wait.revents != 0 && watch.happened(wait.fd))
            ++announced;
    }
    return announced;
}

}  // namespace kivo
