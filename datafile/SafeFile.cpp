#include "SafeFile.h"

#include <algorithm>
#include <array>
#include <random>

#include "datafile/PathText.h"
#include "platform/Files.h"

namespace qv {

namespace fs = std::filesystem;

namespace {

Failed failure(const fs::path& path, std::string reason) {
    return fail({Failure::Kind::File, std::move(reason), path});
}

Failed failure(const fs::path& path, std::error_code error) {
    return fail({Failure::Kind::File, error.message(), path, error});
}

// Why a file that is there cannot be read or replaced as a file, if it cannot.
std::optional<std::string> notAFile(platform::FileType type) {
    switch (type) {
        case platform::FileType::Regular:
            return std::nullopt;
        case platform::FileType::Directory:
            return std::make_error_code(std::errc::is_a_directory).message();
        case platform::FileType::Other:
            break;
    }
    return "not a regular file";
}

platform::FileType typeOf(const fs::file_status& status) {
    return fs::is_regular_file(status) ? platform::FileType::Regular
           : fs::is_directory(status)  ? platform::FileType::Directory
                                       : platform::FileType::Other;
}

// Copies the bytes of `from` from `offset` on to `to`, a piece at a time: the file may be far
// larger than anything worth holding in memory.
std::error_code copyTail(const fs::path& from, std::uint64_t offset, platform::File& to) {
    platform::File in;
    if (auto error = platform::openToRead(from, in)) {
        return error;
    }
    if (auto error = in.seek(offset)) {
        return error;
    }
    std::array<std::uint8_t, std::size_t{64} * 1024> piece;
    for (;;) {
        std::size_t count = 0;
        if (auto error = in.read(piece, count)) {
            return error;
        }
        if (count == 0) {
            return {};
        }
        if (auto error = to.write(std::span(piece).first(count))) {
            return error;
        }
    }
}

// A short name, so that a temporary file fits wherever its target's name does, and a random
// one, so that sessions saving in the same folder never meet.
std::string temporaryName() {
    thread_local std::mt19937_64 random(std::random_device{}());
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string name = ".qv";
    for (int k = 0; k < 8; ++k) {
        name += kLetters[pick(random)];
    }
    return name + ".tmp";
}

// Tries `take` on the names nameOf(1), nameOf(2), ... in `folder` until one is no other file's:
// the result of the first try that did not meet an existing name, with `path` that name.
std::error_code firstFreeName(const fs::path& folder, const std::function<std::string(int)>& nameOf,
                              const std::function<std::error_code(const fs::path&)>& take,
                              fs::path& path) {
    constexpr int kMostNames = 10000;
    std::error_code error;
    for (int n = 1; n <= kMostNames; ++n) {
        path = folder / nameOf(n);
        error = take(path);
        if (error != std::errc::file_exists) {
            break;
        }
    }
    return error;
}

// Writes `content` (and the tail of `tailFrom` past `keepFrom`) to the new file `out` at `path`,
// on the disk and closed when this succeeds; removed again when it does not. A new file gets the
// usual mode of new files, or that of `existing` when it is open.
std::error_code fillNewFile(platform::File& out, const fs::path& path,
                            std::span<const std::uint8_t> content, const platform::File& existing,
                            const fs::path& tailFrom, std::optional<std::size_t> keepFrom) {
    if (existing.isOpen()) {
        out.takePermissionsOf(existing);
    }
    std::error_code error = out.write(content);
    if (!error && keepFrom && existing.isOpen() && existing.size() > *keepFrom) {
        error = copyTail(tailFrom, *keepFrom, out);
    }
    if (!error) {
        error = out.sync();
    }
    if (auto closed = out.close(); !error) {
        error = closed;
    }
    if (error) {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
    return error;
}

// Writes `content` (and the tail of `tailFrom` past `keepFrom`) to a new temporary file in
// `folder`, made under a name no other file has, as fillNewFile leaves it.
Result<void> writeTemporary(const fs::path& shown, const fs::path& folder,
                            std::span<const std::uint8_t> content, const platform::File& existing,
                            const fs::path& tailFrom, std::optional<std::size_t> keepFrom,
                            fs::path& temporary) {
    platform::File out;
    const auto create = [&](const fs::path& path) { return platform::createNew(path, out); };
    if (auto error = firstFreeName(
            folder, [](int) { return temporaryName(); }, create, temporary)) {
        // The new content is written beside the target first, so its folder must be writable.
        return failure(shown, "cannot create a file in its folder: " + error.message());
    }
    if (auto error = fillNewFile(out, temporary, content, existing, tailFrom, keepFrom)) {
        return failure(shown, error);
    }
    return {};
}

// Where the filesystem can give no name exclusively by a rename, the file is created under its
// name exclusively and filled there; a failure part-way removes it.
Result<fs::path> createUnderFreeName(const fs::path& folder,
                                     const std::function<std::string(int)>& nameOf,
                                     std::span<const std::uint8_t> content) {
    fs::path path;
    platform::File out;
    const auto create = [&](const fs::path& name) { return platform::createNew(name, out); };
    if (auto error = firstFreeName(folder, nameOf, create, path)) {
        return failure(path, error);
    }
    if (auto error = fillNewFile(out, path, content, platform::File(), {}, std::nullopt)) {
        return failure(path, error);
    }
    return path;
}

}  // namespace

std::string failureText(const Failure& failure) {
    return "\"" + utf8Text(failure.path) + "\": " + failure.reason + ".";
}

Result<void> replaceFile(const fs::path& path, std::span<const std::uint8_t> content,
                         std::optional<std::size_t> keepFrom) {
    std::error_code error;
    // Links are followed here as the system follows them, and refused where it refuses.
    const fs::file_status status = fs::status(path, error);
    const bool exists = status.type() != fs::file_type::not_found;
    if (exists && error) {
        return failure(path, error);
    }
    if (auto reason = exists ? notAFile(typeOf(status)) : std::nullopt) {
        return failure(path, *reason);
    }
    const bool link = fs::is_symlink(fs::symlink_status(path, error));
    // Opening the file to write is the system's own check: its permissions (replacing it
    // through its folder would bypass them) and its protection of links in shared folders.
    // A link that names no file yet has that file made, as the shell's `>` makes it.
    platform::File existing;
    if (exists || link) {
        if (auto opened = platform::openToWrite(path, !exists, existing)) {
            return failure(path, opened);
        }
        if (auto reason = notAFile(existing.type())) {
            return failure(path, *reason);
        }
    }
    // What is replaced is the file opened: where a link names it, and where Windows' own
    // links, which std::filesystem may not see, lead.
    fs::path target = path;
    if (existing.isOpen()) {
        if (auto resolved = platform::finalPath(existing, path, target)) {
            return failure(path, resolved);
        }
    }
    fs::path temporary;
    Result<void> written =
        writeTemporary(path, target.parent_path(), content, existing, target, keepFrom, temporary);
    // The target must be closed before a rename on Windows.
    existing.close();
    if (written) {
        if (auto replaced = platform::replace(temporary, target)) {
            fs::remove(temporary, error);
            written = failure(path, replaced);
        }
    }
    if (!written && link && !exists) {
        fs::remove(target, error);
    }
    return written;
}

std::function<std::string(int)> numberedNames(std::string stem, std::string extension) {
    return [stem = std::move(stem), extension = std::move(extension)](int n) {
        return stem + (n == 1 ? "" : "-" + std::to_string(n)) + "." + extension;
    };
}

Result<fs::path> createUniqueFile(const fs::path& folder,
                                  const std::function<std::string(int)>& nameOf,
                                  std::span<const std::uint8_t> content) {
    fs::path temporary;
    if (auto written = writeTemporary(folder / nameOf(1), folder, content, platform::File(), {},
                                      std::nullopt, temporary);
        !written) {
        return fail(std::move(written).error());
    }
    // Where the filesystem renames exclusively, the name becomes visible only with the whole
    // content behind it.
    fs::path path;
    const auto rename = [&](const fs::path& name) { return platform::renameNew(temporary, name); };
    const std::error_code error = firstFreeName(folder, nameOf, rename, path);
    if (!error) {
        return path;
    }
    std::error_code ignored;
    fs::remove(temporary, ignored);
    if (error == std::errc::operation_not_supported) {
        return createUnderFreeName(folder, nameOf, content);
    }
    return failure(path, error);
}

Result<void> readFile(const fs::path& path, std::size_t most, std::vector<std::uint8_t>& bytes) {
    platform::File in;
    if (auto error = platform::openToRead(path, in)) {
        return failure(path, error);
    }
    if (auto reason = notAFile(in.type())) {
        return failure(path, *reason);
    }
    // A piece at a time: `most` may be a megabyte for a file of a few kilobytes.
    constexpr std::size_t kPiece = std::size_t{64} * 1024;
    std::vector<std::uint8_t> read;
    while (read.size() < most) {
        const std::size_t have = read.size();
        const std::size_t want = std::min(most - have, kPiece);
        read.resize(have + want);
        std::size_t count = 0;
        if (auto error = in.read(std::span(read).subspan(have), count)) {
            return failure(path, error);
        }
        read.resize(have + count);
        if (count < want) {
            break;
        }
    }
    bytes = std::move(read);
    return {};
}

}  // namespace qv
