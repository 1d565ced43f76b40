#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

#include "record/FieldCatalogue.h"
#include "record/FieldTexts.h"

namespace qv::fuzz {

// An invariant of the code under test: a violation is a finding, so it stops the fuzzer with
// the input that broke it.
inline void check(bool holds, const char* invariant) {
    if (!holds) {
        std::fprintf(stderr, "invariant violated: %s\n", invariant);
        std::abort();
    }
}

// A folder of this process's own for the files a target reads and writes, in memory when the
// machine has /dev/shm; removed at exit (a crash leaves it for the post-mortem).
inline const std::filesystem::path& scratchFolder() {
    struct Folder {
        Folder() {
            std::filesystem::path base = "/dev/shm";
            if (!std::filesystem::is_directory(base)) {
                base = std::filesystem::temp_directory_path();
            }
            std::random_device random;
            do {
                path = base / ("qv-fuzz-" + std::to_string(random()));
            } while (!std::filesystem::create_directory(path));
        }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
        std::filesystem::path path;
    };
    static const Folder folder;
    return folder.path;
}

// Field texts held in plain strings, without a change rule.
struct FieldTextsArray final : FieldTexts {
    std::string text(int field) const override { return texts.at(field); }
    void setText(int field, const std::string& text) override { texts.at(field) = text; }
    std::array<std::string, kFieldCount> texts;
};

inline void writeFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), static_cast<long>(bytes.size()));
}

inline std::string fileContents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace qv::fuzz
