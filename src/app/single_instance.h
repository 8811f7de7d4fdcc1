#pragma once

#include <filesystem>
#include <functional>
#include <memory>

namespace kivo {

// One Kivo per settings file, so that two copies cannot overwrite each other's assignments. A
// start claims the file it will use; the claim lasts as long as this object.
class SingleInstance {
public:
    virtual ~SingleInstance() = default;

    // Calls bringToFront whenever a later start with the same settings file asks.
    virtual void listen(std::function<void()> bringToFront) = 0;
};

// What a start found when it claimed the settings file.
struct InstanceClaim {
    // Null when this start is to end.
    std::unique_ptr<SingleInstance> instance;
    // It ends because a running Kivo answered and brought its window to the front.
    bool runningKivoRaised = false;
};

// Claims settingsFile, named as the platform names it whichever path reached it; each platform
// has its own. When a running Kivo holds it, asks that Kivo to come to the front and says so
// (reportAlreadyRunning); standard error says why when the claim fails otherwise.
InstanceClaim claimSingleInstance(const std::filesystem::path& settingsFile);

}  // namespace kivo
