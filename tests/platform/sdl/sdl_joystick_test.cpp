#include "platform/sdl/sdl_joystick.h"

#include "support/captured_stderr.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

namespace kivo {
namespace {

// A record full of a pattern no read produces, to see whether a read touched it.
template <typename Record>
Record scribbled()
{
    Record record;
    std::memset(&record, 0xA5, sizeof record);
    return record;
}

template <typename Record>
bool sameBytes(const Record& a, const Record& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Drives SDL's own virtual joystick, as the end-to-end host does.
class VirtualJoystick {
public:
    VirtualJoystick(int axes, int buttons, int hats = 0)
        : index_(SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, axes, buttons, hats)),
          handle_(SDL_JoystickOpen(index_))
    {
    }
    // A pad SDL knows as a game controller by the mapping given.
    VirtualJoystick(const SDL_VirtualJoystickDesc& pad, const std::string& mapping)
        : index_(SDL_JoystickAttachVirtualEx(&pad)), handle_(nullptr)
    {
        char guid[33] = {};
        SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index_), guid, sizeof guid);
        SDL_GameControllerAddMapping((guid + std::string(",") + pad.name + "," + mapping + ",").c_str());
        handle_ = SDL_JoystickOpen(index_);
    }
    ~VirtualJoystick() { unplug(); }
    VirtualJoystick(const VirtualJoystick&) = delete;
    VirtualJoystick& operator=(const VirtualJoystick&) = delete;

    bool attached() const { return handle_ != nullptr; }
    void axis(int axis, Sint16 value) { SDL_JoystickSetVirtualAxis(handle_, axis, value); }
    void button(int button, bool down) { SDL_JoystickSetVirtualButton(handle_, button, down ? 1 : 0); }
    void hat(Uint8 value) { SDL_JoystickSetVirtualHat(handle_, 0, value); }
    void unplug()
    {
        if (handle_ != nullptr) {
            SDL_JoystickClose(handle_);
            SDL_JoystickDetachVirtual(index_);
            handle_ = nullptr;
        }
    }

private:
    int index_;
    SDL_Joystick* handle_;
};

class SdlJoystickTest : public ::testing::Test {
protected:
    JOYINFOEX read()
    {
        JOYINFOEX info{};
        info.dwSize = kJoyInfoExSize;
        info.dwFlags = kJoyReturnAll;
        EXPECT_TRUE(joystick_->position(0, info));
        return info;
    }

    std::unique_ptr<SdlJoystick> joystick_ = makeSdlJoystick();
};

TEST_F(SdlJoystickTest, WithoutAJoystickReadsFailAndLeaveThePositionAsItWas)
{
    JOYINFOEX info = scribbled<JOYINFOEX>();
    EXPECT_FALSE(joystick_->position(0, info));
    EXPECT_TRUE(sameBytes(info, scribbled<JOYINFOEX>()));

    JOYCAPS caps = scribbled<JOYCAPS>();
    EXPECT_FALSE(joystick_->capabilities(0, caps));
    EXPECT_TRUE(sameBytes(caps, JOYCAPS{}));
}

TEST_F(SdlJoystickTest, ReportsItsButtonCount)
{
    VirtualJoystick stick(2, 12);
    ASSERT_TRUE(stick.attached());
    JOYCAPS caps = scribbled<JOYCAPS>();
    EXPECT_TRUE(joystick_->capabilities(0, caps));
    EXPECT_EQ(caps.wNumButtons, 12U);
    EXPECT_EQ(caps.wXmax, 65535U);
}

TEST_F(SdlJoystickTest, MapsAxesToTheWindowsRange)
{
    VirtualJoystick stick(2, 4);
    ASSERT_TRUE(stick.attached());
    struct Case {
        Sint16 sdl;
        std::uint32_t windows;
    };
    for (Case c : std::initializer_list<Case>{{-32768, 0}, {0, 32768}, {32767, 65535}, {-1, 32767}, {16384, 49152}}) {
        stick.axis(0, c.sdl);
        stick.axis(1, c.sdl);
        const JOYINFOEX info = read();
        EXPECT_EQ(info.dwXpos, c.windows) << c.sdl;
        EXPECT_EQ(info.dwYpos, c.windows) << c.sdl;
        EXPECT_EQ(info.dwSize, kJoyInfoExSize);
        EXPECT_EQ(info.dwFlags, kJoyReturnAll);
    }
}

TEST_F(SdlJoystickTest, AtRestTheMissingAxesSitInTheMiddle)
{
    VirtualJoystick stick(2, 4);
    ASSERT_TRUE(stick.attached());
    const JOYINFOEX info = read();
    for (std::uint32_t axis : {info.dwXpos, info.dwYpos, info.dwZpos, info.dwRpos, info.dwUpos, info.dwVpos}) {
        EXPECT_EQ(axis, 32768U);
    }
}

TEST_F(SdlJoystickTest, ReportsHeldButtonsAsBitsAndTheLowestAsTheButtonNumber)
{
    VirtualJoystick stick(2, 40);
    ASSERT_TRUE(stick.attached());
    struct Case {
        std::initializer_list<int> held;
        std::uint32_t bits;
        std::uint32_t number;
    };
    for (Case c : std::initializer_list<Case>{
             {{}, 0, 0}, {{0}, 0x1, 1}, {{4}, 0x10, 5}, {{2, 0}, 0x5, 1}, {{31}, 0x80000000, 32}, {{32, 39}, 0, 0}}) {
        for (int button : c.held) {
            stick.button(button, true);
        }
        const JOYINFOEX info = read();
        EXPECT_EQ(info.dwButtons, c.bits);
        EXPECT_EQ(info.dwButtonNumber, c.number);
        for (int button : c.held) {
            stick.button(button, false);
        }
    }
    JOYCAPS caps{};
    EXPECT_TRUE(joystick_->capabilities(0, caps));
    EXPECT_EQ(caps.wNumButtons, 32U);
}

TEST_F(SdlJoystickTest, TheFirstHatIsThePointOfViewAndNoHatIsItsCentre)
{
    {
        VirtualJoystick stick(2, 4, 2);
        ASSERT_TRUE(stick.attached());
        struct Case {
            Uint8 hat;
            std::uint32_t pov;
        };
        for (Case c : std::initializer_list<Case>{{SDL_HAT_CENTERED, 65535},
                                                  {SDL_HAT_UP, 0},
                                                  {SDL_HAT_RIGHTUP, 4500},
                                                  {SDL_HAT_RIGHT, 9000},
                                                  {SDL_HAT_RIGHTDOWN, 13500},
                                                  {SDL_HAT_DOWN, 18000},
                                                  {SDL_HAT_LEFTDOWN, 22500},
                                                  {SDL_HAT_LEFT, 27000},
                                                  {SDL_HAT_LEFTUP, 31500}}) {
            stick.hat(c.hat);
            EXPECT_EQ(read().dwPOV, c.pov) << int{c.hat};
        }
    }
    VirtualJoystick hatless(2, 4);
    ASSERT_TRUE(hatless.attached());
    EXPECT_EQ(read().dwPOV, 65535U);
}

// Without a hat, a pad's D-pad is wherever SDL's mapping binds it; buttons bound to it are not
// buttons of their own, or pressing the D-pad would also type the selected button's key.
TEST_F(SdlJoystickTest, APadsDpadIsThePointOfViewWhereverItsMappingBindsIt)
{
    struct Case {
        const char* dpad;
        std::initializer_list<int> held;
        Sint16 axis2;
        std::uint32_t pov;
        std::uint32_t bits;
    };
    const Case cases[] = {
        {"dpup:b11,dpdown:b12,dpleft:b13,dpright:b14", {13}, 0, 27000, 0},
        {"dpup:b11,dpdown:b12,dpleft:b13,dpright:b14", {11, 14}, 0, 4500, 0},
        {"dpup:b11,dpdown:b12,dpleft:b13,dpright:b14", {12, 2}, 0, 18000, 0x4},
        {"dpup:b11,dpdown:b12,dpleft:b13,dpright:b14", {0}, 0, 65535, 0x1},
        {"dpup:-a3,dpdown:+a3,dpleft:-a2,dpright:+a2", {}, 32767, 9000, 0},
        {"dpup:-a3,dpdown:+a3,dpleft:-a2,dpright:+a2", {1}, -32768, 27000, 0x2},
    };
    Uint16 product = 0x100;
    for (const Case& c : cases) {
        SDL_VirtualJoystickDesc pad{};
        pad.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        pad.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        pad.naxes = 4;
        pad.nbuttons = 15;
        pad.vendor_id = 0x4b56;
        pad.product_id = ++product;  // a mapping of its own
        pad.name = "Kivo test pad";
        VirtualJoystick stick(pad, std::string("a:b0,b:b1,x:b2,leftx:a0,lefty:a1,") + c.dpad);
        ASSERT_TRUE(stick.attached());
        for (int button : c.held)
            stick.button(button, true);
        stick.axis(2, c.axis2);
        const JOYINFOEX info = read();
        EXPECT_EQ(info.dwPOV, c.pov) << c.dpad << ", " << c.held.size() << " held";
        EXPECT_EQ(info.dwButtons, c.bits) << c.dpad << ", " << c.held.size() << " held";
    }
}

// Each time the joystick is found missing, one line on standard error says what to check.
TEST_F(SdlJoystickTest, AJoystickPluggedInLaterIsReadAndOneUnpluggedIsNot)
{
    const test_support::CapturedStderr stderrText;
    auto timesSaidMissing = [&] {
        const std::string text = stderrText.text();
        std::size_t count = 0;
        for (auto at = text.find("no joystick found"); at != std::string::npos;
             at = text.find("no joystick found", at + 1))
            ++count;
        return count;
    };
    JOYINFOEX info{};
    EXPECT_FALSE(joystick_->position(0, info));
    EXPECT_FALSE(joystick_->position(0, info));
    EXPECT_EQ(timesSaidMissing(), 1U);

    VirtualJoystick stick(2, 4);
    ASSERT_TRUE(stick.attached());
    stick.axis(0, 32767);
    EXPECT_EQ(read().dwXpos, 65535U);

    stick.unplug();
    info = scribbled<JOYINFOEX>();
    EXPECT_FALSE(joystick_->position(0, info));
    EXPECT_TRUE(sameBytes(info, scribbled<JOYINFOEX>()));
    JOYCAPS caps{};
    EXPECT_FALSE(joystick_->capabilities(0, caps));
    EXPECT_EQ(timesSaidMissing(), 2U);
}

// The virtual joystick has no device node, so nothing can announce its changes.
TEST_F(SdlJoystickTest, NamesTheNodeOfTheOpenJoystickOnly)
{
    EXPECT_FALSE(joystick_->node().open);

    VirtualJoystick stick(2, 4);
    ASSERT_TRUE(stick.attached());
    read();
    EXPECT_TRUE(joystick_->node().open);
    EXPECT_EQ(joystick_->node().path, "");

    stick.unplug();
    JOYINFOEX info{};
    joystick_->position(0, info);
    EXPECT_FALSE(joystick_->node().open);
}

TEST_F(SdlJoystickTest, ListsEveryJoystickAndMarksTheFirstAsTheOneKivoUses)
{
    EXPECT_EQ(listSdlJoysticks(), "No joystick found.\n");

    VirtualJoystick first(2, 4);
    VirtualJoystick second(2, 12);
    ASSERT_TRUE(first.attached() && second.attached());
    const std::string list = listSdlJoysticks();
    const auto firstEnd = list.find('\n');
    const std::string firstLine = list.substr(0, firstEnd);
    const std::string secondLine = list.substr(firstEnd + 1);
    EXPECT_TRUE(firstLine.starts_with("Joystick 1: ") &&
                firstLine.ends_with(", 4 buttons (Kivo uses this one: the first joystick)"))
        << list;
    EXPECT_TRUE(secondLine.starts_with("Joystick 2: ") && secondLine.ends_with(", 12 buttons\n")) << list;
}

TEST_F(SdlJoystickTest, AChosenJoystickIsWaitedForAndTakenUpWhenItArrives)
{
    const auto chosen = makeSdlJoystick(JoystickChoice{2, ""});
    VirtualJoystick first(2, 4);
    ASSERT_TRUE(first.attached());
    JOYCAPS caps{};
    EXPECT_FALSE(chosen->capabilities(0, caps)) << "the first is not the one chosen";
    VirtualJoystick second(2, 12);
    ASSERT_TRUE(second.attached());
    EXPECT_TRUE(chosen->capabilities(0, caps));
    EXPECT_EQ(caps.wNumButtons, 12U);
}

TEST_F(SdlJoystickTest, OnlyDeviceZeroIsServed)
{
    VirtualJoystick stick(2, 4);
    ASSERT_TRUE(stick.attached());
    JOYINFOEX info{};
    EXPECT_FALSE(joystick_->position(1, info));
}

}  // namespace
}  // namespace kivo
