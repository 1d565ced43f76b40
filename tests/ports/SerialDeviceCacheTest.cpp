// Listing the system's serial devices again only when a device node comes or goes, with a real
// inotify watch on a folder of the test's own.
#include "ports/SerialDeviceCache.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "tests/support/EventLoopWait.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

// Each change to the folder brings one more listing, once it has settled; nothing else does,
// however long and often the devices are asked for. A folder that cannot be watched is listed
// at every call.
TEST(SerialDeviceCache, ListsAgainOnlyAfterADeviceCameOrWent) {
    QTemporaryDir dev;
    const QString node = dev.filePath("ttyUSB0");
    int listings = 0;
    const auto count = [&] { return Strings{std::to_string(++listings)}; };
    SerialDeviceCache cache(dev.path(), count);
    const std::function<bool()> changes[] = {
        [&] { return QFile(node).open(QIODevice::WriteOnly); },
        [&] { return QFile::rename(node, node + "x"); },
        [&] { return QFile::remove(node + "x"); },
    };
    EXPECT_EQ(cache.devices(), Strings{"1"});
    for (const auto& change : changes) {
        const Strings before = cache.devices();
        test::runEventLoopFor(150ms);
        EXPECT_EQ(cache.devices(), before);
        ASSERT_TRUE(change());
        const Strings next{std::to_string(listings + 1)};
        EXPECT_TRUE(test::waitUntil([&] { return cache.devices() == next; }, 5s)) << listings;
    }
    EXPECT_EQ(listings, 4);
    SerialDeviceCache unwatched(dev.filePath("missing"), count);
    EXPECT_EQ(unwatched.devices(), Strings{"5"});
    EXPECT_EQ(unwatched.devices(), Strings{"6"});
}

}  // namespace
}  // namespace qv
