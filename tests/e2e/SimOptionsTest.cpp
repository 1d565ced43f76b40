#include "SimOptions.h"

#include <gtest/gtest.h>

namespace qv::sim {
namespace {

TEST(SimOptions, FaultsNameAKindAndFrames) {
    const auto parsed = parseOptions({"--no-pace", "--fault", "silence@3-6", "--fault", "drop@5"});
    ASSERT_TRUE(std::holds_alternative<SimOptions>(parsed));
    const SimOptions& options = std::get<SimOptions>(parsed);
    EXPECT_FALSE(options.pace);
    ASSERT_EQ(options.faults.size(), 2U);
    EXPECT_EQ(options.faults[0].kind, Fault::Kind::Silence);
    EXPECT_EQ(options.faults[0].first, 3);
    EXPECT_EQ(options.faults[0].last, 6);
    EXPECT_EQ(options.faults[1].kind, Fault::Kind::Drop);
    EXPECT_EQ(options.faults[1].last, 5);
}

TEST(SimOptions, BadOptionsAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad{
        {"--fault", "silence"}, {"--fault", "silence@0"},   {"--fault", "silence@6-3"},
        {"--fault", "melt@3"},  {"--fault", "refuse@3x"},   {"--image"},
        {"--colour", "red"},    {"--access-code", "SHORT"}, {"--model", "TOO-LONG-1"},
    };
    for (const auto& arguments : bad) {
        EXPECT_TRUE(std::holds_alternative<std::string>(parseOptions(arguments))) << arguments[0];
    }
}

}  // namespace
}  // namespace qv::sim
