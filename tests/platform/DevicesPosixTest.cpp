// A port's device by any of its names, and the user's own rights on it: a refusal despite them
// means another program holds the port.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/Devices.h"
#include "tests/platform/SystemForTests.h"

namespace qv::platform {
namespace {

namespace fs = std::filesystem;

TEST(Devices, APortLeadsToOneDeviceAndTheUsersRightsSayWhetherItOpens) {
    const fs::path folder =
        fs::temp_directory_path() / ("devices-" + std::to_string(std::random_device()()));
    fs::remove_all(folder);
    fs::create_directory(folder);
    std::ofstream(folder / "read-only").put('x');
    fs::permissions(folder / "read-only",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::create_symlink("/dev/null", folder / "null");
    for (const auto& [port, device] : {std::pair{"ttyUSB0", "/dev/ttyUSB0"},
                                       {"pts/1", "/dev/pts/1"},
                                       {"/dev/ttyS0", "/dev/ttyS0"},
                                       {"./x", "./x"},
                                       {"../x", "../x"}}) {
        EXPECT_EQ(serialDeviceLocation(port), device);
    }
    ASSERT_TRUE(deviceNumber("/dev/null"));
    EXPECT_EQ(deviceNumber(folder / "null"), deviceNumber("/dev/null"));
    EXPECT_EQ(deviceNumber(folder / "read-only"), std::nullopt);
    EXPECT_EQ(deviceNumber(folder / "missing"), std::nullopt);
    EXPECT_TRUE(userMayOpen("null"));
    EXPECT_TRUE(userMayOpen((folder / "null").string()));
    EXPECT_FALSE(userMayOpen((folder / "missing").string()));
    // As a technician, whose rights do not open every file as root's do.
    const std::string readOnly = (folder / "read-only").string();
    EXPECT_EQ(test::inChild([&] { return userMayOpen("null") && !userMayOpen(readOnly); }), 0);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace qv::platform
