#pragma once

#include <string>

#include "SimulatedRadio.h"

namespace qv::sim {

// The radio's memory kept in a 128-byte file between runs. An empty path keeps nothing.
// A missing file gives the built-in image; a file of another size is an error.
SimulatedRadio::Memory loadImage(const std::string& path);

// Writes beside the file and renames over it, so the file holds the old memory or the new one,
// never a part of either. Throws std::runtime_error with the reason when it cannot be saved.
void saveImage(const std::string& path, const SimulatedRadio::Memory& memory);

}  // namespace qv::sim
