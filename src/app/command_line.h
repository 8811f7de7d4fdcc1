#pragma once

#include <string>

namespace kivo {

enum class StartAction { Run, ShowHelp, ShowVersion, Refuse };

struct StartRequest {
    StartAction action = StartAction::Run;
    std::string refusal;
};

// Kivo takes no options but --help and --version.
StartRequest readCommandLine(int argc, const char* const* argv);
std::string helpText();
std::string versionText();

}  // namespace kivo
