#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

namespace qv {

// Why something the tool set out to do did not happen: what kind of thing failed, the reason
// for a person, and the file, folder or port it concerns.
struct Failure {
    // What failed; the command line's exit code tells these apart.
    enum class Kind { Usage, Port, Communication, Model, File, Field, NotKept };

    Failure(Kind kind, std::string reason, std::filesystem::path path = {},
            std::error_code error = {})
        : kind(kind), reason(std::move(reason)), path(std::move(path)), error(error) {}

    Kind kind;
    // In words, such as "No space left on device"; it may come from outside, so whoever shows
    // it escapes it.
    std::string reason;
    std::filesystem::path path;  // may be empty
    std::error_code error;       // the system's own, where it gave one
};

}  // namespace qv
