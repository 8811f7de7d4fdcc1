#pragma once

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace kivo::test_support {

// Root may read and write anything, so permission cases run in a child process that gives up
// root first; it ends with status 99 when it cannot.
inline void runAsOrdinaryUser()
{
    if (::geteuid() != 0)
        return;
    const passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
        ::setuid(nobody->pw_uid) != 0) {
        std::_Exit(99);
    }
}

}  // namespace kivo::test_support
