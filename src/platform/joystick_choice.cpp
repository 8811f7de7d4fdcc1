#include "platform/joystick_choice.h"

#include "platform/ascii_case.h"

#include <algorithm>
#include <charconv>

namespace kivo {
namespace {

bool holdsIgnoringCase(std::string_view name, std::string_view part)
{
    return part.empty() ||
           !std::ranges::search(name, part, [](char x, char y) { return asciiUpper(x) == asciiUpper(y); }).empty();
}

const char* whyLeftOut(LeftOut leftOut)
{
    switch (leftOut) {
        case LeftOut::MotionSensors:
            return "a pad's motion sensors";
        case LeftOut::Touchpad:
            return "a touchpad";
        case LeftOut::NoJoystickButtons:
            return "it has no joystick button";
        case LeftOut::No:
            break;
    }
    return "";
}

std::string whyUsed(const JoystickChoice& choice)
{
    return chosen(choice) ? describeChoice(choice) : "the first joystick";
}

}  // namespace

std::optional<JoystickChoice> readJoystickChoice(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (end != text.data() + text.size())
        return JoystickChoice{0, std::string(text)};
    if (error != std::errc() || number < 1)
        return std::nullopt;
    return JoystickChoice{number, {}};
}

std::optional<std::size_t> chooseJoystick(const std::vector<FoundJoystick>& found, const JoystickChoice& choice)
{
    int number = 0;
    for (std::size_t index = 0; index < found.size(); ++index) {
        if (found[index].leftOut != LeftOut::No)
            continue;
        ++number;
        if (choice.number > 0 ? number == choice.number : holdsIgnoringCase(found[index].name, choice.namePart))
            return index;
    }
    return std::nullopt;
}

std::string joystickList(const std::vector<FoundJoystick>& found, const JoystickChoice& choice)
{
    const std::optional<std::size_t> used = chooseJoystick(found, choice);
    std::string list;
    int number = 0;
    for (std::size_t index = 0; index < found.size(); ++index) {
        const FoundJoystick& device = found[index];
        const std::string described = device.name + ", " + std::to_string(device.buttons) + " buttons" +
                                      (device.path.empty() ? std::string() : ", " + device.path);
        if (device.leftOut != LeftOut::No) {
            list += "Left out: " + described + " (" + whyLeftOut(device.leftOut) + ", not a joystick)\n";
            continue;
        }
        list += "Joystick " + std::to_string(++number) + ": " + described;
        list += index == used ? " (Kivo uses this one: " + whyUsed(choice) + ")\n" : "\n";
    }
    if (found.empty())
        list += "No joystick found.\n";
    else if (!used && chosen(choice))
        list += "No joystick matches " + describeChoice(choice) + "; Kivo waits for one.\n";
    else if (!used)
        list += "No joystick found; Kivo waits for one.\n";
    return list;
}

bool chosen(const JoystickChoice& choice)
{
    return choice.number > 0 || !choice.namePart.empty();
}

std::string describeChoice(const JoystickChoice& choice)
{
    return "--joystick " + (choice.number > 0 ? std::to_string(choice.number) : choice.namePart);
}

}  // namespace kivo
