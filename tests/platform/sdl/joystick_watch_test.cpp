#include "platform/sdl/joystick_watch.h"
#include "event_loop_round.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace kivo {
namespace {

class NamedJoystick final : public SdlJoystick {
public:
    JoystickNode current;

    bool capabilities(unsigned, JOYCAPS&) override { return false; }
    bool position(unsigned, JOYINFOEX&) override { return false; }
    JoystickNode node() const override { return current; }
};

// A fifo standing in for a device node, with a writer standing in for the device: a node
// stays open only while a device is behind it.
class JoystickNodeWatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(mkfifo(node.c_str(), 0600), 0);
        device = open(node.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(device, 0);
    }
    void TearDown() override
    {
        close(device);
        std::filesystem::remove(node);
    }

    void deviceEvent()
    {
        ASSERT_EQ(write(device, "e", 1), 1);
        changes += eventLoopRound(*watch);
    }

    const std::filesystem::path node =
        std::filesystem::temp_directory_path() / ("kivo-event-node-" + std::to_string(getpid()));
    int device = -1;
    NamedJoystick joystick;
    int changes = 0;
    std::unique_ptr<JoystickWatch> watch = watchJoystickNode(joystick);
};

struct NodeCase {
    const char* what;
    std::string path;
    bool watching;
};

// Sleeping on a joystick that nothing announces would lose its presses.
TEST_F(JoystickNodeWatch, WatchesOnlyAJoystickWhoseNodeItCouldOpen)
{
    const NodeCase cases[] = {
        {"a node that opens", node.string(), true},
        {"no node, as SDL's virtual joystick", "", false},
        {"a node that cannot be opened", (node.parent_path() / "kivo-no-such-node").string(), false},
    };
    for (const NodeCase& c : cases) {
        joystick.current = {true, c.path};
        EXPECT_EQ(watch->armForNextChange(), c.watching) << c.what;
    }
}

TEST_F(JoystickNodeWatch, AnnouncesTheFirstEventAfterEachQuestion)
{
    joystick.current = {true, node.string()};
    ASSERT_TRUE(watch->armForNextChange());
    deviceEvent();
    deviceEvent();
    EXPECT_EQ(changes, 1) << "while the ticks run, the device's events need not wake the event loop";
    EXPECT_FALSE(watch->armForNextChange()) << "the second event came unannounced";
    EXPECT_TRUE(watch->armForNextChange());
    deviceEvent();
    EXPECT_EQ(changes, 2);
}

// devtmpfs removes an empty /dev/input and makes it again for the next device.
TEST(JoystickArrivalWatch, AnnouncesArrivalsAfterTheFolderIsRemovedAndMadeAgain)
{
    const std::filesystem::path devices =
        std::filesystem::temp_directory_path() / ("kivo-dev-" + std::to_string(getpid()));
    const std::filesystem::path input = devices / "input";
    std::filesystem::create_directories(input);
    NamedJoystick none;
    int changes = 0;
    auto watch = watchJoystickNode(none, input);
    ASSERT_TRUE(watch->armForNextChange());

    std::filesystem::remove(input);
    changes += eventLoopRound(*watch);
    EXPECT_EQ(changes, 1) << "a watch that ends says so";
    std::filesystem::create_directory(input);
    changes += eventLoopRound(*watch);
    EXPECT_EQ(changes, 2) << "the folder's return is an arrival";
    std::ofstream(input / "event7") << "";
    changes += eventLoopRound(*watch);
    EXPECT_EQ(changes, 3) << "and what arrives in it is announced";
    std::filesystem::permissions(input / "event7", std::filesystem::perms{0660});
    changes += eventLoopRound(*watch);
    EXPECT_EQ(changes, 4) << "so is a node that udev has just let the user open";
    std::filesystem::remove_all(devices);
}

// Kivo sleeps only after asking, so each question must arm the watch again.
TEST(JoystickActivityWatch, AnnouncesTheFirstChangeAfterEachQuestionUntilTheWriterGoes)
{
    int ends[2];
    ASSERT_EQ(pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
    int changes = 0;
    auto watch = watchJoystickActivity(ends[0]);
    const auto change = [&] {
        ASSERT_EQ(write(ends[1], "!", 1), 1);
        changes += eventLoopRound(*watch);
    };

    EXPECT_TRUE(watch->armForNextChange());
    change();
    change();
    EXPECT_EQ(changes, 1) << "the ticks run after the first change and read the joystick themselves";
    EXPECT_FALSE(watch->armForNextChange()) << "the second change came unannounced";
    EXPECT_TRUE(watch->armForNextChange());
    change();
    EXPECT_EQ(changes, 2);

    EXPECT_TRUE(watch->armForNextChange());
    close(ends[1]);
    changes += eventLoopRound(*watch);
    EXPECT_EQ(changes, 3);
    EXPECT_FALSE(watch->armForNextChange());
}

}  // namespace
}  // namespace kivo
