#pragma once

#include "app/single_instance.h"

#include <QString>

#include <filesystem>
#include <memory>
#include <string>

namespace kivo {

// The claim of a start that holds the lock: the lock's descriptors, closed when the claim ends,
// and the socket named serverName through which later starts ask the window to the front.
std::unique_ptr<SingleInstance> makeFrontServer(int lock, int name, QString serverName);

// Why path, where this user's socket goes, is no use to this user: another user made something
// there first, in a temporary folder they share.
std::string takenByAnotherUser(const std::filesystem::path& path);

}  // namespace kivo
