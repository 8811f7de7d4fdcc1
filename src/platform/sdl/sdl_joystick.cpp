#include "platform/sdl/sdl_joystick.h"

#include "platform/messages.h"
#include "platform/sdl/evdev_left_out.h"
#include "platform/sdl/sdl_records.h"

#include <SDL.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace kivo {
namespace {

class ChosenSdlJoystick final : public SdlJoystick {
public:
    explicit ChosenSdlJoystick(JoystickChoice choice) : choice_(std::move(choice))
    {
        // SDL would otherwise catch SIGINT and SIGTERM and turn them into quit events nobody reads.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        // The game-controller layer also starts the joysticks; it knows where a pad's D-pad is.
        started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
        if (!started_) {
            reportProblem(std::string("no joystick can be read, SDL's joystick subsystem did not start: ") +
                          SDL_GetError());
            return;
        }
        // Nobody drains SDL's event queue; the state is read directly after SDL_JoystickUpdate.
        SDL_JoystickEventState(SDL_IGNORE);
        SDL_GameControllerEventState(SDL_IGNORE);
    }

    ~ChosenSdlJoystick() override
    {
        if (!started_) {
            return;
        }
        close();
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }

    ChosenSdlJoystick(const ChosenSdlJoystick&) = delete;
    ChosenSdlJoystick& operator=(const ChosenSdlJoystick&) = delete;

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
        fillPosition(joystick_, controller_, info);
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

    // Every device SDL offers as a joystick, in SDL's order, what each is, and its buttons when
    // withButtons (which opens each).
    std::vector<FoundJoystick> found(bool withButtons)
    {
        std::vector<FoundJoystick> devices;
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            const char* name = SDL_JoystickNameForIndex(index);
            const char* path = SDL_JoystickPathForIndex(index);
            FoundJoystick& device = devices.emplace_back(
                FoundJoystick{name != nullptr ? name : "(no name)", 0, path != nullptr ? path : ""});
            device.leftOut = leftOutOf(SDL_JoystickGetDeviceInstanceID(index), device.path);
            if (!withButtons)
                continue;
            if (SDL_Joystick* joystick = SDL_JoystickOpen(index)) {
                device.buttons = SDL_JoystickNumButtons(joystick);
                SDL_JoystickClose(joystick);
            }
        }
        return devices;
    }

    const JoystickChoice& choice() const { return choice_; }

private:
    // Brings SDL's joystick state and device list up to date and keeps the chosen joystick
    // open; a joystick plugged in late is opened here, one unplugged is closed.
    bool refresh(unsigned deviceId)
    {
        if (!started_ || deviceId != 0) {
            return false;
        }
        SDL_JoystickUpdate();
        if (joystick_ != nullptr && !SDL_JoystickGetAttached(joystick_)) {
            close();
        }
        if (joystick_ == nullptr && SDL_NumJoysticks() > 0) {
            if (const auto chosen = chooseJoystick(found(false), choice_))
                open(static_cast<int>(*chosen));
        }
        const bool missing = joystick_ == nullptr;
        // Once at start-up without one, and once each time one goes away.
        if (missing && !saidMissing_) {
            reportProblem((chosen(choice_) ? "no joystick matches " + describeChoice(choice_)
                                           : std::string("no joystick found")) +
                          "; check that it is plugged in and that you may read it (ls -lL /dev/input/by-id/)");
        }
        saidMissing_ = missing;
        return !missing;
    }

    // Opened as a game controller where SDL knows the pad as one, for its D-pad.
    void open(int index)
    {
        controller_ = SDL_IsGameController(index) ? SDL_GameControllerOpen(index) : nullptr;
        joystick_ = controller_ != nullptr ? SDL_GameControllerGetJoystick(controller_) : SDL_JoystickOpen(index);
    }

    void close()
    {
        if (controller_ != nullptr) {
            SDL_GameControllerClose(controller_);
        } else if (joystick_ != nullptr) {
            SDL_JoystickClose(joystick_);
        }
        controller_ = nullptr;
        joystick_ = nullptr;
    }

    // Asked once for each device SDL adds, as that opens its node.
    LeftOut leftOutOf(SDL_JoystickID device, const std::string& path)
    {
        const auto known = leftOutByDevice_.find(device);
        if (known != leftOutByDevice_.end())
            return known->second;
        return leftOutByDevice_.emplace(device, evdevLeftOut(path)).first->second;
    }

    JoystickChoice choice_;
    bool started_ = false;
    bool saidMissing_ = false;
    SDL_Joystick* joystick_ = nullptr;
    SDL_GameController* controller_ = nullptr;
    std::map<SDL_JoystickID, LeftOut> leftOutByDevice_;
};

}  // namespace

std::unique_ptr<SdlJoystick> makeSdlJoystick(JoystickChoice choice)
{
    return std::make_unique<ChosenSdlJoystick>(std::move(choice));
}

std::string listSdlJoysticks(const JoystickChoice& choice)
{
    // Started as Kivo starts it, and stopped again at the end.
    ChosenSdlJoystick started(choice);
    return joystickList(started.found(true), started.choice());
}

}  // namespace kivo
