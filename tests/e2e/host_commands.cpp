#include "e2e/host_commands.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

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

[[noreturn]] void usage(const char* why)
{
    std::fprintf(stderr, "kivo-e2e-host: %s\nusage: kivo-e2e-host --buttons N [--rest X Y] [--unwatched]\n", why);
    std::exit(2);
}

long number(const char* text, long low, long high)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < low || value > high)
        usage("a number is out of range");
    return value;
}

}  // namespace

HostOptions readHostOptions(int argc, char** argv)
{
    HostOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--buttons" && i + 1 < argc) {
            options.buttons = static_cast<int>(number(argv[++i], 1, 32));
        } else if (option == "--rest" && i + 2 < argc) {
            options.restX = static_cast<std::uint32_t>(number(argv[++i], 0, kRawMax));
            options.restY = static_cast<std::uint32_t>(number(argv[++i], 0, kRawMax));
        } else if (option == "--unwatched") {
            options.watched = false;
        } else {
            usage(("unexpected argument '" + option + "'").c_str());
        }
    }
    if (options.buttons == 0)
        usage("--buttons is required");
    return options;
}

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
    } else if (verb == "pov") {
        command.kind = HostCommand::Kind::Pov;
        if (!readRaw(words, command.pov)) {
            error = "pov needs a value from 0 to 65535";
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

void runHostCommand(std::string_view line, int buttons, const HostActions& host)
{
    std::string error;
    const std::optional<HostCommand> command = parseHostCommand(line, buttons, error);
    if (!command) {
        std::fprintf(stderr, "kivo-e2e-host: %s\n", error.c_str());
        return;
    }
    using Kind = HostCommand::Kind;
    switch (command->kind) {
        case Kind::Axes:
            host.moveTo(command->x, command->y);
            break;
        case Kind::Pov:
            host.pointDpad(command->pov);
            break;
        case Kind::Press:
        case Kind::Release:
            host.setButton(command->button, command->kind == Kind::Press);
            break;
        case Kind::Labels:
            host.printLabels();
            return;
        case Kind::Unplug:
        case Kind::Plug:
            host.setPlugged(command->kind == Kind::Plug);
            break;
    }
    host.changed();
}

std::int16_t sdlAxisFromRaw(std::uint32_t raw)
{
    return static_cast<std::int16_t>(static_cast<long>(raw) - kRawCentre);
}

}  // namespace kivo::e2e
