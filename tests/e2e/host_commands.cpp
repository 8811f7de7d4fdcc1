#include "e2e/host_commands.h"

#include <sstream>

namespace kivo::e2e {

namespace {

constexpr long kRawMax = 65535;
constexpr long kRawCentre = 32768;

bool readRaw(std::istringstream& words, std::uint32_t& value)
{
    long raw = -1;
    if (!(words >> raw) || raw < 0 || raw > kRawMax)
        return false;
    value = static_cast<std::uint32_t>(raw);
    return true;
}

}  // namespace

std::optional<HostCommand> parseHostCommand(std::string_view line, int buttons, std::string& error)
{
    std::istringstream words{std::string(line)};
    std::string verb;
    words >> verb;
    HostCommand command{HostCommand::Kind::Labels};
    if (verb == "axes") {
        command.kind = HostCommand::Kind::Axes;
        if (!readRaw(words, command.x) || !readRaw(words, command.y)) {
            error = "axes needs two values from 0 to 65535";
            return std::nullopt;
        }
    } else if (verb == "press" || verb == "release") {
        command.kind = verb == "press" ? HostCommand::Kind::Press : HostCommand::Kind::Release;
        if (!(words >> command.button) || command.button < 1 || command.button > buttons) {
            error = verb + " needs a button from 1 to " + std::to_string(buttons);
            return std::nullopt;
        }
    } else if (verb == "unplug") {
        command.kind = HostCommand::Kind::Unplug;
    } else if (verb == "plug") {
        command.kind = HostCommand::Kind::Plug;
    } else if (verb != "labels") {
        error = "unknown command '" + verb + "'";
        return std::nullopt;
    }
    std::string extra;
    if (words >> extra) {
        error = "unexpected '" + extra + "' after " + verb;
        return std::nullopt;
    }
    return command;
}

std::int16_t sdlAxisFromRaw(std::uint32_t raw)
{
    return static_cast<std::int16_t>(static_cast<long>(raw) - kRawCentre);
}

}  // namespace kivo::e2e
