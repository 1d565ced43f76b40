#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "MemoryImage.h"
#include "SimOptions.h"
#include "tests/platform/SystemForTests.h"

namespace qv::sim {
namespace {

TEST(SimOptions, BadOptionsAreRefusedAndTheProgramsVersionIsNotTheRadios) {
    const std::vector<std::vector<std::string>> bad{
        {"--fault", "silence"}, {"--fault", "silence@0"},   {"--fault", "silence@6-3"},
        {"--fault", "melt@3"},  {"--fault", "refuse@3x"},   {"--image"},
        {"--colour", "red"},    {"--access-code", "SHORT"}, {"--model", "TOO-LONG-1"},
        {"--noise", "1.5"},     {"--noise", "0.1x"},        {"--answer-checksum", "some"},
        {"--seed", "0"},
    };
    for (const auto& arguments : bad) {
        EXPECT_FALSE(parseOptions(arguments)) << arguments[0];
    }
    // --version asks for the program's version; the radio's is --radio-version.
    const auto options = *parseOptions({"--radio-version", "0304", "--version"});
    EXPECT_TRUE(options.version && options.identity.version == "0304");
    // Its misbehaviours are taken as given.
    const auto quirks =
        (*parseOptions({"--noise", "0.05", "--answer-checksum", "none", "--forget", "--seed", "7"}))
            .quirks;
    EXPECT_TRUE(quirks.noiseRate == 0.05 && quirks.answerChecksum == AnswerChecksum::None &&
                quirks.forget && quirks.seed == 7);
}

// A memory that cannot be saved is said, and leaves no file and no half-written one behind.
TEST(MemoryImage, ASaveThatFailsSaysSoAndKeepsTheOldFile) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "radiosim-image-test";
    fs::remove_all(dir);
    fs::create_directories(dir / "image.bin");
    SimulatedRadio::Memory memory{};
    memory.fill(0x5A);
    for (const fs::path& path : {dir / "missing" / "image.bin", dir / "image.bin"}) {
        EXPECT_THROW(saveImage(path.string(), memory), std::runtime_error) << path;
    }
    EXPECT_TRUE(fs::is_directory(dir / "image.bin"));
    EXPECT_FALSE(fs::exists(dir / "image.bin.tmp"));
    saveImage((dir / "good.bin").string(), memory);
    EXPECT_EQ(loadImage((dir / "good.bin").string()), memory);
    // A disk that fills up part-way, as the file-size limit makes it in a child.
    const auto failsToSave = [&] {
        try {
            saveImage((dir / "good.bin").string(), SimulatedRadio::Memory{});
        } catch (const std::runtime_error&) {
            return true;
        }
        return false;
    };
    EXPECT_EQ(test::inChild(failsToSave, 100, false), 0);
    EXPECT_EQ(loadImage((dir / "good.bin").string()), memory);
    std::ofstream(dir / "good.bin", std::ios::app) << 'x';
    EXPECT_THROW(loadImage((dir / "good.bin").string()), std::runtime_error);
    fs::remove_all(dir);
}

// --link never takes a path that is there already, whatever it is: a file, or a link someone
// planted to take the tool's line. Both stay as they were.
TEST(RadioSim, RefusesALinkPathThatIsThere) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "radiosim-link-test";
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "file") << "theirs";
    fs::create_symlink("/dev/null", dir / "planted");
    for (const fs::path& path : {dir / "file", dir / "planted"}) {
        const std::string command = std::string(QV_RADIOSIM) + " --no-pace --image " +
                                    (dir / "radio.bin").string() + " --link " + path.string() +
                                    " 2>&1";
        FILE* sim = ::popen(command.c_str(), "r");
        ASSERT_NE(sim, nullptr);
        std::string output;
        for (int c; (c = std::fgetc(sim)) != EOF;) {
            output += static_cast<char>(c);
        }
        EXPECT_NE(::pclose(sim), 0) << path;
        EXPECT_EQ(output, "qv4120-radiosim: --link " + path.string() +
                              ": something is there already; give a path that is free.\n");
    }
    std::ifstream file(dir / "file");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "theirs");
    EXPECT_EQ(fs::read_symlink(dir / "planted"), "/dev/null");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace qv::sim
