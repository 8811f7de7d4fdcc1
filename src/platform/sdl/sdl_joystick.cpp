#include "platform/sdl/sdl_joystick.h"

#include "platform/messages.h"
#include "platform/sdl/sdl_records.h"

#include <SDL.h>

#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

namespace kivo {
namespace {

constexpr const char* kSessionBus = "DBUS_SESSION_BUS_ADDRESS";

// SDL connects to the session bus as it starts, for the screen saver, input methods and thread
// priorities, none of which reading a joystick needs, and libdbus waits without a deadline for a
// bus that accepts the connection but never answers, with Kivo's window not yet shown. Given an
// address it cannot use, SDL gives up the bus for good, at once; the address is put back after.
// Kivo starts SDL before Qt, while no other thread runs that could read the environment.
bool startWithoutSessionBus()
{
    const char* address = std::getenv(kSessionBus);
    const std::optional<std::string> sessionBus =
        address != nullptr ? std::optional<std::string>(address) : std::nullopt;
    setenv(kSessionBus, "disabled:", 1);
    const bool started = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    if (sessionBus)
        setenv(kSessionBus, sessionBus->c_str(), 1);
    else
        unsetenv(kSessionBus);
    return started;
}

class FirstSdlJoystick final : public SdlJoystick {
public:
    FirstSdlJoystick()
    {
        // SDL would otherwise catch SIGINT and SIGTERM and turn them into quit events nobody reads.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        started_ = startWithoutSessionBus();
        if (!started_) {
            reportProblem(std::string("no joystick can be read, SDL's joystick subsystem did not start: ") +
                          SDL_GetError());
            return;
        }
        // Nobody drains SDL's event queue; the state is read directly after SDL_JoystickUpdate.
        SDL_JoystickEventState(SDL_IGNORE);
    }

    ~FirstSdlJoystick() override
    {
        if (!started_) {
            return;
        }
        if (joystick_ != nullptr) {
            SDL_JoystickClose(joystick_);
        }
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    FirstSdlJoystick(const FirstSdlJoystick&) = delete;
    FirstSdlJoystick& operator=(const FirstSdlJoystick&) = delete;

    bool capabilities(unsigned deviceId, JOYCAPS& caps) override
    {
        caps = JOYCAPS{};
        if (!refresh(deviceId)) {
            return false;
        }
        fillCapabilities(joystick_, caps);
        return true;
    }

    bool position(unsigned deviceId, JOYINFOEX& info) override
    {
        if (!refresh(deviceId)) {
            return false;
        }
        fillPosition(joystick_, info);
        return true;
    }

    JoystickNode node() const override
    {
        if (joystick_ == nullptr) {
            return {};
        }
        const char* path = SDL_JoystickPath(joystick_);
        return {true, path != nullptr ? path : ""};
    }

private:
    // Brings SDL's joystick state and device list up to date and keeps the first joystick
    // open; a joystick plugged in late is opened here, one unplugged is closed.
    bool refresh(unsigned deviceId)
    {
        if (!started_ || deviceId != 0) {
            return false;
        }
        SDL_JoystickUpdate();
        if (joystick_ != nullptr && !SDL_JoystickGetAttached(joystick_)) {
            SDL_JoystickClose(joystick_);
            joystick_ = nullptr;
        }
        if (joystick_ == nullptr && SDL_NumJoysticks() > 0) {
            joystick_ = SDL_JoystickOpen(0);
        }
        const bool missing = joystick_ == nullptr;
        // Once at start-up without one, and once each time one goes away.
        if (missing && !saidMissing_) {
            reportProblem(
                "no joystick found; check that it is plugged in and that you may read it "
                "(ls -lL /dev/input/by-id/)");
        }
        saidMissing_ = missing;
        return !missing;
    }

    bool started_ = false;
    bool saidMissing_ = false;
    SDL_Joystick* joystick_ = nullptr;
};

}  // namespace

std::unique_ptr<SdlJoystick> makeSdlJoystick()
{
    return std::make_unique<FirstSdlJoystick>();
}

std::string listSdlJoysticks()
{
    // Started as Kivo starts it, and stopped again at the end.
    const FirstSdlJoystick started;
    std::ostringstream list;
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        SDL_Joystick* joystick = SDL_JoystickOpen(index);
        if (joystick == nullptr) {
            list << "Joystick " << index + 1 << ": cannot be opened: " << SDL_GetError() << '\n';
            continue;
        }
        const char* name = SDL_JoystickName(joystick);
        const char* path = SDL_JoystickPath(joystick);
        list << "Joystick " << index + 1 << ": " << (name != nullptr ? name : "(no name)") << ", "
             << SDL_JoystickNumButtons(joystick) << " buttons" << (path != nullptr ? std::string(", ") + path : "")
             << (index == 0 ? " (Kivo uses this one)" : "") << '\n';
        SDL_JoystickClose(joystick);
    }
    if (count <= 0) {
        list << "No joystick found.\n";
    }
    return list.str();
}

}  // namespace kivo
