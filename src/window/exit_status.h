#pragma once

namespace kivo {

// How a Kivo process ends: one list beneath the window logic, which ends its event loop with them.
enum ExitStatus : int {
    kExitSuccess = 0,
    // No window to run (no display, a settings file another Kivo holds), or its loop failed.
    kExitFailure = 1,
    kExitSaveFailed = kExitFailure,
    kExitUsage = 2,
    kExitWindowLost = 3,
};

}  // namespace kivo
