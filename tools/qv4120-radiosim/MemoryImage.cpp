#include "MemoryImage.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace qv::sim {

SimulatedRadio::Memory loadImage(const std::string& path) {
    if (path.empty() || !std::filesystem::exists(path)) {
        return builtInImage();
    }
    SimulatedRadio::Memory memory{};
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(memory.data()), static_cast<std::streamsize>(memory.size()));
    if (in.gcount() != static_cast<std::streamsize>(memory.size()) || in.peek() != EOF) {
        throw std::runtime_error(path + " does not hold 128 bytes");
    }
    return memory;
}

void saveImage(const std::string& path, const SimulatedRadio::Memory& memory) {
    if (path.empty()) {
        return;
    }
    const std::string temporary = path + ".tmp";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(memory.data()),
              static_cast<std::streamsize>(memory.size()));
    out.close();
    const int writeError = errno;
    std::error_code ec;
    if (!out) {
        std::filesystem::remove(temporary, ec);
        throw std::runtime_error("cannot save the memory to " + path + ": " +
                                 std::strerror(writeError));
    }
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        throw std::runtime_error("cannot save the memory to " + path + ": " + ec.message());
    }
}

}  // namespace qv::sim
