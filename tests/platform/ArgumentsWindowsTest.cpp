// The command line comes from the wide one Windows keeps, not from the ANSI code page's copy.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Arguments.h"

namespace qv::platform {
namespace {

TEST(Arguments, TheProgramsOwnNameComesFirstAndWhole) {
    char stale[] = "not-from-here";
    char* argv[] = {stale};
    const auto arguments = utf8Arguments(1, argv);
    ASSERT_FALSE(arguments.empty());
    EXPECT_TRUE(arguments.front().ends_with("platform_tests.exe")) << arguments.front();
    EXPECT_TRUE(std::ranges::none_of(arguments, [](const std::string& argument) {
        return argument.empty() || argument.find('\0') != std::string::npos;
    }));
}

}  // namespace
}  // namespace qv::platform
