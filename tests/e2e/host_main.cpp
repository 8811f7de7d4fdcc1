// Runs Kivo exactly as `kivo` does, on SDL's virtual joystick, driven line by line from
// standard input, so scripts can test and measure the whole program.
#include "app/linux/linux_program.h"
#include "e2e/host_commands.h"

#include <QFont>
#include <QLabel>
#include <QSocketNotifier>

#include <SDL.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

class VirtualStick {
public:
    explicit VirtualStick(const kivo::e2e::HostOptions& options) : options_(options) { plug(); }

    void setPlugged(bool plugged) { plugged ? plug() : unplug(); }

    void axes(std::uint32_t x, std::uint32_t y)
    {
        SDL_JoystickSetVirtualAxis(handle_, 0, kivo::e2e::sdlAxisFromRaw(x));
        SDL_JoystickSetVirtualAxis(handle_, 1, kivo::e2e::sdlAxisFromRaw(y));
    }
    void button(int fromOne, bool down) { SDL_JoystickSetVirtualButton(handle_, fromOne - 1, down ? 1 : 0); }
    // SDL's hat has the eight directions of a D-pad: a point of view between them is its nearest.
    void dpad(std::uint32_t pov)
    {
        static constexpr Uint8 kHats[] = {SDL_HAT_UP,   SDL_HAT_RIGHTUP,  SDL_HAT_RIGHT, SDL_HAT_RIGHTDOWN,
                                          SDL_HAT_DOWN, SDL_HAT_LEFTDOWN, SDL_HAT_LEFT,  SDL_HAT_LEFTUP};
        constexpr std::uint32_t eighth = 4500;
        SDL_JoystickSetVirtualHat(handle_, 0,
                                  pov >= 8 * eighth ? SDL_HAT_CENTERED : kHats[(pov + eighth / 2) / eighth % 8]);
    }

private:
    void plug()
    {
        if (handle_ != nullptr)
            return;
        index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, options_.buttons, 1);
        handle_ = index_ < 0 ? nullptr : SDL_JoystickOpen(index_);
        if (handle_ == nullptr) {
            std::fprintf(stderr, "kivo-e2e-host: no virtual joystick: %s\n", SDL_GetError());
            std::exit(1);
        }
        axes(options_.restX, options_.restY);
    }

    void unplug()
    {
        if (handle_ == nullptr)
            return;
        SDL_JoystickClose(handle_);
        handle_ = nullptr;
        SDL_JoystickDetachVirtual(index_);
    }

    kivo::e2e::HostOptions options_;
    int index_ = -1;
    SDL_Joystick* handle_ = nullptr;
};

// Ends with whether Kivo has been told that its window came to the front, which a test waits
// for before it types there.
void printLabels(kivo::Form1& form)
{
    for (int i = 0; form.exists(i); ++i) {
        const auto* label = form.findChild<QLabel*>(QStringLiteral("Label(%1)").arg(i));
        const bool bold = label != nullptr && label->font().bold();
        std::printf("label %d %d %s\n", i + 1, bold ? 1 : 0, form.caption(i).c_str());
    }
    std::printf("front %d\nend\n", form.isActiveWindow() ? 1 : 0);
    std::fflush(stdout);
}

// The pipe Kivo watches in place of a device node, which the virtual joystick lacks: one byte
// on every change, so Kivo may sleep between changes as it does with a real joystick. It is a
// named pipe in the runtime folder, so a measuring program can play a noisy device too.
class JoystickActivity {
public:
    JoystickActivity()
    {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        const std::string path = std::string(runtime != nullptr ? runtime : ".") + "/joystick-activity";
        // A host that ran before in the same folder left it there.
        if ((mkfifo(path.c_str(), 0600) != 0 && errno != EEXIST) ||
            (readEnd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) < 0 ||
            (writeEnd_ = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0) {
            std::perror("kivo-e2e-host: no pipe for joystick activity");
            std::exit(1);
        }
    }

    int readEnd() const { return readEnd_; }
    // A full pipe already says that something changed.
    void announce() { [[maybe_unused]] const ssize_t written = ::write(writeEnd_, "!", 1); }

private:
    int readEnd_ = -1;
    int writeEnd_ = -1;
};

// Reads commands from standard input as they arrive, without blocking the window's thread.
class CommandReader {
public:
    CommandReader(VirtualStick& stick, JoystickActivity& activity, kivo::Form1& form, int buttons)
        : actions_{[&stick](std::uint32_t x, std::uint32_t y) { stick.axes(x, y); },
                   [&stick](int button, bool down) { stick.button(button, down); },
                   [&stick](std::uint32_t pov) { stick.dpad(pov); },
                   [&stick](bool plugged) { stick.setPlugged(plugged); },
                   [&form] { printLabels(form); },
                   [&activity] { activity.announce(); }},
          buttons_(buttons),
          notifier_(STDIN_FILENO, QSocketNotifier::Read)
    {
        QObject::connect(&notifier_, &QSocketNotifier::activated, [this] { readAvailable(); });
    }

private:
    void readAvailable()
    {
        char chunk[4096];
        const ssize_t count = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (count <= 0) {
            // End of input: Kivo keeps running until it is closed like `kivo`.
            notifier_.setEnabled(false);
            return;
        }
        pending_.append(chunk, static_cast<std::size_t>(count));
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos; pending_.erase(0, end + 1))
            kivo::e2e::runHostCommand(std::string_view(pending_).substr(0, end), buttons_, actions_);
    }

    kivo::e2e::HostActions actions_;
    int buttons_;
    QSocketNotifier notifier_;
    std::string pending_;
};

}  // namespace

int main(int argc, char** argv)
{
    const kivo::e2e::HostOptions options = kivo::e2e::readHostOptions(argc, argv);
    int qtArgc = 1;
    JoystickActivity activity;
    // Unwatched, Kivo looks for the virtual joystick's device node, finds none and polls.
    kivo::JoystickWatcher watcher;
    if (options.watched) {
        watcher = [&activity](const kivo::SdlJoystick&) { return kivo::watchJoystickActivity(activity.readEnd()); };
    }
    std::optional<VirtualStick> stick;
    std::optional<CommandReader> reader;
    const kivo::LinuxHostHooks hooks{watcher, [&] { stick.emplace(options); },
                                     [&](kivo::Form1& form) {
                                         std::printf("ready %lu\n", static_cast<unsigned long>(form.nativeHandle()));
                                         std::fflush(stdout);
                                         reader.emplace(*stick, activity, form, options.buttons);
                                     }};
    return kivo::runClaimed(
        [&](kivo::SingleInstance& instance) { return kivo::runLinuxKivo(qtArgc, argv, instance, {}, hooks); });
}
